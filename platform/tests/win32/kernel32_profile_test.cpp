// The kernel32 profile on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <process.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "platform/failure.h"
#include "platform/ini_text.h"

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

constexpr int kSavedKeys = 27;  // what an editor's Save writes

// A Save of the script Target: every key set to `value` and its number.
std::vector<KeyEdit> SaveOf(const std::string& value, std::vector<std::string>& keep) {
    keep.clear();
    for (int i = 0; i < kSavedKeys; ++i) keep.push_back(value + std::to_string(i));
    std::vector<KeyEdit> edits;
    for (int i = 0; i < kSavedKeys; ++i) {
        static const std::vector<std::string> names = [] {
            std::vector<std::string> n;
            for (int k = 0; k < kSavedKeys; ++k) n.push_back("Key" + std::to_string(k));
            return n;
        }();
        edits.push_back(KeyEdit{names[i], keep[i], false});
    }
    return edits;
}

// The legacy ODBC.INI entries of a data source, as DSN creation writes them, with `value`.
bool DsnWrites(Kernel32Profile& profile, const std::string& value, const std::string& ini) {
    return profile.SetString("ODBC 32 bit Data Sources", "Target", value, ini) &&
           profile.SetString("Target", "Driver32", value, ini);
}

// Every file the writes of one child can leave: the start and whatever any sequence of its
// whole writes makes of it.
std::set<std::string> Versions(const std::string& start, bool save) {
    std::set<std::string> seen{start};
    std::vector<std::string> todo{start};
    while (!todo.empty()) {
        const std::string file = todo.back();
        todo.pop_back();
        for (const char* value : {"a", "b"}) {
            std::vector<std::string> next;
            const ini::Document doc(file);
            if (save) {
                std::vector<std::string> keep;
                next.push_back(doc.WithKeyEdits("Target", SaveOf(value, keep)));
            } else {
                next.push_back(doc.WithValue("ODBC 32 bit Data Sources", "Target", value));
                next.push_back(doc.WithValue("Target", "Driver32", value));
            }
            for (std::string& n : next) {
                if (seen.insert(n).second) todo.push_back(std::move(n));
            }
        }
    }
    return seen;
}

}  // namespace

TEST_CASE("a writer killed at any moment leaves the file whole, old or new") {
    if (const char* job = std::getenv("VENDARO_KILLED"); job != nullptr && *job != '\0') {
        // this is the writer: Saves (or DSN creations) of two versions, one after the other,
        // until it is killed
        const std::string what(job), ini = what.substr(2);
        Kernel32Profile profile;
        for (int round = 0;; ++round) {
            const std::string value = round % 2 == 0 ? "a" : "b";
            std::vector<std::string> keep;
            if (what[0] == 's') {
                REQUIRE(profile.WriteKeys("Target", SaveOf(value, keep), ini) == kSavedKeys);
            } else {
                REQUIRE(DsnWrites(profile, value, ini));
            }
        }
    }
    test::TempDir dir;
    char exe[MAX_PATH + 1] = {};
    REQUIRE(GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0);
    std::mt19937 random(20261207);
    for (const bool save : {true, false}) {
        // Large enough that a rewrite takes a while: a kill lands in the middle of many.
        std::string start = save ? "" : "[ODBC 32 bit Data Sources]\r\n";
        for (int i = 0; i < 20000; ++i) {
            if (!save) start += "Other" + std::to_string(i) + "=Microsoft Access Driver\r\n";
        }
        for (int i = 0; i < 20000; ++i) {
            start += "[Other" + std::to_string(i) + "]\r\nDSN_Driver=SQL Server\r\n";
            if (i == 10000) start += "[Target]\r\nDriver32=0\r\nKey0=0\r\n";
        }
        const std::string ini = (dir.path() / (save ? "vendaro.ini" : "ODBC.INI")).string();
        test::WriteFile(ini, start);
        const std::set<std::string> versions = Versions(start, save);
        REQUIRE(_putenv(("VENDARO_KILLED=" + std::string(save ? "s|" : "d|") + ini).c_str()) == 0);
        int whole = 0, changed = 0;
        const int kills = 40;
        for (int kill = 0; kill < kills; ++kill) {
            const intptr_t child = _spawnl(_P_NOWAIT, exe, "child", "-tc=*killed*", "-nv", nullptr);
            REQUIRE(child != -1);
            // The child needs some 100 ms to start, a rewrite some 10 ms.
            Sleep(std::uniform_int_distribution<DWORD>(60, 400)(random));
            const auto process = reinterpret_cast<HANDLE>(child);
            TerminateProcess(process, 9);
            WaitForSingleObject(process, INFINITE);
            CloseHandle(process);
            const std::string after = test::ReadFile(ini);
            whole += versions.count(after) == 1;
            changed += after != start;
        }
        REQUIRE(_putenv("VENDARO_KILLED=") == 0);
        CAPTURE(ini);
        CHECK(whole == kills);
        CHECK(changed > 0);  // the writer was at work when it was killed
        // The next write removes the temporaries of the killed writers.
        Kernel32Profile profile;
        CHECK(DsnWrites(profile, "c", ini));
        int temporaries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            temporaries += entry.path().filename().string().find(".~vdr") != std::string::npos;
        }
        CHECK(temporaries == 0);
    }
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

}  // namespace vendaro::win32
