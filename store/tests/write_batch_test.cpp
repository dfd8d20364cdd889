// Writing several keys of one script at once (an editor's Save) and listing the scripts from
// one reading of the file: the same outcome as the one-key operations.
#include <doctest/doctest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "store/script_store.h"
#include "store/tests/store_fixture.h"
#include "store/tests/test_support.h"

namespace vendaro::test {
namespace {

using Keys = std::vector<std::pair<std::string, std::string>>;

const std::string kLibrary =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n\r\n"
    "[Stock]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n";

// The keys written one WriteIniString at a time, stopping at the first that fails, on a second
// store over its own copy of `before`. Returns the file's bytes and how many were written.
std::pair<std::string, std::size_t> OneByOne(const std::string& before, const std::string& section,
                                             const Keys& keys) {
    StoreFixture f;
    f.Given(before);
    std::size_t written = 0;
    for (const auto& [key, value] : keys) {
        if (!f.store.WriteIniString(section, key, value)) break;
        ++written;
    }
    return {f.Bytes(), written};
}

SectionKeys Of(const Keys& keys) {
    SectionKeys out;
    for (const auto& [key, value] : keys) out.Write(key, value);
    return out;
}

struct Case {
    const char* what;
    std::string section;
    Keys keys;
    std::size_t written;
};

}  // namespace

TEST_CASE("WriteSection writes as WriteIniString key by key") {
    const std::vector<Case> cases = {
        {"an edited script: changed, kept, removed (empty value) and new keys",
         "Sales",
         {{"DSN_Driver", "SQL Server"},
          {"Description", "All sales"},
          {"Server", ""},
          {"Database", "pubs"},
          {"LastUser", "sa"}},
         5},
        {"a new script", "Orders", {{"DSN_Driver", "SQL Server"}, {"Description", "Orders"}}, 2},
        {"the section named in another letter case",
         "SALES",
         {{"description", "lower"}, {"Driver", "x"}},
         2},
        {"a value with a line break stops there",
         "Sales",
         {{"Description", "New"}, {"Server", "a\r\n[Injected]"}, {"Database", "pubs"}},
         1},
        {"an unreadable key name stops there",
         "Sales",
         {{"Description", "New"}, {"a=b", "v"}, {"Database", "pubs"}},
         1},
        {"a section name with a closing bracket writes nothing", "Sa]les", {{"k", "v"}}, 0},
        {"removing a key whose name could not be written is allowed",
         "Sales",
         {{"[odd", ""}, {"Description", "x"}},
         2},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        StoreFixture f;
        f.Given(kLibrary);
        CHECK(f.store.WriteSection(c.section, Of(c.keys)) == (c.written == c.keys.size()));
        const auto [expected, written] = OneByOne(kLibrary, c.section, c.keys);
        CHECK(written == c.written);
        CHECK(f.Bytes() == expected);
    }
    SUBCASE("an empty key is refused: it would remove the section") {
        StoreFixture f;
        f.Given(kLibrary);
        CHECK_FALSE(f.store.WriteSection("Sales", Of(Keys{{"", ""}, {"Description", "x"}})));
        CHECK(f.Bytes() == kLibrary);
    }
    SUBCASE("nothing to write") {
        StoreFixture f;
        CHECK(f.store.WriteSection("Sales", SectionKeys{}));
        CHECK_FALSE(PathExists(f.ini));
    }
    SUBCASE("the keys read back") {
        StoreFixture f;
        f.Given(kLibrary);
        REQUIRE(
            f.store.WriteSection("Stock", Of(Keys{{"Description", "Stock"}, {"FIL", "dBase IV"}})));
        CHECK(f.Read("Stock", "Description") == "Stock");
        CHECK(f.Read("Stock", "FIL") == "dBase IV");
        CHECK(f.Read("Stock", "DSN_Driver") == "Microsoft dBase Driver (*.dbf)");
    }
}

TEST_CASE("a failing write of the batch is reported and stops it") {
    StoreFixture f;
    f.Given(kLibrary);
    RecordingPlatform recording(*f.profile);
    ScriptStore store(recording.profile(), f.dir.path(), OnWindows() ? "vendaro.exe" : "vendaro",
                      kSeparator);
    recording.fail_prefixes = {Cat("ProfileSet ", store.IniFile(), "|Sales|Server")};
    CHECK_FALSE(
        store.WriteSection("Sales", Of(Keys{{"Description", "x"}, {"Server", "y"}, {"k", "z"}})));
    CHECK(f.Read("Sales", "Description") == "x");
    CHECK(f.Read("Sales", "Server") == "db1");
    CHECK(f.Read("Sales", "k") == "");
    CHECK(recording.calls.size() == 2);  // the third write was not tried
}

TEST_CASE("ListScripts: one reading of the file, the same rows as reads key by key") {
    StoreFixture f;
    f.Given(
        "[Sales]\r\nDescription=Sales figures\r\nDSN_Driver=SQL Server\r\n"
        "[SALES]\r\nDescription=second\r\n[Stock] \r\n [Hidden]\r\n[\r\n[x]y\r\n[Long]\r\n"
        "Description=" +
        std::string(3000, 'd') + "\r\n");
    // A profile that reads every key anew (kernel32 does, and so does the recording one).
    RecordingPlatform recording(*f.profile);
    ScriptStore key_by_key(recording.profile(), f.dir.path(),
                           OnWindows() ? "vendaro.exe" : "vendaro", kSeparator);
    const std::vector<ScriptRow> rows = f.store.ListScripts();
    const std::vector<ScriptRow> expected = key_by_key.ListScripts();
    REQUIRE(rows.size() == 5);
    REQUIRE(expected.size() == rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CAPTURE(i);
        CHECK(rows[i].name == expected[i].name);
        CHECK(rows[i].description == expected[i].description);
        CHECK(rows[i].driver == expected[i].driver);
        CHECK(rows[i].description == f.Read(rows[i].name, "Description"));
        CHECK(rows[i].driver == f.Read(rows[i].name, "DSN_Driver"));
    }
    CHECK(rows[1].description == "Sales figures");
    CHECK(rows[4].description.size() == 2047);
}

TEST_CASE("ListScripts of a program of another name: names of vendaro.ini, keys of its own file") {
    ScratchDir dir;
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    ScriptStore store(*profile, dir.path(), OnWindows() ? "tool.exe" : "tool", kSeparator);
    WriteBytes(dir.File("vendaro.ini"), "[Sales]\r\nDescription=in vendaro.ini\r\n[Stock]\r\n");
    WriteBytes(dir.File("tool.ini"),
               "[Sales]\r\nDescription=in tool.ini\r\nDSN_Driver=SQL Server\r\n");
    const std::vector<ScriptRow> rows = store.ListScripts();
    REQUIRE(rows.size() == 2);
    CHECK(rows[0].name == "Sales");
    CHECK(rows[0].description == "in tool.ini");
    CHECK(rows[0].driver == "SQL Server");
    CHECK(rows[1].name == "Stock");
    CHECK(rows[1].description == "");
    SUBCASE("no vendaro.ini: nothing is listed, whatever the program's own file holds") {
        WriteBytes(dir.File("vendaro.ini"), "");
        CHECK(store.ListScripts().empty());
    }
}

}  // namespace vendaro::test
