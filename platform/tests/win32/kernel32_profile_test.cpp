// The kernel32 profile on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <thread>

#include "platform/failure.h"
#include "platform/win32/kernel32_profile.h"
#include "platform/win32/windows_api.h"
#include "testing/child_process.h"
#include "testing/scratch.h"

namespace vendaro::win32 {

// A scratch folder holding vendaro.ini with one script, and the profile.
struct Sales {
    test::TempDir dir;
    std::string ini = (dir.path() / "vendaro.ini").string();
    Sales() { test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n"); }
    Kernel32Profile profile;
};

TEST_CASE_FIXTURE(Sales, "names holding NUL read as the default") {
    CHECK(profile.GetString("Sales", std::string("Server\0x", 8), "def", ini) == "def");
    CHECK(profile.GetString(std::string("Sales\0x", 7), "Server", "def", ini) == "def");
}

TEST_CASE_FIXTURE(Sales,
                  "a write keeps the file's attributes, a read-only file is refused, naming it") {
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
    CHECK(std::distance(std::filesystem::directory_iterator(dir.path()), {}) == 1);
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Run with VENDARO_HOLDER=<file> it is a holder that never lets go: it takes the file's mutex,
// says so with <file>.held and keeps the mutex until that file is removed.
TEST_CASE("a file whose mutex another program keeps: a write gives up and says why") {
    using namespace std::chrono_literals;
    if (const std::string held = test::RoleOf("VENDARO_HOLDER"); !held.empty()) {
        const std::string marker = held + ".held";
        HANDLE mutex = CreateMutexA(nullptr, FALSE, ("Global\\" + ProfileMutexName(held)).c_str());
        REQUIRE(WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0);
        test::WriteFile(marker, "");
        for (int i = 0; i < 1200 && std::filesystem::exists(marker); ++i)
            std::this_thread::sleep_for(100ms);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return;
    }
    Sales f;
    test::ChildProcess holder("VENDARO_HOLDER", f.ini, "-tc=*whose?mutex*");
    for (int i = 0; i < 600 && !std::filesystem::exists(f.ini + ".held"); ++i)
        std::this_thread::sleep_for(100ms);
    REQUIRE(std::filesystem::exists(f.ini + ".held"));
    ClearFailure();
    // The same file by another spelling (forward slashes, a "." folder, capitals) is held too.
    std::string spelling = (f.dir.path() / "." / "VENDARO.INI").string();
    std::replace(spelling.begin(), spelling.end(), '\\', '/');
    const auto start = std::chrono::steady_clock::now();
    CHECK_FALSE(f.profile.SetString("Sales", "Server", "db2", spelling));
    CHECK(std::chrono::steady_clock::now() - start >= 10s);
    CHECK(TakeFailure() == spelling + " is in use by another program.");
    std::filesystem::remove(f.ini + ".held");
    CHECK(holder.Wait() == 0);
    CHECK(test::ReadFile(f.ini) == "[Sales]\r\nServer=db1\r\n");
}

}  // namespace vendaro::win32
