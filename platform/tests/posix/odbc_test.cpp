// odbc.ini as DSN creation leaves it, whole file by whole file: the lines it writes, every
// other byte as it was, nothing at all when a step fails; odbc.ini read back as unixODBC reads
// it; and the installer and console dialogs of the Linux program.
#include <doctest/doctest.h>
#include <odbcinst.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>

#include "platform/failure.h"
#include "platform/posix/console_dialogs.h"
#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"
#include "testing/escapes.h"
#include "testing/scratch.h"

namespace vendaro {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;
using Entries = std::vector<std::pair<std::string, std::string>>;
constexpr RegRoot kUser = RegRoot::CurrentUser, kSystem = RegRoot::LocalMachine;

const std::string kKey = "SOFTWARE\\ODBC\\ODBC.INI\\";

// A call's answer checked where the call is written; joined by commas, calls run in order.
#define OK(call) [&] { CHECK(call); }()
#define NO(call) [&] { CHECK_FALSE(call); }()

// The folder of the system's odbc.ini and odbcinst.ini for the tests of one process: unixODBC
// resolves $ODBCSYSINI once per process and keeps the answer.
const fs::path& SharedSystemFolder() {
    static const test::TempDir folder;
    return folder.path();
}

// Sets environment variables for its lifetime (for the in-process unixODBC calls).
struct EnvScope {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    explicit EnvScope(const std::map<std::string, std::string>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~EnvScope() {
        for (const auto& [name, old] : saved)
            old ? ::setenv(name.c_str(), old->c_str(), 1) : ::unsetenv(name.c_str());
    }
};

// A user's odbc.ini: comments of both kinds, blank lines, LF and CR LF lines, and a data source
// of its own whose value is longer than unixODBC reads whole, and a key twice in another case.
const std::string kUserIni =
    "# Data sources of this machine\n; kept by hand\r\n\n"
    "[ODBC Data Sources]\nLegacy=PostgreSQL\n\n"
    "[Legacy]\r\nDriver=PostgreSQL\r\nConnSettings=" +
    std::string(1200, 's') +
    "\r\n# the settings above are long on purpose\nServername=db1\n\n"
    "[Sales]\n; the old server\nServer=old\nserver=older\nUID=dba\nObsolete=1\n\n; end";

struct Odbc {
    test::TempDir dir;
    fs::path user_file = dir.path() / "odbc.ini", tmp = dir.path() / "tmp";
    fs::path system_file = SharedSystemFolder() / "odbc.ini";
    EnvScope scope{{{"ODBCINI", user_file.string()},
                    {"ODBCSYSINI", SharedSystemFolder().string()},
                    {"TMPDIR", tmp.string()}}};
    OdbcRegistry registry;
    Odbc() {
        fs::remove_all(system_file);
        fs::create_directory(tmp);
        // A driver whose setup library writes odbc.ini through unixODBC.
        WriteFile(SharedSystemFolder() / "odbcinst.ini",
                  "[Fake]\nDriver=/nonexistent/libfake.so\nSetup=" VENDARO_FAKE_SETUP "\n");
    }
    ~Odbc() { fs::remove_all(system_file); }
    // A user's data source as DSN creation writes it: its key, then its entry in the list. A
    // value named `refused` fails, and so do the close and the entry; the answer is the flush's.
    bool Create(const std::string& dsn, const Entries& values, const std::string& refused = "") {
        CAPTURE(dsn);
        RegHandle key = registry.CreateKey(kUser, kKey + dsn);
        CHECK(key != 0);
        for (const auto& [name, value] : values)
            CHECK_MESSAGE(registry.SetString(key, name, value) == (name != refused), name);
        CHECK(registry.CloseKey(key) == refused.empty());
        RegHandle list = registry.CreateKey(kUser, kKey + "ODBC Data Sources");
        CHECK(registry.SetString(list, dsn, "SQL Server") == refused.empty());
        CHECK(registry.CloseKey(list) == refused.empty());
        return registry.Flush();
    }
};

// unixODBC's own reading of one value (its configuration functions, as drivers read them).
std::string UnixOdbcValue(const std::string& section, const std::string& key) {
    std::vector<char> buffer(8192);
    SQLGetPrivateProfileString(section.c_str(), key.c_str(), "", buffer.data(),
                               static_cast<int>(buffer.size()), "odbc.ini");
    return buffer.data();
}

TEST_CASE("registry paths as odbc.ini sections, and the entries odbc.ini can hold") {
    // Each path's section and key prefix ("section|prefix"), "-" for none.
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {kKey + "Sales", "Sales|"}, {kKey + "Sales\\Engines\\Jet", "Sales|Engines\\Jet\\"},
        {"software\\odbc\\odbc.ini\\Sales (old)", "Sales (old)|"}, {"SOFTWARE\\ODBC\\ODBC.INI", "-"},
        {kKey, "-"}, {"SOFTWARE\\ODBC\\ODBCINST.INI\\SQL Server", "-"}, {"", "-"},
        {kKey + "Sales\\\\Jet", "-"}, {kKey + "Sales\\", "-"}, {kKey + "Sa]les", "-"},
        {kKey + "[Sales", "-"}, {kKey + " Sales", "-"}, {kKey + "Sales ", "-"}, {kKey + "Sa\nles", "-"}};
    // clang-format on
    for (const auto& [path, expected] : rows) {
        const std::optional<OdbcIniKey> key = MapRegistryPath(path);
        const std::string got = key ? key->section + "|" + key->prefix : "-";
        CHECK_MESSAGE(got == expected, path);
    }
    // The entries odbc.ini can hold, and those it cannot.
    const Entries ok = {{"Engines\\Jet\\Threads", "3"}, {"FIL", "MS Access;"}, {"Description", ""}};
    const Entries bad = {{"", "x"},        {"a=b", "x"},        {"[x", "x"},
                         {";x", "x"},      {"#x", "x"},         {" Server", "x"},
                         {"Server ", "x"}, {"S", "two\nlines"}, {"S", "two\rlines"},
                         {"Se\nr", "x"},   {"S", "nul\0in"s}};
    for (const auto& [name, value] : ok) CHECK_MESSAGE(IsStorableEntry(name, value), name);
    for (const auto& [name, value] : bad) CHECK_FALSE_MESSAGE(IsStorableEntry(name, value), name);
}

TEST_CASE("values of every kind, subkeys, empty keys, written at the close, failures") {
    Odbc odbc;
    OdbcRegistry& r = odbc.registry;
    RegHandle key = r.CreateKey(kUser, kKey + "Sales");
    OK(r.SetString(key, "Server", "srv1")), OK(r.SetString(key, "LastUser", "")),
        OK(r.SetNumber(key, "DriverId", 25)), OK(r.SetNumber(key, "Negative", INT_MIN)),
        OK(r.SetFlagByte(key, "Exclusive", 1)), OK(r.SetFlagByte(key, "ReadOnly", 0)),
        OK(r.SetFlagByte(key, "Odd", 200)), OK(r.SetString(key, "server", "srv2")),
        NO(fs::exists(odbc.user_file)),  // nothing before the close
        OK(r.CloseKey(key));
    RegHandle jet = r.CreateKey(kUser, kKey + "Sales\\Engines\\Jet");
    OK(r.SetNumber(jet, "Threads", 3)), OK(r.CloseKey(jet)),
        OK(r.CloseKey(r.CreateKey(kUser, kKey + "Archive")));
    RegHandle again = r.CreateKey(kUser, kKey + "sales");
    OK(r.SetString(again, "SERVER", "srv3")), OK(r.CloseKey(again));
    RegHandle system = r.CreateKey(kSystem, kKey + "Sales");
    OK(r.SetString(system, "Server", "sys")), OK(r.CloseKey(system)), OK(r.Flush());
    const std::string user = ReadFile(odbc.user_file), system_ini = "[Sales]\nServer=sys\n";
    CHECK(user ==
          "[Sales]\nServer=srv3\nLastUser=\nDriverId=25\nNegative=-2147483648\n"
          "Exclusive=1\nReadOnly=0\nOdd=200\nEngines\\Jet\\Threads=3\n[Archive]\n");
    CHECK(ReadFile(odbc.system_file) == system_ini);

    // What cannot be written fails, and one refused value fails its whole key.
    RegHandle bad = r.CreateKey(kUser, kKey + "Sales");
    NO(r.SetString(bad, "Server", "srv\n[Injected]")), NO(r.SetString(bad, "Key=Value", "x")),
        OK(r.SetString(bad, "Database", "fine")), NO(r.CloseKey(bad)),  // a value was refused
        NO(r.CloseKey(bad)), NO(r.SetString(bad, "Server", "closed")),
        NO(r.SetNumber(0, "Port", 1)), NO(r.SetFlagByte(12345, "Flag", 1)),
        NO(r.CreateKey(kUser, "SOFTWARE\\ODBC\\ODBCINST.INI\\x") != 0),
        NO(r.CreateKey(kUser, kKey + "Bad]Name") != 0),
        NO(r.CreateKey(static_cast<RegRoot>(0x80000003u), kKey + "Sales") != 0),
        // A subkey of a failed data source and its list entry fail too.
        NO(r.CloseKey(r.CreateKey(kSystem, kKey + "Sa]les")));
    RegHandle big = r.CreateKey(kSystem, kKey + "Big");
    NO(r.SetString(big, "Database", std::string(kOdbcIniMaxLine, 'd'))), NO(r.CloseKey(big)),
        NO(r.CreateKey(kSystem, kKey + "Big\\Engines\\Jet") != 0);
    RegHandle list = r.CreateKey(kSystem, kKey + "ODBC Data Sources");
    NO(r.SetString(list, "big", "SQL Server")), NO(r.CloseKey(list)), OK(r.Flush());
    CHECK(ReadFile(odbc.user_file) == user);
    CHECK(ReadFile(odbc.system_file) == system_ini);

    // A file gone or a folder in its place fails the write; no folder, no key.
    fs::remove(odbc.user_file);
    key = r.CreateKey(kUser, kKey + "Sales");
    OK(r.SetString(key, "Server", "srv1")), OK(fs::create_directory(odbc.user_file)),
        OK(r.CloseKey(key)), NO(r.Flush()), NO(r.CloseKey(key)),
        OK(fs::is_directory(odbc.user_file));
    fs::remove(odbc.user_file);
    key = r.CreateKey(kUser, kKey + "Sales");
    fs::remove_all(odbc.dir.path());
    OK(r.CloseKey(key)), NO(r.Flush()), NO(r.CreateKey(kUser, kKey + "Sales") != 0),
        NO(fs::exists(odbc.dir.path()));
}

TEST_CASE("creating data sources writes their lines and leaves every other byte") {
    Odbc odbc;
    WriteFile(odbc.user_file, kUserIni);
    const Entries fresh = {{"Database", "pubs"}, {"Server", "srv9"}, {"Driver", "/lib/tds.so"}};
    CHECK(odbc.Create("New", fresh));
    CHECK(odbc.Create("sales", {{"SERVER", "new"}, {"Database", "branch"}}));
    std::string expected = kUserIni;
    expected.insert(expected.find("\n\n[Legacy]") + 1, "New=SQL Server\nsales=SQL Server\n");
    expected.replace(expected.find("Server=old\n"), 11, "Server=new\n");
    expected.replace(expected.find("Obsolete=1\n"), 11, "Obsolete=1\nDatabase=branch\n");
    expected += "\n[New]\nDatabase=pubs\nServer=srv9\nDriver=/lib/tds.so\n";
    CHECK(ReadFile(odbc.user_file) == expected);
    CHECK(UnixOdbcValue("New", "Driver") == "/lib/tds.so");
    // The same values again change nothing, not even the file's time.
    const auto before = fs::last_write_time(odbc.user_file);
    CHECK(odbc.Create("New", fresh));
    CHECK(ReadFile(odbc.user_file) == expected);
    CHECK(fs::last_write_time(odbc.user_file) == before);
    CHECK(fs::is_empty(odbc.tmp));

    // The longest line unixODBC reads whole, and one character more.
    // Two lines by hand, one at the limit and one a character over it: the library's own
    // reading shows where the limit lies.
    WriteFile(odbc.user_file, "[L]\nA=" + std::string(kOdbcIniMaxLine - 2, 'a') +
                                  "\nB=" + std::string(kOdbcIniMaxLine - 1, 'b') + "\r\n");
    CHECK(UnixOdbcValue("L", "A") == std::string(kOdbcIniMaxLine - 2, 'a'));
    CHECK(UnixOdbcValue("L", "B").size() < kOdbcIniMaxLine - 1);
    const std::string longest(kOdbcIniMaxLine - 9, 'd');  // "Database=" and the value
    const std::string header(kOdbcIniMaxLine - 2, 'N');
    WriteFile(odbc.user_file, kUserIni);
    CHECK(odbc.Create("Big", {{"Server", "srv1"}, {"Database", longest + "d"}}, "Database"));
    CHECK(odbc.registry.CreateKey(kUser, kKey + header + "N") == 0);
    CHECK(ReadFile(odbc.user_file) == kUserIni);
    CHECK(odbc.Create("Big", {{"Database", longest}}));
    OK(odbc.registry.CloseKey(odbc.registry.CreateKey(kUser, kKey + header))),
        OK(odbc.registry.Flush());
    CHECK(UnixOdbcValue("Big", "Database") == longest);
    CHECK(ReadFile(odbc.user_file)
              .ends_with("\n[Big]\nDatabase=" + longest + "\n[" + header + "]\n"));

    // A driver's setup library changes only its own data source.
    OdbcInstaller installer;
    const std::string attributes("DSN=Sales\0", 10);
    // What the driver did to [Sales] (set "SetupBy", changed "Server", removed "Obsolete"), and
    // nothing else.
    expected = kUserIni;
    expected.replace(expected.find("Server=old\n"), 11, "Server=checked\n");
    expected.replace(expected.find("Obsolete=1\n"), 11, "SetupBy=Fake\n");
    for (const std::string& also : {""s, odbc.user_file.string()}) {
        WriteFile(odbc.user_file, kUserIni);
        // A value another run writes meanwhile is kept.
        EnvScope other({{"VENDARO_FAKE_SETUP_ALSO", also}});
        CHECK(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", attributes));
        CHECK(ReadFile(odbc.user_file) ==
              expected + (also.empty() ? "" : "\n[Meanwhile]\nWrittenBy=another run\n"));
    }
    {  // A data source the setup takes off the list goes off it.
        EnvScope unlist{{{"VENDARO_FAKE_SETUP_UNLIST", "1"}}};
        std::string listed = kUserIni;
        WriteFile(odbc.user_file, listed.insert(listed.find("Legacy="), "Sales=SQL Server\n"));
        CHECK(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", attributes));
        CHECK(ReadFile(odbc.user_file) == expected);
    }
    WriteFile(odbc.user_file, kUserIni);
    CHECK_FALSE(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "SQL Server", attributes));
    CHECK(ReadFile(odbc.user_file) + installer.SystemDirectory() ==
          kUserIni + "c:\\windows\\system32");
    CHECK(fs::is_empty(odbc.tmp));
    // A TMPDIR that another user owns (who could rename what is made in it), or one that is
    // missing, gets no copy: the driver is not called, and the failure says why.
    const fs::path theirs = odbc.tmp / "theirs";
    fs::create_directory(theirs);
    fs::permissions(theirs, fs::perms::all | fs::perms::sticky_bit);
    REQUIRE(::chown(theirs.c_str(), 65534, 65534) == 0);
    const std::string not_run = "; the driver's setup for Sales was not run.";
    for (const auto& [tmp, why] :
         {std::pair(theirs.string(), " is owned by another user"),
          std::pair((odbc.tmp / "missing").string(), ": No such file or directory")}) {
        EnvScope elsewhere({{"TMPDIR", tmp}});
        CHECK_FALSE(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", attributes));
        CHECK(TakeFailure() == "no private folder for a copy of odbc.ini: " + tmp + why + not_run);
    }
    CHECK(ReadFile(odbc.user_file) == kUserIni);
    CHECK(fs::is_empty(theirs));
}

TEST_CASE("without a window a question is answered No and every chooser as cancelled") {
    std::ostringstream err;
    ConsoleDialogs dialogs(err);
    std::string file, folder;
    const MsgButtons yes_no = MsgButtons::YesNo;
    CHECK(dialogs.MessageBox({.text = "Sure?", .title = "V!", .buttons = yes_no}) == MsgAnswer::No);
    CHECK(dialogs.MessageBox({.text = "Sure?", .title = "V!"}) == MsgAnswer::Ok);
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone").empty());
    CHECK_FALSE(dialogs.OpenFile({0, "", "Open", ""}, file));
    CHECK_FALSE(dialogs.BrowseFolder(0, "Folder", "/", folder));
    CHECK_FALSE(dialogs.Launch("notepad.exe faq.fil"));
}

TEST_CASE("the INI rows as unixODBC reads them, and files it would read otherwise unwritten") {
    Odbc odbc;
    int row_number = 0, checked = 0;
    for (const std::vector<std::string>& fields :
         test::ReadRows(VENDARO_SOURCE_DIR "/platform/tests/native/data/ini_cases.txt")) {
        const std::string& last = fields.back();
        if (!last.starts_with("unixodbc")) continue;
        const std::string bytes = test::Unescape(fields[1]);
        const bool refuses = last.starts_with("unixodbc-refuses:");
        const fs::path file = odbc.dir.path() / ("row" + std::to_string(++row_number) + ".ini");
        WriteFile(file, bytes);
        INFO(fields[0]);
        // Named by its whole path, the file is read as it is (unixODBC keeps answers per name).
        std::vector<char> answer(4096);
        SQLGetPrivateProfileString(test::Unescape(fields[3]).c_str(),
                                   test::Unescape(fields[4]).c_str(), "<missing>", answer.data(),
                                   static_cast<int>(answer.size()), file.c_str());
        CHECK(test::Show(answer.data()) ==
              test::Show(test::Unescape(last.substr(last.find(':') + 1))));
        CHECK(OdbcIniDisagreement(bytes).empty() != refuses);
        ++checked;
    }
    CHECK(checked > 20);
}

TEST_CASE("lines the readers place differently: named by line and cause, and nothing written") {
    struct Row {
        const char* name;
        std::string bytes, why;
    };
    const std::string dsn = "[Sales]\nServer=a\n";
    const Row rows[] = {
        {"a CR inside a line", "[U]\nk=1\r" + dsn, "line 2 is read otherwise by unixODBC (a CR"},
        {"a comment of 999 characters ending in a header",
         "[U]\n" + std::string(kOdbcIniMaxLine, ';') + dsn,
         "line 2 is read otherwise by unixODBC (a line longer"},
        {"a value line 999 characters into a header", "[U]\nk=" + std::string(997, 'v') + dsn,
         "line 2 is read otherwise by unixODBC (a line longer"},
        {"a ^Z before a header", "[U]\r\nk=1\n\x1a" + dsn,
         "line 3 is read otherwise by unixODBC (a ^Z (end-of-file mark)); nothing was written"},
    };
    for (const Row& row : rows) {
        SUBCASE(row.name) {
            CHECK(OdbcIniDisagreement(row.bytes).starts_with(row.why));
            Odbc odbc;
            WriteFile(odbc.user_file, row.bytes);
            CHECK_FALSE(odbc.Create("Sales", {{"Server", "b"}}));
            CHECK(ReadFile(odbc.user_file) == row.bytes);
            // Nor does what a driver's setup changed in its copy come back into such a file.
            CHECK_FALSE(
                OdbcInstaller().ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", "DSN=Sales\0"s));
            CHECK(ReadFile(odbc.user_file) == row.bytes);
        }
    }
    // A value longer than unixODBC reads whole, the same line cut where it reads it, and
    // "#" lines, which only unixODBC takes for comments, are read alike where it matters.
    for (const std::string& agreed : {"[U]\nk=" + std::string(1200, 'v') + "\n" + dsn,
                                      "[U]\n#k=1\n" + dsn, "[U]\r\nk=1\r\n\r\n" + dsn}) {
        CHECK(OdbcIniDisagreement(agreed).empty());
    }
}

TEST_CASE("a data source refused in any of its keys leaves nothing, not even its header") {
    Odbc odbc;
    WriteFile(odbc.user_file, kUserIni);
    OdbcRegistry& r = odbc.registry;
    RegHandle kept = r.CreateKey(kUser, kKey + "Kept");  // another data source stays
    OK(r.SetString(kept, "Server", "k")), OK(r.CloseKey(kept));
    RegHandle key = r.CreateKey(kUser, kKey + "Orders");
    OK(r.SetString(key, "DBQ", "o.mdb")), OK(r.CloseKey(key));
    RegHandle jet = r.CreateKey(kUser, kKey + "Orders\\Engines\\Jet");
    NO(r.SetString(jet, "Driver", std::string(kOdbcIniMaxLine, 'x'))), NO(r.CloseKey(jet));
    RegHandle list = r.CreateKey(kUser, kKey + "ODBC Data Sources");
    NO(r.SetString(list, "Orders", "Microsoft Access Driver (*.mdb)")), NO(r.CloseKey(list)),
        OK(r.Flush());
    CHECK(ReadFile(odbc.user_file) == kUserIni + "\n[Kept]\nServer=k\n");
}

const std::string kIni =
    "[ODBC Data Sources]\nOrders=Microsoft Access Driver (*.mdb)\nOther=PostgreSQL\n\n"
    "[orders]\r\nDBQ = \"C:\\o.mdb\" \r\n# DBQ=commented\nEngines\\Jet\\Threads=3\n"
    "Engines\\Jet\\Driver=\nEngines\\Jetty=not Jet's\ndbq=second\n; end of orders\n"
    "[Other]\nServer=db1\n"
    "[ORDERS]\nDBQ=shadowed\n";

// odbc.ini read as unixODBC reads it (the first section of a name, "#" comments, values as the
// line holds them, a subkey as its entries' prefix) and a data source removed in one change
// that leaves every other byte.
struct Reader : Odbc {
    RegHandle key = 0;

    Reader() { WriteFile(user_file, kIni); }
    RegRead Open(const std::string& below) {
        return registry.OpenKeyForRead(kUser, kKey + below, key);
    }
    // "name=data" of each value of `below`, one per line, read at once as a check reads a key;
    // the key opened and listed gives the same.
    std::string Values(const std::string& below) {
        std::vector<RegValue> room, listed;
        std::vector<RegValueView> views;
        std::string text, opened;
        if (registry.ReadKeyValues(kUser, kKey + below, room, views) != RegRead::Found)
            text = "(none)";
        for (const RegValueView& v : views) text.append(v.name).append("=").append(v.data) += '\n';
        if (Open(below) != RegRead::Found || !registry.ListValues(key, listed)) opened = "(none)";
        registry.CloseKey(key);
        for (const RegValue& v : listed) opened += v.name + "=" + v.data + "\n";
        CHECK(opened == text);
        return text;
    }
};

TEST_CASE("odbc.ini read: the first section, comments, untouched values, subkeys") {
    Reader r;
    CHECK(r.Values("Orders") == "DBQ=\"C:\\o.mdb\"\n");
    CHECK(r.Values("Orders\\Engines\\Jet") == "Threads=3\nDriver=\n");
    CHECK(r.Values("Orders\\Engines\\Xbase") == "(none)");
    CHECK(r.Values("ODBC Data Sources") ==
          "Orders=Microsoft Access Driver (*.mdb)\nOther=PostgreSQL\n");
    CHECK(r.Open("Nosuch") == RegRead::Missing);
    CHECK(r.registry.OpenKeyForRead(kUser, "SOFTWARE\\ODBC\\ODBCINST.INI\\Orders", r.key) ==
          RegRead::Missing);
    // A key of many values, whose names share their length and first letter: the first wins.
    std::string values;
    for (int i = 100; i < 200; ++i)
        values += "v" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    Reader b;
    WriteFile(b.user_file, kIni + "[Big]\n" + values + "V150=again\n");
    CHECK(b.Values("Big") == values);

    REQUIRE(r.Open("orders") == RegRead::Found);
    std::vector<std::string> subkeys;
    REQUIRE(r.registry.ListSubkeys(r.key, subkeys));
    CHECK(subkeys == std::vector<std::string>{"Engines"});
    RegValue value;
    CHECK(r.registry.QueryValue(r.key, "dbq", value) == RegRead::Found);
    CHECK(value.typed == false);
    CHECK(r.registry.QueryValue(r.key, "Server", value) == RegRead::Missing);
    CHECK(r.registry.CloseKey(r.key));
}

TEST_CASE("odbc.ini read: a missing file is no data source, a folder in its place a failure") {
    Reader r;
    fs::remove(r.user_file);
    CHECK(r.Open("Orders") == RegRead::Missing);
    fs::create_directory(r.user_file);
    ClearFailure();
    // A registry object reads each file once: a new one sees the folder.
    CHECK(r.Open("Orders") == RegRead::Missing);
    OdbcRegistry fresh;
    CHECK(fresh.OpenKeyForRead(kUser, kKey + "Orders", r.key) == RegRead::Failed);
    CHECK(TakeFailure() == r.user_file.string() + " cannot be read: Is a directory.");
    // A file where its folder should be: no such odbc.ini either.
    EnvScope under_file({{"ODBCINI", (r.dir.path() / "plain" / "odbc.ini").string()}});
    WriteFile(r.dir.path() / "plain", kIni);
    CHECK(OdbcRegistry().OpenKeyForRead(kUser, kKey + "Orders", r.key) == RegRead::Missing);
}

TEST_CASE("odbc.ini read: a write of the same registry object is read back") {
    Reader r;
    CHECK(r.Values("New") == "(none)");
    const RegHandle key = r.registry.CreateKey(kUser, kKey + "New");
    r.registry.SetString(key, "Server", "db2");
    REQUIRE(r.registry.CloseKey(key));
    REQUIRE(r.registry.Flush());
    CHECK(r.Values("New") == "Server=db2\n");
}

TEST_CASE("odbc.ini removal: every section of the name and its entry, nothing else") {
    Reader r;
    CHECK_FALSE(r.registry.RemoveDataSource(kUser, ""));
    CHECK(TakeFailure() == "There is no odbc.ini that could hold \"\".");
    CHECK(r.registry.RemoveDataSource(kUser, "ORDERS"));
    CHECK(ReadFile(r.user_file) ==
          "[ODBC Data Sources]\nOther=PostgreSQL\n\n; end of orders\n[Other]\nServer=db1\n");
    CHECK(r.registry.RemoveDataSource(kUser, "Orders"));
    fs::remove(r.user_file);
    CHECK(r.registry.RemoveDataSource(kUser, "Orders"));
    CHECK(!fs::exists(r.user_file));
    fs::create_directory(r.user_file);  // a failed removal keeps the profile's reason
    CHECK_FALSE(r.registry.RemoveDataSource(kUser, "Other"));
    CHECK(TakeFailure() == r.user_file.string() + ": Is a directory.");
}

}  // namespace
}  // namespace vendaro
