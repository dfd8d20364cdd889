#pragma once
// How the bytes of a profile file become the 8-bit text the INI engine reads, and back. The
// Windows profile functions read a file that starts with the UTF-16 little-endian mark as
// UTF-16 and keep writing it so; any other file is 8-bit text (a UTF-8 mark at its head is
// passed over by the engine's line reader and kept by its edits).
#include <string>
#include <string_view>

namespace vendaro::ini {

enum class FileEncoding : unsigned char {
    Ansi,     // 8-bit text in the ANSI code page (Windows-1252)
    Utf16Le,  // UTF-16 little-endian after the mark FF FE
    Utf16Be,  // UTF-16 big-endian after the mark FE FF: neither read nor written
};

struct FileText {
    FileEncoding encoding = FileEncoding::Ansi;
    std::string text;    // the 8-bit text (for UTF-16 its conversion, without the mark)
    bool lossy = false;  // characters the code page lacks were read as "?": a rewrite loses them
};

// The encoding the bytes announce by their first bytes.
FileEncoding EncodingOf(std::string_view bytes);

// The text of a file's bytes (a UTF-16 file converted to Windows-1252; a UTF-16 big-endian
// file reads as no text).
FileText DecodeFileText(std::string bytes);

// The bytes that hold `text` in `encoding` (UTF-16 with its mark).
std::string EncodeFileText(FileEncoding encoding, std::string_view text);

// Why a rewrite of the file `path` holding `file` would lose what it holds, as one sentence
// naming the file; empty when it would not.
std::string WhyNotRewritable(const FileText& file, std::string_view path);

}  // namespace vendaro::ini
