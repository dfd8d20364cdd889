#include "shell/pickers.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>

#include "platform/native_profile.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace std::string_literals;

TEST_CASE("choosers: the platform filter, the answer cut at its NUL, Cancel gives \"\"") {
    // f: PlatformFilter, o: OpenDialogResult, d: FolderDialogResult of the text; O: the open
    // dialog, B: the folder dialog answering the text ("": Cancel). Then the result (NULs
    // shown as ^) and the recorded calls.
    // clang-format off
    const std::tuple<char, std::string, std::string> rows[] = {
        {'f', "A (*.mdb)|*.mdb|All (*.*)|*.*", "A (*.mdb)^*.mdb^All (*.*)^*.*^^"},
        {'f', "A|*.mdb|", "A^*.mdb^^"},
        {'f', "", "^^"},
        {'o', "C:\\a.mdb\0"s + std::string(240, ' '), "C:\\a.mdb"},
        {'o', "  C:\\x y.db   \0x"s, "C:\\x y.db"},
        {'o', "\0C:\\after"s, ""},
        {'d', " C:\\D \0  "s, " C:\\D "},
        {'O', "C:\\s.mdb   ", "C:\\s.mdb <- OpenFile Select|A\\0*.mdb\\0\\0|C:\\"},
        {'O', "", " <- OpenFile Select|A\\0*.mdb\\0\\0|C:\\"},
        {'B', "C:\\Drivers ", "C:\\Drivers  <- BrowseFolder T|C:\\Old"},
        {'B', "", " <- BrowseFolder T|C:\\Old"}};
    // clang-format on
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    for (const auto& [kind, text, expected] : rows) {
        RecordingPlatform p(*profile);
        p.open_file_answers = {text};
        p.folder_answers = {text};
        std::string got = kind == 'f'   ? PlatformFilter(text)
                          : kind == 'o' ? OpenDialogResult(text)
                          : kind == 'd' ? FolderDialogResult(text)
                          : kind == 'O' ? ShowOpenDialog(p, 7, "A|*.mdb", "Select", "C:\\")
                                        : BrowseForFolder(p, 3, "T", "C:\\Old");
        std::replace(got.begin(), got.end(), '\0', '^');
        for (const std::string& call : p.calls) got += " <- " + call;
        CHECK(got == expected);
    }
}

}  // namespace
}  // namespace vendaro
