#include "shell/pickers.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "platform/native_profile.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace std::string_literals;
using Chooser = std::function<std::string(RecordingPlatform&)>;

TEST_CASE(
    "choosers: the platform filter, the answer cut at its NUL, Cancel and failure give \"\"") {
    const std::string mdb = "A (*.mdb)|*.mdb|All (*.*)|*.*";
    auto open = [](std::string answer, bool fail) -> Chooser {
        return [=](RecordingPlatform& p) {
            if (!answer.empty()) p.open_file_answers.push_back(answer);
            if (fail) p.fail_prefixes = {"OpenFile"};
            return ShowOpenDialog(p, 7, "A|*.mdb", "Select", "C:\\");
        };
    };
    auto folder = [](std::string answer, bool fail) -> Chooser {
        return [=](RecordingPlatform& p) {
            if (!answer.empty()) p.folder_answers.push_back(answer);
            if (fail) p.fail_prefixes = {"BrowseFolder"};
            return BrowseForFolder(p, 3, "T", "C:\\Old");
        };
    };
    // clang-format off
    const std::pair<Chooser, std::string> rows[] = {
        {[&](RecordingPlatform&) { return PlatformFilter(mdb); }, "A (*.mdb)^*.mdb^All (*.*)^*.*^^"},
        {[&](RecordingPlatform&) { return PlatformFilter(mdb + "|"); }, "A (*.mdb)^*.mdb^All (*.*)^*.*^^"},
        {[](RecordingPlatform&) { return PlatformFilter(""); }, "^^"},
        {[](RecordingPlatform&) { return OpenDialogResult("C:\\a.mdb\0"s + std::string(240, ' ')); }, "C:\\a.mdb"},
        {[](RecordingPlatform&) { return OpenDialogResult("  C:\\x y.db   \0x"s); }, "C:\\x y.db"},
        {[](RecordingPlatform&) { return OpenDialogResult("\0C:\\after"s); }, ""},
        {[](RecordingPlatform&) { return FolderDialogResult(" C:\\D \0  "s); }, " C:\\D "},
        {open("C:\\s.mdb   ", false), "C:\\s.mdb <- OpenFile Select|A\\0*.mdb\\0\\0|C:\\"},
        {open("", false), " <- OpenFile Select|A\\0*.mdb\\0\\0|C:\\"},
        {open("C:\\s.mdb", true), " <- OpenFile Select|A\\0*.mdb\\0\\0|C:\\ FAILED"},
        {folder("C:\\Drivers ", false), "C:\\Drivers  <- BrowseFolder T|C:\\Old"},
        {folder("", false), " <- BrowseFolder T|C:\\Old"},
        {folder("C:\\Drivers", true), " <- BrowseFolder T|C:\\Old FAILED"},
    };
    // clang-format on
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    for (const auto& [chooser, expected] : rows) {
        RecordingPlatform platform(*profile);
        std::string got = chooser(platform);
        std::replace(got.begin(), got.end(), '\0', '^');
        for (const std::string& call : platform.calls) got += " <- " + call;
        CHECK(got == expected);
    }
}

}  // namespace
}  // namespace vendaro
