#include "platform/posix/odbc_registry.h"

#include <odbcinst.h>
#include <strings.h>
#include <sys/stat.h>

#include <array>
#include <string_view>

#include "platform/ini_text.h"

// unixODBC's resolution of the user's and the system's odbc.ini ($ODBCINI or ~/.odbc.ini;
// $ODBCSYSINI, its configuration or the built-in default). Exported by libodbcinst; declared
// only in its private headers.
extern "C" {
BOOL _odbcinst_UserINI(char* file_name, BOOL verify);
BOOL _odbcinst_SystemINI(char* file_name, BOOL verify);
}

namespace vendaro {
namespace {

constexpr std::string_view kOdbcIniPath = "SOFTWARE\\ODBC\\ODBC.INI\\";
constexpr std::string_view kDataSourceList = "ODBC Data Sources";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// unixODBC trims names when it reads them back; a name with blanks at an end would land in
// another section or key than the one asked for.
bool HasOuterBlanks(std::string_view text) {
    return !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// The data source a key path names (its first part below ODBC.INI), whether or not odbc.ini
// can hold it; nullopt for a path outside ODBC.INI.
std::optional<std::string> DataSourceOf(const std::string& path) {
    if (path.size() <= kOdbcIniPath.size() ||
        LowerAscii(std::string_view(path).substr(0, kOdbcIniPath.size())) !=
            LowerAscii(kOdbcIniPath)) {
        return std::nullopt;
    }
    std::string_view rest = std::string_view(path).substr(kOdbcIniPath.size());
    return std::string(rest.substr(0, rest.find('\\')));
}

// True when the file has a section named `section` (the engine's reading of headers).
bool HasSection(Profile& profile, const std::string& section, const std::string& file) {
    std::optional<std::string> bytes = profile.ReadAll(file);
    if (!bytes) return false;
    const ini::Document doc(std::move(*bytes));
    for (std::size_t i = 0; i < doc.SectionCount(); ++i) {
        const std::string_view line = doc.HeaderLine(i);
        const ini::LineParts parts = ini::ClassifyLine(line, 0, line.size());
        const std::string_view name =
            line.substr(parts.name_begin, parts.name_end - parts.name_begin);
        if (ini::NamesEqual(name, section)) return true;
    }
    return false;
}

}  // namespace

std::optional<OdbcIniKey> MapRegistryPath(const std::string& path) {
    if (!DataSourceOf(path)) return std::nullopt;
    std::string_view rest = std::string_view(path).substr(kOdbcIniPath.size());
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t cut = rest.find('\\');
        parts.push_back(rest.substr(0, cut));
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
    }
    for (std::string_view part : parts) {
        if (part.empty()) return std::nullopt;
    }
    std::string_view section = parts.front();
    // "[Sales]x]" would read back as the section "Sales".
    if (section.find_first_of("[]") != std::string_view::npos || HoldsLineBreakOrNul(section) ||
        HasOuterBlanks(section) || section.size() + 2 > kOdbcIniMaxLine)
        return std::nullopt;

    OdbcIniKey key;
    key.section = std::string(section);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        key.prefix += std::string(parts[i]) + "\\";
    }
    return key;
}

bool IsStorableEntry(const std::string& name, const std::string& value) {
    if (name.empty() || HasOuterBlanks(name) || HoldsLineBreakOrNul(name)) return false;
    // "a=b" would read back as the key "a"; "[", ";" and "#" start a header or a comment.
    if (name.find('=') != std::string::npos) return false;
    if (name.front() == '[' || name.front() == ';' || name.front() == '#') return false;
    return !HoldsLineBreakOrNul(value) && name.size() + 1 + value.size() <= kOdbcIniMaxLine;
}

std::string OdbcIniPath(RegRoot root) {
    std::array<char, 8192> path{};
    // Without verification neither call makes the file.
    if (root == RegRoot::CurrentUser) {
        if (!_odbcinst_UserINI(path.data(), 0)) return {};
    } else if (root == RegRoot::LocalMachine) {
        if (!_odbcinst_SystemINI(path.data(), 0)) return {};
    } else {
        return {};
    }
    path.back() = '\0';
    return path.data();
}

RegHandle OdbcRegistry::CreateKey(RegRoot root, const std::string& path) {
    std::optional<OdbcIniKey> where = MapRegistryPath(path);
    std::string file = OdbcIniPath(root);
    struct stat folder {};
    struct stat existing {};
    const bool usable = !file.empty() && ::stat(DirectoryOf(file).c_str(), &folder) == 0 &&
                        S_ISDIR(folder.st_mode) &&
                        !(::stat(file.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode));
    const std::optional<std::string> data_source = DataSourceOf(path);
    if (!where || !usable) {
        if (data_source) failed_sections_.insert({root, LowerAscii(*data_source)});
        return 0;
    }
    // The data source key starts a new attempt; its subkeys belong to the attempt and fail
    // with it, so that a failed data source leaves nothing of it in the file.
    const std::pair<RegRoot, std::string> attempt{root, LowerAscii(where->section)};
    if (where->prefix.empty()) {
        failed_sections_.erase(attempt);
    } else if (failed_sections_.count(attempt) != 0) {
        return 0;
    }
    RegHandle handle = next_handle_++;
    keys_.emplace(handle, OpenKey{root, std::move(file), std::move(*where), {}, false});
    return handle;
}

bool OdbcRegistry::Write(RegHandle key, const std::string& name, const std::string& value) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return false;
    OpenKey& open = it->second;
    std::string entry = open.where.prefix + name;
    const bool listed_failure = open.where.prefix.empty() &&
                                ini::NamesEqual(open.where.section, kDataSourceList) &&
                                failed_sections_.count({open.root, LowerAscii(name)}) != 0;
    if (!IsStorableEntry(entry, value) || listed_failure) {
        open.failed = true;
        return false;
    }
    for (auto& [kept, kept_value] : open.values) {
        if (ini::NamesEqual(kept, entry)) {
            kept_value = value;
            return true;
        }
    }
    open.values.emplace_back(std::move(entry), value);
    return true;
}

bool OdbcRegistry::SetString(RegHandle key, const std::string& name, const std::string& value) {
    return Write(key, name, value);
}

bool OdbcRegistry::SetNumber(RegHandle key, const std::string& name, std::int32_t value) {
    return Write(key, name, std::to_string(value));
}

bool OdbcRegistry::SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) {
    return Write(key, name, std::to_string(static_cast<unsigned>(value)));
}

bool OdbcRegistry::WriteSection(const OpenKey& key) {
    if (key.failed) return false;
    const std::string& section = key.where.section;
    if (key.values.empty()) {
        if (HasSection(profile_, section, key.file)) return true;
        // The engine makes a section with its first key: a key with an empty name, set and
        // removed in one change, leaves the bare header. A section another process made
        // meanwhile is found under the lock and keeps its lines (one with an empty key name
        // aside, which no reader can look up).
        const KeyEdit header_only[] = {{"", "", false}, {"", "", true}};
        return profile_.WriteKeys(section, header_only, key.file) == 2;
    }
    std::vector<KeyEdit> edits;
    edits.reserve(key.values.size());
    for (const auto& [name, value] : key.values) edits.push_back(KeyEdit{name, value, false});
    return profile_.WriteKeys(section, edits, key.file) == edits.size();
}

bool OdbcRegistry::CloseKey(RegHandle key) {
    if (CloseReadKey(key)) return true;
    auto it = keys_.find(key);
    if (it == keys_.end()) return false;
    // The file changes here: later reads take a new reading.
    ForgetReadings();
    const OpenKey open = std::move(it->second);
    keys_.erase(it);
    const bool ok = WriteSection(open);
    if (!ok && !ini::NamesEqual(open.where.section, kDataSourceList)) {
        failed_sections_.insert({open.root, LowerAscii(open.where.section)});
    }
    return ok;
}

}  // namespace vendaro
