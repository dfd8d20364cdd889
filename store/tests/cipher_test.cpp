// The password cipher: pairs worked out by hand, each both ways, and whether a password is
// storable.
#include "store/cipher.h"

#include <doctest/doctest.h>

#include <array>
#include <string>
#include <vector>

namespace vendaro {

using namespace std::string_literals;

// Key "marigold": S = 847, K = floor(84.7 / 6) = 14; the shift of phase p = j mod 6 is
// s * (K - d) + p: +10, -8, +15, -7, +14, -12 for p = 1..5, 0.
TEST_CASE("enciphered and deciphered pairs worked out by hand") {
    const std::vector<std::array<std::string, 3>> pairs = {
        {"", "marigold", ""},
        {"abcdefg", "marigold", "kZr]sZq"},
        {"Password", "marigold", "ZY\x82l\x85"s + "c|\\"},
        {"\xff\x05\xfa", "marigold", "\x09\xfd\x09"},  // codes outside 0-255 wrap
        {"\xf6", "marigold", "\x00"s},
        {"AAA", "<", ">FC"},  // S = 60: 60 * 0.1 / 6 is exactly 1
        {"aa", "", "]g"},
        {"aaaaaaa", "\xff\xff\xff\xff\xff\xff", "vN{OzJv"},
    };
    for (const auto& [plain, key, cipher] : pairs) {
        CHECK(EncipherText(plain, key) == cipher);
        CHECK(DecipherText(cipher, key) == plain);
    }
}

// Storable: each stored character a byte, and the stored value read back whole (no line break
// or NUL, no blank a reader trims at either end, no pair of quotes it removes, at most 2047
// characters). The six printable characters refused are ( and " at phase 2, ' and ! at phase 4,
// , and & at phase 0.
TEST_CASE("a password is storable exactly when the script file gives it back whole") {
    // clang-format off
    const std::vector<std::string> storable = {
        "", "secret", "a(b", "\x18", "\xf5", "a\x0d", "\x1a", std::string(2047, 'a')};
    const std::vector<std::string> unstorable = {
        "a(", "abcdefg(", "abc'", "abcde,", "a\"", "abc!", "abcde&", "\xff", "a\x05", "\x16",
        "\x18*", "\x1d/", "a\x12z", "a\x15z", "a\x08z", "\x02", "a\x08", "a\x11",
        std::string(2048, 'a')};
    // clang-format on
    for (const std::string& p : storable) CHECK_MESSAGE(IsStorablePassword(p), p);
    for (const std::string& p : unstorable) CHECK_FALSE_MESSAGE(IsStorablePassword(p), p);
}

}  // namespace vendaro
