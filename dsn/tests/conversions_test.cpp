#include "dsn/conversions.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <string>

namespace vendaro {
namespace {

TEST_CASE("number of a key: leading decimal number, half to even, clamped to 32 bits") {
    // clang-format off
    const std::pair<std::string, std::int32_t> rows[] = {
        {"  42abc", 42}, {"\t2.5", 2}, {"-3.5", -4}, {"2.5000001", 3}, {"2.49999", 2}, {".6", 1},
        {"2147483647", 2147483647}, {"2147483648", 2147483647}, {"2147483646.5", 2147483646},
        {"2147483647.5", 2147483647}, {"4294967295.5", 2147483647}, {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN}, {"-4294967296.5", INT32_MIN},
        {"99999999999999999999999", 2147483647}, {"-99999999999999999999999", INT32_MIN}};
    // clang-format on
    for (const auto& [text, number] : rows) {
        CAPTURE(text);
        CHECK(NumberOfKey(text) == number);
    }
    // The same rule by exact arithmetic on short numbers, for random texts from a fixed seed.
    std::mt19937 random(20261206);
    const std::string alphabet = " \t+-.0123456789x";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = random() % 14; n > 0; --n) text += alphabet[random() % alphabet.size()];
        std::size_t i = std::min(text.find_first_not_of(" \t"), text.size());
        const bool negative = text[i] == '-';  // text[size()] is '\0'
        i += text[i] == '+' || negative;
        std::int64_t whole = 0, fraction = 0, scale = 1, digits = 0;
        for (; std::isdigit(text[i]); ++i, ++digits) whole = whole * 10 + (text[i] - '0');
        // After the whole part stops at a non-digit, only a point lets a fraction follow.
        for (i += text[i] == '.'; std::isdigit(text[i]); ++i, ++digits, scale *= 10) {
            fraction = fraction * 10 + (text[i] - '0');
        }
        whole += 2 * fraction > scale || (2 * fraction == scale && whole % 2 != 0);
        const std::int64_t exact = digits == 0 ? 0 : negative ? -whole : whole;
        CAPTURE(text);
        CHECK(NumberOfKey(text) == std::clamp<std::int64_t>(exact, INT32_MIN, INT32_MAX));
    }
}

}  // namespace
}  // namespace vendaro
