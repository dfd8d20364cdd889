#include "dsn/conversions.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace vendaro {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLeadingBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::int32_t NumberOfKey(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsLeadingBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The magnitude is accumulated exactly up to just past the 32-bit range and saturates
    // there, so arbitrarily long digit runs cannot overflow.
    constexpr std::int64_t kCeiling = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    bool any_digit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        any_digit = true;
        if (magnitude < kCeiling) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (magnitude > kCeiling) magnitude = kCeiling;

    // The fraction only decides the rounding: below, at or above one half.
    int versus_half = -1;  // -1 below, 0 exactly a half, 1 above
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (i < text.size() && IsDigit(text[i])) {
            any_digit = true;
            char first = text[i++];
            if (first > '5') {
                versus_half = 1;
            } else if (first == '5') {
                versus_half = 0;
                for (; i < text.size() && IsDigit(text[i]); ++i) {
                    if (text[i] != '0') {
                        versus_half = 1;
                        break;
                    }
                }
            }
        }
    }
    if (!any_digit) return 0;
    if (versus_half > 0 || (versus_half == 0 && magnitude % 2 != 0)) ++magnitude;

    std::int64_t value = negative ? -magnitude : magnitude;
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

std::uint8_t FlagOfKey(std::string_view text) {
    return text == "1" ? 1 : 0;
}

std::uint8_t InvertedFlagOfKey(std::string_view text) {
    return text == "1" ? 0 : 1;
}

std::string SystemDirectoryOf(std::string_view raw) {
    std::string out(raw.substr(0, raw.find('\0')));
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string WindowsDirectoryOf(std::string_view system_directory) {
    std::size_t last = system_directory.rfind('\\');
    if (last == std::string_view::npos) return {};
    return std::string(system_directory.substr(0, last));
}

std::string JetDriverFile(std::string_view system_directory) {
    return std::string(system_directory) + "\\odbcjt32.dll";
}

std::string LegacyOdbcIniFile(std::string_view system_directory) {
    std::string windows = WindowsDirectoryOf(system_directory);
    if (windows.empty()) return {};
    return windows + "\\ODBC.INI";
}

}  // namespace vendaro
