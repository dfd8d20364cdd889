// odbc.ini read as unixODBC reads it (the first section of a name, "#" comments, values as the
// line holds them, a subkey as its entries' prefix) and a data source removed in one change
// that leaves every other byte.
#include <doctest/doctest.h>

#include "platform/failure.h"
#include "platform/posix/odbc_registry.h"
#include "platform/tests/posix/posix_support.h"

namespace vendaro {
namespace {

namespace fs = std::filesystem;
namespace test = posix_test;

const std::string kIni =
    "[ODBC Data Sources]\nOrders=Microsoft Access Driver (*.mdb)\nOther=PostgreSQL\n\n"
    "[orders]\r\nDBQ = \"C:\\o.mdb\" \r\n# DBQ=commented\nEngines\\Jet\\Threads=3\n"
    "Engines\\Jet\\Driver=\ndbq=second\n; end of orders\n"
    "[Other]\nServer=db1\n"
    "[ORDERS]\nDBQ=shadowed\n";

struct Reader {
    test::TempDir dir;
    fs::path file = dir.path() / "odbc.ini";
    test::EnvScope scope{{{"ODBCINI", file.string()}}};
    OdbcRegistry registry;
    RegHandle key = 0;

    Reader() { test::WriteFile(file, kIni); }
    RegRead Open(const std::string& below) {
        return registry.OpenKeyForRead(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\" + below,
                                       key);
    }
    // "name=data" of each value of `below`, one per line.
    std::string Values(const std::string& below) {
        std::vector<RegValue> values;
        if (Open(below) != RegRead::Found || !registry.ListValues(key, values)) return "(none)";
        registry.CloseKey(key);
        std::string text;
        for (const RegValue& v : values) text += v.name + "=" + v.data + "\n";
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
    fs::remove(r.file);
    CHECK(r.Open("Orders") == RegRead::Missing);
    fs::create_directory(r.file);
    ClearFailure();
    // A registry object reads each file once: a new one sees the folder.
    CHECK(r.Open("Orders") == RegRead::Missing);
    OdbcRegistry fresh;
    CHECK(fresh.OpenKeyForRead(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\Orders", r.key) ==
          RegRead::Failed);
    CHECK(TakeFailure() == r.file.string() + " cannot be read: Is a directory.");
}

TEST_CASE("odbc.ini read: a write of the same registry object is read back") {
    Reader r;
    CHECK(r.Values("New") == "(none)");
    const RegHandle key =
        r.registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\ODBC\\ODBC.INI\\New");
    r.registry.SetString(key, "Server", "db2");
    REQUIRE(r.registry.CloseKey(key));
    REQUIRE(r.registry.Flush());
    CHECK(r.Values("New") == "Server=db2\n");
}

TEST_CASE("odbc.ini removal: every section of the name and its entry, nothing else") {
    Reader r;
    CHECK(r.registry.RemoveDataSource(RegRoot::CurrentUser, "ORDERS"));
    CHECK(test::ReadFile(r.file) ==
          "[ODBC Data Sources]\nOther=PostgreSQL\n\n; end of orders\n[Other]\nServer=db1\n");
    CHECK(r.registry.RemoveDataSource(RegRoot::CurrentUser, "Orders"));
    fs::remove(r.file);
    CHECK(r.registry.RemoveDataSource(RegRoot::CurrentUser, "Orders"));
    CHECK(!fs::exists(r.file));
}

}  // namespace
}  // namespace vendaro
