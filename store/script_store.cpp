#include "store/script_store.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/ini_text.h"

namespace vendaro {
namespace {

// A value as far as the program's read buffer holds it.
std::string CutToReadBuffer(std::string value) {
    value.resize(std::min(value.size(), ini::kMaxValueChars));
    return value;
}

// True when the name, as the profile functions take it, begins or ends with a blank other than
// a space: the reader trims it from the line, so the name would read back as another one.
bool HasTrimmedEnd(std::string_view name) {
    name = ini::ArgumentName(name);
    return !name.empty() && (ini::IsBlank(name.front()) || ini::IsBlank(name.back()));
}

// Names a write could not read back as the same section or key: a "]" ends a section name
// early; an "=" ends a key name early, and a key starting with "[" or ";" reads as a header or
// a comment; a tab (or another blank the reader trims) at either end is trimmed away. Writing
// them would add lines that no read finds (or that read as another name).
bool IsUnreadableSection(std::string_view section) {
    return section.find(']') != std::string_view::npos || HasTrimmedEnd(section);
}
bool IsUnreadableKey(std::string_view key) {
    if (HasTrimmedEnd(key)) return true;
    key = ini::ArgumentName(key);
    return key.find('=') != std::string_view::npos ||
           (!key.empty() && (key.front() == '[' || key.front() == ';'));
}

// What a write may take: no line break or NUL anywhere, and names that read back as written
// (removals name only what is there already).
bool Writable(std::string_view section, std::string_view key, std::string_view value) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value)) {
        return false;
    }
    if (key.empty() || value.empty()) return true;
    return !IsUnreadableSection(section) && !IsUnreadableKey(key);
}

// The key lines of the first section named `section`, as the file holds them (the value
// trimmed, quotes kept), the first of each name; keys without a value are left out, as they
// read as missing.
std::vector<std::pair<std::string, std::string>> KeysOf(const ini::Document& doc,
                                                        std::string_view section) {
    std::vector<std::pair<std::string, std::string>> keys;
    const ini::Document::SectionLines where = doc.FindSectionLines(ini::ArgumentName(section));
    if (where.count == 0) return keys;
    for (std::size_t i = where.header + 1; i < where.end; ++i) {
        const std::string_view line = doc.LineText(i);
        const ini::LineParts parts = ini::ClassifyLine(line, 0, line.size());
        if (parts.kind != ini::LineKind::Key || parts.name_begin == parts.name_end) continue;
        std::string name(line.substr(parts.name_begin, parts.name_end - parts.name_begin));
        std::string value(line.substr(parts.value_begin, parts.value_end - parts.value_begin));
        const bool seen = std::any_of(keys.begin(), keys.end(), [&](const auto& k) {
            return ini::NamesEqual(k.first, name);
        });
        if (!seen && !value.empty()) keys.emplace_back(std::move(name), std::move(value));
    }
    return keys;
}

}  // namespace

ScriptStore::ScriptStore(Profile& profile, std::string program_dir, std::string exe_name,
                         char separator)
    : profile_(profile),
      program_dir_(std::move(program_dir)),
      exe_name_(std::move(exe_name)),
      separator_(separator) {
    app_dir_ = program_dir_;
    if (app_dir_.empty() || app_dir_.back() != separator_) app_dir_ += separator_;
}

const std::string& ScriptStore::IniFile() {
    if (ini_file_.empty()) {
        std::string stem = exe_name_;
        std::size_t dot = stem.rfind('.');
        if (dot != std::string::npos) stem.resize(dot);
        ini_file_ = program_dir_;
        if (ini_file_.empty() || ini_file_.back() != separator_) ini_file_ += separator_;
        ini_file_ += stem + ".ini";
    }
    return ini_file_;
}

ScriptStore::OneVersion::OneVersion(ScriptStore& store) : store_(store) {
    ++store_.pin_depth_;
}

ScriptStore::OneVersion::~OneVersion() {
    if (--store_.pin_depth_ == 0) store_.pinned_.reset();
}

const ProfileSnapshot* ScriptStore::Pinned() {
    if (pin_depth_ == 0) return nullptr;
    if (!pinned_) pinned_ = profile_.Snapshot(IniFile());  // taken at the command's first read
    return pinned_.get();
}

void ScriptStore::Wrote() {
    pinned_.reset();  // the next read takes the file as written
}

std::optional<std::string> ScriptStore::ReadIniFile() {
    if (const ProfileSnapshot* pinned = Pinned()) {
        std::optional<std::string_view> bytes = pinned->Bytes();
        if (!bytes) return std::nullopt;
        return std::string(*bytes);
    }
    return profile_.ReadAll(IniFile());
}

std::string ScriptStore::ReadIniString(std::string_view section, std::string_view key,
                                       std::string_view def, const std::string& file) {
    const std::string& path = file.empty() ? IniFile() : file;
    const ProfileSnapshot* pinned = path == IniFile() ? Pinned() : nullptr;
    return CutToReadBuffer(pinned ? pinned->GetString(section, key, def)
                                  : profile_.GetString(section, key, def, path));
}

ScriptStore::SectionReader ScriptStore::ReadSection(std::string_view section) {
    const ProfileSnapshot* pinned = Pinned();
    return SectionReader(*this, section, pinned ? pinned->KeysOf(section) : ini::SectionKeys());
}

std::string_view ScriptStore::SectionReader::Read(std::string_view key, std::string_view def) {
    // The keys of the reading take a key name as the profile's reads do (cut at a NUL, spaces
    // trimmed), so a key they hold or, when they are all there, lack is answered here.
    if (const std::optional<std::string_view> value = keys_.Find(key)) return *value;
    if (keys_.Complete()) return read_alone_ = ini::DefaultValue(def);
    return read_alone_ = store_.ReadIniString(section_, key, def);
}

bool ScriptStore::WriteIniString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::string& file) {
    if (!Writable(section, key, value)) return false;
    const std::string& path = file.empty() ? IniFile() : file;
    const bool ok = key.empty()     ? profile_.DeleteSection(section, path)
                    : value.empty() ? profile_.DeleteKey(section, key, path)
                                    : profile_.SetString(section, key, value, path);
    if (ok && path == IniFile()) Wrote();
    return ok;
}

bool ScriptStore::WriteSection(std::string_view section, const SectionKeys& keys) {
    // The same refusals as WriteIniString, key by key: the writes before a refused one are
    // made, the rest are not.
    std::vector<KeyEdit> edits;
    edits.reserve(keys.keys().size());
    for (const auto& [key, value] : keys.keys()) {
        if (key.empty() || !Writable(section, key, value)) break;
        edits.push_back(KeyEdit{key, value, value.empty()});
    }
    const std::size_t made = edits.empty() ? 0 : profile_.WriteKeys(section, edits, IniFile());
    if (made > 0) Wrote();
    return made == keys.keys().size();
}

bool ScriptStore::HasSection(std::string_view name) {
    std::optional<std::string> bytes = ReadIniFile();
    if (!bytes) return false;
    return ini::Document(std::move(*bytes)).FindSectionLines(ini::ArgumentName(name)).count > 0;
}

bool ScriptStore::WriteScript(std::string_view section, const SectionKeys& keys,
                              std::string_view moved_from, bool replace) {
    std::optional<std::string> bytes;
    if (!moved_from.empty() || replace) bytes = ReadIniFile();
    const ini::Document doc(bytes.value_or(std::string()));
    const auto moved = moved_from.empty() ? decltype(KeysOf(doc, "")){} : KeysOf(doc, moved_from);
    auto written = [&](std::string_view key) {
        auto same = [&](const auto& k) { return ini::NamesEqual(k.first, key); };
        return std::any_of(moved.begin(), moved.end(), same) ||
               std::any_of(keys.keys().begin(), keys.keys().end(), same);
    };
    const auto held = replace ? KeysOf(doc, section) : decltype(KeysOf(doc, "")){};

    std::vector<KeyEdit> edits;
    for (const auto& [key, value] : held) {
        if (!written(key)) edits.push_back(KeyEdit{key, {}, true});
    }
    for (const auto& [key, value] : moved) edits.push_back(KeyEdit{key, value, false});
    for (const auto& [key, value] : keys.keys())
        edits.push_back(KeyEdit{key, value, value.empty()});
    // All or nothing: a refused key would leave a script half moved.
    for (const KeyEdit& edit : edits) {
        if (edit.key.empty() || !Writable(section, edit.key, edit.value)) return false;
    }
    if (!moved_from.empty() && !Writable(moved_from, "", "")) return false;
    if (edits.empty() && moved_from.empty()) return true;
    const bool ok = moved_from.empty()
                        ? profile_.WriteKeys(section, edits, IniFile()) == edits.size()
                        : profile_.WriteKeysAndRemoveSection(section, edits, moved_from, IniFile());
    Wrote();
    return ok;
}

bool ScriptStore::FileExists(const std::string& path) const {
    std::optional<std::string> bytes = profile_.ReadAll(path);
    return bytes.has_value() && !bytes->empty();
}

std::vector<ScriptRow> ScriptStore::ListScripts() {
    std::vector<ScriptRow> rows;
    const std::string path = ScriptFile();
    // The listing reads vendaro.ini and the key reads IniFile: one reading serves both only
    // when they are the same file (an executable of another name reads another file).
    const ProfileSnapshot* pinned = Pinned();
    std::unique_ptr<ProfileSnapshot> own = pinned ? nullptr : profile_.Snapshot(IniFile());
    const ProfileSnapshot* keys = pinned ? pinned : own.get();
    std::unique_ptr<ProfileSnapshot> names = path == IniFile() ? nullptr : profile_.Snapshot(path);
    const ProfileSnapshot& listed = names ? *names : *keys;
    const std::optional<std::string_view> bytes = listed.Bytes();
    if (!bytes || bytes->empty()) return rows;  // what FileExists would say
    auto read = [&](const std::string& section, std::string_view key) {
        return CutToReadBuffer(keys->GetString(section, key, ""));
    };
    listed.ForEachBracketLine([&](std::string_view line) {
        // Header lines are taken literally: the name is the line without its first and last
        // character. "[" alone and "[]" name nothing: a script without a name could only
        // create a data source without one.
        if (line.size() < 3) return;
        ScriptRow row;
        row.name = std::string(line.substr(1, line.size() - 2));
        row.description = read(row.name, "Description");
        row.driver = read(row.name, "DSN_Driver");
        rows.push_back(std::move(row));
    });
    return rows;
}

CopyResult ScriptStore::CopySection(std::string_view source, std::string_view new_name) {
    const std::string path = ScriptFile();
    std::optional<std::string> bytes = profile_.ReadAll(path);
    if (!bytes || bytes->empty()) return CopyResult::NoFile;
    if (HoldsLineBreakOrNul(new_name) || IsUnreadableSection(new_name)) {
        return CopyResult::WriteFailed;
    }

    // The section as reads find it, from the line after its header to the end of its last key
    // line, with the line ends it has.
    const ini::Document doc(std::move(*bytes));
    const ini::Document::SectionLines where = doc.FindSectionLines(source);
    std::string_view body;
    for (std::size_t i = where.end; where.count > 0 && i > where.header + 1; --i) {
        const std::string_view line = doc.LineText(i - 1);
        if (ini::ClassifyLine(line, 0, line.size()).kind != ini::LineKind::Key) continue;
        const char* first = doc.LineText(where.header + 1).data();
        body = std::string_view(first, static_cast<std::size_t>(line.data() + line.size() - first));
        break;
    }

    // The CR line ends a last line that an earlier copy left without a line end and separates
    // the new section from the one before it.
    std::string out;
    out.append("\r\r\n[").append(new_name).append("]\r\n").append(body);
    return profile_.Append(path, out) ? CopyResult::Copied : CopyResult::WriteFailed;
}

}  // namespace vendaro
