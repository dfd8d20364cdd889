#include "platform/file_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vendaro::ini {
namespace {

// The characters of Windows-1252's bytes 0x80 to 0x9F; the five bytes it leaves undefined
// stand for the control characters of the same number, as Windows converts them.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t WideOf(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : static_cast<char16_t>(c);
}

// The byte of a UTF-16 unit; false when Windows-1252 has none.
bool ByteOf(char16_t w, unsigned char& out) {
    if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) {
        out = static_cast<unsigned char>(w);
        return true;
    }
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), w);
    if (found == kHighControls.end()) return false;
    out = static_cast<unsigned char>(0x80 + (found - kHighControls.begin()));
    return true;
}

}  // namespace

FileEncoding EncodingOf(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return FileEncoding::Utf16Le;
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return FileEncoding::Utf16Be;
    return FileEncoding::Ansi;
}

FileText DecodeFileText(std::string bytes) {
    FileText file;
    file.encoding = EncodingOf(bytes);
    if (file.encoding == FileEncoding::Ansi) {
        file.text = std::move(bytes);
        return file;
    }
    if (file.encoding == FileEncoding::Utf16Be) return file;
    std::string text;
    text.reserve((bytes.size() - 2) / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto w = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8));
        unsigned char c = '?';
        if (!ByteOf(w, c)) file.lossy = true;
        text += static_cast<char>(c);
    }
    // A byte left over after the last whole unit would be dropped by a rewrite.
    if (bytes.size() % 2 != 0) file.lossy = true;
    file.text = std::move(text);
    return file;
}

std::string EncodeFileText(FileEncoding encoding, std::string_view text) {
    if (encoding == FileEncoding::Ansi) return std::string(text);
    std::string bytes = encoding == FileEncoding::Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
    bytes.reserve(2 + 2 * text.size());
    for (const char c : text) {
        const char16_t w = WideOf(static_cast<unsigned char>(c));
        const char low = static_cast<char>(w & 0xFF), high = static_cast<char>(w >> 8);
        if (encoding == FileEncoding::Utf16Le) {
            bytes.append({low, high});
        } else {
            bytes.append({high, low});
        }
    }
    return bytes;
}

std::string WhyNotRewritable(const FileText& file, std::string_view path) {
    if (file.encoding == FileEncoding::Utf16Be) {
        return std::string(path) +
               " is saved as big-endian UTF-16, which Vendaro does not read; save it as ANSI or "
               "Unicode (UTF-16 LE) text.";
    }
    if (file.lossy) {
        return std::string(path) +
               " holds characters that the Windows-1252 code page lacks; Vendaro does not "
               "rewrite it, so that they are not lost.";
    }
    return {};
}

}  // namespace vendaro::ini
