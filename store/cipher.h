#pragma once
// The reversible per-character shift that keeps stored passwords (script key PWD) from being
// read at a glance. Not meant to withstand analysis.
#include <string>

namespace vendaro {

inline constexpr const char* kCipherKey = "marigold";

// Enciphers `text`; a code shifted outside 0-255 wraps modulo 256 (see IsStorablePassword).
std::string EncipherText(std::string text, std::string key);
// Deciphers `text`; never fails: a code outside 0-255 wraps modulo 256.
std::string DecipherText(std::string text, std::string key);
// True when `password` can be stored: every shifted code stays within 0-255 and the
// enciphered text reads back from the script file unchanged.
bool IsStorablePassword(const std::string& password, const std::string& key = kCipherKey);

}  // namespace vendaro
