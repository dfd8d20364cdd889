// The digits-only fields and the CommLinks value, as tables, and a property loop over random
// texts.
#include <doctest/doctest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>

#include "editors/comm_links.h"
#include "editors/digits_field.h"

namespace vendaro {
namespace {

TEST_CASE("a digits-only field takes Backspace and the digits, and shows its leading number") {
    for (int key = -1; key < 256; ++key) {
        CHECK(DigitsOnlyKeyPress(key) == (key == 8 || (key >= '0' && key <= '9') ? key : 0));
    }
    // Typed, then shown once the field is left.
    // clang-format off
    const char* const rows[] = {
    "0042", "42",  "", "0",  "abc", "0",  ".", "0",  "-", "0",  "12abc", "12",  "12 34", "12",
    "1.5", "1.5",  "2e3", "2000",  "2E3", "2000",  "2e", "2",  "2e+", "2",  "2e-3", "0.002",
    "2E+1x", "20",  " 42", "42",  "\t\n 7", "7",  "\r7", "0",  "-5", "-5",  "+5", "5",
    ".5", "0.5",  "5.", "5",  "-0", "0",  "-2.5e20", "-2.5E+20",  "1000000000000000", "1E+15",
    "1e100", "1E+100",  "1234567890123456", "1.23456789012346E+15",
    "999999999999999", "999999999999999",  "999999999999999.9", "1E+15",  "0.0001", "0.0001",
    "0.00001", "1E-05",  "0.000123", "0.000123",  "2.50", "2.5",  "1e400", "0",  "1e-400", "0"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); i += 2) {
        CAPTURE(rows[i]);
        CHECK(NormalizeDigitsField(rows[i]) == rows[i + 1]);
    }
    CHECK(NormalizeDigitsField(std::string(400, '9')) == "0");
    CHECK(FormatFieldNumber(1.0 / 3.0) == "0.333333333333333");
}

TEST_CASE("property: a normalized field is a number form, stable, and keeps the value") {
    const std::regex number_form(R"(0|-?([1-9]\d*|0(?=\.))(\.\d*[1-9])?(E[+-]\d\d\d?)?)");
    const std::string alphabet = "0000123456789..eE+- \ta";
    std::mt19937 random(13);
    for (int n = 0; n < 3000; ++n) {
        std::string text(random() % 24, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        const std::string out = NormalizeDigitsField(text);
        CAPTURE(text);
        REQUIRE(std::regex_match(out, number_form));
        CHECK(NormalizeDigitsField(out) == out);
        const double expected = std::strtod(text.c_str(), nullptr);
        if (!(std::fabs(expected) > 1e-300 && std::fabs(expected) < 1e300)) continue;
        CHECK(std::fabs(std::strtod(out.c_str(), nullptr) - expected) <=
              std::fabs(expected) * 1e-14);
    }
}

std::string Shown(const CommLinksBoxes& b) {
    return std::string(b.tcpip ? "T" : "-") + b.tcpip_options + (b.ipx ? "|I" : "|-") +
           b.ipx_options + (b.netbios ? "|N" : "|-") + b.netbios_options;
}

TEST_CASE("CommLinks is parsed into the boxes and built from them") {
    // A value parsed and built again: the words and options the boxes keep, in their order.
    // clang-format off
    const char* const rebuilt[] = {
    "", "",  "TcpIp{Abc}", "TCPIP{abc}",  "netbios{},ipx{X}", "IPX{x},NetBIOS{}",
    "ipx{  a{b,c  },tcpip{}", "TCPIP{},IPX{a{b,c}",  "TCPIP{a},IPX{b},NetBIOS{c}", "TCPIP{a},IPX{b},NetBIOS{c}"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(rebuilt); i += 2) {
        CHECK(BuildCommLinks(ParseCommLinks(rebuilt[i])) == rebuilt[i + 1]);
    }
    // clang-format off
    const char* const parsed[] = {
    "", "-|-|-",  "TCPIP{},IPX{}", "T|I|-",  "netbios{}", "-|-|N",
    "TCPIP{a},IPX{b},NetBIOS{c}", "Ta|Ib|Nc",  "TcpIp{Abc=XY}", "Tabc=xy|-|-",
    "TCPIP{a}, IPX{b}", "Ta|-|-",  "x{1},y{2},z{3},TCPIP{4}", "-|-|-",
    "IPX{1},y{2},z{3},TCPIP{4}", "-|I1|-",  "TCPIP{a},TCPIP{b}", "Tb|-|-",
    "TCPIP{a},TCPIP{}", "Ta|-|-",  "}TCPIP{a}", "-|-|-",  "IPX{b}}TCPIP{a}", "-|Ib|-",
    "TCPIP{abc", "T|-|-",  "IPX{} tcpip", "-|I|-",  ",,ip,x{q},", "-|Iq|-",  "a{bipx{c", "-|I|-",
    " tcpip { x } ", "-|-|-",  "a{1}b{2}ipx{3}", "-|I3|-"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(parsed); i += 2) {
        CAPTURE(parsed[i]);
        CHECK(Shown(ParseCommLinks(parsed[i])) == parsed[i + 1]);
    }
    const std::string options(300, 'o');
    CHECK(Shown(ParseCommLinks("TCPIP{" + options + "},IPX{late}")) == "T" + options + "|Ilate|-");
    const auto entries = ParseCommLinksEntries(" tcpip { x } ");
    CHECK((entries[0] == CommLinksEntry{" tcpip ", " x "} && entries[1] == CommLinksEntry{}));
}

}  // namespace
}  // namespace vendaro
