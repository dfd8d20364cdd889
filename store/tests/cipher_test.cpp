// The password cipher: pairs worked out by hand, each both ways, and whether a password is
// storable, against what the script file gives back.
#include "store/cipher.h"

#include <doctest/doctest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/native_profile.h"
#include "store/script_store.h"
#include "testing/scratch.h"

namespace vendaro {

using namespace std::string_literals;

// Key "marigold": S = 847, K = floor(84.7 / 6) = 14; the shift of phase p = j mod 6 is
// s * (K - d) + p: +10, -8, +15, -7, +14, -12 for p = 1..5, 0.
TEST_CASE("enciphered and deciphered pairs worked out by hand") {
    const std::vector<std::array<std::string, 3>> pairs = {
        {"", "marigold", ""},
        {"abcdefg", "marigold", "kZr]sZq"},
        {"MMMMMMMMMMMMM", "marigold", "WE\\F[AWE\\F[AW"},
        {"123 ~Z", "marigold", "\x3b\x2a\x42\x19\x8c\x4e"},
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

TEST_CASE("a password is storable exactly when it reads back from the script file") {
    const std::vector<std::string> storable = {"",     "secret", "a(b",  "\x18",
                                               "\xf5", "a\x0d",  "\x1a", std::string(2047, 'a')};
    const std::vector<std::string> unstorable = {
        "a(",     "abcdefg(", "abc'",   "abcde,", "a\"",   "abc!",
        "abcde&", "\xff",     "a\x05",  "\x16",   "\x18*", "\x1d/",
        "a\x12z", "a\x15z",   "a\x08z", "\x02",   "a\x08", std::string(2048, 'a')};
    for (const std::string& p : storable) CHECK_MESSAGE(IsStorablePassword(p), p);
    for (const std::string& p : unstorable) CHECK_FALSE_MESSAGE(IsStorablePassword(p), p);
    // Every printable character last at each of the six phases, and first: storable exactly
    // when PWD reads back and deciphers to it.
    test::TempDir dir;
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    ScriptStore store(*profile, dir.path().string(), "vendaro.exe", '/');
    const std::string file = (dir.path() / "pwd.ini").string();
    int refused = 0;
    for (int c = 32; c < 127; ++c) {
        for (std::size_t length = 1; length <= 7; ++length) {
            const std::string password =
                length == 7 ? static_cast<char>(c) + "yz"s : std::string(length - 1, 'x') + char(c);
            CAPTURE(password);
            REQUIRE(store.WriteIniString("S", "PWD", EncipherText(password, kCipherKey), file));
            const bool back =
                DecipherText(store.ReadIniString("S", "PWD", "", file), kCipherKey) == password;
            CHECK(IsStorablePassword(password) == back);
            refused += back ? 0 : 1;
        }
    }
    CHECK(refused == 6);  // ( and " at phase 2, ' and ! at phase 4, , and & at phase 0
}

}  // namespace vendaro
