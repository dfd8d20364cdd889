#include "editors/digits_field.h"

#include <doctest/doctest.h>

#include <string>

namespace vendaro {
namespace {

TEST_CASE("digits-only fields take only digits and Backspace from the keyboard") {
    SUBCASE("every digit and Backspace pass unchanged") {
        for (int key = '0'; key <= '9'; ++key) CHECK(DigitsOnlyKeyPress(key) == key);
        CHECK(DigitsOnlyKeyPress(8) == 8);
    }
    SUBCASE("every other code is discarded, control characters included") {
        for (int key = 0; key < 256; ++key) {
            if (key == 8 || (key >= '0' && key <= '9')) continue;
            CAPTURE(key);
            CHECK(DigitsOnlyKeyPress(key) == 0);
        }
    }
}

TEST_CASE("leaving a digits-only field writes back its leading number") {
    struct Row {
        const char* typed;
        const char* shown;
    };
    const Row rows[] = {
        {"0042", "42"},
        {"0120", "120"},
        {"", "0"},
        {"abc", "0"},
        {"120", "120"},
        {"12abc", "12"},
        {"12 34", "12"},
        {"1.5", "1.5"},
        {"2e3", "2000"},
        {"2E3", "2000"},
        {"2e", "2"},
        {"2e+", "2"},
        {" 42", "42"},
        {"\t\n 7", "7"},
        {"-5", "-5"},
        {"+5", "5"},
        {".5", "0.5"},
        {"5.", "5"},
        {"-0", "0"},
        {"0", "0"},
        {"1000000000000000", "1E+15"},
        {"1234567890123456", "1.23456789012346E+15"},
        {"999999999999999", "999999999999999"},
        {"123456789012345", "123456789012345"},
        {"0.1", "0.1"},
        {"2.50", "2.5"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.typed);
        CHECK(NormalizeDigitsField(row.typed) == row.shown);
    }
}

TEST_CASE("a number a double cannot hold leaves the field digits-only") {
    CHECK(NormalizeDigitsField("1e400") == "0");
    CHECK(NormalizeDigitsField(std::string(400, '9')) == "0");
    CHECK(NormalizeDigitsField("1e-400") == "0");
}

TEST_CASE("numbers are shown in their shortest form of up to 15 significant digits") {
    CHECK(FormatFieldNumber(42) == "42");
    CHECK(FormatFieldNumber(1e15) == "1E+15");
    CHECK(FormatFieldNumber(1.5e20) == "1.5E+20");
    CHECK(FormatFieldNumber(1234567890123456.0) == "1.23456789012346E+15");
    CHECK(FormatFieldNumber(999999999999999.9) == "1E+15");  // rounded, then in exponent form
    CHECK(FormatFieldNumber(0.25) == "0.25");
    CHECK(FormatFieldNumber(-2000) == "-2000");
    CHECK(FormatFieldNumber(1.0 / 3.0) == "0.333333333333333");
}

}  // namespace
}  // namespace vendaro
