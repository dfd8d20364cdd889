// vendaroctl's commands against the recording platform: a library in a scratch folder, the
// registry in memory, the driver manager faked. Each command's output and exit status, and
// for apply and remove the very calls that reach the platform.
#include <doctest/doctest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/compare.h"
#include "ctl/json.h"
#include "ctl/library.h"
#include "ctl/vendaroctl.h"
#include "dsn/dsn_command.h"
#include "platform/ini_text.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"

namespace vendaro::ctl {
namespace {

using Args = std::vector<std::string>;

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

const std::string kLibrary =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n"
    "Database=pubs\r\n"
    "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDescription=Orders\r\n"
    "DBQ=C:\\o.mdb\r\nPWD=}]rkshA\r\n"
    "[Archive]\r\nDSN_Driver=Microsoft Visual FoxPro Driver\r\n";

const char* kSalesKey = "hkcu\\software\\odbc\\odbc.ini\\sales";

struct FakeConnector final : OdbcConnector {
    std::string connection_string;
    int timeout = -1;
    ConnectResult answer;
    ConnectResult Connect(const std::string& text, int seconds) override {
        connection_string = text;
        timeout = seconds;
        return answer;
    }
};

struct Ctl {
    test::TempDir dir;
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    RecordingPlatform rec{*profile};
    Platform platform = rec.AsPlatform();
    FakeConnector connector;
    std::string library = (dir.path() / "vendaro.ini").string();

    explicit Ctl(const std::string& scripts = kLibrary) {
        test::WriteFile(library, scripts);
        std::filesystem::create_directory(dir.path() / "win");
        // The Windows directory's ODBC.INI lands in the scratch folder.
        rec.system_directory = dir.path().string() + kSeparator + "win\\System32";
    }

    // The exit status, then what the command wrote to stdout and to stderr.
    std::string Run(const Args& args) {
        std::ostringstream out, err;
        Environment env{platform, connector, library, kSeparator, "9.9"};
        const int status = ctl::Run(args, env, out, err);
        return std::to_string(status) + "\n" + out.str() + err.str();
    }
    // The calls of one command only.
    std::vector<std::string> CallsOf(const Args& args) {
        rec.calls.clear();
        Run(args);
        return rec.calls;
    }
    // Rewrites one value of the registry in memory.
    void Set(const std::string& key, const std::string& name, std::uint32_t type,
             std::string data) {
        for (RegValue& v : rec.keys[key].values) {
            if (v.name == name) v = RegValue{name, type, data, true};
        }
    }
};

TEST_CASE("check: absent, in sync, drifted, unreadable, and the exit status of each") {
    Ctl c;
    CHECK(c.Run({"check"}) == "3\nSales    absent\nOrders   absent\nArchive  absent\n");
    c.Run({"apply", "sales", "orders", "archive"});
    CHECK(c.Run({"check"}) == "0\nSales    in sync\nOrders   in sync\nArchive  in sync\n");
    c.Set(kSalesKey, "Server", kRegString, std::string("srv2\0", 5));
    CHECK(c.Run({"check", "SALES"}) == "3\nSales  drifted (1 value differs)\n");
    CHECK(c.Run({"check", "orders"}) == "0\nOrders  in sync\n");
    // The Windows directory's ODBC.INI entries are part of a Jet data source.
    std::filesystem::remove(c.dir.path() / "win\\ODBC.INI");
    CHECK(c.Run({"check", "orders"}) == "3\nOrders  drifted (2 values differ)\n");
    // A registry that cannot be read is a failure, with the reason.
    c.rec.unreadable_keys.insert(kSalesKey);
    const std::string why = std::string(kSalesKey) + " cannot be read: Access denied.\n";
    CHECK(c.Run({"check", "sales"}) ==
          "1\nSales  unreadable: " + why + "vendaroctl: Sales: " + why);
}

TEST_CASE("compare: a later write of a name wins in any case, and a number is its digits in text") {
    Ctl c;
    const WriteList list = {CreateKeyOp{RegRoot::CurrentUser, "Software\\ODBC\\ODBC.INI\\Sales"},
                            StringValue("Server", "old"), StringValue("Port", "1"),
                            StringValue("SERVER", "new"), CloseKeyOp{}};
    c.rec.keys[kSalesKey].values = {RegValue{"Server", kRegString, "new", true},
                                    RegValue{"Port", kRegString, "1", true}};
    CHECK(Compare(list, c.platform).state == State::InSync);
    c.Set(kSalesKey, "Server", kRegString, "old");
    CHECK(Compare(list, c.platform).state == State::Drifted);
    // odbc.ini's text holds a number as its decimal digits.
    const WriteList number = {list[0], NumberValue("Threads", 3), CloseKeyOp{}};
    c.rec.keys[kSalesKey].values = {RegValue{"Threads", kRegString, "3", false}};
    CHECK(Compare(number, c.platform).state == State::InSync);
    c.rec.keys[kSalesKey].values[0].data = "4";
    CHECK(Compare(number, c.platform).state == State::Drifted);
}

TEST_CASE("diff: missing, different, kind differs, extra apart, passwords hidden") {
    Ctl c;
    c.Run({"apply", "sales", "orders"});
    c.Set(kSalesKey, "Server", kRegString, std::string("srv2\0", 5));
    c.Set(kSalesKey, "Database", kRegDword, std::string("\1\0\0\0", 4));
    c.rec.keys[kSalesKey].values.push_back(RegValue{"Trace", kRegString, "Yes", true});
    std::erase_if(c.rec.keys[kSalesKey].values,
                  [](const RegValue& v) { return v.name == "LastUser"; });
    CHECK(c.Run({"diff", "sales"}) ==
          "3\nSales (user data source): drifted (3 values differ)\n"
          "  SOFTWARE\\ODBC\\ODBC.INI\\Sales  Database  kind differs  want \"pubs\" (string), "
          "found \"1\" (number)\n"
          "  SOFTWARE\\ODBC\\ODBC.INI\\Sales  LastUser  missing       want \"\" (string), found -\n"
          "  SOFTWARE\\ODBC\\ODBC.INI\\Sales  Server    different     want \"srv1\" (string), "
          "found \"srv2\" (string)\n"
          "Extra values (creation leaves them in place; they are not drift):\n"
          "  SOFTWARE\\ODBC\\ODBC.INI\\Sales  Trace  \"Yes\" (string)\n");

    c.Set(kSalesKey, "Server", 3, "\x01\xab");  // a type vendaro never writes: its bytes in hex
    CHECK(c.Run({"diff", "sales"}).find("found \"01,ab\" (type 3)\n") != std::string::npos);

    c.Set("hkcu\\software\\odbc\\odbc.ini\\orders", "PWD", kRegString, "guess");
    const std::string orders = c.Run({"diff", "orders", "--json"});
    CHECK(orders.find("secret7") == std::string::npos);
    CHECK(orders.find("guess") == std::string::npos);
    CHECK(c.Run({"diff", "orders"}) ==
          "3\nOrders (user data source): drifted (1 value differs)\n"
          "  SOFTWARE\\ODBC\\ODBC.INI\\Orders  PWD  different  want (hidden) (string), found "
          "(hidden), no match\n");
}

TEST_CASE("apply: exactly vendaro's unattended writes, once, none with --check, and its failures") {
    for (const DsnCommand command : {DsnCommand::User, DsnCommand::System}) {
        const bool system = command == DsnCommand::System;
        CAPTURE(system);
        Ctl vendaro;
        ScriptStore store(vendaro.rec.profile(), vendaro.dir.path().string(), "vendaro",
                          kSeparator);
        CreateDsn({command, "Orders", "Orders", "Microsoft Access Driver (*.mdb)", true, 0}, store,
                  vendaro.platform);
        std::erase_if(vendaro.rec.calls,
                      [](const std::string& call) { return call.starts_with("Busy"); });

        Ctl c;
        c.rec.system_directory = vendaro.rec.system_directory;
        const Args kind = {system ? "--system" : "--user"};
        Args apply = {"apply", "orders", kind[0]};
        CHECK(c.CallsOf(apply) == vendaro.rec.calls);
        CHECK(c.CallsOf(apply) == std::vector<std::string>{});
        CHECK(c.Run(apply) == "0\nOrders  in sync, untouched\n");
    }
    Ctl c;
    CHECK(c.CallsOf({"apply", "sales", "--check"}) == std::vector<std::string>{});
    CHECK(c.Run({"apply", "sales", "--check"}) == "3\nSales  absent: would be created\n");
    c.Run({"apply", "sales"});
    c.Set(kSalesKey, "Server", kRegString, "srv2");
    CHECK(c.Run({"apply", "sales"}) == "0\nSales  drifted (1 value differs): updated\n");
    CHECK(c.Run({"check", "sales"}) == "0\nSales  in sync\n");
    // A failed write is a failure, and says so.
    c.Set(kSalesKey, "Server", kRegString, "srv3");
    c.rec.fail_prefixes = {"RegSetString"};
    CHECK(c.Run({"apply", "sales"}) ==
          "1\nSales  drifted (1 value differs): not updated: the data source could not be written\n"
          "vendaroctl: Sales: the data source could not be written\n");
}

TEST_CASE("remove: key, list entry and the Jet entries of ODBC.INI, and success when absent") {
    Ctl c;
    c.Run({"apply", "orders"});
    CHECK(c.CallsOf({"remove", "orders", "--check"}) == std::vector<std::string>{});
    CHECK(c.Run({"remove", "orders", "--check"}) == "3\nOrders  present: would be removed\n");
    // The folder's own case is lowered as the system directory's is.
    const std::string lower =
        ini::FoldedName(c.dir.path().string() + kSeparator + "win") + "\\ODBC.INI";
    CHECK(c.CallsOf({"remove", "orders"}) ==
          std::vector<std::string>{
              "RegRemoveDataSource HKCU Orders",
              "ProfileDeleteKey " + lower + "|ODBC 32 bit Data Sources|Orders",
              "ProfileDeleteKey " + lower + "|Orders|Driver32",
              "ProfileDeleteSection " + lower + "|Orders",
          });
    CHECK(c.Run({"check", "orders"}) == "3\nOrders  absent\n");
    CHECK(c.Run({"remove", "orders", "nosuch"}) ==
          "0\nOrders  absent, nothing to remove\nnosuch  absent, nothing to remove\n");
}

TEST_CASE("export: the .reg file and the odbc.ini fragment of what apply writes") {
    Ctl c;
    c.platform.legacy_odbc_ini = false;
    CHECK(c.Run({"export", "sales", "--format", "reg"}) ==
          "0\nREGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\Sales]\n"
          "\"Database\"=\"pubs\"\n\"Description\"=\"Sales "
          "figures\"\n\"Driver\"=\"\"\n\"LastUser\"=\"\"\n"
          "\"Server\"=\"srv1\"\n\n"
          "[HKEY_CURRENT_USER\\SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources]\n"
          "\"Sales\"=\"SQL Server\"\n\n"
          "; then the ODBC installer: ODBC_ADD_DSN for the driver \"SQL Server\", DSN=Sales\n");
    const std::string orders = c.Run({"export", "orders", "--format=odbcini", "--system"});
    // A section per data source, its subkey's entries in it, the list apart, no installer.
    CHECK(orders.starts_with("0\n[Orders]\nDescription=Orders\n"));
    CHECK(
        orders.ends_with("\nEngines\\Jet\\UserCommitSync=\n\n[ODBC Data Sources]\n"
                         "Orders=Microsoft Access Driver (*.mdb)\n"));
    CHECK(orders.find("\n;PWD=(hidden)\n") != std::string::npos);
    CHECK(orders.find("secret7") == std::string::npos);
    CHECK(orders.find("\nEngines\\Jet\\Threads=3\n") != std::string::npos);
    const std::string reg = c.Run({"export", "orders", "--format", "reg", "--system"});
    CHECK(reg.find("\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBC.INI\\Orders]\n") !=
          std::string::npos);
    CHECK(reg.find(";\"PWD\"=\"(hidden)\"\n") != std::string::npos);
    CHECK(reg.find("\n\"Exclusive\"=hex(0):00\n") != std::string::npos);  // a flag byte
}

TEST_CASE("connect: the DBMS, or the driver manager's SQLSTATE and message") {
    Ctl c;
    c.connector.answer = {true, "SQLite", "3.40.1", {}};
    CHECK(c.Run({"connect", "sales", "--timeout", "3"}) ==
          "0\nSales: connected to SQLite 3.40.1\n");
    CHECK(c.connector.connection_string == "DSN=Sales");
    CHECK(c.connector.timeout == 3);
    c.Run({"connect", "sales"});
    CHECK(c.connector.timeout == 15);

    c.connector.answer = {false, "", "", {{"IM002", 0, "Data source name not found"}}};
    CHECK(c.Run({"connect", "sales"}) ==
          "1\nvendaroctl: Sales: IM002 Data source name not found\n");
    CHECK(c.Run({"connect", "sales", "--json"}).find("\"sqlstate\": \"IM002\"") !=
          std::string::npos);
}

TEST_CASE("bad input: a clear message and status 2, nothing done") {
    struct Row {
        Args args;
        std::string message;
    };
    const std::vector<Row> rows = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"check", "--verbose"}, "unknown option --verbose"},
        {{"diff"}, "diff needs the name of a data source (vendaroctl diff NAME)"},
        {{"diff", "a", "b"}, "diff takes one name, not 2"},
        {{"check", "--check"}, "--check does not apply to check"},
        {{"check", "--user", "--system"}, "--user and --system exclude each other"},
        {{"export", "sales", "--format", "xml"}, "--format is reg or odbcini, not \"xml\""},
        {{"connect", "sales", "--timeout", "-1"},
         "--timeout is a number of seconds from 0 to 86400, not \"-1\""},
        {{"check", "--library"}, "--library needs a value"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.message);
        Ctl c;
        CHECK(c.Run(row.args) ==
              "2\nvendaroctl: " + row.message + " (vendaroctl --help lists the commands)\n");
        CHECK(c.rec.calls.empty());
    }
}

TEST_CASE("bad input: no such script, a name no data source can have, an unreadable library") {
    Ctl c;
    CHECK(c.Run({"apply", "sales", "nosuch"}) ==
          "2\nvendaroctl: no script named \"nosuch\" in " + c.library + "\n");
    CHECK(c.Run({"apply", "--", "--check"}) ==  // after "--", a name
          "2\nvendaroctl: no script named \"--check\" in " + c.library + "\n");
    CHECK(c.rec.calls.empty());
    CHECK(c.Run({"remove", "a\\b"}) ==
          "2\nvendaroctl: \"a\\b\" cannot name a data source: the name contains \"\\\"\n");
    const std::string missing = c.library + ".gone";
    CHECK(c.Run({"check", "--library", missing}) ==
          "2\nvendaroctl: cannot read the library " + missing + ": No such file or directory\n");
    const std::string folder = c.dir.path().string();
    CHECK(c.Run({"check", "--library", folder}) ==
          "2\nvendaroctl: cannot read the library " + folder + ": it is a folder\n");

    Ctl bad("[ODBC]\r\nDSN_Driver=SQL Server\r\n[Sales]\r\nDSN_Driver=SQL Server\r\n");
    CHECK(bad.Run({"check"}) ==
          "2\nODBC   refused: the script's name cannot name a data source: \"ODBC\" is a name ODBC "
          "keeps for its own settings\nSales  absent\nvendaroctl: ODBC: the script's name cannot "
          "name a data source: \"ODBC\" is a name ODBC keeps for its own settings\n");
}

TEST_CASE("the library is never written, not even once another program has removed it") {
    Ctl c;
    std::string error;
    const auto library = Library::Open(c.rec.profile(), c.library, kSeparator, error);
    REQUIRE(library);
    CHECK(library->store().CopySection("Sales", "Copy") == CopyResult::WriteFailed);
    CHECK(test::ReadFile(c.library) == kLibrary);
    std::filesystem::remove(c.library);
    CHECK_FALSE(library->store().WriteIniString("Sales", "Server", "srv2", ""));
    CHECK_FALSE(std::filesystem::exists(c.library));
}

TEST_CASE("--json: one document of the stable schema") {
    Ctl c;
    c.platform.legacy_odbc_ini = false;
    c.Run({"apply", "archive"});
    c.rec.keys["hkcu\\software\\odbc\\odbc.ini\\archive"].values.push_back(
        RegValue{"PWD", kRegString, std::string("clear\0", 6), true});
    CHECK(
        c.Run({"apply", "archive", "--json", "--check"}) ==
        "0\n{\n  \"schema\": 1,\n  \"command\": \"apply\",\n  \"kind\": \"user\",\n"
        "  \"library\": " +
            JsonString(c.library) +
            ",\n  \"check_only\": true,\n"
            "  \"changed\": false,\n  \"status\": 0,\n  \"data_sources\": [\n    {\n"
            "      \"name\": \"Archive\",\n      \"kind\": \"user\",\n"
            "      \"driver\": \"Microsoft Visual FoxPro Driver\",\n      \"state\": \"in sync\",\n"
            "      \"differing\": 0,\n      \"action\": \"none\",\n      \"changed\": false,\n"
            "      \"differences\": [],\n      \"extra\": [\n        {\n"
            "          \"where\": \"SOFTWARE\\\\ODBC\\\\ODBC.INI\\\\Archive\",\n"
            "          \"value\": \"PWD\",\n          \"problem\": \"extra\",\n"
            "          \"expected\": null,\n          \"expected_kind\": null,\n"
            "          \"found\": \"(hidden)\",\n          \"found_kind\": \"string\",\n"
            "          \"secret\": true\n        }\n      ],\n      \"error\": null\n    }\n"
            "  ]\n}\n");
    CHECK(c.Run({"apply", "sales", "--json"}).find("\n  \"changed\": true,\n") !=
          std::string::npos);
    CHECK(c.Run({"check", "--json"}).find("\"driver\": \"SQL Server\"") != std::string::npos);
    CHECK(c.Run({"check", "--bogus", "--json"}) ==
          "2\n{\n  \"schema\": 1,\n  \"command\": \"check\",\n  \"changed\": false,\n"
          "  \"status\": 2,\n  \"data_sources\": [],\n  \"error\": \"unknown option --bogus\"\n}\n"
          "vendaroctl: unknown option --bogus (vendaroctl --help lists the commands)\n");
}

TEST_CASE("JSON strings: UTF-8 passes, Windows-1252 is escaped") {
    CHECK(JsonString("caf\xc3\xa9") == "\"caf\xc3\xa9\"");
    CHECK(JsonString("caf\xe9") == "\"caf\\u00e9\"");
    CHECK(JsonString("\x80") == "\"\\u20ac\"");
    CHECK(JsonString("a\"b\\c\n\x01") == "\"a\\\"b\\\\c\\n\\u0001\"");
    // The last code point UTF-8 has passes; a surrogate's bytes are no UTF-8.
    CHECK(JsonString("\xf4\x8f\xbf\xbf") == "\"\xf4\x8f\xbf\xbf\"");
    CHECK(JsonString("\xed\xbf\xbf") == "\"\\u00ed\\u00bf\\u00bf\"");
}

}  // namespace
}  // namespace vendaro::ctl
