// The kernel32 profile on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <process.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/failure.h"
#include "platform/win32/kernel32_profile.h"
#include "platform/win32/windows_api.h"
#include "testing/scratch.h"

namespace vendaro::win32 {

TEST_CASE("names holding NUL read as the default; a UTF-16 file is read") {
    test::TempDir dir;
    const std::string ini = (dir.path() / "vendaro.ini").string();
    test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n");
    Kernel32Profile profile;
    CHECK(profile.GetString("Sales", std::string("Server\0x", 8), "def", ini) == "def");
    CHECK(profile.GetString(std::string("Sales\0x", 7), "Server", "def", ini) == "def");
    std::string wide = "\xFF\xFE";
    for (char c : std::string("[s]\r\nk=v\r\n")) wide.append({c, '\0'});
    test::WriteFile(ini, wide);
    CHECK(profile.GetString("s", "k", "d", ini) == "v");
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
