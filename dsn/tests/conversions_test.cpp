#include "dsn/conversions.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <string>

namespace vendaro {
namespace {

using namespace std::string_literals;

TEST_CASE("number of a key: leading decimal number, half to even, clamped to 32 bits") {
    // clang-format off
    const std::pair<std::string, std::int32_t> rows[] = {
        {"  42abc", 42}, {"\t2.5", 2}, {"-3.5", -4}, {"2.5000001", 3}, {"2.49999", 2}, {"+9", 9},
        {"abc42", 0}, {"-", 0}, {".", 0}, {".6", 1}, {"9.", 9}, {"7 8", 7},
        {"2147483647", 2147483647}, {"2147483648", 2147483647}, {"2147483646.5", 2147483646},
        {"2147483647.5", 2147483647}, {"4294967295.5", 2147483647}, {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN}, {"-4294967296.5", INT32_MIN},
        {"99999999999999999999999", 2147483647}, {"-99999999999999999999999", INT32_MIN}};
    // clang-format on
    for (const auto& [text, number] : rows) {
        CAPTURE(text);
        CHECK(NumberOfKey(text) == number);
    }
}

// The same rule by exact arithmetic on short numbers, for random texts from a fixed seed.
TEST_CASE("number of a key: random texts against exact rounding") {
    std::mt19937 random(20261206);
    const std::string alphabet = " \t+-.0123456789x";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = random() % 14; n > 0; --n) text += alphabet[random() % alphabet.size()];
        std::size_t i = text.find_first_not_of(" \t");
        i = i == std::string::npos ? text.size() : i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::int64_t whole = 0, fraction = 0, scale = 1;
        bool any = false;
        for (; i < text.size() && std::isdigit(text[i]); ++i, any = true) {
            whole = whole * 10 + (text[i] - '0');
        }
        if (i < text.size() && text[i] == '.') {
            for (++i; i < text.size() && std::isdigit(text[i]); ++i, any = true) {
                fraction = fraction * 10 + (text[i] - '0');
                scale *= 10;
            }
        }
        if (2 * fraction > scale || (2 * fraction == scale && whole % 2 != 0)) ++whole;
        CAPTURE(text);
        const std::int64_t exact = any ? (negative ? -whole : whole) : 0;
        CHECK(NumberOfKey(text) == std::clamp<std::int64_t>(exact, INT32_MIN, INT32_MAX));
    }
}

TEST_CASE("flags, the system directory and what follows from it") {
    for (const std::string& text : {"1"s, "0"s, ""s, " 1"s, "1 "s, "11"s, "True"s, "1\0"s}) {
        CAPTURE(text);
        CHECK(FlagOfKey(text) == (text == "1"));
        CHECK(InvertedFlagOfKey(text) == (text != "1"));
    }
    // raw, system directory, Windows directory, Jet driver, legacy ODBC.INI
    const std::string rows[][5] = {
        {"C:\\WINNT\\System32\0x"s, "c:\\winnt\\system32", "c:\\winnt",
         "c:\\winnt\\system32\\odbcjt32.dll", "c:\\winnt\\ODBC.INI"},
        {"C:\\\xC4Z", "c:\\\xC4z", "c:", "c:\\\xC4z\\odbcjt32.dll", "c:\\ODBC.INI"},
        {"\\AZ@[", "\\az@[", "", "\\az@[\\odbcjt32.dll", ""},
        {"\0C:\\X"s, "", "", "\\odbcjt32.dll", ""},
        {"System32", "system32", "", "system32\\odbcjt32.dll", ""}};
    for (const auto& row : rows) {
        CAPTURE(row[0]);
        const std::string system = SystemDirectoryOf(row[0]);
        CHECK(system == row[1]);
        CHECK(WindowsDirectoryOf(system) == row[2]);
        CHECK(JetDriverFile(system) == row[3]);
        CHECK(LegacyOdbcIniFile(system) == row[4]);
    }
}

}  // namespace
}  // namespace vendaro
