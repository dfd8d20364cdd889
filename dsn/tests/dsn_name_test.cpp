#include "dsn/dsn_name.h"

#include <doctest/doctest.h>

#include <string>

namespace vendaro {
namespace {

struct NameRow {
    const char* name;
    const char* problem;  // "" when the name may name a data source
};

TEST_CASE("a data source name is refused when it would address another place") {
    const NameRow rows[] = {
        {"Sales", ""},
        {"Sales EU 2", ""},
        {"Sales;EU", ""},
        {"ODBC Data Sources 2", ""},
        {"ODBCX", ""},
        {"", "the name is empty"},
        {"Sales\\EU", "the name contains \"\\\""},
        {"A\\Engines\\Jet", "the name contains \"\\\""},
        {"Sales]", "the name contains \"]\""},
        {"[Sales", "the name contains \"[\""},
        {"a=b", "the name contains \"=\""},
        {";Sales", "the name begins with \";\""},
        {"Sales\nEU", "the name contains a line break"},
        {"odbc data sources", "\"ODBC Data Sources\" is a name ODBC keeps for its own settings"},
        {"ODBC", "\"ODBC\" is a name ODBC keeps for its own settings"},
        {"Odbc File DSN", "\"ODBC File DSN\" is a name ODBC keeps for its own settings"},
    };
    for (const NameRow& row : rows) {
        SUBCASE(row.name) {
            CHECK(DsnNameProblem(row.name) == row.problem);
        }
    }
}

TEST_CASE("a refusal is one sentence naming what failed and why") {
    CHECK(NameRefusedText("User DSN could not be created", "the name contains \"\\\"") ==
          "User DSN could not be created: the name contains \"\\\".");
}

}  // namespace
}  // namespace vendaro
