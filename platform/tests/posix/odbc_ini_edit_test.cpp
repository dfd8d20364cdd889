// odbc.ini as DSN creation leaves it: the lines it writes, and every other byte as it was.
#include <doctest/doctest.h>
#include <odbcinst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"
#include "platform/tests/posix/posix_support.h"

namespace vendaro {
namespace {

namespace test = posix_test;
using test::ParseIni;
using test::ReadFile;
using test::WriteFile;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kKey = "SOFTWARE\\ODBC\\ODBC.INI\\";
const std::string kLong(1200, 's');

// A user's odbc.ini: comments of both kinds, blank lines, LF and CR LF lines, and a data source
// of its own whose value is longer than unixODBC reads whole.
const std::string kUserIni =
    "# Data sources of this machine\n"
    "; kept by hand\r\n"
    "\n"
    "[ODBC Data Sources]\n"
    "Legacy=PostgreSQL\n"
    "\n"
    "[Legacy]\r\n"
    "Driver=PostgreSQL\r\n"
    "ConnSettings=" +
    kLong +
    "\r\n"
    "# the settings above are long on purpose\n"
    "Servername=db1\n"
    "\n"
    "[Sales]\n"
    "; the old server\n"
    "Server=old\n"
    "UID=dba\n"
    "Obsolete=1\n"
    "\n"
    "; end";

struct OdbcFiles {
    test::TempDir dir;
    std::filesystem::path user_file = dir.path() / "odbc.ini";
    std::filesystem::path system_dir = test::SharedSystemFolder();
    std::filesystem::path system_file = system_dir / "odbc.ini";
    std::filesystem::path tmp = dir.path() / "tmp";
    std::map<std::string, std::string> env = {{"ODBCINI", user_file.string()},
                                              {"ODBCSYSINI", system_dir.string()},
                                              {"TMPDIR", tmp.string()}};
    test::EnvScope scope{env};

    OdbcFiles() {
        std::filesystem::remove_all(system_file);
        std::filesystem::create_directory(tmp);
        // A driver whose setup library writes odbc.ini through unixODBC.
        WriteFile(system_dir / "odbcinst.ini", "[Fake]\nDriver=/nonexistent/libfake.so\nSetup=" +
                                                   std::string(VENDARO_FAKE_SETUP) + "\n");
    }
    ~OdbcFiles() { std::filesystem::remove_all(system_file); }
    test::ProcessResult Odbcinst(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {"odbcinst"};
        argv.insert(argv.end(), args.begin(), args.end());
        return test::RunProcess(argv, dir.path(), env);
    }
};

// The writes of one data source as DSN creation makes them: its key, then its entry in the list
// of data sources. True when every write succeeded.
bool CreateDataSource(Registry& registry, RegRoot root, const std::string& name,
                      const std::string& driver, const Entries& values) {
    bool ok = true;
    RegHandle key = registry.CreateKey(root, kKey + name);
    ok = key != 0;
    for (const auto& [value_name, value] : values) {
        ok = registry.SetString(key, value_name, value) && ok;
    }
    ok = registry.CloseKey(key) && ok;
    RegHandle list = registry.CreateKey(root, kKey + "ODBC Data Sources");
    ok = list != 0 && registry.SetString(list, name, driver) && ok;
    return registry.CloseKey(list) && ok;
}

// unixODBC's own reading of one value (its configuration functions, as drivers read them).
std::string UnixOdbcValue(const std::string& section, const std::string& key) {
    std::vector<char> buffer(8192);
    SQLGetPrivateProfileString(section.c_str(), key.c_str(), "", buffer.data(),
                               static_cast<int>(buffer.size()), "odbc.ini");
    return buffer.data();
}

TEST_CASE("Creating data sources writes their lines and leaves every other byte") {
    OdbcFiles odbc;
    WriteFile(odbc.user_file, kUserIni);
    OdbcRegistry registry;
    const Entries fresh = {{"Database", "pubs"},
                           {"Description", "New figures"},
                           {"Server", "srv9"},
                           {"Driver", "/usr/lib/libtdsodbc.so"}};
    REQUIRE(CreateDataSource(registry, RegRoot::CurrentUser, "New", "SQL Server", fresh));
    REQUIRE(CreateDataSource(registry, RegRoot::CurrentUser, "sales", "SQL Server",
                             {{"SERVER", "new"}, {"Database", "branch"}}));

    const std::string expected =
        "# Data sources of this machine\n"
        "; kept by hand\r\n"
        "\n"
        "[ODBC Data Sources]\n"
        "Legacy=PostgreSQL\n"
        "New=SQL Server\n"
        "sales=SQL Server\n"
        "\n"
        "[Legacy]\r\n"
        "Driver=PostgreSQL\r\n"
        "ConnSettings=" +
        kLong +
        "\r\n"
        "# the settings above are long on purpose\n"
        "Servername=db1\n"
        "\n"
        "[Sales]\n"
        "; the old server\n"
        "Server=new\n"
        "UID=dba\n"
        "Obsolete=1\n"
        "Database=branch\n"
        "\n"
        "; end\n"
        "[New]\n"
        "Database=pubs\n"
        "Description=New figures\n"
        "Server=srv9\n"
        "Driver=/usr/lib/libtdsodbc.so\n";
    CHECK(ReadFile(odbc.user_file) == expected);

    // unixODBC reads back every value written, in the order written.
    test::ProcessResult read = odbc.Odbcinst({"-q", "-s", "-n", "New"});
    REQUIRE(read.exit_status == 0);
    CHECK(ParseIni(read.out)["New"] == fresh);
    read = odbc.Odbcinst({"-q", "-s", "-n", "Sales"});
    REQUIRE(read.exit_status == 0);
    CHECK(ParseIni(read.out)["Sales"] ==
          Entries{{"Server", "new"}, {"UID", "dba"}, {"Obsolete", "1"}, {"Database", "branch"}});

    SUBCASE("writing the same values again changes nothing") {
        const auto before = std::filesystem::last_write_time(odbc.user_file);
        REQUIRE(CreateDataSource(registry, RegRoot::CurrentUser, "New", "SQL Server", fresh));
        CHECK(ReadFile(odbc.user_file) == expected);
        CHECK(std::filesystem::last_write_time(odbc.user_file) == before);
    }
}

TEST_CASE("The longest line unixODBC reads whole") {
    OdbcFiles odbc;
    // Two lines by hand, one at the limit and one a character over it: the library's own
    // reading shows where the limit lies.
    WriteFile(odbc.user_file, "[L]\nA=" + std::string(kOdbcIniMaxLine - 2, 'a') +
                                  "\nB=" + std::string(kOdbcIniMaxLine - 1, 'b') + "\r\n");
    CHECK(UnixOdbcValue("L", "A") == std::string(kOdbcIniMaxLine - 2, 'a'));
    CHECK(UnixOdbcValue("L", "B").size() < kOdbcIniMaxLine - 1);
    std::filesystem::remove(odbc.user_file);

    OdbcRegistry registry;
    const std::string name = "Database";
    const std::string longest(kOdbcIniMaxLine - name.size() - 1, 'd');
    SUBCASE("a value whose line is the longest is created and reads back whole") {
        REQUIRE(CreateDataSource(registry, RegRoot::CurrentUser, "Big", "SQL Server",
                                 {{"Server", "srv1"}, {name, longest}}));
        CHECK(UnixOdbcValue("Big", name) == longest);
        CHECK(ParseIni(ReadFile(odbc.user_file))["ODBC Data Sources"] ==
              Entries{{"Big", "SQL Server"}});
    }
    SUBCASE("one character more fails the data source and changes nothing") {
        WriteFile(odbc.user_file, kUserIni);
        CHECK_FALSE(CreateDataSource(registry, RegRoot::CurrentUser, "Big", "SQL Server",
                                     {{"Server", "srv1"}, {name, longest + "d"}}));
        CHECK(ReadFile(odbc.user_file) == kUserIni);
        SUBCASE("and a later attempt with a value that fits is created") {
            REQUIRE(CreateDataSource(registry, RegRoot::CurrentUser, "Big", "SQL Server",
                                     {{name, longest}}));
            CHECK(UnixOdbcValue("Big", name) == longest);
        }
    }
    SUBCASE("the longest section header, and one character more") {
        const std::string section(kOdbcIniMaxLine - 2, 'N');
        RegHandle key = registry.CreateKey(RegRoot::CurrentUser, kKey + section);
        REQUIRE(key != 0);
        CHECK(registry.SetString(key, "Server", "srv1"));
        CHECK(registry.CloseKey(key));
        CHECK(UnixOdbcValue(section, "Server") == "srv1");
        const std::string before = ReadFile(odbc.user_file);
        CHECK_FALSE(CreateDataSource(registry, RegRoot::CurrentUser, section + "N", "SQL Server",
                                     {{"Server", "srv1"}}));
        CHECK(ReadFile(odbc.user_file) == before);
    }
    SUBCASE("a subkey of a failed data source and its list entry fail too") {
        const std::string odd = "Sa]les";  // no section can be named so
        CHECK_FALSE(CreateDataSource(registry, RegRoot::LocalMachine, odd, "SQL Server", {}));
        RegHandle big = registry.CreateKey(RegRoot::LocalMachine, kKey + "Big");
        CHECK_FALSE(registry.SetString(big, name, longest + "d"));
        CHECK_FALSE(registry.CloseKey(big));
        CHECK(registry.CreateKey(RegRoot::LocalMachine, kKey + "Big\\Engines\\Jet") == 0);
        RegHandle list = registry.CreateKey(RegRoot::LocalMachine, kKey + "ODBC Data Sources");
        CHECK_FALSE(registry.SetString(list, "big", "SQL Server"));
        CHECK_FALSE(registry.CloseKey(list));
        CHECK_FALSE(std::filesystem::exists(odbc.system_file));
    }
}

TEST_CASE("An odbc.ini that is a link, or has its own mode and owner") {
    OdbcFiles odbc;
    const std::filesystem::path real_dir = odbc.dir.path() / "real";
    const std::filesystem::path target = real_dir / "odbc.ini";
    std::filesystem::create_directory(real_dir);
    WriteFile(target, kUserIni);
    REQUIRE(::chmod(target.c_str(), 0640) == 0);
    // Only root can give a file to another owner; the tests run as root in CI.
    const bool as_root = ::getuid() == 0;
    if (as_root) REQUIRE(::chown(target.c_str(), 65534, 65534) == 0);
    std::filesystem::create_symlink(target, odbc.user_file);

    OdbcRegistry registry;
    REQUIRE(CreateDataSource(registry, RegRoot::CurrentUser, "New", "SQL Server",
                             {{"Server", "srv9"}}));
    CHECK(std::filesystem::is_symlink(odbc.user_file));
    CHECK(std::filesystem::read_symlink(odbc.user_file) == target);
    CHECK(ReadFile(target).find("[New]\nServer=srv9\n") != std::string::npos);
    struct stat st {};
    REQUIRE(::stat(target.c_str(), &st) == 0);
    CHECK((st.st_mode & 07777) == 0640);
    if (as_root) CHECK((st.st_uid == 65534 && st.st_gid == 65534));
    // No temporary file is left beside either.
    CHECK(std::distance(std::filesystem::directory_iterator(real_dir),
                        std::filesystem::directory_iterator()) == 1);
}

TEST_CASE("A driver's setup library changes only its own data source") {
    OdbcFiles odbc;
    WriteFile(odbc.user_file, kUserIni);
    OdbcInstaller installer;
    const std::string attributes("DSN=Sales\0", 10);
    // What the driver did to [Sales] (set "SetupBy", removed "Obsolete"), and nothing else.
    std::string expected = kUserIni;
    expected.replace(expected.find("Obsolete=1\n"), 11, "SetupBy=Fake\n");

    SUBCASE("comments, blank lines and long lines of the file stay") {
        CHECK(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", attributes));
        CHECK(ReadFile(odbc.user_file) == expected);
    }
    SUBCASE("a value another run writes meanwhile is kept") {
        test::EnvScope other({{"VENDARO_FAKE_SETUP_ALSO", odbc.user_file.string()}});
        CHECK(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "Fake", attributes));
        CHECK(ReadFile(odbc.user_file) == expected + "\n[Meanwhile]\nWrittenBy=another run\n");
    }
    SUBCASE("a driver without a setup library changes nothing") {
        CHECK_FALSE(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST, "SQL Server", attributes));
        CHECK(ReadFile(odbc.user_file) == kUserIni);
    }
    CHECK(std::getenv("ODBCINI") == odbc.user_file.string());
    CHECK(std::filesystem::is_empty(odbc.tmp));
}

}  // namespace
}  // namespace vendaro
