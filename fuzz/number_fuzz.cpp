// Fuzzes the conversions of script text into registry data.
//
// Invariants:
// - the number of a key never fails; it ignores blanks (spaces, tabs) before the number and
//   any text after it; a text that does not start with a number gives 0; a minus sign never
//   gives a positive number;
// - for numbers of up to 18 digits in all it is the nearest whole number with a half going to
//   the even neighbour, clamped to the signed 32-bit range (checked against exact arithmetic
//   on the digits, independently of the conversion);
// - more digits after the point only move the result when the digits so far are exactly a half;
// - the flag and the inverted flag always add up to 1;
// - the system directory holds no NUL and no upper-case ASCII letter; the Windows directory is
//   the part before its last backslash, and the legacy ODBC.INI is empty exactly when there is
//   no backslash.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "dsn/conversions.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace vendaro;

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// The leading number of `text` as sign, integer digits and fraction digits; false when the
// text does not start (after spaces and tabs) with one.
struct Parts {
    bool negative = false;
    std::string integer, fraction;
    std::size_t end = 0;  // where the number ends
};

bool Leading(std::string_view text, Parts& p) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) p.negative = text[i++] == '-';
    while (i < text.size() && Digit(text[i])) p.integer += text[i++];
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && Digit(text[j])) p.fraction += text[j++];
        if (!p.fraction.empty() || !p.integer.empty()) i = j;
    }
    p.end = i;
    return !p.integer.empty() || !p.fraction.empty();
}

// Exact rounding for up to 18 digits: the value is (integer * 10^f + fraction) / 10^f.
std::int64_t Expected(const Parts& p) {
    std::int64_t scale = 1;
    std::int64_t whole = 0, frac = 0;
    for (char c : p.integer) whole = whole * 10 + (c - '0');
    for (char c : p.fraction) {
        frac = frac * 10 + (c - '0');
        scale *= 10;
    }
    std::int64_t twice = 2 * frac;  // compared with scale: below, at or above a half
    std::int64_t rounded = whole;
    if (twice > scale || (twice == scale && whole % 2 != 0)) ++rounded;
    std::int64_t value = p.negative ? -rounded : rounded;
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return value < kMin ? kMin : value > kMax ? kMax : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int32_t n = NumberOfKey(text);

    Parts parts;
    if (!Leading(text, parts)) {
        REQUIRE_THAT(n == 0);
    } else {
        if (parts.negative) REQUIRE_THAT(n <= 0);
        if (!parts.negative) REQUIRE_THAT(n >= 0);
        // The text after the number plays no part.
        REQUIRE_THAT(NumberOfKey(std::string_view(text).substr(0, parts.end)) == n);
        if (parts.integer.size() + parts.fraction.size() <= 18) {
            REQUIRE_THAT(n == Expected(parts));
        }
        // Without its blanks, or with more of them, the same number.
        std::size_t first = text.find_first_not_of(" \t");
        REQUIRE_THAT(NumberOfKey(std::string_view(text).substr(first)) == n);
        REQUIRE_THAT(NumberOfKey(" \t" + text) == n);
        // A further fraction digit only matters after an exact half.
        if (!parts.fraction.empty() && parts.end == text.size()) {
            const std::int32_t more = NumberOfKey(text + "1");
            const bool half = parts.fraction[0] == '5' &&
                              parts.fraction.find_first_not_of('0', 1) == std::string::npos;
            if (!half) REQUIRE_THAT(more == n);
            REQUIRE_THAT(NumberOfKey(text + "0") == n);
        }
    }

    REQUIRE_THAT(FlagOfKey(text) + InvertedFlagOfKey(text) == 1);
    REQUIRE_THAT(FlagOfKey(text) == (text == "1" ? 1 : 0));

    const std::string system = SystemDirectoryOf(text);
    REQUIRE_THAT(system.find('\0') == std::string::npos);
    for (char c : system) REQUIRE_THAT(!(c >= 'A' && c <= 'Z'));
    REQUIRE_THAT(system.size() <= text.size());
    const std::string windows = WindowsDirectoryOf(system);
    const std::size_t last = system.rfind('\\');
    if (last == std::string::npos) {
        REQUIRE_THAT(windows.empty() && LegacyOdbcIniFile(system).empty());
    } else {
        REQUIRE_THAT(windows == system.substr(0, last));
        if (!windows.empty()) REQUIRE_THAT(LegacyOdbcIniFile(system) == windows + "\\ODBC.INI");
    }
    REQUIRE_THAT(JetDriverFile(system) == system + "\\odbcjt32.dll");
    return 0;
}
