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
// Editing keeps every line it does not change byte for byte. Lines it writes end in CR LF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vendaro::ini {

// The longest value a read hands back (GetPrivateProfileStringA with a 2048-character buffer).
inline constexpr std::size_t kMaxValueChars = 2047;

// True for the characters a reader trims from lines, names and values: tab, LF, VT, FF, CR,
// ^Z (the DOS end-of-file mark) and the space.
bool IsBlank(char c);

// A section or key argument as the profile functions take it: cut at its first NUL (they take
// C strings) and with spaces removed at both ends.
std::string_view ArgumentName(std::string_view name);

// True when the two names are equal without regard to ASCII case.
bool NamesEqual(std::string_view a, std::string_view b);

// Splits text into lines the way the reader does: CR LF, LF and a lone CR each end a line; a
// last line without a line end is a line; nothing after the last line end is a line.
std::vector<std::string_view> SplitLines(std::string_view text);

enum class LineKind : unsigned char {
    Blank,    // nothing but blanks
    Comment,  // first non-blank character ";"
    Header,   // first non-blank character "["
    Key,      // holds "=": name and value
    Bare,     // anything else: text without "=", which no lookup finds
};

struct Line {
    std::size_t begin = 0;        // first byte
    std::size_t end = 0;          // the byte after the content (where the line end starts)
    std::size_t next = 0;         // first byte of the following line (end when no line end)
    std::size_t name_begin = 0;   // Header: section name; Key, Bare: key name (trimmed)
    std::size_t name_end = 0;     //   (cut at a NUL)
    std::size_t value_begin = 0;  // Key: the value, trimmed
    std::size_t value_end = 0;
    LineKind kind = LineKind::Blank;
};

// One parse of a profile file, with an index of its sections.
class Document {
  public:
    Document() = default;
    explicit Document(std::string bytes);

    const std::string& bytes() const { return bytes_; }
    const std::vector<Line>& lines() const { return lines_; }

    // The value of `key` in the first section named `section`: one pair of matching quotes
    // around it removed, cut at a NUL, at most kMaxValueChars characters. nullopt when the
    // section or the key is missing (a key line with an empty value gives "").
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

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

    // Number of header lines.
    std::size_t SectionCount() const { return sections_.size(); }

  private:
    struct Section {
        std::size_t header = 0;  // index of the header line
        std::size_t end = 0;     // index of the first line after the section
    };

    std::string_view Text(std::size_t begin, std::size_t end) const {
        return std::string_view(bytes_).substr(begin, end - begin);
    }
    const Section* FindSection(std::string_view name) const;
    const Line* FindKey(const Section& section, std::string_view key) const;

    std::string bytes_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> first_section_;  // lower-cased name -> index
};

// The same operations on raw bytes (each parses the text once).
std::optional<std::string> GetValue(std::string_view text, std::string_view section,
                                    std::string_view key);
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);
std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key);
std::string DeleteSection(std::string_view text, std::string_view section);

}  // namespace vendaro::ini
