#include <doctest/doctest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dsn/conversions.h"
#include "dsn/dsn_command.h"
#include "dsn_test_support.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace dsn_test;
using Lines = std::vector<std::string>;

const Lines kSalesScript = {
    "[Sales]",       "DSN_Driver=SQL Server", "Description=Sales figures",
    "Database=pubs", "Driver=C:\\sql.dll",    "LastUser=sa",
    "Server=DBHOST",
};

// The recorded calls of a User DSN for the Sales example, interactive, nothing failing.
Lines SalesUserCalls() {
    return {
        "Busy on",
        "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\Sales",
        "RegSetString 1 Database=pubs",
        "RegSetString 1 Description=Sales figures",
        "RegSetString 1 Driver=C:\\sql.dll",
        "RegSetString 1 LastUser=sa",
        "RegSetString 1 Server=DBHOST",
        "RegCloseKey 1",
        "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources",
        "RegSetString 2 Sales=SQL Server",
        "RegCloseKey 2",
        "Busy off",
        "ConfigDataSource 4660 2 SQL Server|DSN=Sales\\0",
    };
}

void CheckCalls(const Lines& actual, const Lines& expected) {
    CHECK(actual.size() == expected.size());
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        INFO("call ", i + 1);
        CHECK((i < actual.size() ? actual[i] : "(nothing)") ==
              (i < expected.size() ? expected[i] : "(nothing)"));
    }
}

// A recording platform over the scratch directory's real profile, whose system directory
// puts the Windows directory's ODBC.INI inside the scratch directory.
struct Rig {
    explicit Rig(const Lines& script)
        : dir(script), rec(dir.profile()), store(dir.Store(rec.profile())) {
        std::filesystem::create_directories(std::filesystem::path(dir.path()) / "win");
        rec.system_directory = dir.path() + sep + "Win\\System32";
        system_dir = SystemDirectoryOf(rec.system_directory);
        legacy_ini = system_dir.substr(0, system_dir.rfind('\\')) + "\\ODBC.INI";
        jet_file = system_dir + "\\odbcjt32.dll";
    }
    DsnOutcome Run(DsnRequest request, bool legacy_odbc_ini = true) {
        Platform platform = rec.AsPlatform();
        platform.legacy_odbc_ini = legacy_odbc_ini;
        return CreateDsn(request, store, platform);
    }
    ScriptDir dir;
    RecordingPlatform rec;
    ScriptStore store;
    std::string sep{static_cast<char>(std::filesystem::path::preferred_separator)};
    std::string system_dir, legacy_ini, jet_file;
};

TEST_CASE("SQL Server: the Sales example as performed") {
    Rig rig(kSalesScript);
    SUBCASE("User DSN") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::User, "Sales", "Row", kSqlServer));
        CheckCalls(rig.rec.calls, SalesUserCalls());
        CHECK(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("User DSN has been created."));
        CHECK_FALSE(rig.rec.busy);
    }
    SUBCASE("System DSN") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::System, "Sales", "Row", kSqlServer));
        Lines expected = SalesUserCalls();
        expected.pop_back();  // no installer call
        for (std::string& line : expected) {
            if (line.rfind("RegCreateKey HKCU", 0) == 0) line.replace(13, 4, "HKLM");
        }
        CheckCalls(rig.rec.calls, expected);
        CHECK(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("System DSN has been created."));
    }
    SUBCASE("User DSN unattended: added without a window, nothing to show") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::User, "Sales", "Row", kSqlServer, "ue"));
        Lines expected = SalesUserCalls();
        expected.back() = "ConfigDataSource 0 1 SQL Server|DSN=Sales\\0";
        CheckCalls(rig.rec.calls, expected);
        CHECK(outcome.writes_ok);
        CHECK_FALSE(outcome.status_line.has_value());
    }
}

TEST_CASE("Access: performed with the Windows directory's ODBC.INI") {
    Rig rig({"[Orders]", "DSN_Driver=Microsoft Access Driver (*.mdb)", "DBQ=C:\\o.mdb",
             "Exclusive=1", "Threads=2"});
    const std::string driver = kAccess;
    Lines expected{
        "Busy on",
        "RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\Orders",
        "RegSetString 1 Description=Order book",
        "RegSetString 1 DBQ=C:\\o.mdb",
        "RegSetString 1 Driver=" + rig.jet_file,
        "RegSetString 1 DefaultDir=",
        "RegSetNumber 1 DriverId=25",
        "RegSetFlagByte 1 Exclusive=1",
        "RegSetString 1 FIL=MS Access;",
        "RegSetString 1 PWD=",
        "RegSetFlagByte 1 ReadOnly=0",
        "RegSetFlagByte 1 ExtendedAnsiSQL=0",
        "RegSetNumber 1 SafeTransactions=0",
        "RegSetString 1 SystemDB=",
        "RegSetString 1 UID=",
        "RegCloseKey 1",
        "RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\Orders\\Engines\\Jet",
        "RegSetString 2 Driver=",
        "RegSetString 2 ImplicitCommitSync=",
        "RegSetNumber 2 MaxBufferSize=0",
        "RegSetNumber 2 MaxScanRows=0",
        "RegSetNumber 2 PageTimeout=0",
        "RegSetNumber 2 Threads=2",
        "RegSetString 2 UserCommitSync=",
        "RegCloseKey 2",
        "ProfileSet " + rig.legacy_ini + "|ODBC 32 bit Data Sources|Orders=" + driver + " (32 bit)",
        "ProfileSet " + rig.legacy_ini + "|Orders|Driver32=" + rig.jet_file,
        "RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources",
        "RegSetString 3 Orders=" + driver,
        "RegCloseKey 3",
        "Busy off",
    };
    const DsnRequest request = Request(DsnCommand::System, "Orders", "Order book", kAccess);

    SUBCASE("nothing fails") {
        DsnOutcome outcome = rig.Run(request);
        CheckCalls(rig.rec.calls, expected);
        CHECK(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("System DSN has been created."));
        // The entries reached the file.
        Profile& p = rig.dir.profile();
        CHECK(p.GetString("ODBC 32 bit Data Sources", "Orders", "?", rig.legacy_ini) ==
              driver + " (32 bit)");
        CHECK(p.GetString("Orders", "Driver32", "?", rig.legacy_ini) == rig.jet_file);
    }
    SUBCASE("one value fails: the rest still runs, and the DSN is not reported created") {
        rig.rec.fail_prefixes = {"RegSetNumber 1 DriverId"};
        DsnOutcome outcome = rig.Run(request);
        expected[6] += " FAILED";
        CheckCalls(rig.rec.calls, expected);
        CHECK_FALSE(outcome.writes_ok);
        CHECK(outcome.status_line ==
              std::optional<std::string>("System DSN could not be created."));
    }
    SUBCASE("the data source key cannot be created: every later step still runs") {
        rig.rec.fail_prefixes = {"RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\Orders"};
        DsnOutcome outcome = rig.Run(request);
        // Both keys under Orders fail; their values go to no key (handle 0) and fail there;
        // the list entry then gets the first handle.
        Lines failed = expected;
        failed[1] += " FAILED";
        failed[16] += " FAILED";
        for (std::size_t i : {2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u}) {
            failed[i].replace(failed[i].find(" 1"), 2, " 0");
        }
        for (std::size_t i = 17; i <= 24; ++i) failed[i].replace(failed[i].find(" 2"), 2, " 0");
        failed[28] = "RegSetString 1 Orders=" + driver;
        failed[29] = "RegCloseKey 1";
        CheckCalls(rig.rec.calls, failed);
        CHECK_FALSE(outcome.writes_ok);
        CHECK(outcome.status_line ==
              std::optional<std::string>("System DSN could not be created."));
    }
    SUBCASE("the ODBC.INI entries fail: the list entry is still written") {
        rig.rec.fail_prefixes = {"ProfileSet"};
        DsnOutcome outcome = rig.Run(request);
        expected[25] += " FAILED";
        expected[26] += " FAILED";
        CheckCalls(rig.rec.calls, expected);
        CHECK_FALSE(outcome.writes_ok);
        CHECK(outcome.status_line ==
              std::optional<std::string>("System DSN could not be created."));
    }
    SUBCASE("a key that cannot be closed: its values may not have landed") {
        rig.rec.fail_prefixes = {"RegCloseKey"};
        DsnOutcome outcome = rig.Run(request);
        CHECK(rig.rec.calls.size() == expected.size());
        CHECK_FALSE(outcome.writes_ok);
        CHECK(outcome.status_line ==
              std::optional<std::string>("System DSN could not be created."));
    }
    SUBCASE("the ODBC.INI entries can be left out") {
        DsnOutcome outcome = rig.Run(request, /*legacy_odbc_ini=*/false);
        expected.erase(expected.begin() + 25, expected.begin() + 27);
        CheckCalls(rig.rec.calls, expected);
        CHECK(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("System DSN has been created."));
        CHECK_FALSE(std::filesystem::exists(rig.legacy_ini));
    }
}

TEST_CASE("dBase: a failure in the engine subkey is still reported") {
    Rig rig({"[Stock]", "DSN_Driver=Microsoft dBase Driver (*.dbf)", "FIL=dBase 5.0"});
    rig.rec.fail_prefixes = {"RegSetFlagByte 2 Deleted"};
    DsnOutcome outcome = rig.Run(Request(DsnCommand::User, "Stock", "", kDbase, "u"));
    const Lines& calls = rig.rec.calls;
    REQUIRE(calls.size() >= 3);
    CHECK(std::count(calls.begin(), calls.end(), "RegSetFlagByte 2 Deleted=1 FAILED") == 1);
    CHECK(std::count(calls.begin(), calls.end(), "RegSetFlagByte 2 Statistics=0") == 1);
    CHECK(calls[calls.size() - 2] == "Busy off");
    CHECK(calls.back() == "ConfigDataSource 4660 2 " + std::string(kDbase) + "|DSN=Stock\\0");
    CHECK_FALSE(outcome.writes_ok);
    CHECK(outcome.status_line == std::optional<std::string>("User DSN could not be created."));
}

TEST_CASE("the installer's answer does not decide the outcome") {
    Rig rig(kSalesScript);
    rig.rec.fail_prefixes = {"ConfigDataSource"};
    SUBCASE("interactive") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::User, "Sales", "", kSqlServer));
        Lines expected = SalesUserCalls();
        expected.back() += " FAILED";
        CheckCalls(rig.rec.calls, expected);
        CHECK(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("User DSN has been created."));
    }
    SUBCASE("unattended") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::User, "Sales", "", kSqlServer, "ue"));
        CHECK(outcome.writes_ok);
        CHECK_FALSE(outcome.status_line.has_value());
    }
}

TEST_CASE("status line by command, start mode and result") {
    struct Row {
        DsnCommand command;
        std::string start_mode;
        bool fail;
        std::optional<std::string> status;
    };
    const Row rows[] = {
        {DsnCommand::User, "", false, "User DSN has been created."},
        {DsnCommand::User, "u", false, "User DSN has been created."},
        {DsnCommand::User, "", true, "User DSN could not be created."},
        {DsnCommand::User, "u", true, "User DSN could not be created."},
        {DsnCommand::User, "ue", false, std::nullopt},
        {DsnCommand::User, "ue", true, std::nullopt},
        {DsnCommand::System, "", false, "System DSN has been created."},
        {DsnCommand::System, "s", false, "System DSN has been created."},
        {DsnCommand::System, "", true, "System DSN could not be created."},
        {DsnCommand::System, "s", true, "System DSN could not be created."},
        {DsnCommand::System, "se", false, std::nullopt},
        {DsnCommand::System, "se", true, std::nullopt},
    };
    for (const Row& row : rows) {
        INFO((row.command == DsnCommand::User ? "User" : "System"), " \"", row.start_mode, "\" ",
             row.fail ? "failing" : "succeeding");
        Rig rig(kSalesScript);
        if (row.fail) rig.rec.fail_prefixes = {"Reg"};
        DsnOutcome outcome = rig.Run(Request(row.command, "Sales", "", kSqlServer, row.start_mode));
        CHECK(outcome.writes_ok == !row.fail);
        CHECK(outcome.status_line == row.status);
        // Every step ran either way.
        CHECK(rig.rec.calls.size() == (row.command == DsnCommand::User ? 13u : 12u));
        CHECK_FALSE(rig.rec.busy);
    }
}

TEST_CASE("a row without a name creates nothing") {
    Rig rig({"[]", "DSN_Driver=Microsoft Access Driver (*.mdb)"});
    SUBCASE("interactive") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::User, "", "", kAccess));
        CHECK(rig.rec.calls.empty());
        CHECK_FALSE(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("User DSN could not be created."));
    }
    SUBCASE("unattended") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::System, "", "", kAccess, "se"));
        CHECK(rig.rec.calls.empty());
        CHECK_FALSE(outcome.writes_ok);
        CHECK_FALSE(outcome.status_line.has_value());
    }
}

TEST_CASE("ODBC.INI entries that name no file are refused, never sent to the script file") {
    Rig rig({"[Orders]", "DSN_Driver=Microsoft Access Driver (*.mdb)", "DBQ=C:\\o.mdb"});
    rig.rec.system_directory = "system32";  // no backslash: no Windows directory
    const std::string script_before = *rig.dir.profile().ReadAll(rig.store.ScriptFile());
    SUBCASE("written: refused and reported") {
        DsnOutcome outcome = rig.Run(Request(DsnCommand::System, "Orders", "", kAccess));
        for (const std::string& line : rig.rec.calls) CHECK(line.rfind("Profile", 0) != 0);
        CHECK(rig.rec.calls[rig.rec.calls.size() - 4] ==
              "RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources");
        CHECK_FALSE(outcome.writes_ok);
        CHECK(outcome.status_line ==
              std::optional<std::string>("System DSN could not be created."));
    }
    SUBCASE("left out: nothing to refuse") {
        DsnOutcome outcome =
            rig.Run(Request(DsnCommand::System, "Orders", "", kAccess), /*legacy_odbc_ini=*/false);
        for (const std::string& line : rig.rec.calls) CHECK(line.rfind("Profile", 0) != 0);
        CHECK(outcome.writes_ok);
        CHECK(outcome.status_line == std::optional<std::string>("System DSN has been created."));
    }
    CHECK(*rig.dir.profile().ReadAll(rig.store.ScriptFile()) == script_before);
}

}  // namespace
}  // namespace vendaro
