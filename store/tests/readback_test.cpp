// Every write the store accepts reads back under the same names, and a second write of the same
// key lands on the first one's line; a name the reader would take for another one is refused
// before anything is written.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "store/tests/store_fixture.h"

namespace vendaro::test {
namespace {

using namespace std::string_literals;

const std::string kScripts = "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n";

// The characters a reader trims from the ends of every line, name and value, beside the space.
const std::vector<std::string> kOtherBlanks = {"\t", "\v", "\f", "\x1a"};

}  // namespace

TEST_CASE("a name that begins or ends with a blank other than a space is refused") {
    StoreFixture f;
    f.Given(kScripts);
    for (const std::string& blank : kOtherBlanks) {
        for (const std::string& name : {blank + "Orders", "Orders" + blank, blank,
                                        " " + blank + "Orders", "Orders" + blank + " "}) {
            INFO("name: ", name, " (blank code ", static_cast<int>(blank[0]), ")");
            // The header or key line such a name would make reads back under a trimmed name,
            // so each further write would add another section or line that no read finds.
            CHECK_FALSE(f.store.WriteIniString(name, "DSN_Driver", "SQL Server"));
            CHECK_FALSE(f.store.WriteIniString("Sales", name, "x"));
            CHECK(f.Bytes() == kScripts);
        }
    }
    SUBCASE("inside a name the same characters are kept and read back") {
        const std::string name = "Sales" + kOtherBlanks[0] + "East";
        CHECK(f.store.WriteIniString(name, "Key" + kOtherBlanks[3] + "One", "v"));
        CHECK(f.Read(name, "Key" + kOtherBlanks[3] + "One") == "v");
    }
    SUBCASE("spaces at the ends are trimmed, as the reader does, and the write reads back") {
        CHECK(f.store.WriteIniString("  Orders ", "  Server ", "db"));
        CHECK(f.Read("Orders", "Server") == "db");
        CHECK(f.store.WriteIniString("Orders", "Server", "db2"));
        CHECK(f.Bytes() == kScripts + "[Orders]\r\nServer=db2\r\n");
    }
}

TEST_CASE("an accepted write reads back and a repeated write keeps one line") {
    struct Case {
        const char* what;
        std::string section, key, value, read;
    };
    const std::vector<Case> cases = {
        {"plain", "Orders", "Server", "db1", "db1"},
        {"letter case of the names ignored", "ORDERS", "server", "db1", "db1"},
        {"a value's blanks at the ends trimmed by the reader", "Orders", "Server", "\t db1 \t",
         "db1"},
        {"one pair of quotes removed by the reader", "Orders", "Server", "\"db1\"", "db1"},
        {"bytes above 127 kept", "Ordres \xe9t\xe9", "Cl\xe9", "\xff\x80", "\xff\x80"},
        {"a bracket inside a section name", "[Orders", "Server", "db1", "db1"},
        {"an equals sign inside a value", "Orders", "Server", "a=b", "a=b"},
        {"the empty section", "", "Server", "db1", "db1"},
    };
    for (const Case& c : cases) {
        INFO(c.what);
        StoreFixture f;
        f.Given(kScripts);
        // Reads follow Windows, which writes the empty section as a "[]" header; Wine writes
        // its keys before the first header, where Windows reads no section.
        const bool unread = c.section.empty() &&
                            WineDiffers("Wine writes the empty section's keys before any header");
        REQUIRE(f.store.WriteIniString(c.section, c.key, c.value));
        if (!unread) CHECK(f.Read(c.section, c.key) == c.read);
        const std::string once = f.Bytes();
        REQUIRE(f.store.WriteIniString(c.section, c.key, c.value));
        CHECK(f.Bytes() == once);
        CHECK(f.store.WriteIniString(c.section, c.key, "other"));
        if (!unread) CHECK(f.Read(c.section, c.key) == "other");
        const bool leading_blank = c.value.front() == ' ' || c.value.front() == '\t';
        if (!leading_blank || !WineDiffers("Wine drops a value's leading blanks when writing it")) {
            CHECK(f.Bytes().size() == once.size() - c.value.size() + 5);
        }
        CHECK(f.Read("Sales", "Description") == "Sales figures");
    }
}

}  // namespace vendaro::test
