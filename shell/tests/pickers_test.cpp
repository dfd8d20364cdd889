#include "shell/pickers.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/native_profile.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace std::string_literals;

// NULs shown as "^".
std::string Shown(std::string text) {
    std::replace(text.begin(), text.end(), '\0', '^');
    return text;
}

TEST_CASE("the open dialog's filter: each bar a NUL, and a NUL more at its end") {
    CHECK(Shown(PlatformFilter("A (*.mdb)|*.mdb|All (*.*)|*.*")) ==
          "A (*.mdb)^*.mdb^All (*.*)^*.*^^");
    CHECK(Shown(PlatformFilter("A|*.mdb|")) == "A^*.mdb^^");
    CHECK(Shown(PlatformFilter("")) == "^^");
}

TEST_CASE("a chooser's answer ends at its first NUL, and the open dialog's is trimmed of blanks") {
    CHECK(OpenDialogResult("C:\\a.mdb\0"s + std::string(240, ' ')) == "C:\\a.mdb");
    CHECK(OpenDialogResult("  C:\\x y.db   \0x"s) == "C:\\x y.db");
    CHECK(OpenDialogResult("\0C:\\after"s).empty());
    CHECK(FolderDialogResult(" C:\\D \0  "s) == " C:\\D ");
}

TEST_CASE("the choosers show the platform's dialogs and give their answers, Cancel gives \"\"") {
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    RecordingPlatform p(*profile);
    p.open_file_answers = {"C:\\s.mdb   ", ""};
    p.folder_answers = {"C:\\Drivers ", ""};
    CHECK(ShowOpenDialog(p, 7, "A|*.mdb", "Select", "C:\\") == "C:\\s.mdb");
    CHECK(ShowOpenDialog(p, 7, "A|*.mdb", "Select", "C:\\").empty());
    CHECK(BrowseForFolder(p, 3, "T", "C:\\Old") == "C:\\Drivers ");
    CHECK(BrowseForFolder(p, 3, "T", "C:\\Old").empty());
    const std::string open = "OpenFile Select|A\\0*.mdb\\0\\0|C:\\",
                      browse = "BrowseFolder T|C:\\Old";
    CHECK(p.calls == std::vector<std::string>{open, open, browse, browse});
}

}  // namespace
}  // namespace vendaro
