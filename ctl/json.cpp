#include "ctl/json.h"

#include <array>
#include <cstdint>

namespace vendaro::ctl {
namespace {

// Windows-1252's characters at 0x80..0x9F (0: unassigned, escaped as the byte's value).
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The length of the valid UTF-8 sequence at text[at], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void Escape(std::string& out, std::uint32_t code) {
    static const char digits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(code >> shift) & 15];
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (const std::size_t length = Utf8Length(text, i)) {
                out.append(text.substr(i, length));
                i += length;
                continue;
            }
            const std::uint16_t mapped = c < 0xA0 ? kCp1252High[c - 0x80] : c;
            Escape(out, mapped != 0 ? mapped : c);
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            Escape(out, c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

void JsonWriter::Member(std::string_view key) {
    if (!has_members_.empty()) {
        if (has_members_.back()) out_ += ',';
        has_members_.back() = true;
        out_ += '\n';
        out_.append(2 * has_members_.size(), ' ');
    }
    if (!key.empty()) out_ += JsonString(key) + ": ";
}

void JsonWriter::Open(std::string_view key, char bracket) {
    Member(key);
    out_ += bracket;
    has_members_.push_back(false);
}

void JsonWriter::Close(char bracket) {
    const bool any = has_members_.back();
    has_members_.pop_back();
    if (any) {
        out_ += '\n';
        out_.append(2 * has_members_.size(), ' ');
    }
    out_ += bracket;
}

void JsonWriter::String(std::string_view key, std::string_view value) {
    Member(key);
    out_ += JsonString(value);
}

void JsonWriter::Number(std::string_view key, long long value) {
    Member(key);
    out_ += std::to_string(value);
}

void JsonWriter::Bool(std::string_view key, bool value) {
    Member(key);
    out_ += value ? "true" : "false";
}

void JsonWriter::Null(std::string_view key) {
    Member(key);
    out_ += "null";
}

}  // namespace vendaro::ctl
