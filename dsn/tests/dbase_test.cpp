#include <doctest/doctest.h>

#include "dsn/dsn_builder.h"
#include "dsn_test_support.h"

namespace vendaro {
namespace {

using namespace dsn_test;

const char* kSysDir = "C:\\WINNT\\System32";
const char* kJetFile = "c:\\winnt\\system32\\odbcjt32.dll";
const char* kLegacyIni = "c:\\winnt\\ODBC.INI";

void AppendDbaseTail(WriteList& list, RegRoot root, const std::string& name, bool user) {
    Append(list, {
                     Ini(kLegacyIni, "ODBC 32 bit Data Sources", name,
                         "Microsoft dBase Driver (*.dbf) (32 bit)"),
                     Ini(kLegacyIni, name, "Driver32", kJetFile),
                     Create(root, kDataSources),
                     Str(name, kDbase),
                     Close(),
                 });
    if (user) list.push_back(Config(kMainWindow, 2, kDbase, "DSN=" + name + "\0"s));
}

TEST_CASE("dBase: every key set") {
    ScriptDir dir({
        "[Stock]",
        "DSN_Driver=Microsoft dBase Driver (*.dbf)",
        "Description=Script description",
        "DefaultDir=C:\\Data\\dbf",
        "FIL=dBase IV",
        "Exclusive=1",
        "PageTimeout=600",
        "CollatingSequence=ASCII",
        "Deleted=1",
        "Statistics=1",
        // Keys this driver's values do not come from: its values are fixed.
        "SafeTransactions=5",
        "UID=someone",
        "Threads=8",
        "UserCommitSync=No",
        "ImplicitCommitSync=Yes",
        "DriverId=1",
    });
    ScriptStore store = dir.Store();

    for (DsnCommand command : {DsnCommand::User, DsnCommand::System}) {
        const bool user = command == DsnCommand::User;
        const RegRoot root = user ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        INFO((user ? "User" : "System"));
        WriteList expected{
            Create(root, kDsKey + "Stock"),
            Str("Description", "Warehouse"),
            Str("DefaultDir", "C:\\Data\\dbf"),
            Str("Driver", kJetFile),
            Num("DriverId", 277),
            Str("FIL", "dBase IV;"),
            Flag("Exclusive", 1),
            Num("SafeTransactions", 0),
            Str("UID", ""),
            Close(),
            Create(root, kDsKey + "Stock\\Engines\\Xbase"),
            Str("ImplicitCommitSync", ""),
            Num("PageTimeout", 600),
            Num("Threads", 3),
            Str("UserCommitSync", "Yes"),
            Str("CollatingSequence", "ASCII"),
            Flag("Deleted", 0),
            Flag("Statistics", 1),
            Close(),
        };
        AppendDbaseTail(expected, root, "Stock", user);
        CheckSameList(
            BuildWriteList(Request(command, "Stock", "Warehouse", kDbase), kSysDir, store),
            expected);
    }
}

TEST_CASE("dBase: an empty script writes no DefaultDir and no DriverId") {
    ScriptDir dir({"[Blank]", "DSN_Driver=Microsoft dBase Driver (*.dbf)"});
    ScriptStore store = dir.Store();
    WriteList expected{
        Create(RegRoot::LocalMachine, kDsKey + "Blank"),
        Str("Description", ""),
        Str("Driver", kJetFile),
        Str("FIL", ";"),
        Flag("Exclusive", 0),
        Num("SafeTransactions", 0),
        Str("UID", ""),
        Close(),
        Create(RegRoot::LocalMachine, kDsKey + "Blank\\Engines\\Xbase"),
        Str("ImplicitCommitSync", ""),
        Num("PageTimeout", 0),
        Num("Threads", 3),
        Str("UserCommitSync", "Yes"),
        Str("CollatingSequence", ""),
        Flag("Deleted", 1),
        Flag("Statistics", 0),
        Close(),
    };
    AppendDbaseTail(expected, RegRoot::LocalMachine, "Blank", false);
    CheckSameList(BuildWriteList(Request(DsnCommand::System, "Blank", "", kDbase), kSysDir, store),
                  expected);
}

TEST_CASE("dBase: DriverId and FIL by the file type") {
    struct Row {
        std::string fil;
        int driver_id;  // 0: no DriverId value
        std::string written_fil;
    };
    const Row rows[] = {
        {"dBase III", 21, "dBase III;"},  {"dBase IV", 277, "dBase IV;"},
        {"dBase 5.0", 533, "dBase 5.0"},  {"", 0, ";"},
        {"dbase iv", 0, "dbase iv;"},     {"dBase 5", 0, "dBase 5;"},
        {"dBase III;", 0, "dBase III;;"},
    };
    for (const Row& row : rows) {
        INFO("FIL \"", row.fil, "\"");
        ScriptDir dir({"[F]", "DSN_Driver=Microsoft dBase Driver (*.dbf)", "FIL=" + row.fil});
        ScriptStore store = dir.Store();
        WriteList list =
            BuildWriteList(Request(DsnCommand::System, "F", "", kDbase), kSysDir, store);
        REQUIRE(list.size() >= 5);
        // Description, Driver, [DriverId], FIL follow the create.
        CHECK(list[2] == Str("Driver", kJetFile));
        if (row.driver_id != 0) {
            CHECK(list[3] == Num("DriverId", row.driver_id));
            CHECK(list[4] == Str("FIL", row.written_fil));
        } else {
            CHECK(list[3] == Str("FIL", row.written_fil));
        }
    }
}

TEST_CASE("dBase: Deleted is written inverted, Statistics as it is") {
    struct Row {
        const char* line;  // nullptr: key missing
        int deleted;
        int statistics;
    };
    const Row rows[] = {
        {"1", 0, 1}, {"0", 1, 0}, {"yes", 1, 0}, {"", 1, 0}, {nullptr, 1, 0},
    };
    for (const Row& row : rows) {
        INFO("value \"", (row.line ? row.line : "(missing)"), "\"");
        std::vector<std::string> lines{"[D]", "DSN_Driver=Microsoft dBase Driver (*.dbf)"};
        if (row.line) {
            lines.push_back(std::string("Deleted=") + row.line);
            lines.push_back(std::string("Statistics=") + row.line);
        }
        ScriptDir dir(lines);
        ScriptStore store = dir.Store();
        WriteList list =
            BuildWriteList(Request(DsnCommand::System, "D", "", kDbase), kSysDir, store);
        REQUIRE(list.size() == 22);
        CHECK(list[14] == Flag("Deleted", row.deleted));
        CHECK(list[15] == Flag("Statistics", row.statistics));
    }
}

}  // namespace
}  // namespace vendaro
