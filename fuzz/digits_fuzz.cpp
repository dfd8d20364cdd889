// Fuzzes the digits-only fields of the editors: the key filter and the text left on leaving.
//
// Invariants:
// - the key filter lets through Backspace and the digits only, unchanged, and gives 0 else;
// - the normalised text is "0" or a number form: an optional minus, digits without leading
//   zeros, an optional fraction without trailing zeros, an optional exponent "E+nn"/"E-nn";
//   at most 15 significant digits;
// - normalising is idempotent;
// - a text of digits alone, with at most 15 significant ones, comes back as those digits
//   without leading zeros ("0" for none), whatever follows a non-digit character;
// - the value is kept: the normalised text, read back as a double, is within 15 significant
//   digits of the number at the start of the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editors/digits_field.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace vendaro;

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// True for "0" and for -?D+(.D+)?(E[+-]DD+)? with no leading zero in an integer part longer
// than one digit and no trailing zero in a fraction.
bool IsNumberForm(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    const std::size_t int_begin = i;
    while (i < s.size() && Digit(s[i])) ++i;
    if (i == int_begin) return false;
    if (i - int_begin > 1 && s[int_begin] == '0') return false;
    if (i < s.size() && s[i] == '.') {
        const std::size_t frac_begin = ++i;
        while (i < s.size() && Digit(s[i])) ++i;
        if (i == frac_begin || s[i - 1] == '0') return false;
    }
    if (i < s.size() && s[i] == 'E') {
        ++i;
        if (i >= s.size() || (s[i] != '+' && s[i] != '-')) return false;
        const std::size_t exp_begin = ++i;
        while (i < s.size() && Digit(s[i])) ++i;
        if (i - exp_begin < 2) return false;
    }
    return i == s.size();
}

std::size_t SignificantDigits(const std::string& s) {
    std::string digits;
    for (char c : s) {
        if (c == 'E') break;
        if (Digit(c)) digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const std::size_t last = digits.find_last_not_of('0');
    return last - first + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int key = in.ConsumeIntegral<int>();
    const int passed = DigitsOnlyKeyPress(key);
    if (key == 8 || (key >= '0' && key <= '9')) {
        REQUIRE_THAT(passed == key);
    } else {
        REQUIRE_THAT(passed == 0);
    }

    const std::string text = in.ConsumeRemainingBytesAsString();
    const std::string out = NormalizeDigitsField(text);
    if (fuzz::Tracing()) std::fprintf(stderr, "%s -> %s\n", fuzz::Shown(text).c_str(), out.c_str());
    REQUIRE_THAT(IsNumberForm(out));
    REQUIRE_THAT(out != "-0");
    REQUIRE_THAT(SignificantDigits(out) <= 15);
    REQUIRE_THAT(NormalizeDigitsField(out) == out);

    // Typed digits (the filter lets nothing else in) come back as they are.
    std::size_t run = 0;
    while (run < text.size() && Digit(text[run])) ++run;
    if (run == text.size() ||
        (run > 0 && text[run] != '.' && text[run] != 'e' && text[run] != 'E')) {
        std::string digits = text.substr(0, run);
        const std::size_t first = digits.find_first_not_of('0');
        digits = first == std::string::npos ? "0" : digits.substr(first);
        if (digits.size() <= 15) REQUIRE_THAT(out == digits);
    }

    // The value is kept to 15 significant digits.
    std::string clean;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    clean.assign(text, i, std::string::npos);
    const bool other_blank = !clean.empty() && std::isspace(static_cast<unsigned char>(clean[0]));
    if (clean.find('\0') == std::string::npos && clean.size() < 4096 && !other_blank) {
        char* end = nullptr;
        const double expected = std::strtod(clean.c_str(), &end);
        const bool hex = clean.find_first_of("xXnN") != std::string::npos;  // strtod's extras
        if (end != clean.c_str() && std::isfinite(expected) && !hex && expected != 0 &&
            std::fabs(expected) > 1e-300) {
            const double got = std::strtod(out.c_str(), nullptr);
            REQUIRE_THAT(std::fabs(got - expected) <= std::fabs(expected) * 1e-14);
        }
    }
    return 0;
}
