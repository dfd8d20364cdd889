#include <doctest/doctest.h>

#include "store/tests/store_fixture.h"

namespace vendaro::test {

TEST_CASE("ReadIniString and WriteIniString round trip through vendaro.ini") {
    StoreFixture f;
    CHECK(f.store.WriteIniString("Sales", "DSN_Driver", "SQL Server"));
    CHECK(f.store.WriteIniString("Sales", "Description", "Sales figures"));
    CHECK(f.Bytes() == "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n");
    CHECK(f.Read("Sales", "DSN_Driver") == "SQL Server");
    CHECK(f.Read("sALES", "description") == "Sales figures");
    CHECK(f.Read("Sales", "Missing", "def") == "def");
    CHECK(f.Read("Other", "DSN_Driver", "def") == "def");
}

TEST_CASE("ListScripts lists every header line with its Description and DSN_Driver") {
    StoreFixture f;
    f.Given(
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n"
        "[Stock]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n");
    auto rows = f.store.ListScripts();
    REQUIRE(rows.size() == 2);
    CHECK(rows[0].name == "Sales");
    CHECK(rows[0].description == "Sales figures");
    CHECK(rows[0].driver == "SQL Server");
    CHECK(rows[1].name == "Stock");
    CHECK(rows[1].description == "");
    CHECK(rows[1].driver == "Microsoft Access Driver (*.mdb)");
}

}  // namespace vendaro::test
