// Fuzzes the password cipher and the storing of its output as the script key PWD.
//
// Invariants:
// - deciphering what was enciphered gives the text back, and the other way round, for every
//   text and key;
// - enciphering keeps the length;
// - a storable password, enciphered and written as PWD, reads back exactly as written and
//   deciphers to the password; and a password whose enciphered form would read back exactly
//   (no code wrapped) is judged storable.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "store/cipher.h"
#include "store/script_store.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace vendaro;

// True when no code of `password` leaves 0-255 on enciphering (then Encipher did not wrap).
// For keys whose shifts stay below 128 either way, as the program's own key's do.
bool NoWrap(const std::string& password, const std::string& enciphered, const std::string& key) {
    const std::string once = EncipherText(std::string(password.size(), '\x80'), key);
    for (std::size_t i = 0; i < password.size(); ++i) {
        const int shift = static_cast<unsigned char>(once[i]) - 0x80;  // |shift| < 128
        const int code = static_cast<unsigned char>(password[i]) + shift;
        if (code < 0 || code > 255) return false;
        if (static_cast<unsigned char>(enciphered[i]) != code) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string key =
        in.ConsumeBool() ? std::string(kCipherKey) : in.ConsumeRandomLengthString(64);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::string enciphered = EncipherText(text, key);
    REQUIRE_THAT(enciphered.size() == text.size());
    REQUIRE_THAT(DecipherText(enciphered, key) == text);
    REQUIRE_THAT(EncipherText(DecipherText(text, key), key) == text);

    // Stored as the editors store it, read back as DSN creation reads it.
    fuzz::MemoryProfile profile;
    ScriptStore store(profile, "/app", "vendaro", '/');
    const bool storable = IsStorablePassword(text, key);
    const bool written = store.WriteIniString("Sales", "PWD", enciphered);
    const std::string read = store.ReadIniString("Sales", "PWD");
    const bool round_trip = written && read == enciphered;
    if (storable) {
        REQUIRE_THAT(text.empty() || round_trip);
        REQUIRE_THAT(DecipherText(read, key) == text);
    } else if (key == kCipherKey && round_trip && NoWrap(text, enciphered, key)) {
        REQUIRE_THAT(storable);
    }
    return 0;
}
