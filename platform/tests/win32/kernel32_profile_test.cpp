// The kernel32 profile on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <process.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include "platform/ini_text.h"

#include "platform/failure.h"
#include "platform/win32/kernel32_profile.h"
#include "platform/win32/windows_api.h"
#include "testing/scratch.h"

namespace vendaro::win32 {

TEST_CASE("names holding NUL read as the default") {
    test::TempDir dir;
    const std::string ini = (dir.path() / "vendaro.ini").string();
    test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n");
    Kernel32Profile profile;
    CHECK(profile.GetString("Sales", std::string("Server\0x", 8), "def", ini) == "def");
    CHECK(profile.GetString(std::string("Sales\0x", 7), "Server", "def", ini) == "def");
}

TEST_CASE("a write keeps the file's attributes; a read-only file is refused, naming it") {
    test::TempDir dir;
    const std::string ini = (dir.path() / "vendaro.ini").string();
    test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n");
    Kernel32Profile profile;
    REQUIRE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const DWORD attributes = GetFileAttributesA(ini.c_str());
    CHECK(profile.SetString("Sales", "Server", "db2", ini));
    CHECK(GetFileAttributesA(ini.c_str()) == attributes);
    REQUIRE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    ClearFailure();
    CHECK_FALSE(profile.SetString("Sales", "Server", "db3", ini));
    CHECK(test::ReadFile(ini) == "[Sales]\r\nServer=db2\r\n");
    CHECK(TakeFailure() == ini + " is read-only.");
    // no temporary is left beside it
    const auto files = std::distance(std::filesystem::directory_iterator(dir.path()),
                                     std::filesystem::directory_iterator());
    CHECK(files == 1);
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

// An editor's Save of the script Target: 27 keys set to `v`.
std::vector<KeyEdit> SaveOf(const std::string& v) {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (int i = 0; i < 27; ++i) k.push_back("Key" + std::to_string(i));
        return k;
    }();
    std::vector<KeyEdit> edits;
    for (const std::string& key : keys) edits.push_back(KeyEdit{key, v, false});
    return edits;
}

}  // namespace

TEST_CASE("a Save killed at any moment leaves vendaro.ini whole, old or new") {
    if (const char* ini = std::getenv("VENDARO_KILLED"); ini != nullptr && *ini != '\0') {
        Kernel32Profile profile;  // this is the program killed: Saves of two versions in turn
        for (int round = 0;; ++round)
            REQUIRE(profile.WriteKeys("Target", SaveOf(round % 2 ? "b" : "a"), ini) == 27);
    }
    test::TempDir dir;
    char exe[MAX_PATH + 1] = {};
    REQUIRE(GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0);
    // Large enough that a rewrite takes a while: kills land in the middle of many.
    std::string start;
    for (int i = 0; i < 40000; ++i) {
        start += "[Other" + std::to_string(i) + "]\r\nDSN_Driver=SQL Server\r\n";
        if (i == 20000) start += "[Target]\r\nKey0=0\r\n";
    }
    const std::string a = ini::Document(start).WithKeyEdits("Target", SaveOf("a"));
    const std::string b = ini::Document(a).WithKeyEdits("Target", SaveOf("b"));
    const std::string ini = (dir.path() / "vendaro.ini").string();
    test::WriteFile(ini, start);
    REQUIRE(_putenv(("VENDARO_KILLED=" + ini).c_str()) == 0);
    std::mt19937 random(20261207);
    std::map<std::string, int> left;  // "start", "a", "b" or "broken": how often
    auto WriteTime = [](const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    };
    auto SameTime = [](FILETIME a, FILETIME b) { return CompareFileTime(&a, &b) == 0; };
    for (int kill = 0; kill < 40; ++kill) {
        const FILETIME before = WriteTime(ini);
        const auto child = reinterpret_cast<HANDLE>(
            _spawnl(_P_NOWAIT, exe, "child", "-tc=*killed*", "-nv", nullptr));
        // Once its Saves are under way (its start takes a while), at any moment of a Save.
        for (int ms = 0; ms < 20000 && SameTime(before, WriteTime(ini)); ++ms) {
            Sleep(1);
        }
        Sleep(std::uniform_int_distribution<DWORD>(0, 60)(random));
        TerminateProcess(child, 9);
        WaitForSingleObject(child, INFINITE);
        CloseHandle(child);
        const std::string after = test::ReadFile(ini);
        ++left[after == start ? "start" : after == a ? "a" : after == b ? "b" : "broken"];
    }
    REQUIRE(_putenv("VENDARO_KILLED=") == 0);
    CHECK(left["broken"] == 0);
    // The next write removes the temporaries of the killed writers.
    CHECK(Kernel32Profile().SetString("Target", "Key0", "c", ini));
    const auto files = std::distance(std::filesystem::directory_iterator(dir.path()),
                                     std::filesystem::directory_iterator());
    CHECK(files == 1);
}

TEST_CASE("two programs writing one file lose no write") {
    if (const char* job = std::getenv("VENDARO_WRITER"); job != nullptr && *job != '\0') {
        // this is one of the two programs
        const std::string what(job), id = what.substr(0, 1), ini = what.substr(2);
        Kernel32Profile profile;
        for (int k = 0; k < 100; ++k) {
            REQUIRE(profile.SetString("Sales", "w" + id + "k" + std::to_string(k),
                                      std::to_string(k), ini));
        }
        return;
    }
    test::TempDir dir;
    const std::string ini = (dir.path() / "shared.ini").string();
    test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n");
    char exe[MAX_PATH + 1] = {};
    REQUIRE(GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0);
    intptr_t children[2];
    for (int i = 0; i < 2; ++i) {  // the environment is copied when a child starts
        REQUIRE(_putenv(("VENDARO_WRITER=" + std::to_string(i) + "|" + ini).c_str()) == 0);
        children[i] = _spawnl(_P_NOWAIT, exe, "child", "-tc=two*", "-nv", nullptr);
    }
    REQUIRE(_putenv("VENDARO_WRITER=") == 0);
    for (intptr_t child : children) {
        int code = 1;
        CHECK(_cwait(&code, child, 0) == child);
        CHECK(code == 0);
    }
    Kernel32Profile profile;
    for (int k = 0; k < 200; ++k) {
        const std::string key = "w" + std::to_string(k % 2) + "k" + std::to_string(k / 2);
        CHECK(profile.GetString("Sales", key, "", ini) == std::to_string(k / 2));
    }
    CHECK(profile.GetString("Sales", "Server", "", ini) == "db1");
}

// Run with VENDARO_HOLDER=<file> it is a holder that never lets go: it takes the file's mutex,
// says so with <file>.held and keeps the mutex until that file is removed (the end-to-end test
// of vendaro.exe runs it so too).
TEST_CASE("a file whose mutex another program keeps: a write gives up and says why") {
    using namespace std::chrono_literals;
    if (const char* held = std::getenv("VENDARO_HOLDER"); held != nullptr && *held != '\0') {
        const std::string marker = std::string(held) + ".held";
        HANDLE mutex = CreateMutexA(nullptr, FALSE, ("Global\\" + ProfileMutexName(held)).c_str());
        REQUIRE(WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0);
        test::WriteFile(marker, "");
        for (int i = 0; i < 1200 && std::filesystem::exists(marker); ++i)
            std::this_thread::sleep_for(100ms);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return;
    }
    test::TempDir dir;
    const std::string ini = (dir.path() / "vendaro.ini").string();
    test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n");
    char exe[MAX_PATH + 1] = {};
    REQUIRE(GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0);
    REQUIRE(_putenv(("VENDARO_HOLDER=" + ini).c_str()) == 0);
    const intptr_t holder = _spawnl(_P_NOWAIT, exe, "holder", "-tc=*whose?mutex*", "-nv", nullptr);
    REQUIRE(_putenv("VENDARO_HOLDER=") == 0);
    for (int i = 0; i < 600 && !std::filesystem::exists(ini + ".held"); ++i)
        std::this_thread::sleep_for(100ms);
    REQUIRE(std::filesystem::exists(ini + ".held"));
    Kernel32Profile profile;
    ClearFailure();
    const auto start = std::chrono::steady_clock::now();
    CHECK_FALSE(profile.SetString("Sales", "Server", "db2", ini));
    CHECK(std::chrono::steady_clock::now() - start >= 10s);
    CHECK(TakeFailure() == ini + " is in use by another program.");
    std::filesystem::remove(ini + ".held");
    int code = 1;
    CHECK(_cwait(&code, holder, 0) == holder);
    CHECK(test::ReadFile(ini) == "[Sales]\r\nServer=db1\r\n");
}

}  // namespace vendaro::win32
