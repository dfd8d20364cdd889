#include "forms/text_rules.h"

namespace vendaro::editors {
namespace {

unsigned char LowerAnsiChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    // Accented capitals of Windows-1252 (0xD7 is the multiplication sign).
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A:  // S caron
        case 0x8C:  // OE
        case 0x8E:  // Z caron
            return static_cast<unsigned char>(c + 16);
        case 0x9F:  // Y diaeresis
            return 0xFF;
        default:
            return c;
    }
}

bool IsProfileSpace(unsigned char c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' ';
}

std::string_view TrimProfileSpace(std::string_view text) {
    while (!text.empty() && IsProfileSpace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsProfileSpace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string LowerAnsi(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(LowerAnsiChar(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerAnsi(a) == LowerAnsi(b);
}

bool MayNameSameSection(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(TrimProfileSpace(a), TrimProfileSpace(b));
}

bool IsControlCharacter(int code) {
    return (code >= 0 && code < 32) || code == 127;
}

}  // namespace vendaro::editors
