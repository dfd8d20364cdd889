// odbc.ini as DSN creation leaves it, whole file by whole file: the lines it writes, every
// other byte as it was, nothing at all when a step fails; and the installer and console
// dialogs of the Linux program.
#include <doctest/doctest.h>
#include <odbcinst.h>

#include <climits>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/console_dialogs.h"
#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"
#include "platform/tests/posix/posix_support.h"

namespace vendaro {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
namespace test = posix_test;
using test::ReadFile;
using test::WriteFile;
using Entries = std::vector<std::pair<std::string, std::string>>;
constexpr RegRoot kUser = RegRoot::CurrentUser, kSystem = RegRoot::LocalMachine;

const std::string kKey = "SOFTWARE\\ODBC\\ODBC.INI\\";
const std::string kLong(1200, 's');

// A user's odbc.ini: comments of both kinds, blank lines, LF and CR LF lines, and a data source
// of its own whose value is longer than unixODBC reads whole.
const std::string kUserIni =
    "# Data sources of this machine\n; kept by hand\r\n\n"
    "[ODBC Data Sources]\nLegacy=PostgreSQL\n\n"
    "[Legacy]\r\nDriver=PostgreSQL\r\nConnSettings=" +
    kLong +
    "\r\n# the settings above are long on purpose\nServername=db1\n\n"
    "[Sales]\n; the old server\nServer=old\nUID=dba\nObsolete=1\n\n; end";

struct Odbc {
    test::TempDir dir;
    fs::path user_file = dir.path() / "odbc.ini", tmp = dir.path() / "tmp";
    fs::path system_file = test::SharedSystemFolder() / "odbc.ini";
    test::EnvScope scope{{{"ODBCINI", user_file.string()},
                          {"ODBCSYSINI", test::SharedSystemFolder().string()},
                          {"TMPDIR", tmp.string()}}};
    OdbcRegistry registry;
    std::string got;  // what the calls answered, '1' or '0' each
    Odbc() {
        fs::remove_all(system_file);
        fs::create_directory(tmp);
        // A driver whose setup library writes odbc.ini through unixODBC.
        WriteFile(test::SharedSystemFolder() / "odbcinst.ini",
                  "[Fake]\nDriver=/nonexistent/libfake.so\nSetup=" VENDARO_FAKE_SETUP "\n");
    }
    ~Odbc() { fs::remove_all(system_file); }
    void Ok(bool ok) { got += ok ? '1' : '0'; }
    // One data source as DSN creation writes it: its key, then its entry in the list.
    void Create(RegRoot root, const std::string& name, const Entries& values) {
        RegHandle key = registry.CreateKey(root, kKey + name);
        Ok(key != 0);
        for (const auto& [value_name, value] : values)
            Ok(registry.SetString(key, value_name, value));
        Ok(registry.CloseKey(key));
        RegHandle list = registry.CreateKey(root, kKey + "ODBC Data Sources");
        Ok(registry.SetString(list, name, "SQL Server"));
        Ok(registry.CloseKey(list));
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
    const std::vector<std::pair<std::string, std::string>> paths = {
        {kKey + "Sales", "Sales|"},
        {kKey + "Sales\\Engines\\Jet", "Sales|Engines\\Jet\\"},
        {"software\\odbc\\odbc.ini\\Sales (old)", "Sales (old)|"},
        {"SOFTWARE\\ODBC\\ODBC.INI", "-"},
        {kKey, "-"},
        {"SOFTWARE\\ODBC\\ODBCINST.INI\\SQL Server", "-"},
        {"", "-"},
        {kKey + "Sales\\\\Jet", "-"},
        {kKey + "Sales\\", "-"},
        {kKey + "Sa]les", "-"},
        {kKey + "[Sales", "-"},
        {kKey + " Sales", "-"},
        {kKey + "Sales ", "-"},
        {kKey + "Sa\nles", "-"},
    };
    for (const auto& [path, expected] : paths) {
        const std::optional<OdbcIniKey> key = MapRegistryPath(path);
        CAPTURE(path);
        CHECK((key ? key->section + "|" + key->prefix : "-") == expected);
    }
    const Entries storable = {{"Engines\\Jet\\Threads", "3"},
                              {"FIL", "MS Access;"},
                              {"Description", ""}},
                  refused = {{"", "x"},        {"a=b", "x"},        {"[x", "x"},
                             {";x", "x"},      {"#x", "x"},         {" Server", "x"},
                             {"Server ", "x"}, {"S", "two\nlines"}, {"S", "two\rlines"},
                             {"Se\nr", "x"},   {"S", "nul\0in"s}};
    for (const auto& [name, value] : storable) CHECK_MESSAGE(IsStorableEntry(name, value), name);
    for (const auto& [name, value] : refused)
        CHECK_FALSE_MESSAGE(IsStorableEntry(name, value), name);
}

TEST_CASE("creating data sources writes their lines and leaves every other byte") {
    Odbc odbc;
    WriteFile(odbc.user_file, kUserIni);
    const Entries fresh = {{"Database", "pubs"}, {"Server", "srv9"}, {"Driver", "/lib/tds.so"}};
    odbc.Create(kUser, "New", fresh);
    odbc.Create(kUser, "sales", {{"SERVER", "new"}, {"Database", "branch"}});
    CHECK(odbc.got == std::string(13, '1'));
    std::string expected = kUserIni;
    expected.insert(expected.find("\n\n[Legacy]") + 1, "New=SQL Server\nsales=SQL Server\n");
    expected.replace(expected.find("Server=old\n"), 11, "Server=new\n");
    expected.replace(expected.find("Obsolete=1\n"), 11, "Obsolete=1\nDatabase=branch\n");
    expected += "\n[New]\nDatabase=pubs\nServer=srv9\nDriver=/lib/tds.so\n";
    CHECK(ReadFile(odbc.user_file) == expected);
    CHECK(UnixOdbcValue("New", "Driver") == "/lib/tds.so");
    // The same values again change nothing, not even the file's time.
    const auto before = fs::last_write_time(odbc.user_file);
    odbc.Create(kUser, "New", fresh);
    CHECK(ReadFile(odbc.user_file) == expected);
    CHECK(fs::last_write_time(odbc.user_file) == before);
    CHECK(fs::is_empty(odbc.tmp));
}

TEST_CASE("values of every kind, subkeys, empty keys; a key is written when it is closed") {
    Odbc odbc;
    OdbcRegistry& r = odbc.registry;
    RegHandle key = r.CreateKey(kUser, kKey + "Sales");
    odbc.Ok(r.SetString(key, "Server", "srv1"));
    odbc.Ok(r.SetString(key, "LastUser", ""));
    odbc.Ok(r.SetNumber(key, "DriverId", 25));
    odbc.Ok(r.SetNumber(key, "Negative", INT_MIN));
    odbc.Ok(r.SetFlagByte(key, "Exclusive", 1));
    odbc.Ok(r.SetFlagByte(key, "ReadOnly", 0));
    odbc.Ok(r.SetFlagByte(key, "Odd", 200));
    odbc.Ok(r.SetString(key, "server", "srv2"));
    odbc.Ok(!fs::exists(odbc.user_file));  // nothing before the close
    odbc.Ok(r.CloseKey(key));
    RegHandle jet = r.CreateKey(kUser, kKey + "Sales\\Engines\\Jet");
    odbc.Ok(r.SetNumber(jet, "Threads", 3));
    odbc.Ok(r.CloseKey(jet));
    odbc.Ok(r.CloseKey(r.CreateKey(kUser, kKey + "Archive")));
    RegHandle again = r.CreateKey(kUser, kKey + "sales");
    odbc.Ok(r.SetString(again, "SERVER", "srv3"));
    odbc.Ok(r.CloseKey(again));
    RegHandle system = r.CreateKey(kSystem, kKey + "Sales");
    odbc.Ok(r.SetString(system, "Server", "sys"));
    odbc.Ok(r.CloseKey(system));
    CHECK(odbc.got == std::string(17, '1'));
    const std::string user = ReadFile(odbc.user_file);
    CHECK(user ==
          "[Sales]\nServer=srv3\nLastUser=\nDriverId=25\nNegative=-2147483648\nExclusive=1\n"
          "ReadOnly=0\nOdd=200\nEngines\\Jet\\Threads=3\n[Archive]\n");
    CHECK(ReadFile(odbc.system_file) == "[Sales]\nServer=sys\n");

    // What cannot be written fails, and one refused value fails its whole key.
    odbc.got.clear();
    RegHandle bad = r.CreateKey(kUser, kKey + "Sales");
    odbc.Ok(r.SetString(bad, "Server", "srv\n[Injected]"));
    odbc.Ok(r.SetString(bad, "Key=Value", "x"));
    odbc.Ok(r.SetString(bad, "Database", "fine"));
    odbc.Ok(r.CloseKey(bad));
    odbc.Ok(r.CloseKey(bad));
    odbc.Ok(r.SetString(bad, "Server", "closed"));
    odbc.Ok(r.SetNumber(0, "Port", 1));
    odbc.Ok(r.SetFlagByte(12345, "Flag", 1));
    odbc.Ok(r.CreateKey(kUser, "SOFTWARE\\ODBC\\ODBCINST.INI\\x") != 0);
    odbc.Ok(r.CreateKey(kUser, kKey + "Bad]Name") != 0);
    odbc.Ok(r.CreateKey(static_cast<RegRoot>(0x80000003u), kKey + "Sales") != 0);
    // A subkey of a failed data source and its list entry fail too.
    odbc.Ok(r.CloseKey(r.CreateKey(kSystem, kKey + "Sa]les")));
    RegHandle big = r.CreateKey(kSystem, kKey + "Big");
    odbc.Ok(r.SetString(big, "Database", std::string(kOdbcIniMaxLine, 'd')));
    odbc.Ok(r.CloseKey(big));
    odbc.Ok(r.CreateKey(kSystem, kKey + "Big\\Engines\\Jet") != 0);
    RegHandle list = r.CreateKey(kSystem, kKey + "ODBC Data Sources");
    odbc.Ok(r.SetString(list, "big", "SQL Server"));
    odbc.Ok(r.CloseKey(list));
    CHECK(odbc.got == "00100000000000000");
    CHECK(ReadFile(odbc.user_file) == user);
    CHECK(ReadFile(odbc.system_file) == "[Sales]\nServer=sys\n");
}

TEST_CASE("a file gone or a folder in its place fails the write; no folder, no key") {
    Odbc odbc;
    RegHandle key = odbc.registry.CreateKey(kUser, kKey + "Sales");
    odbc.Ok(odbc.registry.SetString(key, "Server", "srv1"));
    fs::create_directory(odbc.user_file);
    odbc.Ok(odbc.registry.CloseKey(key));
    odbc.Ok(odbc.registry.CloseKey(key));
    CHECK(fs::is_directory(odbc.user_file));
    fs::remove(odbc.user_file);
    key = odbc.registry.CreateKey(kUser, kKey + "Sales");
    fs::remove_all(odbc.dir.path());
    odbc.Ok(odbc.registry.CloseKey(key));
    odbc.Ok(odbc.registry.CreateKey(kUser, kKey + "Sales") != 0);
    CHECK(odbc.got == "10000");
    CHECK_FALSE(fs::exists(odbc.dir.path()));
}

TEST_CASE("the longest line unixODBC reads whole, and one character more") {
    Odbc odbc;
    // Two lines by hand, one at the limit and one a character over it: the library's own
    // reading shows where the limit lies.
    WriteFile(odbc.user_file, "[L]\nA=" + std::string(kOdbcIniMaxLine - 2, 'a') +
                                  "\nB=" + std::string(kOdbcIniMaxLine - 1, 'b') + "\r\n");
    CHECK(UnixOdbcValue("L", "A") == std::string(kOdbcIniMaxLine - 2, 'a'));
    CHECK(UnixOdbcValue("L", "B").size() < kOdbcIniMaxLine - 1);
    const std::string longest(kOdbcIniMaxLine - 9, 'd');  // "Database=" and the value
    const std::string header(kOdbcIniMaxLine - 2, 'N');
    WriteFile(odbc.user_file, kUserIni);
    odbc.Create(kUser, "Big", {{"Server", "srv1"}, {"Database", longest + "d"}});
    odbc.Ok(odbc.registry.CreateKey(kUser, kKey + header + "N") != 0);
    CHECK(odbc.got == "1100000");
    CHECK(ReadFile(odbc.user_file) == kUserIni);
    odbc.got.clear();
    odbc.Create(kUser, "Big", {{"Database", longest}});
    odbc.Ok(odbc.registry.CloseKey(odbc.registry.CreateKey(kUser, kKey + header)));
    CHECK(odbc.got == "111111");
    CHECK(UnixOdbcValue("Big", "Database") == longest);
    CHECK(ReadFile(odbc.user_file)
              .ends_with("\n[Big]\nDatabase=" + longest + "\n[" + header + "]\n"));
}

TEST_CASE("a driver's setup library changes only its own data source") {
    Odbc odbc;
    OdbcInstaller installer;
    const std::string attributes("DSN=Sales\0", 10);
    // What the driver did to [Sales] (set "SetupBy", removed "Obsolete"), and nothing else.
    std::string expected = kUserIni;
    expected.replace(expected.find("Obsolete=1\n"), 11, "SetupBy=Fake\n");
    const std::string meanwhile = "\n[Meanwhile]\nWrittenBy=another run\n";
    for (const std::string& also : {""s, odbc.user_file.string()}) {
        WriteFile(odbc.user_file, kUserIni);
        // A value another run writes meanwhile is kept.
        test::EnvScope other({{"VENDARO_FAKE_SETUP_ALSO", also}});
        CHECK(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", attributes));
        CHECK(ReadFile(odbc.user_file) == expected + (also.empty() ? "" : meanwhile));
    }
    WriteFile(odbc.user_file, kUserIni);
    CHECK_FALSE(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "SQL Server", attributes));
    CHECK(ReadFile(odbc.user_file) == kUserIni);
    CHECK(installer.SystemDirectory() == "c:\\windows\\system32");
    CHECK(fs::is_empty(odbc.tmp));

    std::ostringstream err;
    ConsoleDialogs dialogs(err);
    std::string file = "unchanged", folder;
    CHECK(
        dialogs.MessageBox({.text = "Sure?", .title = "Vendaro!", .buttons = MsgButtons::YesNo}) ==
        MsgAnswer::No);
    CHECK(dialogs.MessageBox({.text = "Sure?", .title = "Vendaro!"}) == MsgAnswer::Ok);
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone").empty());
    CHECK_FALSE(dialogs.OpenFile({0, "", "Open", ""}, file));
    CHECK_FALSE(dialogs.BrowseFolder(0, "Folder", "/", folder));
    CHECK_FALSE(dialogs.Launch("notepad.exe faq.fil"));
    CHECK(err.str() ==
          "Vendaro!: Sure?\nVendaro!: Sure?\nClone: New DSN Name (cancelled: no "
          "window)\nOpen (cancelled: no window)\nFolder (cancelled: no window)\n"
          "not started (no window): notepad.exe faq.fil\n");
}

}  // namespace
}  // namespace vendaro
