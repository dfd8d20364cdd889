#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "platform/posix/console_dialogs.h"
#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"
#include "platform/tests/posix/posix_support.h"

namespace vendaro {
namespace {

namespace test = posix_test;

using test::IniSections;
using test::ParseIni;
using test::ReadFile;

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST_CASE("Registry paths and odbc.ini sections") {
    struct Row {
        const char* path;
        bool maps;
        const char* section;
        const char* prefix;
    };
    const std::vector<Row> rows = {
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sales", true, "Sales", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources", true, "ODBC Data Sources", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sales\\Engines\\Jet", true, "Sales", "Engines\\Jet\\"},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Files\\Engines\\Xbase", true, "Files", "Engines\\Xbase\\"},
        {"software\\odbc\\odbc.ini\\Sales", true, "Sales", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sales (old)", true, "Sales (old)", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBCINST.INI\\SQL Server", false, "", ""},
        {"SOFTWARE\\Microsoft\\Windows", false, "", ""},
        {"", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sales\\\\Jet", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sales\\", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sa]les", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\[Sales", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\ Sales", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sales ", false, "", ""},
        {"SOFTWARE\\ODBC\\ODBC.INI\\Sa\nles", false, "", ""},
    };
    for (const Row& row : rows) {
        CAPTURE(row.path);
        std::optional<OdbcIniKey> key = MapRegistryPath(row.path);
        REQUIRE(key.has_value() == row.maps);
        if (!key) continue;
        CHECK(key->section == row.section);
        CHECK(key->prefix == row.prefix);
    }
}

TEST_CASE("Entries that odbc.ini can hold") {
    struct Row {
        const char* name;
        const char* value;
        bool storable;
    };
    const std::vector<Row> rows = {
        {"Server", "srv1", true},
        {"Engines\\Jet\\Threads", "3", true},
        {"FIL", "MS Access;", true},
        {"Start", "dbeng6 -c 8M", true},
        {"Description", "", true},
        {"", "x", false},
        {"a=b", "x", false},
        {"[x", "x", false},
        {";x", "x", false},
        {"#x", "x", false},
        {" Server", "x", false},
        {"Server ", "x", false},
        {"Server", "two\nlines", false},
        {"Server", "two\rlines", false},
        {"Ser\nver", "x", false},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        CAPTURE(row.value);
        CHECK(IsStorableEntry(row.name, row.value) == row.storable);
    }
    CHECK_FALSE(IsStorableEntry("Server", std::string("nul\0inside", 10)));
}

struct OdbcFolder {
    test::TempDir dir;
    std::filesystem::path user_file = dir.path() / "user-odbc.ini";
    std::filesystem::path system_dir = test::SharedSystemFolder();
    std::filesystem::path system_file = system_dir / "odbc.ini";
    test::EnvScope env{{{"ODBCINI", user_file.string()}, {"ODBCSYSINI", system_dir.string()}}};
    OdbcRegistry registry;

    OdbcFolder() { std::filesystem::remove_all(system_file); }
    ~OdbcFolder() { std::filesystem::remove_all(system_file); }
    IniSections User() const { return ParseIni(ReadFile(user_file)); }
    IniSections System() const { return ParseIni(ReadFile(system_file)); }
};

const std::string kKey = "SOFTWARE\\ODBC\\ODBC.INI\\";

TEST_CASE("User data sources") {
    OdbcFolder odbc;
    RegHandle key = odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "Sales");
    REQUIRE(key != 0);
    CHECK(odbc.registry.SetString(key, "Server", "srv1"));
    CHECK(odbc.registry.SetString(key, "LastUser", ""));
    CHECK(odbc.registry.SetNumber(key, "DriverId", 25));
    CHECK(odbc.registry.SetNumber(key, "Negative", -2147483647 - 1));
    CHECK(odbc.registry.SetFlagByte(key, "Exclusive", 1));
    CHECK(odbc.registry.SetFlagByte(key, "ReadOnly", 0));
    CHECK(odbc.registry.CloseKey(key));

    RegHandle jet = odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "Sales\\Engines\\Jet");
    REQUIRE(jet != 0);
    CHECK(odbc.registry.SetNumber(jet, "Threads", 3));
    CHECK(odbc.registry.CloseKey(jet));

    RegHandle empty = odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "Archive");
    REQUIRE(empty != 0);
    CHECK(odbc.registry.CloseKey(empty));

    IniSections user = odbc.User();
    CHECK(user["Sales"] == Entries{{"Server", "srv1"},
                                   {"LastUser", ""},
                                   {"DriverId", "25"},
                                   {"Negative", "-2147483648"},
                                   {"Exclusive", "1"},
                                   {"ReadOnly", "0"},
                                   {"Engines\\Jet\\Threads", "3"}});
    REQUIRE(user.count("Archive") == 1);
    CHECK(user["Archive"].empty());
    CHECK_FALSE(std::filesystem::exists(odbc.system_file));

    SUBCASE("writing again replaces a value and keeps the others") {
        RegHandle again = odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "sales");
        REQUIRE(again != 0);
        CHECK(odbc.registry.SetString(again, "SERVER", "srv2"));
        CHECK(odbc.registry.CloseKey(again));
        IniSections after = odbc.User();
        CHECK(after.size() == user.size());
        REQUIRE(after["Sales"].size() == 7);
        int servers = 0;
        for (const auto& [name, value] : after["Sales"]) {
            if (name == "Server" || name == "SERVER") {
                ++servers;
                CHECK(value == "srv2");
            }
        }
        CHECK(servers == 1);
    }
    SUBCASE("what cannot be written fails and leaves the file as it was") {
        const std::string before = ReadFile(odbc.user_file);
        RegHandle again = odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "Sales");
        REQUIRE(again != 0);
        CHECK_FALSE(odbc.registry.SetString(again, "Server", "srv\n[Injected]"));
        CHECK_FALSE(odbc.registry.SetString(again, "Key=Value", "x"));
        CHECK_FALSE(odbc.registry.SetString(again, "", "x"));
        CHECK(odbc.registry.SetString(again, "Database", "fine"));
        // One refused value fails the key: none of its values is written.
        CHECK_FALSE(odbc.registry.CloseKey(again));
        CHECK_FALSE(odbc.registry.CloseKey(again));
        CHECK_FALSE(odbc.registry.SetString(again, "Server", "closed"));
        CHECK_FALSE(odbc.registry.SetNumber(0, "Port", 1));
        CHECK_FALSE(odbc.registry.SetFlagByte(12345, "Flag", 1));
        CHECK(odbc.registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBCINST.INI\\x") ==
              0);
        CHECK(odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "Bad]Name") == 0);
        CHECK(odbc.registry.CreateKey(static_cast<RegRoot>(0x80000003u), kKey + "Sales") == 0);
        CHECK(ReadFile(odbc.user_file) == before);
    }
    SUBCASE("unixODBC reads back what was written") {
        test::ProcessResult listed = test::RunProcess(
            {"odbcinst", "-q", "-s", "-n", "Sales"}, odbc.dir.path(),
            {{"ODBCINI", odbc.user_file.string()}, {"ODBCSYSINI", odbc.system_dir.string()}});
        REQUIRE(listed.exit_status == 0);
        IniSections read = ParseIni(listed.out);
        CHECK(read["Sales"] == user["Sales"]);
        test::ProcessResult all = test::RunProcess(
            {"odbcinst", "-q", "-s"}, odbc.dir.path(),
            {{"ODBCINI", odbc.user_file.string()}, {"ODBCSYSINI", odbc.system_dir.string()}});
        CHECK(all.out.find("[Sales]") != std::string::npos);
        CHECK(all.out.find("[Archive]") != std::string::npos);
    }
}

TEST_CASE("System data sources") {
    OdbcFolder odbc;

    SUBCASE("the system odbc.ini is made when it is missing") {
        REQUIRE_FALSE(std::filesystem::exists(odbc.system_file));
        RegHandle key = odbc.registry.CreateKey(RegRoot::LocalMachine, kKey + "Sales");
        REQUIRE(key != 0);
        CHECK(odbc.registry.SetString(key, "Server", "srv1"));
        CHECK(odbc.registry.CloseKey(key));
        CHECK(odbc.System()["Sales"] == Entries{{"Server", "srv1"}});
        CHECK_FALSE(std::filesystem::exists(odbc.user_file));
    }
    SUBCASE("a folder that does not exist") {
        test::EnvScope missing({{"ODBCINI", (odbc.dir.path() / "missing" / "odbc.ini").string()}});
        RegHandle key = odbc.registry.CreateKey(RegRoot::CurrentUser, kKey + "Sales");
        CHECK(key == 0);
        CHECK_FALSE(odbc.registry.SetString(key, "Server", "srv1"));
        CHECK_FALSE(odbc.registry.CloseKey(key));
        CHECK_FALSE(std::filesystem::exists(odbc.dir.path() / "missing"));
    }
    SUBCASE("a folder where odbc.ini should be") {
        std::filesystem::create_directory(odbc.system_file);
        RegHandle key = odbc.registry.CreateKey(RegRoot::LocalMachine, kKey + "Sales");
        bool written = key != 0 && odbc.registry.SetString(key, "Server", "srv1");
        CHECK_FALSE(written);
        CHECK(std::filesystem::is_directory(odbc.system_file));
    }
}

TEST_CASE("The installer and the console dialogs of the Linux program") {
    OdbcFolder odbc;
    OdbcInstaller installer;
    CHECK(installer.SystemDirectory() == "c:\\windows\\system32");
    // No such driver is installed in the empty folder: the installer says no, writing nothing.
    CHECK_FALSE(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "SQL Server",
                                           std::string("DSN=Sales\0", 10)));
    CHECK_FALSE(std::filesystem::exists(odbc.user_file));

    std::ostringstream err;
    ConsoleDialogs dialogs(err);
    MessageBoxRequest question;
    question.title = "Vendaro!";
    question.text = "Are you sure?";
    question.buttons = MsgButtons::YesNo;
    CHECK(dialogs.MessageBox(question) == MsgAnswer::No);
    question.buttons = MsgButtons::Ok;
    CHECK(dialogs.MessageBox(question) == MsgAnswer::Ok);
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone").empty());
    std::string file = "unchanged";
    CHECK_FALSE(dialogs.OpenFile(OpenFileRequest{}, file));
    std::string folder;
    CHECK_FALSE(dialogs.BrowseFolder(0, "Folder", "/", folder));
    CHECK_FALSE(dialogs.Launch("notepad.exe faq.fil"));
    CHECK(err.str().find("Vendaro!: Are you sure?") != std::string::npos);
    CHECK(err.str().find("notepad.exe faq.fil") != std::string::npos);
}

}  // namespace
}  // namespace vendaro
