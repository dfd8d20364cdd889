// The password cipher: pairs worked out by hand, a round trip over random bytes and keys, and
// whether a password is storable, against what the script file gives back.
#include "store/cipher.h"

#include <doctest/doctest.h>

#include <random>
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
    struct Pair {
        std::string plain, key, cipher;
    };
    const std::vector<Pair> pairs = {
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
    for (const Pair& p : pairs) {
        CAPTURE(p.plain);
        CHECK(EncipherText(p.plain, p.key) == p.cipher);
        CHECK(DecipherText(p.cipher, p.key) == p.plain);
    }
}

TEST_CASE("deciphering what was enciphered gives it back, for any bytes and key") {
    std::mt19937 random(1310);
    auto bytes = [&](std::size_t max) {
        std::string out(random() % max, '\0');
        for (char& c : out) c = static_cast<char>(random());
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string key = round % 2 ? std::string(kCipherKey) : bytes(64);
        const std::string text = bytes(40);
        const std::string cipher = EncipherText(text, key);
        CHECK(cipher.size() == text.size());
        CHECK(DecipherText(cipher, key) == text);
        CHECK(EncipherText(DecipherText(text, key), key) == text);
    }
}

TEST_CASE("a password is storable exactly when it reads back from the script file") {
    struct Row {
        std::string password;
        bool storable;
    };
    const std::vector<Row> rows = {
        {"", true},
        {"secret", true},
        {"a(", false},
        {"abcdefg(", false},
        {"a(b", true},
        {"abc'", false},
        {"abcde,", false},
        {"a\"", false},
        {"abc!", false},
        {"abcde&", false},
        {"\xff", false},
        {"a\x05", false},
        {"\x16", false},
        {"\x18*", false},
        {"\x1d/", false},
        {"\x18", true},
        {"a\x12z", false},
        {"a\x15z", false},
        {"a\x08z", false},
        {"\xf5", true},
        {"a\x0d", true},
        {"\x02", false},
        {"a\x08", false},
        {"\x1a", true},
        {std::string(2047, 'a'), true},
        {std::string(2048, 'a'), false},
    };
    for (const Row& row : rows) {
        CAPTURE(row.password);
        CHECK(IsStorablePassword(row.password) == row.storable);
    }
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
