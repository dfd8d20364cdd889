#include "editors/digits_field.h"

#include <charconv>
#include <cstdlib>
#include <system_error>

namespace vendaro {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int DigitsOnlyKeyPress(int key_ascii) {
    if (key_ascii == 8) return key_ascii;
    if (key_ascii >= '0' && key_ascii <= '9') return key_ascii;
    return 0;
}

std::string NormalizeDigitsField(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;

    // Gather the longest leading number into a clean form from_chars reads without locale.
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number += '-';
        ++i;
    }
    std::size_t mantissa_digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        number += text[i++];
        ++mantissa_digits;
    }
    if (i < text.size() && text[i] == '.') {
        number += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            number += text[i++];
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return "0";
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) exponent += text[j++];
            number += exponent;
        }
    }

    double value = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return "0";
    return FormatFieldNumber(value);
}

std::string FormatFieldNumber(double value) {
    if (value == 0) return "0";  // also -0
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (error != std::errc()) return "0";
    std::string scientific(buffer, end);  // "-1.23450000000000e+15"

    std::string sign;
    std::size_t pos = 0;
    if (scientific[0] == '-') {
        sign = "-";
        pos = 1;
    }
    std::size_t e = scientific.find('e');
    std::string digits;
    for (std::size_t k = pos; k < e; ++k) {
        if (IsDigit(scientific[k])) digits += scientific[k];
    }
    int exponent = std::atoi(scientific.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    if (exponent >= 15 || exponent < -4) {
        std::string out = sign + digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        int magnitude = exponent < 0 ? -exponent : exponent;
        out += exponent < 0 ? "E-" : "E+";
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
        return out;
    }
    if (exponent < 0) {
        return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    std::size_t integer_digits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integer_digits) {
        return sign + digits + std::string(integer_digits - digits.size(), '0');
    }
    return sign + digits.substr(0, integer_digits) + "." + digits.substr(integer_digits);
}

}  // namespace vendaro
