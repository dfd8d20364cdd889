// Fuzzes the profile reader and writer under the script store: arbitrary file bytes, then a
// sequence of reads, writes, key removals and section removals decoded from the input, then the
// listing and the section copy over the result.
//
// Invariants checked after every step:
// - a refused write leaves the bytes as they were;
// - a write changes only lines of the section it addresses (or, for a new section, only adds
//   lines at the end); every other line comes back byte for byte;
// - what was written reads back, as the reader trims and unquotes it;
// - no other key changes its value;
// - writing the same value again changes nothing;
// - the listing and the copy never fail on the same bytes, and a copy only appends.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/ini_text.h"
#include "platform/profile.h"
#include "store/script_store.h"

namespace {

using namespace vendaro;
using fuzz::MemoryProfile;
using fuzz::Shown;
using fuzz::Tracing;

// --- a reference reading of the text, written independently of the engine ---

bool Blank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view TrimBlank(std::string_view s) {
    while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view CutNul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// An argument as the profile functions take it: cut at a NUL, spaces trimmed.
std::string_view ArgName(std::string_view s) {
    s = CutNul(s);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

struct RefLine {
    std::string_view raw;      // with its line end
    std::string_view content;  // without
    bool header = false;
    std::string_view name;  // header: section name; key line: key name
    bool key = false;
};

// The lines of `text`; a UTF-8 mark at its head belongs to no line.
std::vector<RefLine> RefLines(std::string_view text) {
    std::vector<RefLine> lines;
    std::size_t pos = text.starts_with(ini::kUtf8Mark) ? ini::kUtf8Mark.size() : 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        std::size_t next = end;
        if (next < text.size()) {
            next +=
                (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
        }
        RefLine line;
        line.raw = text.substr(pos, next - pos);
        line.content = text.substr(pos, end - pos);
        std::string_view t = TrimBlank(line.content);
        if (!t.empty() && t.front() == '[') {
            line.header = true;
            std::string_view inner = t.substr(1);
            inner = inner.substr(0, inner.find(']'));
            line.name = CutNul(TrimBlank(inner));
        } else if (!t.empty() && t.front() != ';' && t.find('=') != std::string_view::npos) {
            line.key = true;
            line.name = CutNul(TrimBlank(t.substr(0, t.find('='))));
        }
        lines.push_back(line);
        pos = next;
    }
    return lines;
}

struct Range {
    std::size_t begin = 0, end = 0;  // line indexes: the header and the line after the section
    bool found = false;
};

Range FirstSection(const std::vector<RefLine>& lines, std::string_view section) {
    Range r;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!r.found) {
            if (lines[i].header && SameName(lines[i].name, ArgName(section))) {
                r.found = true;
                r.begin = i;
                r.end = lines.size();
            }
        } else if (lines[i].header) {
            r.end = i;
            break;
        }
    }
    return r;
}

// What the reader hands back for a written value.
std::string ReadForm(std::string_view value) {
    value = TrimBlank(CutNul(value));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, ini::kMaxValueChars));
}

// The (section, key) pairs of the key lines, at most `limit` of them.
std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<RefLine>& lines,
                                                       std::size_t limit) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string_view section;
    bool in_section = false;
    for (const RefLine& line : lines) {
        if (pairs.size() >= limit) break;
        if (line.header) {
            section = line.name;
            in_section = true;
        } else if (line.key && in_section) {
            pairs.emplace_back(std::string(section), std::string(line.name));
        }
    }
    return pairs;
}

// True when every line of `before` outside its lines [begin, end) comes back byte for byte in
// `after`, before and after the lines that took their place; those are returned in `middle`.
bool OutsideKept(const std::vector<RefLine>& before, const std::vector<RefLine>& after,
                 std::size_t begin, std::size_t end, std::vector<RefLine>& middle) {
    const std::size_t tail = before.size() - end;
    if (after.size() < begin + tail) return false;
    for (std::size_t i = 0; i < begin; ++i) {
        if (before[i].raw != after[i].raw) return false;
    }
    for (std::size_t i = 0; i < tail; ++i) {
        if (before[end + i].raw != after[after.size() - tail + i].raw) return false;
    }
    middle.assign(after.begin() + static_cast<std::ptrdiff_t>(begin),
                  after.end() - static_cast<std::ptrdiff_t>(tail));
    return true;
}

const char* const kNames[] = {"Sales", "sales", "DSN_Driver", "Description", "",
                              " ",     "a b",   "[x",         ";c",          "k=v",
                              "x]",    "\t",    "\"q\"",      "PWD",         "Server"};

std::string PickName(FuzzedDataProvider& in, const std::vector<RefLine>& lines) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: {
            std::vector<std::string_view> names;
            for (const RefLine& line : lines) {
                if (line.header || line.key) names.push_back(line.name);
            }
            if (!names.empty()) {
                std::string name(
                    names[in.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)]);
                if (in.ConsumeBool()) {
                    for (char& c : name) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
                }
                return name;
            }
            return "Sales";
        }
        case 1:
            return kNames[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
        default:
            return in.ConsumeRandomLengthString(24);
    }
}

void CheckWrite(ScriptStore& store, MemoryProfile& profile, const std::string& path,
                const std::string& section, const std::string& key, const std::string& value) {
    const std::string before = profile.files.count(path) ? profile.files[path] : std::string();
    const bool existed = profile.files.count(path) != 0;
    const std::vector<RefLine> old_lines = RefLines(before);
    const Range range = FirstSection(old_lines, section);
    const auto pairs = Pairs(old_lines, 48);
    std::vector<std::string> old_values;
    for (const auto& [s, k] : pairs) old_values.push_back(store.ReadIniString(s, k, "\x01", path));

    const bool ok = store.WriteIniString(section, key, value, path);
    if (Tracing()) {
        std::fprintf(stderr, "write %s %s %s -> %d\n  before %s\n  after  %s\n",
                     Shown(section).c_str(), Shown(key).c_str(), Shown(value).c_str(), ok,
                     Shown(before).c_str(), Shown(profile.files[path]).c_str());
    }
    const std::string after = profile.files.count(path) ? profile.files[path] : std::string();
    if (!ok) {
        REQUIRE_THAT(after == before);
        return;
    }
    if (!existed && profile.files.count(path)) REQUIRE_THAT(!key.empty() && !value.empty());
    REQUIRE_THAT(after.starts_with(ini::kUtf8Mark) == before.starts_with(ini::kUtf8Mark));
    const std::vector<RefLine> new_lines = RefLines(after);
    const bool changed = after != before;
    std::vector<RefLine> middle;

    if (key.empty()) {
        // Section removal: only lines of that section go, and only its comments stay.
        if (changed) {
            REQUIRE_THAT(range.found);
            REQUIRE_THAT(OutsideKept(old_lines, new_lines, range.begin, range.end, middle));
            for (const RefLine& line : middle) REQUIRE_THAT(!line.header && !line.key);
            REQUIRE_THAT(middle.size() < range.end - range.begin);
        }
    } else if (value.empty()) {
        // Key removal: one line of that section goes.
        if (changed) {
            REQUIRE_THAT(range.found);
            REQUIRE_THAT(OutsideKept(old_lines, new_lines, range.begin, range.end, middle));
            REQUIRE_THAT(middle.size() + 1 == range.end - range.begin);
        }
    } else {
        // A write: reads back, touches only its own section, and is idempotent.
        REQUIRE_THAT(store.ReadIniString(section, key, "\x01", path) == ReadForm(value));
        if (range.found) {
            REQUIRE_THAT(OutsideKept(old_lines, new_lines, range.begin, range.end, middle));
            REQUIRE_THAT(middle.size() <= range.end - range.begin + 1);
            REQUIRE_THAT(!middle.empty() &&
                         middle.front().content == old_lines[range.begin].content);
        } else {
            // A new section: the old bytes stay as they were (a last line without a line end
            // gets one), and a header and the key line follow.
            REQUIRE_THAT(after.compare(0, before.size(), before) == 0);
            std::string_view added = std::string_view(after).substr(before.size());
            if (!before.empty() && before != ini::kUtf8Mark && before.back() != '\r' &&
                before.back() != '\n') {
                REQUIRE_THAT(added.substr(0, 2) == "\r\n");
                added.remove_prefix(2);
            }
            const std::vector<RefLine> tail = RefLines(added);
            REQUIRE_THAT(tail.size() == 2 && tail[0].header && tail[1].key);
        }
        const std::string once = after;
        REQUIRE_THAT(store.WriteIniString(section, key, value, path));
        REQUIRE_THAT(profile.files[path] == once);
    }
    // No other key changes its value.
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& [s, k] = pairs[i];
        if (SameName(ArgName(s), ArgName(section)) &&
            (key.empty() || SameName(ArgName(k), ArgName(key)))) {
            continue;
        }
        REQUIRE_THAT(store.ReadIniString(s, k, "\x01", path) == old_values[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MemoryProfile profile;
    ScriptStore store(profile, "/app", "vendaro", '/');
    const std::string path = store.IniFile();
    REQUIRE_THAT(path == store.ScriptFile());
    if (in.ConsumeBool()) profile.files[path] = in.ConsumeRandomLengthString(4096);

    for (int step = 0; step < 12 && in.remaining_bytes() > 0; ++step) {
        const std::vector<RefLine> lines = RefLines(profile.files[path]);
        const int op = in.ConsumeIntegralInRange<int>(0, 4);
        const std::string section = PickName(in, lines);
        switch (op) {
            case 0: {  // read
                const std::string key = PickName(in, lines);
                const std::string def = in.ConsumeRandomLengthString(8);
                const std::string v = store.ReadIniString(section, key, def, path);
                REQUIRE_THAT(v.size() <= ini::kMaxValueChars);
                break;
            }
            case 1:
            case 2: {  // write
                const std::string key = PickName(in, lines);
                std::string value = in.ConsumeRandomLengthString(48);
                if (value.empty()) value = "v";
                CheckWrite(store, profile, path, section, key, value);
                break;
            }
            case 3:  // key removal
                CheckWrite(store, profile, path, section, PickName(in, lines), "");
                break;
            case 4:  // section removal
                CheckWrite(store, profile, path, section, "", in.ConsumeBool() ? "" : "x");
                break;
        }
    }

    // The listing and the copy on the same bytes.
    const std::string before = profile.files[path];
    const std::vector<ScriptRow> rows = store.ListScripts();
    const std::string source = in.ConsumeRandomLengthString(16);
    const std::string new_name = in.ConsumeRandomLengthString(16);
    const CopyResult copied = store.CopySection(source, new_name);
    if (copied == CopyResult::Copied) {
        const std::string& after = profile.files[path];
        REQUIRE_THAT(after.size() > before.size() && after.compare(0, before.size(), before) == 0);
        REQUIRE_THAT(after.compare(before.size(), 3, "\r\r\n") == 0);
        const std::vector<ScriptRow> more = store.ListScripts();
        if (!new_name.empty()) {
            REQUIRE_THAT(more.size() == rows.size() + 1);
            REQUIRE_THAT(more.back().name == new_name);
        }
    } else {
        REQUIRE_THAT(profile.files[path] == before);
        REQUIRE_THAT(copied == CopyResult::WriteFailed || before.empty());
    }
    return 0;
}
