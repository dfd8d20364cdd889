#include <ctype.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_text.h"
#include "platform/posix/odbc_registry.h"

namespace vendaro {
namespace {

// A header, or a key line an odbc.ini writer could address, as one reader places it: where its
// first character lies and its name.
struct Placed {
    std::size_t at = 0;
    bool header = false;
    std::string_view name;
};

bool IsCSpace(char c) {
    return ::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view TrimCSpace(std::string_view text) {
    while (!text.empty() && IsCSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsCSpace(text.back())) text.remove_suffix(1);
    return text;
}

// unixODBC's ini library: lines end at LF only and are read in pieces of kOdbcIniMaxLine
// bytes (the LF included), each piece a line of its own, cut at a NUL. Until the first piece
// that starts with "[" nothing is read; after it leading blanks are skipped, "#" and ";" start
// comments, and any other piece is a key named up to its "=".
std::vector<Placed> UnixOdbcPlaces(std::string_view bytes) {
    std::vector<Placed> places;
    bool started = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t line_end = bytes.find('\n', pos);
        line_end = line_end == std::string_view::npos ? bytes.size() : line_end + 1;
        for (; pos < line_end;) {
            const std::size_t size = std::min(kOdbcIniMaxLine, line_end - pos);
            std::string_view piece = bytes.substr(pos, size);
            piece = piece.substr(0, piece.find('\0'));
            const std::size_t first = pos;
            pos += size;
            if (!started) {
                if (piece.empty() || piece.front() != '[') continue;
                started = true;
            }
            std::size_t skip = 0;
            while (skip < piece.size() && IsCSpace(piece[skip])) ++skip;
            if (skip == piece.size() || piece[skip] == '#' || piece[skip] == ';') continue;
            std::string_view text = piece.substr(skip);
            if (text.front() == '[') {
                text.remove_prefix(1);
                places.push_back({first + skip, true, TrimCSpace(text.substr(0, text.find(']')))});
            } else {
                places.push_back({first + skip, false, TrimCSpace(text.substr(0, text.find('=')))});
            }
        }
    }
    return places;
}

// The engine's headers, and its key lines whose names a writer of odbc.ini could write.
std::vector<Placed> EnginePlaces(std::string_view bytes) {
    std::vector<Placed> places;
    ini::LineScanner lines(bytes);
    std::size_t begin = 0, end = 0, next = 0;
    bool in_section = false;  // keys before the first header belong to no data source
    while (lines.Next(begin, end, next)) {
        const ini::LineParts parts = ini::ClassifyLine(bytes, begin, end);
        const std::string_view name =
            bytes.substr(parts.name_begin, parts.name_end - parts.name_begin);
        std::size_t at = begin;
        while (at < end && ini::IsBlank(bytes[at])) ++at;
        if (parts.kind == ini::LineKind::Header) {
            places.push_back({at, true, name});
            in_section = true;
        }
        if (in_section && parts.kind == ini::LineKind::Key && !name.empty() &&
            name.front() != '#') {
            places.push_back({at, false, name});
        }
    }
    return places;
}

const Placed* At(const std::vector<Placed>& places, std::size_t at) {
    auto it = std::lower_bound(places.begin(), places.end(), at,
                               [](const Placed& p, std::size_t a) { return p.at < a; });
    return it != places.end() && it->at == at ? &*it : nullptr;
}

// What in the line around `at` makes the readers part.
std::string Cause(std::string_view bytes, std::size_t at) {
    const std::size_t begin =
        bytes.rfind('\n', at) == std::string_view::npos ? 0 : bytes.rfind('\n', at) + 1;
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(begin, end - begin);
    const std::string_view content = line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
    if (content.find('\r') != std::string_view::npos) return "a CR inside the line";
    if (line.find('\x1a') != std::string_view::npos) return "a ^Z (end-of-file mark)";
    if (line.size() + 1 > kOdbcIniMaxLine) return "a line longer than unixODBC reads whole";
    return "blanks before the first section header";
}

}  // namespace

std::string OdbcIniDisagreement(std::string_view bytes) {
    const std::vector<Placed> theirs = UnixOdbcPlaces(bytes);
    const std::vector<Placed> ours = EnginePlaces(bytes);
    std::size_t first = std::string_view::npos;
    for (const Placed& p : ours) {
        const Placed* other = At(theirs, p.at);
        if (other == nullptr || other->header != p.header ||
            !ini::NamesEqual(other->name, p.name)) {
            first = p.at;
            break;
        }
    }
    for (const Placed& p : theirs) {
        if (p.at >= first) break;
        if (!p.header) continue;
        const Placed* other = At(ours, p.at);
        if (other == nullptr || !other->header || !ini::NamesEqual(other->name, p.name)) {
            first = p.at;
            break;
        }
    }
    if (first == std::string_view::npos) return {};
    const auto line =
        1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(first), '\n');
    return "line " + std::to_string(line) + " is read otherwise by unixODBC (" +
           Cause(bytes, first) + "); nothing was written";
}

}  // namespace vendaro
