// A series of key edits to one section made at once gives the bytes that the same edits give
// one after another; the line scanner finds every line end; header lines are handed out as
// they stand in the file.
#include <doctest/doctest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ini_text.h"
#include "platform/tests/ini_bytes.h"

namespace vendaro::ini {
namespace {

std::string Show(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// The edits made one after another, each on a fresh parse of the bytes the previous one left.
std::string OneAfterAnother(std::string bytes, std::string_view section,
                            const std::vector<KeyEdit>& edits) {
    for (const KeyEdit& edit : edits) {
        const Document doc(std::move(bytes));
        bytes = edit.remove ? doc.WithoutKey(section, edit.key)
                            : doc.WithValue(section, edit.key, edit.value);
    }
    return bytes;
}

KeyEdit Set(std::string_view key, std::string_view value) {
    return KeyEdit{key, value, false};
}
KeyEdit Remove(std::string_view key) {
    return KeyEdit{key, {}, true};
}

struct EditCase {
    const char* what;
    std::string file;
    std::string section;
    std::vector<KeyEdit> edits;
    std::string expected;
};

}  // namespace

TEST_CASE("key edits at once: the bytes the same edits give one by one") {
    const std::vector<EditCase> cases = {
        {"new keys after the last key line, before the blank line",
         "[A]\r\nx=1\r\n\r\n[S]\r\nk=v\r\n\r\n[B]\r\ny=2\r\n",
         "S",
         {Set("n1", "a"), Set("n2", "b")},
         "[A]\r\nx=1\r\n\r\n[S]\r\nk=v\r\nn1=a\r\nn2=b\r\n\r\n[B]\r\ny=2\r\n"},
        {"a changed value keeps the key's spelling and place",
         "[S]\r\nKey = old\r\nz=1\r\n",
         "s",
         {Set("KEY", "new")},
         "[S]\r\nKey=new\r\nz=1\r\n"},
        {"an unchanged value leaves every byte",
         "[S]\nk = v\n",
         "S",
         {Set("k", "v")},
         "[S]\nk = v\n"},
        {"a missing section goes at the end, on a line of its own",
         "[A]\r\nx=1",
         "New",
         {Set("DSN_Driver", "SQL Server"), Set("Description", "d")},
         "[A]\r\nx=1\r\n[New]\r\nDSN_Driver=SQL Server\r\nDescription=d\r\n"},
        {"a missing file (no bytes) gets the section alone",
         "",
         "S",
         {Set("a", "1"), Set("b", "2")},
         "[S]\r\na=1\r\nb=2\r\n"},
        {"removing from a missing section changes nothing",
         "[A]\r\nx=1\r\n",
         "S",
         {Remove("x"), Remove("y")},
         "[A]\r\nx=1\r\n"},
        {"a removal before the first set of a missing section",
         "[A]\r\nx=1\r\n",
         "S",
         {Remove("k"), Set("k", "1"), Remove("k"), Set("j", "2")},
         "[A]\r\nx=1\r\n[S]\r\nj=2\r\n"},
        {"only the first of two sections of the same name changes",
         "[S]\r\nk=1\r\n[s]\r\nk=2\r\n",
         "S",
         {Set("k", "3"), Set("n", "4")},
         "[S]\r\nk=3\r\nn=4\r\n[s]\r\nk=2\r\n"},
        {"a last line without a line end gets one before a new key",
         "[A]\r\nx=1\r\n[S]\r\nk=v",
         "S",
         {Set("n", "1")},
         "[A]\r\nx=1\r\n[S]\r\nk=v\r\nn=1\r\n"},
        {"a key set, removed and set again ends at the end of the key lines",
         "[S]\r\na=1\r\nb=2\r\n;note\r\n\r\n",
         "S",
         {Set("a", "x"), Remove("a"), Set("a", "y")},
         "[S]\r\nb=2\r\na=y\r\n;note\r\n\r\n"},
        {"lines ended by LF and by a lone CR stay as they are",
         "[A]\nx=1\n[S]\rk=v\r[B]\ny=2\n",
         "S",
         {Set("n", "1")},
         "[A]\nx=1\n[S]\rk=v\rn=1\r\n[B]\ny=2\n"},
        {"an empty header section and spaces around the name",
         "[S]\r\n[T]\r\n",
         "  S  ",
         {Set(" k ", "v")},
         "[S]\r\nk=v\r\n[T]\r\n"},
        {"no edits", "[S]\r\nk=v\r\n", "S", {}, "[S]\r\nk=v\r\n"},
    };
    for (const EditCase& c : cases) {
        CAPTURE(c.what);
        const std::string at_once = Document(c.file).WithKeyEdits(c.section, c.edits);
        CHECK(Show(at_once) == Show(c.expected));
        CHECK(Show(OneAfterAnother(c.file, c.section, c.edits)) == Show(c.expected));
        CHECK(Show(ApplyKeyEdits(c.file, c.section, c.edits)) == Show(c.expected));
    }
}

TEST_CASE("key edits at once agree with edits one by one on generated files") {
    // A small deterministic generator: files of a few sections with keys, comments, blank and
    // bare lines, mixed line ends and a missing last line end; edits of keys that exist, keys
    // that do not, in sections that exist and one that does not.
    std::uint32_t state = 12345;
    auto next = [&](std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    const char* names[] = {"S", "s", "T", "Sales", "x"};
    const char* keys[] = {"k", "K", "a", "Description", "DSN_Driver"};
    const char* values[] = {"1", "v", "", "two words", "\"q\""};
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 400; ++round) {
        std::string file;
        const std::uint32_t lines = next(14);
        for (std::uint32_t i = 0; i < lines; ++i) {
            switch (next(6)) {
                case 0:
                    file += std::string("[") + names[next(5)] + "]";
                    break;
                case 1:
                    file += ";comment";
                    break;
                case 2:
                    break;  // blank
                case 3:
                    file += "bare line";
                    break;
                default:
                    file += std::string(keys[next(5)]) + "=" + values[next(5)];
            }
            if (i + 1 < lines || next(2) == 0) file += ends[next(3)];
        }
        const std::string section = names[next(5)];
        std::vector<KeyEdit> edits;
        const std::uint32_t count = next(6);
        for (std::uint32_t i = 0; i < count; ++i) {
            edits.push_back(next(3) == 0 ? Remove(keys[next(5)])
                                         : Set(keys[next(5)], values[next(5)]));
        }
        CAPTURE(Show(file));
        CAPTURE(section);
        CHECK(Show(Document(file).WithKeyEdits(section, edits)) ==
              Show(OneAfterAnother(file, section, edits)));
    }
}

TEST_CASE("FindLineBreak finds the first CR or LF at every place and length") {
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            for (char brk : {'\r', '\n'}) {
                // Bytes just above and below the line-end codes, which a word-wise search must
                // not take for them.
                std::string text;
                for (std::size_t i = 0; i < length; ++i) {
                    text += "\x0b\x0c\x0e\x09\x8d\x8a ab"[i % 9];
                }
                if (at < length) text[at] = brk;
                // A second break after the first must not be the one found.
                if (at + 3 < length) text[at + 3] = brk == '\r' ? '\n' : '\r';
                CAPTURE(length);
                CAPTURE(at);
                CHECK(FindLineBreak(text.data(), text.size()) == at);
            }
        }
    }
}

TEST_CASE("among thousands of sections a lookup finds the first of each name") {
    // Every name twice, the second time in capitals and with another value; some names are
    // prefixes of others, one is empty, one holds only blanks around a name.
    std::string file;
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        file += "[Sales " + n + "]\r\nk=first " + n + "\r\n";
    }
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        file += "[SALES " + n + "]\r\nk=second " + n + "\r\nonly=" + n + "\r\n";
    }
    file += "[]\r\nk=unnamed\r\n[  Padded  ]\r\nk=padded\r\n";
    const Document doc(file);
    REQUIRE(doc.SectionCount() == 6002);
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        CAPTURE(i);
        CHECK(doc.Get("sales " + n, "k") == std::optional<std::string>("first " + n));
        // The first section of the name holds no "only": the second is never consulted.
        CHECK_FALSE(doc.Get("Sales " + n, "only").has_value());
    }
    CHECK_FALSE(doc.Get("Sales 3000", "k").has_value());
    CHECK_FALSE(doc.Get("Sales", "k").has_value());
    CHECK(doc.Get("", "k") == std::optional<std::string>("unnamed"));
    CHECK(doc.Get("padded", "k") == std::optional<std::string>("padded"));
    CHECK(Document(std::string()).Get("", "k") == std::nullopt);
}

TEST_CASE("header lines are handed out as they stand, in file order") {
    const Document doc(std::string("top=1\r\n[A]\r\nk=v\r\n  [ B ] tail\n[\r\n[C"));
    REQUIRE(doc.SectionCount() == 4);
    CHECK(doc.HeaderLine(0) == "[A]");
    CHECK(doc.HeaderLine(1) == "  [ B ] tail");
    CHECK(doc.HeaderLine(2) == "[");
    CHECK(doc.HeaderLine(3) == "[C");
}

}  // namespace vendaro::ini
