// The kernel32 profile on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/native_profile.h"
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
    CHECK(profile.Snapshot(ini)->GetString("s", "k", "d") == "v");
    CHECK(dynamic_cast<Kernel32Profile*>(MakeNativeProfile().get()) != nullptr);
}

TEST_CASE("WriteKeys gives the file that writing key by key gives") {
    struct Case {
        std::string before, section;
        std::vector<KeyEdit> edits;
        bool one_write;  // made as one section write
    };
    const std::string library =
        "[Sales]\r\nDSN_Driver=SQL Server\r\nServer=db1\r\n\r\n[Stock]\r\n; kept\r\nk=v\r\n";
    const std::vector<Case> cases = {
        {library, "SALES", {{"Server", "", true}, {"Database", "pubs"}, {"k", "\xE9"}}, true},
        {"", "Orders", {{"DSN_Driver", "SQL Server"}, {"k", "v"}}, true},
        {library, "Stock", {{"k", "x"}}, false},
    };
    test::TempDir dir;
    const std::string batch = (dir.path() / "b.ini").string(),
                      single = (dir.path() / "s.ini").string();
    for (const Case& c : cases) {
        CAPTURE(c.section);
        test::WriteFile(batch, c.before);
        test::WriteFile(single, c.before);
        Kernel32Profile by_key, profile;
        for (const KeyEdit& e : c.edits) {
            REQUIRE((e.remove ? by_key.DeleteKey(c.section, e.key, single)
                              : by_key.SetString(c.section, e.key, e.value, single)));
        }
        CHECK(profile.WriteKeys(c.section, c.edits, batch) == c.edits.size());
        CHECK(profile.section_writes() == (c.one_write ? 1u : 0u));
        CHECK(test::ReadFile(batch) == test::ReadFile(single));
    }
}

TEST_CASE("two programs writing one file lose no write") {
    test::TempDir dir;
    const std::string ini = (dir.path() / "shared.ini").string();
    test::WriteFile(ini, "[Sales]\r\nServer=db1\r\n");
    char exe[MAX_PATH + 1] = {};
    REQUIRE(GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0);
    PROCESS_INFORMATION children[2] = {};
    for (int i = 0; i < 2; ++i) {
        REQUIRE(_putenv(("VENDARO_WRITER=" + std::to_string(i) + "|" + ini).c_str()) == 0);
        std::string command = "\"" + std::string(exe) + "\" -tc=\"child: one writer*\" -nv";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        REQUIRE(CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &children[i]));
    }
    REQUIRE(_putenv("VENDARO_WRITER=") == 0);
    for (PROCESS_INFORMATION& child : children) {
        CHECK(WaitForSingleObject(child.hProcess, 120'000) == WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(child.hProcess, &code);
        CHECK(code == 0);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    Kernel32Profile profile;
    for (int k = 0; k < 200; ++k) {
        const std::string key = "w" + std::to_string(k % 2) + "k" + std::to_string(k / 2);
        CHECK(profile.GetString("Sales", key, "", ini) == std::to_string(k / 2));
    }
    CHECK(profile.GetString("Sales", "Server", "", ini) == "db1");
}

TEST_CASE("child: one writer of the two-program test") {
    const char* job = std::getenv("VENDARO_WRITER");
    if (job == nullptr || *job == '\0') return;  // run by the test above only
    const std::string what(job);
    const std::string id = what.substr(0, what.find('|')), ini = what.substr(what.find('|') + 1);
    Kernel32Profile profile;
    for (int k = 0; k < 100; ++k) {
        REQUIRE(
            profile.SetString("Sales", "w" + id + "k" + std::to_string(k), std::to_string(k), ini));
    }
}

}  // namespace vendaro::win32
