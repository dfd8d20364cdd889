#include "platform/ini_text.h"

#include <algorithm>

namespace vendaro::ini {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerName(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

// Where the line starting at `pos` ends (the first CR or LF, or the end of the text).
std::size_t LineEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
    return pos;
}

// Where the line after a line end at `end` starts: CR LF counts as one line end.
std::size_t NextLine(std::string_view text, std::size_t end) {
    if (end >= text.size()) return end;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') return end + 2;
    return end + 1;
}

std::size_t CutAtNul(std::string_view text, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] == '\0') return i;
    }
    return end;
}

const char kCrLf[] = "\r\n";

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

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = LineEnd(text, pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = NextLine(text, end);
    }
    return lines;
}

Document::Document(std::string bytes) : bytes_(std::move(bytes)) {
    const std::string_view text(bytes_);
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        line.end = LineEnd(text, pos);
        line.next = NextLine(text, line.end);
        pos = line.next;

        std::size_t b = line.begin;
        std::size_t e = line.end;
        while (b < e && IsBlank(text[b])) ++b;
        while (e > b && IsBlank(text[e - 1])) --e;
        if (b == e) {
            line.kind = LineKind::Blank;
        } else if (text[b] == '[') {
            // The name runs to the first "]"; a header without one still names a section.
            std::size_t close = b + 1;
            while (close < e && text[close] != ']') ++close;
            std::size_t nb = b + 1;
            std::size_t ne = close;
            while (nb < ne && IsBlank(text[nb])) ++nb;
            while (ne > nb && IsBlank(text[ne - 1])) --ne;
            line.kind = LineKind::Header;
            line.name_begin = nb;
            line.name_end = CutAtNul(text, nb, ne);
        } else if (text[b] == ';') {
            line.kind = LineKind::Comment;
        } else {
            std::size_t eq = b;
            while (eq < e && text[eq] != '=') ++eq;
            line.name_begin = b;
            if (eq == e) {
                line.kind = LineKind::Bare;
                line.name_end = CutAtNul(text, b, e);
            } else {
                std::size_t ne = eq;
                while (ne > b && IsBlank(text[ne - 1])) --ne;
                std::size_t vb = eq + 1;
                while (vb < e && IsBlank(text[vb])) ++vb;
                line.kind = LineKind::Key;
                line.name_end = CutAtNul(text, b, ne);
                line.value_begin = vb;
                line.value_end = e;
            }
        }
        if (line.kind == LineKind::Header) {
            if (!sections_.empty()) sections_.back().end = lines_.size();
            first_section_.emplace(LowerName(Text(line.name_begin, line.name_end)),
                                   sections_.size());
            sections_.push_back(Section{lines_.size(), 0});
        }
        lines_.push_back(line);
    }
    if (!sections_.empty()) sections_.back().end = lines_.size();
}

const Document::Section* Document::FindSection(std::string_view name) const {
    auto it = first_section_.find(LowerName(ArgumentName(name)));
    return it == first_section_.end() ? nullptr : &sections_[it->second];
}

const Line* Document::FindKey(const Section& section, std::string_view key) const {
    key = ArgumentName(key);
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Key && NamesEqual(Text(line.name_begin, line.name_end), key)) {
            return &line;
        }
    }
    return nullptr;
}

std::optional<std::string> Document::Get(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return std::nullopt;
    const Line* k = FindKey(*s, key);
    if (k == nullptr) return std::nullopt;
    std::string_view value = Text(k->value_begin, CutAtNul(bytes_, k->value_begin, k->value_end));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueChars));
}

std::string Document::WithValue(std::string_view section, std::string_view key,
                                std::string_view value) const {
    section = ArgumentName(section);
    key = ArgumentName(key);
    const std::string_view text(bytes_);
    const Section* s = FindSection(section);
    if (s == nullptr) {
        std::string out = bytes_;
        if (!out.empty() && out.back() != '\r' && out.back() != '\n') out += kCrLf;
        out.append("[").append(section).append("]").append(kCrLf);
        out.append(key).append("=").append(value).append(kCrLf);
        return out;
    }
    if (const Line* k = FindKey(*s, key)) {
        if (Text(k->value_begin, k->value_end) == value) return bytes_;
        std::string out(text.substr(0, k->begin));
        // The key keeps the spelling it has in the file.
        out.append(Text(k->name_begin, k->name_end)).append("=").append(value).append(kCrLf);
        out.append(text.substr(k->next));
        return out;
    }
    std::size_t after = s->header;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        if (lines_[i].kind == LineKind::Key || lines_[i].kind == LineKind::Bare) after = i;
    }
    const Line& anchor = lines_[after];
    std::string out(text.substr(0, anchor.next));
    if (anchor.next == anchor.end) out += kCrLf;  // the last line had no line end
    out.append(key).append("=").append(value).append(kCrLf);
    out.append(text.substr(anchor.next));
    return out;
}

std::string Document::WithoutKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return bytes_;
    const Line* k = FindKey(*s, key);
    if (k == nullptr) return bytes_;
    const std::string_view text(bytes_);
    std::string out(text.substr(0, k->begin));
    out.append(text.substr(k->next));
    return out;
}

std::string Document::WithoutSection(std::string_view section) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return bytes_;
    const std::string_view text(bytes_);
    std::string out(text.substr(0, lines_[s->header].begin));
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Comment)
            out.append(text.substr(line.begin, line.next - line.begin));
    }
    std::size_t tail = s->end < lines_.size() ? lines_[s->end].begin : text.size();
    out.append(text.substr(tail));
    return out;
}

std::optional<std::string> GetValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
    return Document(std::string(text)).Get(section, key);
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
    return Document(std::string(text)).WithValue(section, key, value);
}

std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key) {
    return Document(std::string(text)).WithoutKey(section, key);
}

std::string DeleteSection(std::string_view text, std::string_view section) {
    return Document(std::string(text)).WithoutSection(section);
}

}  // namespace vendaro::ini
