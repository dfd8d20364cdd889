#include "dsn/conversions.h"

#include <doctest/doctest.h>

#include <cstdint>
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
        {"99999999999999999999999", 2147483647}, {"-99999999999999999999999", INT32_MIN},
        // No number at all; a sign, a point and the digits' neighbours in ASCII.
        {"", 0}, {"  ", 0}, {"-", 0}, {"- 5", 0}, {"x5", 0}, {"\n5", 0}, {".", 0}, {"-.x", 0},
        {"/5", 0}, {":5", 0}, {"+7", 7}, {"3.", 3}, {"1.2.3", 1}, {"1090", 1090}, {"2.0", 2},
        {"2.6", 3}, {"0.9", 1}, {".5", 0}, {"1.5", 2}, {"2.500", 2}, {"2.509", 3}};
    // clang-format on
    for (const auto& [text, number] : rows) CHECK_MESSAGE(NumberOfKey(text) == number, text);
}

}  // namespace
}  // namespace vendaro
