#pragma once
// The profile (INI) text format as the Windows private-profile functions read and edit it,
// worked on bytes in memory so that every platform and every test shares one set of rules.
//
// Reading: a line ends at CR LF, LF or a lone CR. A header is a line whose first non-blank
// character is "["; its name runs to the first "]" (or to the end of the line) and is trimmed.
// A comment is a line whose first non-blank character is ";". Any other line splits at its
// first "=" into a trimmed name and a trimmed value; a line without "=" is no key. Names match
// without regard to ASCII case; the first matching section and in it the first matching key
// win. Lines before the first header belong to no section.
//
// Editing keeps every line it does not change byte for byte. Lines it writes end in CR LF, as
// the Windows profile functions write them, unless a Document is told otherwise.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_edit.h"

namespace vendaro::ini {

// The longest value a read hands back (GetPrivateProfileStringA with a 2048-character buffer).
inline constexpr std::size_t kMaxValueChars = 2047;

// The largest text a Document parses (offsets are 32-bit); a larger one parses as empty.
inline constexpr std::size_t kMaxTextBytes = 0xFFFFFFF0u;

// True for the characters a reader trims from lines, names and values: tab, LF, VT, FF, CR,
// ^Z (the DOS end-of-file mark) and the space.
bool IsBlank(char c);

// A section or key argument as the profile functions take it: cut at its first NUL (they take
// C strings) and with spaces removed at both ends.
std::string_view ArgumentName(std::string_view name);

// What a read hands back for a missing key, as GetPrivateProfileStringA does for its default:
// `def` cut at a NUL, trailing spaces removed, at most kMaxValueChars characters.
std::string DefaultValue(std::string_view def);

// True when the two texts of equal length are equal without regard to ASCII case.
bool SameLengthNamesEqual(std::string_view a, std::string_view b);

// True when the two names are equal without regard to ASCII case. Inline: most names compared
// differ in length or in their first letter (both cases of a letter differ only in 0x20), and
// a lookup compares many.
inline bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || (a[0] | 0x20) == (b[0] | 0x20)) &&
           SameLengthNamesEqual(a, b);
}
// The name with ASCII capitals lowered: names NamesEqual finds equal fold alike (a key for maps).
std::string FoldedName(std::string_view name);
// A hash of a name that ignores ASCII case: names NamesEqual finds equal share it.
std::uint64_t FoldedHash(std::string_view name);

// One bit of 64 for a name's length and first letter, without regard to ASCII case: names
// NamesEqual finds equal share their bit, so a name whose bit is not yet in a set of the bits
// of names seen has no namesake among them, and needs no search for one.
inline std::uint64_t NameBit(std::string_view name) {
    const unsigned first = name.empty() ? 0u : static_cast<unsigned char>(name.front()) | 0x20u;
    return std::uint64_t{1} << ((name.size() * 7 + first) & 63);
}

// The offset of the first CR or LF in p[0, n), or n when there is none. Looks at eight bytes
// at a time: lines are short, so a search call per line would cost more than the search.
inline std::size_t FindLineBreak(const char* p, std::size_t n) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        const std::uint64_t cr = word ^ (kOnes * '\r');
        const std::uint64_t lf = word ^ (kOnes * '\n');
        const std::uint64_t hits = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
        if (hits == 0) continue;
        // The lowest flagged byte is exact (a false flag only ever follows a true one).
        if constexpr (std::endian::native == std::endian::little) {
            return i + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
        }
        break;
    }
    for (; i < n; ++i) {
        if (p[i] == '\r' || p[i] == '\n') return i;
    }
    return n;
}

// The UTF-8 byte-order mark some editors put at the head of a text file.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Walks the lines of a text: CR LF, LF and a lone CR each end a line; a last line without a
// line end is a line; nothing after the last line end is a line. A UTF-8 mark at the head of
// the text belongs to no line (an edit keeps it, as the bytes before the first line).
class LineScanner {
  public:
    explicit LineScanner(std::string_view text)
        : text_(text), pos_(text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0) {}
    // The next line: its first byte, the byte after its content, and the first byte of the line
    // after it. Returns false at the end of the text.
    bool Next(std::size_t& begin, std::size_t& end, std::size_t& next) {
        if (pos_ >= text_.size()) return false;
        begin = pos_;
        end = pos_ + FindLineBreak(text_.data() + pos_, text_.size() - pos_);
        next = end;
        if (end < text_.size()) {
            const bool crlf =
                text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n';
            next = end + (crlf ? 2 : 1);
        }
        pos_ = next;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_;
};

// Calls `fn(line)` for each line of `text` (without its line end).
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
    LineScanner scanner(text);
    std::size_t begin = 0, end = 0, next = 0;
    while (scanner.Next(begin, end, next)) fn(text.substr(begin, end - begin));
}

// The lines of `text`, split as LineScanner does.
std::vector<std::string_view> SplitLines(std::string_view text);

enum class LineKind : unsigned char {
    Blank,    // nothing but blanks
    Comment,  // first non-blank character ";"
    Header,   // first non-blank character "["
    Key,      // holds "=": name and value
    Bare,     // anything else: text without "=", which no lookup finds
};

// Where a line lies in the text.
struct Line {
    std::uint32_t begin = 0;  // first byte
    std::uint32_t end = 0;    // the byte after the content (where the line end starts)
    std::uint32_t next = 0;   // first byte of the following line (end when no line end)
};

// What a line holds. Offsets into the text.
struct LineParts {
    LineKind kind = LineKind::Blank;
    std::size_t name_begin = 0;   // Header: section name; Key, Bare: key name; trimmed and cut
    std::size_t name_end = 0;     //   at a NUL
    std::size_t value_begin = 0;  // Key: the value, trimmed
    std::size_t value_end = 0;
};

// Reads the line [begin, end) of `text`. `may_hold_nul` false says the text holds no NUL
// (Document::HoldsNul), which spares the search for one in each name.
LineParts ClassifyLine(std::string_view text, std::size_t begin, std::size_t end,
                       bool may_hold_nul = true);

// The key lines of one section, read at once for a reader that asks for many of its keys: each
// key found here answers as Document::Get answers it. Views into the Document's bytes.
class SectionKeys {
  public:
    // The value of the first key line named `key`, as Get gives it; nullopt when none is.
    std::optional<std::string_view> Find(std::string_view key) const;
    // True when these are all the key lines the section has (made by Document::KeysOf, also for
    // a missing section): a key Find misses is then missing from the file too.
    bool Complete() const { return complete_; }

  private:
    friend class Document;
    struct Key {
        std::string_view name;
        std::string_view value;
        std::uint32_t next = 0;  // 1 + the index of the next key of the same NameBit, 0: none
    };
    // Files the keys by their NameBit, each chain in file order: a lookup reads the few keys
    // that share the name's bit, and a missing name mostly none.
    void Chain();
    std::vector<Key> keys_;         // every key line of the section, in file order
    std::uint32_t first_[64] = {};  // 1 + the index of the first key of each NameBit, 0: none
    bool complete_ = false;
};

// One parse of a profile file, with an index of its sections (headers are read at once, the
// other lines when a lookup or an edit needs them). Its index views its own bytes, so it stays
// where it was made.
// The line end of the first line of `text` ("\r\n" or "\n"); "\n" when no line has ended yet.
std::string_view LineEndOf(std::string_view text);

class Document {
  public:
    Document() = default;
    explicit Document(std::string bytes);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const std::string& bytes() const { return bytes_; }
    // True when the bytes hold a NUL somewhere; most files hold none, and their reads then need
    // not look for one in every name and value.
    bool HoldsNul() const { return holds_nul_; }
    // The line end of the lines the edits below write: "\r\n" (the default) or "\n".
    void set_line_end(std::string_view eol) { eol_ = eol == "\n" ? "\n" : "\r\n"; }
    std::size_t LineCount() const { return lines_.size(); }
    std::size_t SectionCount() const { return sections_.size(); }
    // The header line of section `index` (in file order, from 0), without its line end.
    std::string_view HeaderLine(std::size_t index) const {
        const Line& line = lines_[sections_[index].header];
        return Text(line.begin, line.end);
    }

    // Where the sections named `name` lie: how many there are, and the first one's header line
    // and the line after its last (indexes for LineText; count 0 when there is none).
    struct SectionLines {
        std::size_t count = 0;
        std::size_t header = 0;
        std::size_t end = 0;
    };
    SectionLines FindSectionLines(std::string_view name) const;
    // The same without counting the others (count 1 when there is one): a reader that only
    // reads the first needs no walk over every header.
    SectionLines FirstSectionLines(std::string_view name) const;
    // Line `index` (from 0, in file order) without its line end.
    std::string_view LineText(std::size_t index) const {
        return Text(lines_[index].begin, lines_[index].end);
    }

    // The value of `key` in the first section named `section`: one pair of matching quotes
    // around it removed, cut at a NUL, at most kMaxValueChars characters. nullopt when the
    // section or the key is missing (a key line with an empty value gives "").
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // The same, for a caller that knows which section `section` most likely is (its index in
    // file order, as HeaderLine counts): a walk over the headers reads each section's keys
    // without a lookup in the index.
    std::optional<std::string> Get(std::string_view section, std::string_view key,
                                   std::size_t likely) const;
    // The key lines of the first section named `section` (none when it is missing), so that
    // many keys of it are read with one walk over its lines instead of one walk per key.
    SectionKeys KeysOf(std::string_view section) const;

    // The bytes with `key` set to `value` (written as given): a present key's line is replaced
    // in place; a new key goes after the last key line of the first matching section (after its
    // header when it has none); a new section goes at the end of the file. Returns bytes()
    // unchanged when the key already holds exactly `value`.
    std::string WithValue(std::string_view section, std::string_view key,
                          std::string_view value) const;

    // The bytes without the first matching key line of the first matching section; bytes()
    // unchanged when there is none.
    std::string WithoutKey(std::string_view section, std::string_view key) const;

    // The bytes without the first matching section: its header, key lines, bare lines and
    // blank lines go; its comment lines stay. bytes() unchanged when there is none.
    std::string WithoutSection(std::string_view section) const;

    // The bytes after `edits` (WithValue, or WithoutKey for a removal) were made to `section`
    // one after another. Only the section's own lines are parsed again between two edits, so
    // a series of writes to one section costs one parse of the file.
    std::string WithKeyEdits(std::string_view section, std::span<const KeyEdit> edits) const;

  private:
    struct Section {
        std::size_t header = 0;        // index of the header line
        std::size_t end = 0;           // index of the first line after the section
        std::uint32_t name_begin = 0;  // the name in bytes_
        std::uint32_t name_end = 0;
        std::uint64_t name_hash = 0;  // FoldedHash of the name
        bool first = false;           // no earlier section has this name: lookups find this one
    };
    struct FoundKey {
        const Line* line = nullptr;
        LineParts parts;
    };

    // Fills index_ from sections_: the first section of each name.
    void IndexSections();

    std::string_view Text(std::size_t begin, std::size_t end) const {
        return std::string_view(bytes_).substr(begin, end - begin);
    }
    LineParts Parts(const Line& line) const {
        return ClassifyLine(bytes_, line.begin, line.end, holds_nul_);
    }
    const Section* FindSection(std::string_view name) const;
    std::optional<std::string> ValueOf(const Section* section, std::string_view key) const;
    // A key line's value as a read hands it back.
    std::string_view ValueText(const LineParts& parts) const;
    FoundKey FindKey(const Section& section, std::string_view key) const;

    std::string bytes_;

    std::string_view eol_ = "\r\n";
    bool holds_nul_ = true;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    // Open addressing over the first section of each name: a slot holds the name's hash in its
    // upper half and the section's index + 1 in its lower half (0: an empty slot). A flat table
    // costs one cache miss per lookup where a node-based map costs several, which shows from
    // 100,000 sections on; nor does it allocate once per section.
    std::vector<std::uint64_t> index_;
};

}  // namespace vendaro::ini
