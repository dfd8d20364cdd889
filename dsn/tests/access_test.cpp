#include <doctest/doctest.h>

#include "dsn/dsn_builder.h"
#include "dsn_test_support.h"

namespace vendaro {
namespace {

using namespace dsn_test;

const char* kSysDir = "C:\\WINNT\\System32";
const char* kJetFile = "c:\\winnt\\system32\\odbcjt32.dll";
const char* kLegacyIni = "c:\\winnt\\ODBC.INI";
const char* kStoredSecret = "}]rksh";  // "secret" under the key "marigold"

// The tail every Access list ends with: the legacy entries, the list entry, the installer.
void AppendAccessTail(WriteList& list, RegRoot root, const std::string& name, bool user) {
    Append(list, {
                     Ini(kLegacyIni, "ODBC 32 bit Data Sources", name,
                         "Microsoft Access Driver (*.mdb) (32 bit)"),
                     Ini(kLegacyIni, name, "Driver32", kJetFile),
                     Create(root, kDataSources),
                     Str(name, kAccess),
                     Close(),
                 });
    if (user) list.push_back(Config(kMainWindow, 2, kAccess, "DSN=" + name + "\0"s));
}

TEST_CASE("Access: every key set") {
    ScriptDir dir({
        "[Orders]",
        "DSN_Driver=Microsoft Access Driver (*.mdb)",
        "Description=Script description",
        "DBQ=C:\\Data\\orders.mdb",
        "DefaultDir=C:\\Data",
        "Exclusive=1",
        "FIL=MS Access 7.0;",
        std::string("PWD=") + kStoredSecret,
        "ReadOnly=Yes",
        "ExtendedAnsiSQL=1",
        "SafeTransactions=2",
        "SystemDB=C:\\Data\\system.mdw",
        "UID=admin",
        "DriverJet=Jet 4.0",
        "ImplicitCommitSync=Yes",
        "MaxBufferSize=2048",
        "MaxScanRows=8",
        "PageTimeout=5",
        "Threads=4",
        "UserCommitSync=No",
        // Keys of the script that are not sources of this driver's values.
        "Driver=C:\\elsewhere\\odbcjt32.dll",
        "DriverId=99",
    });
    ScriptStore store = dir.Store();

    for (DsnCommand command : {DsnCommand::User, DsnCommand::System}) {
        const bool user = command == DsnCommand::User;
        const RegRoot root = user ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        INFO((user ? "User" : "System"));
        WriteList expected{
            Create(root, kDsKey + "Orders"),
            Str("Description", "Order book"),
            Str("DBQ", "C:\\Data\\orders.mdb"),
            Str("Driver", kJetFile),
            Str("DefaultDir", "C:\\Data"),
            Num("DriverId", 25),
            Flag("Exclusive", 1),
            Str("FIL", "MS Access 7.0;"),
            Str("PWD", "secret"),
            Flag("ReadOnly", 0),
            Flag("ExtendedAnsiSQL", 1),
            Num("SafeTransactions", 2),
            Str("SystemDB", "C:\\Data\\system.mdw"),
            Str("UID", "admin"),
            Close(),
            Create(root, kDsKey + "Orders\\Engines\\Jet"),
            Str("Driver", "Jet 4.0"),
            Str("ImplicitCommitSync", "Yes"),
            Num("MaxBufferSize", 2048),
            Num("MaxScanRows", 8),
            Num("PageTimeout", 5),
            Num("Threads", 4),
            Str("UserCommitSync", "No"),
            Close(),
        };
        AppendAccessTail(expected, root, "Orders", user);
        CheckSameList(
            BuildWriteList(Request(command, "Orders", "Order book", kAccess), kSysDir, store),
            expected);
    }
}

TEST_CASE("Access: an empty script gets the named defaults") {
    ScriptDir dir({"[Blank]", "DSN_Driver=Microsoft Access Driver (*.mdb)"});
    ScriptStore store = dir.Store();
    WriteList expected{
        Create(RegRoot::LocalMachine, kDsKey + "Blank"),
        Str("Description", ""),
        Str("DBQ", ""),
        Str("Driver", kJetFile),
        Str("DefaultDir", ""),
        Num("DriverId", 25),
        Flag("Exclusive", 0),
        Str("FIL", "MS Access;"),
        Str("PWD", ""),
        Flag("ReadOnly", 0),
        Flag("ExtendedAnsiSQL", 0),
        Num("SafeTransactions", 0),
        Str("SystemDB", ""),
        Str("UID", ""),
        Close(),
        Create(RegRoot::LocalMachine, kDsKey + "Blank\\Engines\\Jet"),
        Str("Driver", ""),
        Str("ImplicitCommitSync", ""),
        Num("MaxBufferSize", 0),
        Num("MaxScanRows", 0),
        Num("PageTimeout", 0),
        Num("Threads", 3),
        Str("UserCommitSync", ""),
        Close(),
    };
    AppendAccessTail(expected, RegRoot::LocalMachine, "Blank", false);
    CheckSameList(BuildWriteList(Request(DsnCommand::System, "Blank", "", kAccess), kSysDir, store),
                  expected);
}

TEST_CASE("Access: hand-edited empty FIL and Threads lines are not missing keys") {
    ScriptDir dir({"[Hand]", "DSN_Driver=Microsoft Access Driver (*.mdb)",
                   "FIL=", "Threads=", "MaxScanRows=  25.5 rows"});
    ScriptStore store = dir.Store();
    WriteList list =
        BuildWriteList(Request(DsnCommand::System, "Hand", "", kAccess), kSysDir, store);
    REQUIRE(list.size() == 29);
    CHECK(list[7] == Str("FIL", ""));
    CHECK(list[19] == Num("MaxScanRows", 26));
    CHECK(list[21] == Num("Threads", 0));
}

TEST_CASE("Access: the Jet paths follow the system directory") {
    ScriptDir dir({"[J]", "DSN_Driver=Microsoft Access Driver (*.mdb)"});
    ScriptStore store = dir.Store();
    SUBCASE("C:\\WINDOWS\\SYSTEM with the rest of the buffer after a NUL") {
        WriteList list = BuildWriteList(Request(DsnCommand::System, "J", "", kAccess),
                                        "C:\\WINDOWS\\SYSTEM\0junk"s, store);
        REQUIRE(list.size() == 29);
        CHECK(list[3] == Str("Driver", "c:\\windows\\system\\odbcjt32.dll"));
        CHECK(list[24] == Ini("c:\\windows\\ODBC.INI", "ODBC 32 bit Data Sources", "J",
                              "Microsoft Access Driver (*.mdb) (32 bit)"));
        CHECK(list[25] ==
              Ini("c:\\windows\\ODBC.INI", "J", "Driver32", "c:\\windows\\system\\odbcjt32.dll"));
    }
    SUBCASE("no system directory: the legacy entries name no file") {
        WriteList list = BuildWriteList(Request(DsnCommand::System, "J", "", kAccess), "", store);
        REQUIRE(list.size() == 29);
        CHECK(list[3] == Str("Driver", "\\odbcjt32.dll"));
        CHECK(list[24] ==
              Ini("", "ODBC 32 bit Data Sources", "J", "Microsoft Access Driver (*.mdb) (32 bit)"));
    }
}

}  // namespace
}  // namespace vendaro
