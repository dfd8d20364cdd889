#include "platform/ini_text.h"

#include <algorithm>

#include "platform/spaces.h"

namespace vendaro::ini {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t CutAtNul(std::string_view text, std::size_t begin, std::size_t end) {
    const void* nul = end > begin ? std::memchr(text.data() + begin, '\0', end - begin) : nullptr;
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()) : end;
}

// True when text added after `out` starts on a line of its own: `out` is empty (or only the
// UTF-8 mark) or ends in a line end.
bool AtLineStart(std::string_view out) {
    return out.empty() || out == kUtf8Mark || out.back() == '\r' || out.back() == '\n';
}

}  // namespace

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view ArgumentName(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

std::string DefaultValue(std::string_view def) {
    def = TrimTrailingSpaces(def.substr(0, def.find('\0')));
    return std::string(def.substr(0, kMaxValueChars));
}

bool SameLengthNamesEqual(std::string_view a, std::string_view b) {
    if (a == b) return true;  // names are mostly spelled alike
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = LowerAscii(c);
    return folded;
}

std::string_view LineEndOf(std::string_view text) {
    const std::size_t at = FindLineBreak(text.data(), text.size());
    return at < text.size() && text[at] == '\n' ? "\n" : at < text.size() ? "\r\n" : "\n";
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

LineParts ClassifyLine(std::string_view text, std::size_t begin, std::size_t end,
                       bool may_hold_nul) {
    LineParts parts;
    std::size_t b = begin;
    std::size_t e = end;
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    if (b == e) return parts;  // Blank
    if (text[b] == '[') {
        // The name runs to the first "]"; a header without one still names a section.
        std::size_t close = b + 1;
        while (close < e && text[close] != ']') ++close;
        std::size_t nb = b + 1;
        std::size_t ne = close;
        while (nb < ne && IsBlank(text[nb])) ++nb;
        while (ne > nb && IsBlank(text[ne - 1])) --ne;
        parts.kind = LineKind::Header;
        parts.name_begin = nb;
        parts.name_end = may_hold_nul ? CutAtNul(text, nb, ne) : ne;
        return parts;
    }
    if (text[b] == ';') {
        parts.kind = LineKind::Comment;
        return parts;
    }
    // memchr: a byte loop to the "=" is the costliest step of reading a key line.
    const void* at = std::memchr(text.data() + b, '=', e - b);
    const std::size_t eq =
        at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : e;
    parts.name_begin = b;
    if (eq == e) {
        parts.kind = LineKind::Bare;
        parts.name_end = may_hold_nul ? CutAtNul(text, b, e) : e;
        return parts;
    }
    std::size_t ne = eq;
    while (ne > b && IsBlank(text[ne - 1])) --ne;
    std::size_t vb = eq + 1;
    while (vb < e && IsBlank(text[vb])) ++vb;
    parts.kind = LineKind::Key;
    parts.name_end = may_hold_nul ? CutAtNul(text, b, ne) : ne;
    parts.value_begin = vb;
    parts.value_end = e;
    return parts;
}

std::uint64_t FoldedHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the lower-cased bytes
    for (char c : name) {
        hash ^= static_cast<unsigned char>(LowerAscii(c));
        hash *= 1099511628211ull;
    }
    return hash ^ (hash >> 32);
}

void Document::IndexSections() {
    std::size_t slots = 8;
    while (slots < 2 * sections_.size()) slots *= 2;
    index_.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        Section& s = sections_[i];
        const std::uint64_t tag = s.name_hash >> 32;
        const std::string_view name = Text(s.name_begin, s.name_end);
        std::size_t slot = static_cast<std::size_t>(s.name_hash) & mask;
        bool taken = false;  // an earlier section has this name: that one is found
        for (; index_[slot] != 0; slot = (slot + 1) & mask) {
            const Section& other = sections_[(index_[slot] & 0xFFFFFFFFu) - 1];
            if ((index_[slot] >> 32) == tag &&
                NamesEqual(Text(other.name_begin, other.name_end), name)) {
                taken = true;
                break;
            }
        }
        s.first = !taken;
        if (!taken) index_[slot] = (tag << 32) | static_cast<std::uint64_t>(i + 1);
    }
}

Document::Document(std::string bytes) : bytes_(std::move(bytes)) {
    const std::string_view text(bytes_);
    if (text.size() > kMaxTextBytes) return;
    holds_nul_ = std::memchr(text.data(), '\0', text.size()) != nullptr;
    // Room for a line per 8 bytes at once (lines are longer): counting them first costs a
    // pass over the text, growing the list as it fills costs fresh memory at every step.
    lines_.reserve(text.size() / 8 + 1);
    LineScanner scanner(text);
    std::size_t begin = 0, end = 0, next = 0;
    while (scanner.Next(begin, end, next)) {
        // Only headers are read now: the first non-blank character tells them.
        std::size_t first = begin;
        while (first < end && IsBlank(text[first])) ++first;
        if (first < end && text[first] == '[') {
            const LineParts parts = ClassifyLine(text, begin, end);
            if (!sections_.empty()) sections_.back().end = lines_.size();
            sections_.push_back(Section{lines_.size(), 0,
                                        static_cast<std::uint32_t>(parts.name_begin),
                                        static_cast<std::uint32_t>(parts.name_end),
                                        FoldedHash(Text(parts.name_begin, parts.name_end))});
        }
        lines_.push_back(Line{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end),
                              static_cast<std::uint32_t>(next)});
    }
    if (!sections_.empty()) sections_.back().end = lines_.size();
    IndexSections();
}

const Document::Section* Document::FindSection(std::string_view name) const {
    if (index_.empty()) return nullptr;
    name = ArgumentName(name);
    const std::uint64_t hash = FoldedHash(name);
    const std::uint64_t tag = hash >> 32;
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask; index_[slot] != 0;
         slot = (slot + 1) & mask) {
        if ((index_[slot] >> 32) != tag) continue;
        const Section& s = sections_[(index_[slot] & 0xFFFFFFFFu) - 1];
        if (NamesEqual(Text(s.name_begin, s.name_end), name)) return &s;
    }
    return nullptr;
}

Document::SectionLines Document::FindSectionLines(std::string_view name) const {
    SectionLines found;
    const Section* first = FindSection(name);
    if (first == nullptr) return found;
    found.header = first->header;
    found.end = first->end;
    for (const Section& s : sections_) {
        found.count +=
            s.name_hash == first->name_hash &&
            NamesEqual(Text(s.name_begin, s.name_end), Text(first->name_begin, first->name_end));
    }
    return found;
}

Document::SectionLines Document::FirstSectionLines(std::string_view name) const {
    const Section* first = FindSection(name);
    if (first == nullptr) return {};
    return SectionLines{1, first->header, first->end};
}

Document::FoundKey Document::FindKey(const Section& section, std::string_view key) const {
    key = ArgumentName(key);
    const char first = key.empty() ? '\0' : LowerAscii(key.front());
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        // A key line's name starts at its first non-blank character, so a line names the key
        // only when the key's bytes follow its blanks: most lines are passed over at their
        // first character, the rest without being read in full.
        if (!key.empty()) {
            std::size_t b = lines_[i].begin;
            while (b < lines_[i].end && IsBlank(bytes_[b])) ++b;
            if (b == lines_[i].end || LowerAscii(bytes_[b]) != first ||
                lines_[i].end - b < key.size() ||
                !NamesEqual(std::string_view(bytes_).substr(b, key.size()), key)) {
                continue;
            }
        }
        const LineParts parts = Parts(lines_[i]);
        if (parts.kind == LineKind::Key &&
            NamesEqual(Text(parts.name_begin, parts.name_end), key)) {
            return FoundKey{&lines_[i], parts};
        }
    }
    return FoundKey{};
}

std::optional<std::string> Document::Get(std::string_view section, std::string_view key) const {
    return ValueOf(FindSection(section), key);
}

std::optional<std::string> Document::Get(std::string_view section, std::string_view key,
                                         std::size_t likely) const {
    if (likely < sections_.size()) {
        const Section& s = sections_[likely];
        if (s.first && NamesEqual(Text(s.name_begin, s.name_end), ArgumentName(section))) {
            return ValueOf(&s, key);
        }
    }
    return Get(section, key);
}

std::string_view Document::ValueText(const LineParts& parts) const {
    std::string_view value =
        Text(parts.value_begin,
             holds_nul_ ? CutAtNul(bytes_, parts.value_begin, parts.value_end) : parts.value_end);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value.substr(0, kMaxValueChars);
}

std::optional<std::string> Document::ValueOf(const Section* s, std::string_view key) const {
    if (s == nullptr) return std::nullopt;
    const FoundKey k = FindKey(*s, key);
    if (k.line == nullptr) return std::nullopt;
    return std::string(ValueText(k.parts));
}

SectionKeys Document::KeysOf(std::string_view section) const {
    SectionKeys keys;
    keys.complete_ = true;
    const Section* s = FindSection(section);
    if (s == nullptr) return keys;
    keys.keys_.reserve(s->end - s->header - 1);
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const LineParts parts = Parts(lines_[i]);
        if (parts.kind != LineKind::Key) continue;
        keys.keys_.push_back({Text(parts.name_begin, parts.name_end), ValueText(parts)});
    }
    keys.Chain();
    return keys;
}

void SectionKeys::Chain() {
    // From the last key back, so that each chain starts with its first key in file order.
    for (std::size_t i = keys_.size(); i-- > 0;) {
        std::uint32_t& first = first_[std::countr_zero(NameBit(keys_[i].name))];
        keys_[i].next = first;
        first = static_cast<std::uint32_t>(i + 1);
    }
}

std::optional<std::string_view> SectionKeys::Find(std::string_view key) const {
    // The first line of the name wins, as FindKey finds it.
    key = ArgumentName(key);
    for (std::uint32_t i = first_[std::countr_zero(NameBit(key))]; i != 0; i = keys_[i - 1].next) {
        if (NamesEqual(keys_[i - 1].name, key)) return keys_[i - 1].value;
    }
    return std::nullopt;
}

std::string Document::WithValue(std::string_view section, std::string_view key,
                                std::string_view value) const {
    section = ArgumentName(section);
    key = ArgumentName(key);
    const std::string_view text(bytes_);
    const Section* s = FindSection(section);
    if (s == nullptr) {
        std::string out = bytes_;
        if (!AtLineStart(out)) out += eol_;
        out.append("[").append(section).append("]").append(eol_);
        out.append(key).append("=").append(value).append(eol_);
        return out;
    }
    const FoundKey k = FindKey(*s, key);
    if (k.line != nullptr) {
        if (Text(k.parts.value_begin, k.parts.value_end) == value) return bytes_;
        std::string out(text.substr(0, k.line->begin));
        // The key keeps the spelling it has in the file.
        out.append(Text(k.parts.name_begin, k.parts.name_end)).append("=").append(value);
        out.append(eol_).append(text.substr(k.line->next));
        return out;
    }
    std::size_t after = s->header;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const LineKind kind = Parts(lines_[i]).kind;
        if (kind == LineKind::Key || kind == LineKind::Bare) after = i;
    }
    const Line& anchor = lines_[after];
    std::string out(text.substr(0, anchor.next));
    if (anchor.next == anchor.end) out += eol_;  // the last line had no line end
    out.append(key).append("=").append(value).append(eol_);
    out.append(text.substr(anchor.next));
    return out;
}

std::string Document::WithoutKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return bytes_;
    const FoundKey k = FindKey(*s, key);
    if (k.line == nullptr) return bytes_;
    const std::string_view text(bytes_);
    std::string out(text.substr(0, k.line->begin));
    out.append(text.substr(k.line->next));
    return out;
}

std::string Document::WithoutSection(std::string_view section) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return bytes_;
    const std::string_view text(bytes_);
    std::string out(text.substr(0, lines_[s->header].begin));
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const Line& line = lines_[i];
        if (Parts(line).kind == LineKind::Comment) {
            out.append(text.substr(line.begin, line.next - line.begin));
        }
    }
    const std::size_t tail = s->end < lines_.size() ? lines_[s->end].begin : text.size();
    out.append(text.substr(tail));
    return out;
}

std::string Document::WithKeyEdits(std::string_view section, std::span<const KeyEdit> edits) const {
    // The section runs from its header to the next header (or the end of the file); edits to
    // it touch no other line. A missing section is added at the end by the first edit that
    // sets a key, so its text starts out empty there.
    const Section* s = FindSection(section);
    const std::string_view text(bytes_);
    std::size_t begin = text.size();
    std::size_t end = text.size();
    if (s != nullptr) {
        begin = lines_[s->header].begin;
        end = s->end < lines_.size() ? lines_[s->end].begin : text.size();
    }
    const std::string_view old_part = text.substr(begin, end - begin);
    std::string part(old_part);
    for (const KeyEdit& edit : edits) {
        Document doc(std::move(part));
        doc.eol_ = eol_;
        part = edit.remove ? doc.WithoutKey(section, edit.key)
                           : doc.WithValue(section, edit.key, edit.value);
    }
    if (part == old_part) return bytes_;
    std::string out;
    out.reserve(text.size() - old_part.size() + part.size() + 2);
    out.append(text.substr(0, begin));
    // A new section starts on a line of its own.
    if (s == nullptr && !AtLineStart(out)) out += eol_;
    out.append(part).append(text.substr(end));
    return out;
}

}  // namespace vendaro::ini
