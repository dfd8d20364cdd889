#include <doctest/doctest.h>

#include "dsn/dsn_builder.h"
#include "dsn_test_support.h"

namespace vendaro {
namespace {

using namespace dsn_test;

const char* kSysDir = "C:\\WINNT\\System32";

TEST_CASE("SQL Server: the Sales example") {
    ScriptDir dir({
        "[Sales]",
        "DSN_Driver=SQL Server",
        "Description=Sales figures",
        "Database=pubs",
        "Driver=C:\\WINNT\\System32\\SQLSRV32.dll",
        "LastUser=sa",
        "Server=DBHOST",
    });
    ScriptStore store = dir.Store();
    const std::string attributes = "DSN=Sales\0"s;

    SUBCASE("User DSN, interactive") {
        WriteList expected{
            Create(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Sales"),
            Str("Database", "pubs"),
            // The script's Description, not the row's.
            Str("Description", "Sales figures"),
            Str("Driver", "C:\\WINNT\\System32\\SQLSRV32.dll"),
            Str("LastUser", "sa"),
            Str("Server", "DBHOST"),
            Close(),
            Create(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources"),
            Str("Sales", "SQL Server"),
            Close(),
            Config(kMainWindow, 2, "SQL Server", attributes),
        };
        DsnRequest request = Request(DsnCommand::User, "Sales", "Row text", kSqlServer);
        CheckSameList(BuildWriteList(request, kSysDir, store), expected);
        // Running it again produces the same list.
        CheckSameList(BuildWriteList(request, kSysDir, store), expected);
    }
    SUBCASE("System DSN, interactive") {
        WriteList expected{
            Create(RegRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales"),
            Str("Database", "pubs"),
            Str("Description", "Sales figures"),
            Str("Driver", "C:\\WINNT\\System32\\SQLSRV32.dll"),
            Str("LastUser", "sa"),
            Str("Server", "DBHOST"),
            Close(),
            Create(RegRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources"),
            Str("Sales", "SQL Server"),
            Close(),
        };
        CheckSameList(
            BuildWriteList(Request(DsnCommand::System, "Sales", "Row", kSqlServer), kSysDir, store),
            expected);
    }
}

TEST_CASE("SQL Server: missing and empty keys give empty strings") {
    SUBCASE("only the common keys") {
        ScriptDir dir({"[Empty]", "DSN_Driver=SQL Server"});
        ScriptStore store = dir.Store();
        WriteList expected{
            Create(RegRoot::LocalMachine, kDsKey + "Empty"),
            Str("Database", ""),
            Str("Description", ""),
            Str("Driver", ""),
            Str("LastUser", ""),
            Str("Server", ""),
            Close(),
            Create(RegRoot::LocalMachine, kDataSources),
            Str("Empty", "SQL Server"),
            Close(),
        };
        CheckSameList(
            BuildWriteList(Request(DsnCommand::System, "Empty", "Row", kSqlServer), kSysDir, store),
            expected);
    }
    SUBCASE("a hand-edited empty Server line") {
        ScriptDir dir({"[S]", "DSN_Driver=SQL Server", "Server=", "Database=db"});
        ScriptStore store = dir.Store();
        WriteList expected{
            Create(RegRoot::LocalMachine, kDsKey + "S"),
            Str("Database", "db"),
            Str("Description", ""),
            Str("Driver", ""),
            Str("LastUser", ""),
            Str("Server", ""),
            Close(),
            Create(RegRoot::LocalMachine, kDataSources),
            Str("S", "SQL Server"),
            Close(),
        };
        CheckSameList(
            BuildWriteList(Request(DsnCommand::System, "S", "", kSqlServer), kSysDir, store),
            expected);
    }
    SUBCASE("no script file at all") {
        ScriptDir dir;
        std::filesystem::remove(std::filesystem::path(dir.path()) / "vendaro.ini");
        ScriptStore store = dir.Store();
        WriteList list =
            BuildWriteList(Request(DsnCommand::System, "Gone", "", kSqlServer), kSysDir, store);
        REQUIRE(list.size() == 10);
        CHECK(list[1] == Str("Database", ""));
        CHECK(list[5] == Str("Server", ""));
    }
}

TEST_CASE("keys are read from the script named by the row") {
    ScriptDir dir({
        "[Other]",
        "DSN_Driver=SQL Server",
        "Server=WRONG",
        "[Sales]",
        "DSN_Driver=SQL Server",
        "Server=RIGHT",
    });
    ScriptStore store = dir.Store();
    WriteList list =
        BuildWriteList(Request(DsnCommand::System, "Sales", "", kSqlServer), kSysDir, store);
    REQUIRE(list.size() == 10);
    CHECK(list[5] == Str("Server", "RIGHT"));
}

TEST_CASE("FoxPro and unknown drivers: an empty data source key and its list entry") {
    ScriptDir dir({"[Fox]", "DSN_Driver=Microsoft Visual FoxPro Driver", "Server=ignored",
                   "Database=ignored"});
    ScriptStore store = dir.Store();
    const std::string drivers[] = {kFoxPro, "sql server", "SQL Server ", "",
                                   "Microsoft Access Driver"};
    SUBCASE("User DSN still calls the installer") {
        for (const std::string& driver : drivers) {
            INFO("driver \"", driver, "\"");
            WriteList expected{
                Create(RegRoot::CurrentUser, kDsKey + "Fox"),
                Close(),
                Create(RegRoot::CurrentUser, kDataSources),
                Str("Fox", driver),
                Close(),
                Config(kMainWindow, 2, driver, "DSN=Fox\0"s),
            };
            CheckSameList(
                BuildWriteList(Request(DsnCommand::User, "Fox", "d", driver), kSysDir, store),
                expected);
        }
    }
    SUBCASE("System DSN") {
        for (const std::string& driver : drivers) {
            INFO("driver \"", driver, "\"");
            WriteList expected{
                Create(RegRoot::LocalMachine, kDsKey + "Fox"),
                Close(),
                Create(RegRoot::LocalMachine, kDataSources),
                Str("Fox", driver),
                Close(),
            };
            CheckSameList(
                BuildWriteList(Request(DsnCommand::System, "Fox", "d", driver), kSysDir, store),
                expected);
        }
    }
}

TEST_CASE("the installer step by command and start mode") {
    ScriptDir dir({"[Sales]", "DSN_Driver=SQL Server"});
    ScriptStore store = dir.Store();
    const std::string attributes = "DSN=Sales\0"s;
    struct Row {
        DsnCommand command;
        std::string start_mode;
        bool installer_called;
        WindowHandle window;
        int request;
    };
    const Row rows[] = {
        {DsnCommand::User, "", true, kMainWindow, 2},
        {DsnCommand::User, "u", true, kMainWindow, 2},
        {DsnCommand::User, "s", true, kMainWindow, 2},
        {DsnCommand::User, "ue", true, 0, 1},
        {DsnCommand::User, "se", true, 0, 1},
        {DsnCommand::System, "", false, 0, 0},
        {DsnCommand::System, "s", false, 0, 0},
        {DsnCommand::System, "u", false, 0, 0},
        {DsnCommand::System, "se", false, 0, 0},
        {DsnCommand::System, "ue", false, 0, 0},
    };
    for (const Row& row : rows) {
        INFO("command ", (row.command == DsnCommand::User ? "User" : "System"), ", start mode \"",
             row.start_mode, "\"");
        WriteList list = BuildWriteList(
            Request(row.command, "Sales", "", kSqlServer, row.start_mode), kSysDir, store);
        // The data source key (7 operations) and the list entry (3) come first either way.
        REQUIRE(list.size() == (row.installer_called ? 11u : 10u));
        CHECK(list[9] == Close());
        if (row.installer_called) {
            CHECK(list[10] == Config(row.window, row.request, "SQL Server", attributes));
        }
    }
}

TEST_CASE("the attribute string is DSN= and the name with one NUL") {
    std::string attributes = AttributeString("My Data");
    CHECK(attributes.size() == 12);
    CHECK(attributes == "DSN=My Data\0"s);
}

}  // namespace
}  // namespace vendaro
