#include <doctest/doctest.h>

#include "dsn/dsn_builder.h"
#include "dsn_test_support.h"

namespace vendaro {
namespace {

using namespace dsn_test;

const char* kSysDir = "C:\\WINNT\\System32";

// "secret" as the editors store it under the key "marigold" (key number 14: the shifts of
// the six phases are +10, -8, +15, -7, +14, -12).
const char* kStoredSecret = "}]rksh";

TEST_CASE("Adaptive Server Anywhere: every key set") {
    ScriptDir dir({
        "[Asa Demo]",
        "DSN_Driver=Adaptive Server Anywhere 6.0",
        "Description=Changed by hand",
        "IsolationLevel=1",
        "KeysInSQLStatistics=Yes",
        "Delphi=No",
        "PreventNotCapable=Yes",
        "LazyAutoCommit=No",
        "DescribeCursor=Always",
        "Integrated=No",
        "UID=dba",
        std::string("PWD=") + kStoredSecret,
        "EngineName=asademo",
        "Start=dbeng6 -c 8m",
        "Database=asademo",
        "DatabaseFile=C:\\ASA\\asademo.db",
        "AutoStart=Yes",
        "AutoStop=No",
        "CommLinks=SharedMemory,TCPIP{HOST=db1;PORT=2638}",
        "Encryption=Yes",
        "LivenessTimeout=120",
        "CommBufferSize=1460",
        "CommBufferSpace=4",
        "ConnectionName=conn1",
        "Charset=cp1252",
        "DisableMultiRowFetch=No",
        "LogFile=C:\\ASA\\odbc.log",
        "Debug=No",
        // Not one of this driver's values.
        "Driver=C:\\nowhere.dll",
    });
    ScriptStore store = dir.Store();

    for (DsnCommand command : {DsnCommand::User, DsnCommand::System}) {
        const RegRoot root =
            command == DsnCommand::User ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        INFO((command == DsnCommand::User ? "User" : "System"));
        WriteList expected{
            Create(root, kDsKey + "Asa Demo"),
            Str("Description", "Demo database"),
            Str("IsolationLevel", "1"),
            Str("KeysInSQLStatistics", "Yes"),
            Str("Delphi", "No"),
            Str("PreventNotCapable", "Yes"),
            Str("LazyAutoCommit", "No"),
            Str("DescribeCursor", "Always"),
            Str("Integrated", "No"),
            Str("UID", "dba"),
            Str("PWD", "secret"),
            Str("EngineName", "asademo"),
            Str("Start", "dbeng6 -c 8m"),
            Str("Database", "asademo"),
            Str("DatabaseFile", "C:\\ASA\\asademo.db"),
            Str("AutoStart", "Yes"),
            Str("AutoStop", "No"),
            Str("CommLinks", "SharedMemory,TCPIP{HOST=db1;PORT=2638}"),
            Str("Encryption", "Yes"),
            Str("LivenessTimeout", "120"),
            Str("CommBufferSize", "1460"),
            Str("CommBufferSpace", "4"),
            Str("ConnectionName", "conn1"),
            Str("Charset", "cp1252"),
            Str("DisableMultiRowFetch", "No"),
            Str("LogFile", "C:\\ASA\\odbc.log"),
            Str("Debug", "No"),
            Close(),
            Create(root, kDataSources),
            Str("Asa Demo", kAsa),
            Close(),
        };
        if (command == DsnCommand::User) {
            expected.push_back(Config(kMainWindow, 2, kAsa, "DSN=Asa Demo\0"s));
        }
        CheckSameList(
            BuildWriteList(Request(command, "Asa Demo", "Demo database", kAsa), kSysDir, store),
            expected);
    }
}

TEST_CASE("Adaptive Server Anywhere: an empty script still writes all 26 values") {
    ScriptDir dir({"[Asa]", "DSN_Driver=Adaptive Server Anywhere 6.0", "PWD="});
    ScriptStore store = dir.Store();
    WriteList expected{Create(RegRoot::LocalMachine, kDsKey + "Asa"), Str("Description", "")};
    for (const char* name : {"IsolationLevel",
                             "KeysInSQLStatistics",
                             "Delphi",
                             "PreventNotCapable",
                             "LazyAutoCommit",
                             "DescribeCursor",
                             "Integrated",
                             "UID",
                             "PWD",
                             "EngineName",
                             "Start",
                             "Database",
                             "DatabaseFile",
                             "AutoStart",
                             "AutoStop",
                             "CommLinks",
                             "Encryption",
                             "LivenessTimeout",
                             "CommBufferSize",
                             "CommBufferSpace",
                             "ConnectionName",
                             "Charset",
                             "DisableMultiRowFetch",
                             "LogFile",
                             "Debug"}) {
        expected.push_back(Str(name, ""));
    }
    Append(expected,
           {Close(), Create(RegRoot::LocalMachine, kDataSources), Str("Asa", kAsa), Close()});
    REQUIRE(expected.size() == 2 + 25 + 4);
    CheckSameList(BuildWriteList(Request(DsnCommand::System, "Asa", "", kAsa), kSysDir, store),
                  expected);
}

TEST_CASE("Adaptive Server Anywhere: integrated login and a leftover log file") {
    ScriptDir dir({"[I]", "DSN_Driver=Adaptive Server Anywhere 6.0", "Integrated=Yes",
                   "LogFile=C:\\old.log", "Debug=No"});
    ScriptStore store = dir.Store();
    WriteList list = BuildWriteList(Request(DsnCommand::System, "I", "", kAsa), kSysDir, store);
    REQUIRE(list.size() == 31);
    CHECK(list[8] == Str("Integrated", "Yes"));
    CHECK(list[9] == Str("UID", ""));
    CHECK(list[10] == Str("PWD", ""));
    CHECK(list[25] == Str("LogFile", "C:\\old.log"));
    CHECK(list[26] == Str("Debug", "No"));
}

}  // namespace
}  // namespace vendaro
