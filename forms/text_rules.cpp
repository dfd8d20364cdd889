#include "forms/text_rules.h"

#include <algorithm>

#include "platform/ini_text.h"
#include "platform/spaces.h"

namespace vendaro::text {
namespace {

unsigned char LowerByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    // Windows-1252: the accented capitals À..Þ (but not the multiplication sign) and the
    // three capitals placed among the punctuation.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A:
            return 0x9A;  // Š
        case 0x8C:
            return 0x9C;  // Œ
        case 0x8E:
            return 0x9E;  // Ž
        case 0x9F:
            return 0xFF;  // Ÿ
        default:
            return c;
    }
}

std::string_view TrimProfileSpace(std::string_view text) {
    while (!text.empty() && ini::IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && ini::IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
    return std::string(TrimSpaces(text));
}

std::string TrimTrailingBlanks(std::string_view text) {
    return std::string(TrimTrailingSpaces(text));
}

std::string LowerAnsi(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerByte(static_cast<unsigned char>(a[i])) !=
            LowerByte(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool MayNameSameSection(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(TrimProfileSpace(a), TrimProfileSpace(b));
}

bool IsControlCharacter(int code) {
    return (code >= 0 && code < 32) || code == 127;
}

bool HoldsControlBelowSpace(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace vendaro::text
