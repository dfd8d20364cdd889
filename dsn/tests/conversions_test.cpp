#include <doctest/doctest.h>

#include <cstdint>
#include <string>

#include "dsn/conversions.h"

namespace vendaro {
namespace {

using namespace std::string_literals;

TEST_CASE("number of a key: leading decimal number, half to even, clamped to 32 bits") {
    struct Row {
        std::string text;
        std::int32_t number;
    };
    const Row rows[] = {
        {"  42abc", 42},
        {"2.5", 2},
        {"3.5", 4},
        {"", 0},
        {"x", 0},
        {"-7", -7},
        {"42", 42},
        {"0", 0},
        {"0.5", 0},
        {"1.5", 2},
        {"2.51", 3},
        {"2.5000001", 3},
        {"2.49999", 2},
        {"-2.5", -2},
        {"-3.5", -4},
        {"\t8", 8},
        {"+9", 9},
        {"7 8", 7},
        {"abc42", 0},
        {"-", 0},
        {".", 0},
        {"   ", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
        {"2147483646.5", 2147483646},
        {"2147483647.5", 2147483647},
    };
    for (const Row& row : rows) {
        INFO("text \"", row.text, "\"");
        CHECK(NumberOfKey(row.text) == row.number);
    }
}

TEST_CASE("flags are set only by the exact text 1") {
    struct Row {
        std::string text;
        int flag;
        int inverted;
    };
    const Row rows[] = {
        {"1", 1, 0},   {"0", 0, 1},  {"", 0, 1},   {" 1", 0, 1},   {"1 ", 0, 1},
        {"01", 0, 1},  {"-1", 0, 1}, {"11", 0, 1}, {"True", 0, 1}, {"Yes", 0, 1},
        {"1.0", 0, 1}, {"2", 0, 1},  {"x", 0, 1},  {"1\0"s, 0, 1},
    };
    for (const Row& row : rows) {
        INFO("text \"", row.text, "\"");
        CHECK(FlagOfKey(row.text) == row.flag);
        CHECK(InvertedFlagOfKey(row.text) == row.inverted);
    }
}

TEST_CASE("system and Windows directories") {
    SUBCASE("C:\\WINNT\\System32") {
        std::string system = SystemDirectoryOf("C:\\WINNT\\System32");
        CHECK(system == "c:\\winnt\\system32");
        CHECK(WindowsDirectoryOf(system) == "c:\\winnt");
        CHECK(JetDriverFile(system) == "c:\\winnt\\system32\\odbcjt32.dll");
        CHECK(LegacyOdbcIniFile(system) == "c:\\winnt\\ODBC.INI");
    }
    SUBCASE("the buffer is cut at its first NUL") {
        CHECK(SystemDirectoryOf("C:\\WINDOWS\\System32\0garbage\0"s) == "c:\\windows\\system32");
        CHECK(SystemDirectoryOf("\0C:\\X"s) == "");
    }
    SUBCASE("bytes outside ASCII are kept") {
        CHECK(SystemDirectoryOf("C:\\\xC4RGER") == "c:\\\xC4rger");
    }
    SUBCASE("the Windows directory ends before the last backslash") {
        CHECK(WindowsDirectoryOf("c:\\windows\\system32") == "c:\\windows");
        CHECK(WindowsDirectoryOf("c:\\system32") == "c:");
        CHECK(LegacyOdbcIniFile("c:\\system32") == "c:\\ODBC.INI");
    }
    SUBCASE("no backslash: no Windows directory and so no ODBC.INI file") {
        CHECK(WindowsDirectoryOf("") == "");
        CHECK(WindowsDirectoryOf("system32") == "");
        CHECK(LegacyOdbcIniFile("") == "");
        CHECK(LegacyOdbcIniFile("system32") == "");
    }
}

}  // namespace
}  // namespace vendaro
