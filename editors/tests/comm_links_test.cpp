#include "editors/comm_links.h"

#include <doctest/doctest.h>

#include <string>

namespace vendaro {
namespace {

CommLinksBoxes Boxes(bool tcpip, std::string tcpip_options, bool ipx, std::string ipx_options,
                     bool netbios, std::string netbios_options) {
    return CommLinksBoxes{tcpip, tcpip_options, ipx, ipx_options, netbios, netbios_options};
}

TEST_CASE("CommLinks is built from the checked boxes in the order TCP/IP, IPX, NetBIOS") {
    struct Row {
        CommLinksBoxes boxes;
        const char* value;
    };
    const Row rows[] = {
        {Boxes(true, "abc", false, "", false, ""), "TCPIP{abc}"},
        {Boxes(true, "", true, "x", false, ""), "TCPIP{},IPX{x}"},
        {Boxes(true, "a", true, "b", true, "c"), "TCPIP{a},IPX{b},NetBIOS{c}"},
        {Boxes(false, "", false, "", true, ""), "NetBIOS{}"},
        {Boxes(true, "abc", true, "", false, ""), "TCPIP{abc},IPX{}"},
        {Boxes(false, "", true, "y", true, ""), "IPX{y},NetBIOS{}"},
        {Boxes(false, "", false, "", false, ""), ""},
        // Option texts of unchecked boxes are not written.
        {Boxes(false, "kept", true, "", false, "also kept"), "IPX{}"},
        // Blanks around an option text are trimmed; inside it, nothing is escaped.
        {Boxes(true, "  host=a{b},c  ", false, "", false, ""), "TCPIP{host=a{b},c}"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.value);
        CHECK(BuildCommLinks(row.boxes) == row.value);
    }
}

TEST_CASE("CommLinks is parsed into boxes and option texts") {
    struct Row {
        const char* value;
        CommLinksBoxes boxes;
    };
    const Row rows[] = {
        {"", Boxes(false, "", false, "", false, "")},
        {"TCPIP{},IPX{}", Boxes(true, "", true, "", false, "")},
        {"netbios{}", Boxes(false, "", false, "", true, "")},
        {"TCPIP{abc},IPX{}", Boxes(true, "abc", true, "", false, "")},
        {"TCPIP{a},IPX{b},NetBIOS{c}", Boxes(true, "a", true, "b", true, "c")},
        // Words match exactly after lower-casing.
        {"TcpIp{x}", Boxes(true, "x", false, "", false, "")},
        // Option texts come back in lower case.
        {"TCPIP{Abc=XY}", Boxes(true, "abc=xy", false, "", false, "")},
        // A blank after the comma becomes part of the next word.
        {"TCPIP{a}, IPX{b}", Boxes(true, "a", false, "", false, "")},
        // Only the first three entries count.
        {"x{1},y{2},z{3},TCPIP{4}", Boxes(false, "", false, "", false, "")},
        {"IPX{1},y{2},z{3},TCPIP{4}", Boxes(false, "", true, "1", false, "")},
        // A protocol named twice: checked once, the later non-empty option text wins.
        {"TCPIP{a},TCPIP{b}", Boxes(true, "b", false, "", false, "")},
        {"TCPIP{a},TCPIP{}", Boxes(true, "a", false, "", false, "")},
        // A "}" outside braces joins the next word, which then matches nothing.
        {"}TCPIP{a}", Boxes(false, "", false, "", false, "")},
        {"IPX{b}}TCPIP{a}", Boxes(false, "", true, "b", false, "")},
        // No "}" after "{": the word stays with an empty option text.
        {"TCPIP{abc", Boxes(true, "", false, "", false, "")},
        // Text after the last entry is ignored; a bare word selects nothing.
        {"IPX{} tcpip", Boxes(false, "", true, "", false, "")},
        {"tcpip", Boxes(false, "", false, "", false, "")},
        // Commas are skipped wherever they stand.
        {",,ip,x{q},", Boxes(false, "", true, "q", false, "")},
    };
    for (const Row& row : rows) {
        CAPTURE(row.value);
        CHECK(ParseCommLinks(row.value) == row.boxes);
    }
}

TEST_CASE("the parse keeps three entries, each a word and an option text") {
    SUBCASE("a missing \"}\" resumes the scan at the second character after \"{\"") {
        auto entries = ParseCommLinksEntries("a{bipx{c");
        CHECK(entries[0] == CommLinksEntry{"a", ""});
        // "b" right after the first "{" is passed over, so the next word is "ipx".
        CHECK(entries[1] == CommLinksEntry{"ipx", ""});
        CHECK(entries[2] == CommLinksEntry{});
        CHECK(ParseCommLinks("a{bipx{c") == Boxes(false, "", true, "", false, ""));
    }
    SUBCASE("a fourth entry is not kept") {
        auto entries = ParseCommLinksEntries("a{1}b{2}c{3}d{4}");
        CHECK(entries[0] == CommLinksEntry{"a", "1"});
        CHECK(entries[1] == CommLinksEntry{"b", "2"});
        CHECK(entries[2] == CommLinksEntry{"c", "3"});
    }
    SUBCASE("blanks are never removed") {
        auto entries = ParseCommLinksEntries(" tcpip { x } ");
        CHECK(entries[0] == CommLinksEntry{" tcpip ", " x "});
    }
}

TEST_CASE("a CommLinks value longer than 255 characters is parsed in full") {
    std::string options(300, 'o');
    std::string value = "TCPIP{" + options + "},IPX{late}";
    REQUIRE(value.size() > 255);
    CHECK(ParseCommLinks(value) == Boxes(true, options, true, "late", false, ""));
}

TEST_CASE("parse of build gives back the boxes, options in lower case") {
    struct Row {
        CommLinksBoxes built;
        CommLinksBoxes parsed;
    };
    const Row rows[] = {
        {Boxes(true, "Host=Server1", true, "", true, "Lana=2"),
         Boxes(true, "host=server1", true, "", true, "lana=2")},
        // "," and "{" inside an option text survive.
        {Boxes(false, "", true, "a,b{c", false, ""), Boxes(false, "", true, "a,b{c", false, "")},
        {Boxes(true, "", false, "", false, ""), Boxes(true, "", false, "", false, "")},
        // A "}" inside an option text does not.
        {Boxes(true, "a}b", false, "", false, ""), Boxes(true, "a", false, "", false, "")},
    };
    for (const Row& row : rows) {
        CHECK(ParseCommLinks(BuildCommLinks(row.built)) == row.parsed);
    }
}

}  // namespace
}  // namespace vendaro
