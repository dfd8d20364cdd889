// The POSIX profile's batch of key writes and its snapshot: a batch leaves the bytes that the
// same writes leave one after another, in one replacement of the file, and fails as a whole;
// a snapshot answers as GetString would when it was taken.
#include <doctest/doctest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/file_profile.h"
#include "platform/tests/posix/faulty_file_system.h"
#include "store/tests/test_support.h"

namespace vendaro::test {
namespace {

namespace fs = std::filesystem;

KeyEdit Set(std::string_view key, std::string_view value) {
    return KeyEdit{key, value, false};
}
KeyEdit Remove(std::string_view key) {
    return KeyEdit{key, {}, true};
}

// The same edits made one call at a time on a copy of the file; returns its bytes.
std::string OneByOne(const ScratchDir& dir, const std::string& before, std::string_view section,
                     const std::vector<KeyEdit>& edits) {
    const std::string path = dir.File("one-by-one.ini");
    if (before == "<missing>") {
        std::error_code ignored;
        fs::remove(path, ignored);
    } else {
        WriteBytes(path, before);
    }
    FaultyFileSystem files;
    FileProfile profile(files);
    for (const KeyEdit& edit : edits) {
        const bool ok = edit.remove ? profile.DeleteKey(section, edit.key, path)
                                    : profile.SetString(section, edit.key, edit.value, path);
        if (!ok) break;
    }
    return ReadBytes(path);
}

bool HasTemporaryFiles(const ScratchDir& dir) {
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        if (entry.path().filename().string().find(".tmp") != std::string::npos) return true;
    }
    return false;
}

struct BatchCase {
    const char* what;
    std::string before;  // "<missing>": no file
    std::string section;
    std::vector<KeyEdit> edits;
    std::size_t made;  // what WriteKeys returns
    std::string after;
};

}  // namespace

TEST_CASE("a batch of key writes leaves what the writes one by one leave") {
    const std::string library =
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
        "[Stock]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n";
    const std::vector<BatchCase> cases = {
        {"a new script at the end",
         library,
         "Orders",
         {Set("DSN_Driver", "SQL Server"), Set("Description", "Orders"), Set("Server", "db1")},
         3,
         library + "[Orders]\r\nDSN_Driver=SQL Server\r\nDescription=Orders\r\nServer=db1\r\n"},
        {"an edited script: changed, kept, removed and added keys",
         library,
         "sales",
         {Set("DSN_Driver", "SQL Server"), Set("Description", "All sales"), Remove("Server"),
          Set("Database", "pubs")},
         4,
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=All sales\r\nDatabase=pubs\r\n\r\n"
         "[Stock]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n"},
        {"a missing file is created with the section",
         "<missing>",
         "Sales",
         {Set("DSN_Driver", "SQL Server"), Remove("Description")},
         2,
         "[Sales]\r\nDSN_Driver=SQL Server\r\n"},
        {"removals alone from a missing file create no file",
         "<missing>",
         "Sales",
         {Remove("DSN_Driver"), Remove("Description")},
         2,
         "<missing>"},
        {"a value with a line break stops the batch there; the keys before it are written",
         library,
         "Sales",
         {Set("Description", "New"), Set("Server", "a\r\n[Evil]"), Set("Database", "pubs")},
         1,
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=New\r\n\r\n"
         "[Stock]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n"},
        {"a key with a NUL stops it before anything is written",
         library,
         "Sales",
         {Set(std::string_view("Desc\0x", 6), "v"), Set("Database", "pubs")},
         0,
         library},
        {"a section with a line feed writes nothing",
         library,
         "Sales\n[x]",
         {Set("Database", "pubs")},
         0,
         library},
    };
    for (const BatchCase& c : cases) {
        CAPTURE(c.what);
        ScratchDir dir;
        const std::string ini = dir.File("vendaro.ini");
        if (c.before != "<missing>") WriteBytes(ini, c.before);
        FaultyFileSystem files;
        FileProfile profile(files);
        CHECK(profile.WriteKeys(c.section, c.edits, ini) == c.made);
        CHECK(ReadBytes(ini) == c.after);
        CHECK(ReadBytes(ini) == OneByOne(dir, c.before, c.section, c.edits));
        CHECK((profile.last_error() == 0) == (c.made == c.edits.size()));
        CHECK_FALSE(HasTemporaryFiles(dir));
    }
}

TEST_CASE("a batch replaces the file once and reads back at once") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    WriteBytes(ini, "[Sales]\r\nDSN_Driver=SQL Server\r\n");
    FaultyFileSystem files;
    FileProfile profile(files);
    CHECK(profile.GetString("Sales", "Description", "none", ini) == "none");
    struct stat before {};
    REQUIRE(::stat(ini.c_str(), &before) == 0);
    // The edits view these texts.
    std::vector<std::string> keys, values;
    for (int i = 0; i < 27; ++i) {
        keys.push_back("Key" + std::to_string(i));
        values.push_back("value" + std::to_string(i));
    }
    std::vector<KeyEdit> edits;
    for (int i = 0; i < 27; ++i) edits.push_back(Set(keys[i], values[i]));
    CHECK(profile.WriteKeys("Sales", edits, ini) == 27);
    struct stat after {};
    REQUIRE(::stat(ini.c_str(), &after) == 0);
    // A new inode: the whole batch went in by one atomic replacement.
    CHECK(after.st_ino != before.st_ino);
    for (int i = 0; i < 27; ++i) CHECK(profile.GetString("Sales", keys[i], "", ini) == values[i]);
    CHECK(profile.GetString("Sales", "DSN_Driver", "", ini) == "SQL Server");
}

TEST_CASE("a batch that cannot be written changes nothing and says so") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    const std::string before = "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales\r\n";
    const std::vector<KeyEdit> edits = {Set("Description", "All sales"), Remove("DSN_Driver"),
                                        Set("Server", "db1")};
    FaultyFileSystem files;
    FileProfile profile(files);
    struct Fault {
        const char* what;
        WriteFaults faults;
    };
    for (const Fault& fault : {Fault{"the temporary file cannot be created", {true, -1, false}},
                               Fault{"the disk fills after 10 bytes", {false, 10, false}},
                               Fault{"the file cannot be replaced", {false, -1, true}}}) {
        CAPTURE(fault.what);
        WriteBytes(ini, before);
        files.faults = fault.faults;
        CHECK(profile.WriteKeys("Sales", edits, ini) == 0);
        CHECK(profile.last_error() != 0);
        CHECK(ReadBytes(ini) == before);
        CHECK(profile.GetString("Sales", "Description", "", ini) == "Sales");
        CHECK_FALSE(HasTemporaryFiles(dir));
    }
    files.faults = WriteFaults{};
    SUBCASE("a read-only file") {
        WriteBytes(ini, before);
        REQUIRE(::chmod(ini.c_str(), 0444) == 0);
        if (::access(ini.c_str(), W_OK) == 0) return;  // root writes anyway
        CHECK(profile.WriteKeys("Sales", edits, ini) == 0);
        CHECK(ReadBytes(ini) == before);
    }
    SUBCASE("a missing directory") {
        CHECK(profile.WriteKeys("Sales", edits, dir.File("nodir") + "/vendaro.ini") == 0);
        CHECK(profile.last_error() == ENOENT);
    }
}

TEST_CASE("a snapshot answers as GetString did when it was taken") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    const std::string bytes =
        "top=1\r\n[Sales]\r\nDescription = \"Sales figures\" \r\nDSN_Driver=SQL Server\r\n"
        "  [Indented]\r\nk=v\r\n[sales]\r\nDescription=second\r\n[\r\n[]\r\n[Stock] \r\n";
    WriteBytes(ini, bytes);
    FaultyFileSystem files;
    FileProfile profile(files);
    std::unique_ptr<ProfileSnapshot> snapshot = profile.Snapshot(ini);
    REQUIRE(snapshot->Bytes().has_value());
    CHECK(*snapshot->Bytes() == bytes);

    // Every line that starts with "[", as a scan of the lines finds them.
    std::vector<std::string> lines;
    snapshot->ForEachBracketLine([&](std::string_view line) { lines.emplace_back(line); });
    CHECK(lines == std::vector<std::string>{"[Sales]", "[sales]", "[", "[]", "[Stock] "});
    std::vector<std::string> scanned;
    ForwardingSnapshot(profile, ini).ForEachBracketLine([&](std::string_view line) {
        scanned.emplace_back(line);
    });
    CHECK(scanned == lines);

    for (const char* section : {"Sales", "SALES", "Indented", "Stock", "Missing", ""}) {
        for (const char* key : {"Description", "DSN_Driver", "k", "top", "none"}) {
            CAPTURE(section);
            CAPTURE(key);
            CHECK(snapshot->GetString(section, key, "def ") ==
                  profile.GetString(section, key, "def ", ini));
        }
    }

    // A later change is not in this snapshot, and is in the next one.
    CHECK(profile.SetString("Sales", "Description", "changed", ini));
    CHECK(snapshot->GetString("Sales", "Description", "") == "Sales figures");
    CHECK(profile.Snapshot(ini)->GetString("Sales", "Description", "") == "changed");
}

TEST_CASE("a snapshot of a missing file") {
    ScratchDir dir;
    FaultyFileSystem files;
    FileProfile profile(files);
    std::unique_ptr<ProfileSnapshot> snapshot = profile.Snapshot(dir.File("vendaro.ini"));
    CHECK_FALSE(snapshot->Bytes().has_value());
    int lines = 0;
    snapshot->ForEachBracketLine([&](std::string_view) { ++lines; });
    CHECK(lines == 0);
    CHECK(snapshot->GetString("Sales", "Description", "none  ") == "none");
}

}  // namespace vendaro::test
