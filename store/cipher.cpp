#include "store/cipher.h"

#include <cmath>

#include "platform/ini_text.h"
#include "platform/profile.h"

namespace vendaro {
namespace {

// The shift of each phase (position modulo 6): sign and offset.
struct Phase {
    int sign;
    int offset;
};
constexpr Phase kPhases[6] = {{-1, 2}, {+1, 5}, {-1, 4}, {+1, 2}, {-1, 3}, {+1, 5}};

// floor(S * 0.1 / 6) in IEEE doubles, S the sum of the key's character codes. For a whole S
// this is always floor(S / 60): 0.1 as a double lies above one tenth, and a multiple of 60
// (whose quotient is a whole number) is exactly representable, so rounding can never carry the
// product or the quotient below it; extended-precision intermediates agree for the same reason.
int KeyNumber(const std::string& key) {
    long long sum = 0;
    for (unsigned char c : key) sum += c;
    double product = static_cast<double>(sum) * 0.1;
    double quotient = product / 6.0;
    return static_cast<int>(std::floor(quotient));
}

// How far enciphering moves the character at `position` (counted from 1).
int Shift(int key_number, std::size_t position) {
    const int p = static_cast<int>(position % 6);
    return kPhases[p].sign * (key_number - kPhases[p].offset) + p;
}

char Wrap(int code) {
    return static_cast<char>(static_cast<unsigned char>(((code % 256) + 256) % 256));
}

}  // namespace

std::string EncipherText(std::string text, std::string key) {
    const int k = KeyNumber(key);
    std::size_t position = 0;
    for (char& ch : text) ch = Wrap(static_cast<unsigned char>(ch) + Shift(k, ++position));
    return text;
}

std::string DecipherText(std::string text, std::string key) {
    const int k = KeyNumber(key);
    std::size_t position = 0;
    for (char& ch : text) ch = Wrap(static_cast<unsigned char>(ch) - Shift(k, ++position));
    return text;
}

bool IsStorablePassword(const std::string& password, const std::string& key) {
    const int k = KeyNumber(key);
    std::string stored;
    stored.reserve(password.size());
    for (std::size_t j = 0; j < password.size(); ++j) {
        const int code = static_cast<unsigned char>(password[j]) + Shift(k, j + 1);
        if (code < 0 || code > 255) return false;
        stored += static_cast<char>(static_cast<unsigned char>(code));
    }
    if (stored.empty()) return true;  // an empty value is no key, which reads back as ""
    if (stored.size() > ini::kMaxValueChars) return false;  // it would read back cut
    if (HoldsLineBreakOrNul(stored)) return false;
    const char first = stored.front(), last = stored.back();
    if (ini::IsBlank(first) || ini::IsBlank(last)) return false;
    if (stored.size() >= 2 && (first == '"' || first == '\'') && last == first) return false;
    return true;
}

}  // namespace vendaro
