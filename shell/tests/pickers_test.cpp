#include "shell/pickers.h"

#include <doctest/doctest.h>

#include <memory>
#include <string>

#include "platform/native_profile.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace std::string_literals;

TEST_CASE("a filter text becomes the platform filter: bars to NULs, ending in two NULs") {
    struct Row {
        std::string filter;
        std::string platform;
    };
    const Row rows[] = {
        {"Access Databases (*.mdb)|*.mdb|All Files (*.*)|*.*",
         "Access Databases (*.mdb)\0*.mdb\0All Files (*.*)\0*.*\0\0"s},
        {"Access Databases (*.mdb)|*.mdb|All Files (*.*)|*.*|",
         "Access Databases (*.mdb)\0*.mdb\0All Files (*.*)\0*.*\0\0"s},
        {"System Databases (*.mda;*.mdw)|*.mda;*.mdw|All Files (*.*)|*.*",
         "System Databases (*.mda;*.mdw)\0*.mda;*.mdw\0All Files (*.*)\0*.*\0\0"s},
        {"", "\0\0"s},
    };
    for (const Row& row : rows) {
        CAPTURE(row.filter);
        std::string converted = PlatformFilter(row.filter);
        CHECK(converted == row.platform);
        CHECK(converted.find('|') == std::string::npos);
        CHECK(converted.size() >= 2);
        CHECK(converted.substr(converted.size() - 2) == "\0\0"s);
        if (converted.size() >= 3) CHECK(converted[converted.size() - 3] != '\0');
    }
}

TEST_CASE("the open dialog's answer is cut at the first NUL and trimmed") {
    CHECK(OpenDialogResult("C:\\data\\a.mdb") == "C:\\data\\a.mdb");
    CHECK(OpenDialogResult("C:\\data\\a.mdb\0" + std::string(240, ' ')) == "C:\\data\\a.mdb");
    CHECK(OpenDialogResult("  C:\\x y.db   "s) == "C:\\x y.db");
    CHECK(OpenDialogResult(std::string(254, ' ')) == "");
    CHECK(OpenDialogResult("\0C:\\after.db"s) == "");
    CHECK(FolderDialogResult("C:\\Drivers\0     "s) == "C:\\Drivers");
}

struct PlatformFixture {
    std::unique_ptr<Profile> real = MakeNativeProfile();
    RecordingPlatform recording{*real};
};

TEST_CASE("ShowOpenDialog hands the converted filter, title and start folder over") {
    PlatformFixture f;
    SUBCASE("a chosen file comes back trimmed") {
        f.recording.open_file_answers.push_back("C:\\data\\sales.mdb   ");
        std::string path = ShowOpenDialog(f.recording, 7, "Access Databases (*.mdb)|*.mdb",
                                          "Select Database", "C:\\");
        CHECK(path == "C:\\data\\sales.mdb");
        REQUIRE(f.recording.calls.size() == 1);
        CHECK(f.recording.calls[0] ==
              "OpenFile Select Database|Access Databases (*.mdb)\\0*.mdb\\0\\0|C:\\");
    }
    SUBCASE("Cancel gives the empty string") {
        CHECK(ShowOpenDialog(f.recording, 7, "a|b", "T", "C:\\") == "");
    }
    SUBCASE("a failing dialog gives the empty string") {
        f.recording.fail_prefixes.push_back("OpenFile");
        f.recording.open_file_answers.push_back("C:\\x.db");
        CHECK(ShowOpenDialog(f.recording, 7, "a|b", "T", "C:\\") == "");
    }
    SUBCASE("the caller's filter is not changed") {
        const std::string filter = "a|b";
        ShowOpenDialog(f.recording, 0, filter, "T", "");
        CHECK(filter == "a|b");
    }
}

TEST_CASE("BrowseForFolder hands its start folder to the platform") {
    PlatformFixture f;
    SUBCASE("a chosen folder comes back as the platform gives it") {
        f.recording.folder_answers.push_back("C:\\Drivers");
        CHECK(BrowseForFolder(f.recording, 3, "Select a driver path", "C:\\Old") == "C:\\Drivers");
        CHECK(f.recording.calls ==
              std::vector<std::string>{"BrowseFolder Select a driver path|C:\\Old"});
    }
    SUBCASE("Cancel gives the empty string") {
        CHECK(BrowseForFolder(f.recording, 3, "T", "") == "");
    }
}

}  // namespace
}  // namespace vendaro
