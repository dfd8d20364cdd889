// The INI engine's own rules beyond the conformance cases, and when the parse cache both
// profiles read through reads a file again.
#include <doctest/doctest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ini_text.h"
#include "platform/parse_cache.h"

namespace vendaro {

TEST_CASE("lines split at CR LF, LF and a lone CR") {
    using V = std::vector<std::string_view>;
    CHECK(ini::SplitLines("") == V{});
    CHECK(ini::SplitLines("\n\ra\r\nb\nc\rd") == V{"", "", "a", "b", "c", "d"});
    CHECK(ini::SplitLines("a\r\r\n[b]\r\n") == V{"a", "", "[b]"});
    // Past eight bytes lines are found a word at a time: bytes near the line-end codes are
    // none, and the first of two breaks in a word is the one found.
    CHECK(ini::SplitLines("\x0b\x0c\x0e\x09\x8d\x8a ab\n\x0b\x8d\r\r\n") ==
          V{"\x0b\x0c\x0e\x09\x8d\x8a ab", "\x0b\x8d", ""});
}

TEST_CASE("among thousands of sections a lookup finds the first of each name") {
    std::string file;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 3000; ++i) {
            const std::string n = std::to_string(i);
            file += (round == 0 ? "[Sales " : "[SALES ") + n + "]\r\nk=" + std::to_string(round) +
                    n + "\r\n" + (round == 0 ? "" : "only=1\r\n");
        }
    }
    file += "[]\r\nk=unnamed\r\n[  Padded  ]\r\nk=padded\r\n";
    const ini::Document doc(file);
    REQUIRE(doc.SectionCount() == 6002);
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        CHECK(doc.Get("sales " + n, "k") == "0" + n);
        CHECK_FALSE_MESSAGE(doc.Get("Sales " + n, "only").has_value(), n);
        // A walk over the headers names the one it visits; a later twin still reads the first.
        CHECK(doc.Get("SALES " + n, "k", 3000 + i) == "0" + n);
        CHECK(doc.Get("Sales 1", "k", i) == "01");
    }
    CHECK(doc.Get(" Padded ", "k", 6001) == "padded");
    CHECK_FALSE(doc.Get("Sales 3000", "k").has_value());
    CHECK(doc.Get("", "k") == "unnamed");
    CHECK(doc.Get("padded", "k") == "padded");
}

// A file "[S] k=<value>" whose value and clock the test sets, its write time at a whole second
// (0 ns), its change time too unless the test sets it; no value: no file. Real files get a new time
// at every write on today's kernels.
struct FakeFile final : FileReader {
    std::string value = "1";
    bool readable = true;
    std::int64_t now = 0, change_ns = 0;
    std::optional<FileState> StateOf(const std::string&) override {
        if (value.empty()) return std::nullopt;
        return FileState{.size = 6 + value.size(), .change_ns = change_ns};
    }
    bool ReadOnce(const std::string& path, std::string& out, FileState& before,
                  FileState& after) override {
        out = "[S]\nk=" + value;
        before = after = StateOf(path).value_or(FileState{});
        return readable && !value.empty();
    }
    std::int64_t NowNs() override { return now; }
};

TEST_CASE("a parse is read again while its file's times cannot tell a change, and once unread") {
    FakeFile file;
    ParseCache cache(file);
    auto read = [&] { return cache.Load("f") ? *cache.Load("f")->Get("S", "k") : "(none)"; };
    file.now = 1'000'000'000;  // whole-second times settle after two seconds (FAT keeps two)
    CHECK(read() == "1");
    file.value = "2";  // the same size and times
    CHECK(read() == "2");
    file.now = 3'000'000'000;
    CHECK(read() == "2");
    for (const bool gone : {true, false}) {
        file.value = gone ? "" : "22", file.readable = false;
        CHECK(read() == "(none)");
        file.value = gone ? "3" : "4", file.readable = true;  // the size and times read last
        CHECK(read() == file.value);
    }
    // A change time off the whole second: a fine clock, on which a second is long settled.
    file.change_ns = 5, file.now = 1'000'000'000;
    CHECK(read() == "4");
    file.value = "7";  // the same size and times: the settled parse stands
    CHECK(read() == "4");
    // Windows' file times: a change time of 0 (a file system that keeps none) is 1970, not an
    // overflow that would put the file's last change in the future and never let it settle.
    CHECK(NanosOfFileTime(116'444'736'000'000'001) == 100);
    CHECK(NanosOfFileTime(0) == 0);
}

}  // namespace vendaro
