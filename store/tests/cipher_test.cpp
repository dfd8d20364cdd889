#include "store/cipher.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "store/tests/store_fixture.h"

namespace vendaro::test {
namespace {

using namespace std::string_literals;

// The key number of "marigold", by hand:
//   m a r i g o l d = 109 + 97 + 114 + 105 + 103 + 111 + 108 + 100 = 847
//   847 * 0.1 = 84.7;  84.7 / 6 = 14.11...;  K = 14
// Shift of each phase p (position j, p = j mod 6): s * (K - d) + p
//   p=1: +(14 - 5) + 1 = +10     p=2: -(14 - 4) + 2 = -8     p=3: +(14 - 2) + 3 = +15
//   p=4: -(14 - 3) + 4 = -7      p=5: +(14 - 5) + 5 = +14    p=0: -(14 - 2) + 0 = -12
struct Vector {
    std::string plain;
    std::string key;
    std::string cipher;
};

const std::vector<Vector> kVectors = {
    // a=97+10=107 k, b=98-8=90 Z, c=99+15=114 r, d=100-7=93 ], e=101+14=115 s, f=102-12=90 Z,
    // g=103+10=113 q (position 7 is phase 1 again)
    {"abcdefg", "marigold", "kZr]sZq"},
    // A=65: +10=75 K, -8=57 9, +15=80 P, -7=58 :, +14=79 O, -12=53 5, +10=75 K, -8=57 9
    {"AAAAAAAA", "marigold", "K9P:O5K9"},
    // s=115+10=125 }, e=101-8=93 ], c=99+15=114 r, r=114-7=107 k, e=101+14=115 s, t=116-12=104 h
    {"secret", "marigold", "}]rksh"},
    // 1=49+10=59 ;, 2=50-8=42 *, 3=51+15=66 B, space=32-7=25 (^Y), ~=126+14=140, Z=90-12=78 N
    {"123 ~Z", "marigold", "\x3b\x2a\x42\x19\x8c\x4e"},
    // P=80+10=90 Z, a=97-8=89 Y, s=115+15=130, s=115-7=108 l, w=119+14=133, o=111-12=99 c,
    // r=114+10=124 |, d=100-8=92 backslash
    {"Password", "marigold",
     "ZY\x82l\x85"
     "c|\\"},
    // Key "<": S = 60, 60 * 0.1 = 6 (the double above 6 rounds back to 6), 6 / 6 = 1, K = 1.
    // p=1: +(1-5)+1 = -3; p=2: -(1-4)+2 = +5; p=3: +(1-2)+3 = +2
    // A=65-3=62 >, A=65+5=70 F, A=65+2=67 C
    {"AAA", "<", ">FC"},
    // Key "": S = 0, K = 0. p=1: +(0-5)+1 = -4; p=2: -(0-4)+2 = +6. a=97-4=93 ], a=97+6=103 g
    {"aa", "", "]g"},
};

}  // namespace

TEST_CASE("EncipherText and DecipherText: vectors worked out by hand") {
    for (const Vector& v : kVectors) {
        INFO("plain: ", v.plain, ", key: ", v.key);
        CHECK(EncipherText(v.plain, v.key) == v.cipher);
        CHECK(DecipherText(v.cipher, v.key) == v.plain);
    }
}

TEST_CASE("the empty text") {
    CHECK(EncipherText("", kCipherKey) == "");
    CHECK(DecipherText("", kCipherKey) == "");
}

TEST_CASE("the phase runs 1, 2, 3, 4, 5, 0 and starts again at the seventh character") {
    const std::string plain = "MMMMMMMMMMMMM";  // 13 characters: two whole cycles and one more
    const std::string cipher = EncipherText(plain, kCipherKey);
    REQUIRE(cipher.size() == plain.size());
    // M = 77: +10 = 87 W, -8 = 69 E, +15 = 92 backslash, -7 = 70 F, +14 = 91 [, -12 = 65 A
    CHECK(cipher == "WE\\F[AWE\\F[AW");
    for (std::size_t j = 6; j < cipher.size(); ++j) CHECK(cipher[j] == cipher[j - 6]);
}

TEST_CASE("a code outside 0-255 wraps modulo 256 and still comes back") {
    // 255 + 10 = 265 -> 9; 5 - 8 = -3 -> 253; 250 + 15 = 265 -> 9
    CHECK(EncipherText("\xff\x05\xfa", kCipherKey) == "\x09\xfd\x09");
    CHECK(DecipherText("\x09\xfd\x09", kCipherKey) == "\xff\x05\xfa");
    // Deciphering never fails: 0 - 10 = -10 -> 246
    CHECK(DecipherText("\x00"s, kCipherKey) == "\xf6");
}

TEST_CASE("round trips over printable text keep the length and the text") {
    std::string printable;
    for (int c = 32; c < 127; ++c) printable += static_cast<char>(c);
    for (std::size_t start = 0; start < printable.size(); ++start) {
        for (std::size_t length : {1u, 2u, 5u, 6u, 7u, 13u, 40u}) {
            std::string plain;
            for (std::size_t i = 0; i < length; ++i) {
                plain += printable[(start + i * 7) % printable.size()];
            }
            const std::string cipher = EncipherText(plain, kCipherKey);
            CHECK(cipher.size() == plain.size());
            CHECK(DecipherText(cipher, kCipherKey) == plain);
        }
    }
}

TEST_CASE("IsStorablePassword") {
    struct Case {
        std::string password;
        bool storable;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"", true, "nothing is stored, and nothing reads back"},
        {"secret", true, "}]rksh"},
        {"a(", false, "( at position 2: 40 - 8 = 32, a trailing blank"},
        {"abcdefg(", false, "( at position 8 (phase 2): a trailing blank"},
        {"a(b", true, "the blank lies inside"},
        {"abc'", false, "' at position 4: 39 - 7 = 32"},
        {"abcde,", false, ", at position 6: 44 - 12 = 32"},
        {"a\"", false, "\" at position 2: 34 - 8 = 26, ^Z, which a reader trims"},
        {"abc!", false, "! at position 4: 33 - 7 = 26"},
        {"abcde&", false, "& at position 6: 38 - 12 = 26"},
        {"\xff", false, "255 + 10 leaves 0-255"},
        {"a\x05", false, "5 - 8 leaves 0-255"},
        {"\x16", false, "22 + 10 = 32, a leading blank"},
        {"\x18*", false, "24 + 10 = 34 and 42 - 8 = 34: a pair of quotes around the value"},
        {"\x1d/", false, "29 + 10 = 39 and 47 - 8 = 39: a pair of single quotes"},
        {"\x18", true, "a lone quote is kept"},
        {"a\x12"
         "b",
         false, "18 - 8 = 10, a line feed inside"},
        {"a\x15"
         "b",
         false, "21 - 8 = 13, a carriage return inside"},
        {"a\x08"
         "b",
         false, "8 - 8 = 0, a NUL inside"},
        {std::string(2047, 'a'), true, "2047 characters read back whole"},
        {std::string(2048, 'a'), false, "2048 characters read back cut"},
    };
    for (const Case& c : cases) {
        INFO(std::string(c.why));
        CHECK(IsStorablePassword(c.password) == c.storable);
    }
}

TEST_CASE("IsStorablePassword says exactly whether PWD reads back unchanged from the file") {
    StoreFixture f;
    // Every printable character as the last one of a password at each of the six phases, and
    // as the first one.
    std::vector<std::string> passwords;
    for (int c = 32; c < 127; ++c) {
        for (std::size_t length = 1; length <= 6; ++length) {
            passwords.push_back(std::string(length - 1, 'x') + static_cast<char>(c));
        }
        passwords.push_back(static_cast<char>(c) + std::string("yz"));
    }
    int refused = 0;
    for (const std::string& password : passwords) {
        INFO("password: ", password);
        const std::string stored = EncipherText(password, kCipherKey);
        REQUIRE(f.store.WriteIniString("Sales", "PWD", stored));
        const bool same = DecipherText(f.Read("Sales", "PWD"), kCipherKey) == password;
        CHECK(IsStorablePassword(password) == same);
        if (!same) ++refused;
    }
    // ( and " at phase 2, ' and ! at phase 4, , and & at phase 0.
    CHECK(refused == 6);
}

}  // namespace vendaro::test
