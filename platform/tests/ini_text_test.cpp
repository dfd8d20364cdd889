#include "platform/ini_text.h"
#include "platform/tests/ini_bytes.h"

#include <doctest/doctest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/tests/ini_read_cases.h"

namespace vendaro::ini {
namespace {

using namespace std::string_literals;

// Joins the parts (g++ 12 at -O2 warns wrongly about "literal" + std::string).
template <typename... Parts>
std::string Cat(const Parts&... parts) {
    std::string out;
    (out.append(std::string_view(parts)), ...);
    return out;
}

// Renders bytes with CR, LF, tab and NUL visible, so a failed comparison is readable.
std::string Show(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Show(const std::optional<std::string>& value) {
    return value ? Cat("\"", Show(*value), "\"") : "<missing>";
}

}  // namespace

TEST_CASE("reading: headers, key lines, trimming, quotes, comments, duplicates, line ends") {
    const std::vector<ReadCase> cases = ReadCases();
    for (const ReadCase& c : cases) {
        INFO(std::string(c.what), ": ", Show(c.file));
        CHECK(Show(GetValue(c.file, c.section, c.key)) == Show(c.expected));
    }
}

TEST_CASE("reading hands back at most 2047 characters") {
    const std::string long_value(3000, 'x');
    CHECK(GetValue(Cat("[s]\r\nk=", long_value, "\r\n"), "s", "k") == std::string(2047, 'x'));
    CHECK(GetValue(Cat("[s]\r\nk=", std::string(2047, 'y'), "\r\n"), "s", "k") ==
          std::string(2047, 'y'));
    // The quotes go first, then the cut.
    CHECK(GetValue(Cat("[s]\r\nk=\"", std::string(2047, 'q'), "\"\r\n"), "s", "k") ==
          std::string(2047, 'q'));
}

TEST_CASE("SplitLines splits at CR LF, LF and a lone CR") {
    using V = std::vector<std::string_view>;
    CHECK(SplitLines("") == V{});
    CHECK(SplitLines("a") == V{"a"});
    CHECK(SplitLines("a\r\nb\nc\rd") == V{"a", "b", "c", "d"});
    CHECK(SplitLines("a\r\n") == V{"a"});
    CHECK(SplitLines("a\r\r\n[b]") == V{"a", "", "[b]"});
    CHECK(SplitLines("\n\r") == V{"", ""});
    CHECK(SplitLines("\r\n\r\n") == V{"", ""});
}

namespace {

enum class Op { Set, DeleteKey, DeleteSection };

struct EditCase {
    const char* what;
    std::string before;
    Op op;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

std::string Apply(const EditCase& c) {
    switch (c.op) {
        case Op::Set:
            return SetValue(c.before, c.section, c.key, c.value);
        case Op::DeleteKey:
            return DeleteKey(c.before, c.section, c.key);
        case Op::DeleteSection:
            return DeleteSection(c.before, c.section);
    }
    return {};
}

}  // namespace

TEST_CASE("editing in place") {
    const std::string messy =
        ";top comment\n\n[Sec]\n  Key1 = Val1  \n;c1\nbare line\n\n\n[Other]\nx=1\n";
    const std::vector<EditCase> cases = {
        {"new file", "", Op::Set, "s", "k", "v", "[s]\r\nk=v\r\n"},
        {"names trimmed of spaces", "", Op::Set, " s ", " k ", "v", "[s]\r\nk=v\r\n"},
        {"value written as given", "", Op::Set, "s", "k", "  v  ", "[s]\r\nk=  v  \r\n"},
        {"value starting with equals sign", "", Op::Set, "s", "eq", "=x", "[s]\r\neq==x\r\n"},
        {"same value leaves every byte", messy, Op::Set, "sec", "KEY1", "Val1", messy},
        {"changed key keeps its place, other lines untouched", messy, Op::Set, "sec", "KEY1", "New",
         ";top comment\n\n[Sec]\nKey1=New\r\n;c1\nbare line\n\n\n[Other]\nx=1\n"},
        {"new key after the last key line", messy, Op::Set, "SEC", "NewKey", "n",
         ";top comment\n\n[Sec]\n  Key1 = Val1  \n;c1\nbare line\nNewKey=n\r\n\n\n[Other]\nx=1\n"},
        {"new key before trailing comment and blank lines",
         "[s]\r\nk=v\r\n;trailing\r\n\r\n[t]\r\n", Op::Set, "s", "n", "1",
         "[s]\r\nk=v\r\nn=1\r\n;trailing\r\n\r\n[t]\r\n"},
        {"new key right after a lone header", "[s]\r\n\r\n[t]\r\n", Op::Set, "s", "n", "1",
         "[s]\r\nn=1\r\n\r\n[t]\r\n"},
        {"new key after a header without line end", "[s]", Op::Set, "s", "k", "v",
         "[s]\r\nk=v\r\n"},
        {"new key after a last key line without line end", "[s]\r\nk=v", Op::Set, "s", "j", "w",
         "[s]\r\nk=v\r\nj=w\r\n"},
        {"changed last key line without line end", "[s]\r\nk=v", Op::Set, "s", "k", "x",
         "[s]\r\nk=x\r\n"},
        {"new section at the end", "[s]\r\nk=v\r\n", Op::Set, "t", "k", "w",
         "[s]\r\nk=v\r\n[t]\r\nk=w\r\n"},
        {"new section ends a last line first", "[s]\r\nk=v", Op::Set, "t", "k", "w",
         "[s]\r\nk=v\r\n[t]\r\nk=w\r\n"},
        {"new section after a lone CR line end", "[s]\r\nk=v\r", Op::Set, "t", "k", "w",
         "[s]\r\nk=v\r[t]\r\nk=w\r\n"},
        {"new section after LF line ends", "[s]\nk=v\n", Op::Set, "t", "k", "w",
         "[s]\nk=v\n[t]\r\nk=w\r\n"},
        {"key of a later duplicate section goes to the first",
         "[s]\r\na=1\r\n[t]\r\n[s]\r\nb=2\r\n", Op::Set, "s", "b", "X",
         "[s]\r\na=1\r\nb=X\r\n[t]\r\n[s]\r\nb=2\r\n"},
        {"first of duplicate keys changed", "[s]\r\nk=1\r\nk=2\r\n", Op::Set, "s", "k", "X",
         "[s]\r\nk=X\r\nk=2\r\n"},
        {"key keeps its spelling", "[s]\r\nKey=v\r\n", Op::Set, "S", "KEY", "x",
         "[s]\r\nKey=x\r\n"},
        {"case change of a value rewrites", "[s]\r\nk=Val\r\n", Op::Set, "s", "k", "val",
         "[s]\r\nk=val\r\n"},
        {"a comment line is not the key (no key line: after the header)", "[s]\r\n;k=old\r\n",
         Op::Set, "s", ";k", "new", "[s]\r\n;k=new\r\n;k=old\r\n"},
        {"a bare line is not the key", "[s]\r\nbare\r\nk=v\r\n", Op::Set, "s", "bare", "x",
         "[s]\r\nbare\r\nk=v\r\nbare=x\r\n"},
        {"keys before the first header are left alone", "k=pre\r\n[s]\r\n", Op::Set, "s", "k", "v",
         "k=pre\r\n[s]\r\nk=v\r\n"},
        {"empty section name gets a header", "[s]\r\nk=v\r\n", Op::Set, "", "k", "v",
         "[s]\r\nk=v\r\n[]\r\nk=v\r\n"},
        {"copy-made file", "[a]\r\nk=1\r\r\n[b]\r\nk=2", Op::Set, "a", "j", "3",
         "[a]\r\nk=1\rj=3\r\n\r\n[b]\r\nk=2"},
        {"copy-made file, last section", "[a]\r\nk=1\r\r\n[b]\r\nk=2", Op::Set, "B", "j", "3",
         "[a]\r\nk=1\r\r\n[b]\r\nk=2\r\nj=3\r\n"},

        {"delete a key", "[s]\r\nk=v\r\nj=w\r\n[t]\r\nk=x\r\n", Op::DeleteKey, "s", "k", "",
         "[s]\r\nj=w\r\n[t]\r\nk=x\r\n"},
        {"delete a missing key", "[s]\r\nj=w\r\n", Op::DeleteKey, "s", "nokey", "",
         "[s]\r\nj=w\r\n"},
        {"delete in a missing section", "[s]\r\nj=w\r\n", Op::DeleteKey, "nosec", "j", "",
         "[s]\r\nj=w\r\n"},
        {"delete the last key keeps the header", "[t]\r\nk=x\r\n", Op::DeleteKey, "T", "K", "",
         "[t]\r\n"},
        {"delete a last line without line end", "[s]\r\nj=w\r\nk=v", Op::DeleteKey, "s", "k", "",
         "[s]\r\nj=w\r\n"},
        {"delete the first of duplicate keys", "[s]\r\nk=1\r\nk=2\r\n", Op::DeleteKey, "s", "k", "",
         "[s]\r\nk=2\r\n"},
        {"delete keeps spacing elsewhere", messy, Op::DeleteKey, "Other", "x", "",
         ";top comment\n\n[Sec]\n  Key1 = Val1  \n;c1\nbare line\n\n\n[Other]\n"},
        {"delete only in the first duplicate section", "[s]\r\na=1\r\n[s]\r\nk=2\r\n",
         Op::DeleteKey, "s", "k", "", "[s]\r\na=1\r\n[s]\r\nk=2\r\n"},

        {"delete a section", "[s]\r\nk=v\r\n[t]\r\nk=x\r\n", Op::DeleteSection, "s", "", "",
         "[t]\r\nk=x\r\n"},
        {"delete a section keeps its comments",
         "[s]\r\nk=v\r\n;comment in s\r\n[t]\r\nk=x\r\n[s]\r\nk=dup\r\n", Op::DeleteSection, "s",
         "", "", ";comment in s\r\n[t]\r\nk=x\r\n[s]\r\nk=dup\r\n"},
        {"delete the only section", "[s]\r\nk=v\r\n", Op::DeleteSection, "S", "", "", ""},
        {"delete a missing section", "[s]\r\nk=v\r\n", Op::DeleteSection, "t", "", "",
         "[s]\r\nk=v\r\n"},
        {"delete a section in the middle", messy, Op::DeleteSection, "sec", "", "",
         ";top comment\n\n;c1\n[Other]\nx=1\n"},
        {"delete a copied section", "[a]\r\nk=1\r\r\n[b]\r\nk=2\r\r\n[c]\r\nk=3", Op::DeleteSection,
         "b", "", "", "[a]\r\nk=1\r\r\n[c]\r\nk=3"},
        {"delete the last copied section", "[a]\r\nk=1\r\r\n[b]\r\nk=2", Op::DeleteSection, "b", "",
         "", "[a]\r\nk=1\r\r\n"},
        {"section argument trimmed of spaces", "[t]\r\nk=x\r\n", Op::DeleteSection, " t ", "", "",
         ""},
    };
    for (const EditCase& c : cases) {
        INFO(std::string(c.what), ": ", Show(c.before));
        CHECK(Show(Apply(c)) == Show(c.after));
    }
}

TEST_CASE("a Document told to write LF lines writes every line it adds or changes with LF") {
    struct Case {
        const char* text;
        const char* eol;
    };
    for (const Case& c : {Case{"", "\n"}, Case{"[a]", "\n"}, Case{"[a]\nk=1\r\n", "\n"},
                          Case{"[a]\r\nk=1\n", "\r\n"}, Case{"[a]\rk=1\n", "\r\n"}}) {
        CHECK(ini::LineEndOf(c.text) == c.eol);
    }
    ini::Document doc(";c\n[s]\nk=1\n");
    doc.set_line_end("\n");
    CHECK(doc.WithValue("s", "k", "2") == ";c\n[s]\nk=2\n");
    CHECK(doc.WithValue("s", "n", "3") == ";c\n[s]\nk=1\nn=3\n");
    CHECK(doc.WithValue("t", "n", "3") == ";c\n[s]\nk=1\n[t]\nn=3\n");
    const KeyEdit edits[] = {{"a", "1", false}, {"k", "", true}, {"b", "2", false}};
    CHECK(doc.WithKeyEdits("new", edits) == ";c\n[s]\nk=1\n[new]\na=1\nb=2\n");
    CHECK(doc.WithKeyEdits("s", edits) == ";c\n[s]\na=1\nb=2\n");
}

TEST_CASE("what an edit writes reads back") {
    std::string text = "[a]\r\nk=1\r\r\n[b]\r\nk=2";
    text = SetValue(text, "b", "Description", "Copied");
    text = SetValue(text, "c", "DSN_Driver", "SQL Server");
    text = SetValue(text, "a", "k", "one");
    CHECK(GetValue(text, "a", "k") == "one");
    CHECK(GetValue(text, "b", "k") == "2");
    CHECK(GetValue(text, "b", "Description") == "Copied");
    CHECK(GetValue(text, "c", "DSN_Driver") == "SQL Server");
    text = DeleteSection(text, "b");
    CHECK(GetValue(text, "b", "k") == std::nullopt);
    CHECK(GetValue(text, "c", "DSN_Driver") == "SQL Server");
    text = DeleteKey(text, "a", "k");
    CHECK(GetValue(text, "a", "k") == std::nullopt);
}

TEST_CASE("the parse indexes sections by their first occurrence") {
    Document doc("[A]\r\nk=1\r\n[b]\r\n[a]\r\nk=2\r\n");
    CHECK(doc.SectionCount() == 3);
    CHECK(doc.LineCount() == 5);
    CHECK(doc.Get("a", "k") == "1");
}

TEST_CASE("ClassifyLine") {
    const std::string text = "  Key = a value  ";
    const LineParts key = ClassifyLine(text, 0, text.size());
    CHECK(key.kind == LineKind::Key);
    CHECK(text.substr(key.name_begin, key.name_end - key.name_begin) == "Key");
    CHECK(text.substr(key.value_begin, key.value_end - key.value_begin) == "a value");
    CHECK(ClassifyLine(" \t ", 0, 3).kind == LineKind::Blank);
    CHECK(ClassifyLine(" ;x=1", 0, 5).kind == LineKind::Comment);
    CHECK(ClassifyLine("\t[s]", 0, 4).kind == LineKind::Header);
    CHECK(ClassifyLine("bare", 0, 4).kind == LineKind::Bare);
}

TEST_CASE("a file of lone CRs splits in one pass") {
    std::string text;
    for (int n = 0; n < 200000; ++n) text += "[s]\rk=v\r";
    CHECK(SplitLines(text).size() == 400000);
    CHECK(Document(text).SectionCount() == 200000);
}
}  // namespace vendaro::ini
