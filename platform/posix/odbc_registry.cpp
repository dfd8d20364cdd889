#include "platform/posix/odbc_registry.h"

#include <odbcinst.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/failure.h"
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

constexpr std::string_view kOdbcIniPath = kOdbcIniKey;

bool IsTrimmedByUnixOdbc(char c) {
    return c == ' ' || c == '\t';
}

// unixODBC trims names when it reads them back; a name with blanks at an end would land in
// another section or key than the one asked for.
bool HasOuterBlanks(std::string_view text) {
    return !text.empty() && (IsTrimmedByUnixOdbc(text.front()) || IsTrimmedByUnixOdbc(text.back()));
}

// The data source a key path names (its first part below ODBC.INI), whether or not odbc.ini
// can hold it; nullopt for a path outside ODBC.INI.
std::optional<std::string_view> DataSourceOf(std::string_view path) {
    if (path.size() <= kOdbcIniPath.size() ||
        !ini::NamesEqual(path.substr(0, kOdbcIniPath.size()), kOdbcIniPath)) {
        return std::nullopt;
    }
    const std::string_view rest = path.substr(kOdbcIniPath.size());
    return rest.substr(0, rest.find('\\'));
}

}  // namespace

std::optional<OdbcIniKeyView> MapRegistryPathView(std::string_view path) {
    const std::optional<std::string_view> data_source = DataSourceOf(path);
    if (!data_source || data_source->empty()) return std::nullopt;
    const std::string_view section = *data_source;
    // What follows the section: nothing, or "\\" and the subkey's parts, none of them empty.
    const std::string_view rest = path.substr(kOdbcIniPath.size() + section.size());
    if (!rest.empty() && (rest.back() == '\\' || rest.find("\\\\") != std::string_view::npos))
        return std::nullopt;
    // "[Sales]x]" would read back as the section "Sales".
    if (std::any_of(section.begin(), section.end(), [](char c) { return c == '[' || c == ']'; }) ||
        HoldsLineBreakOrNul(section) || HasOuterBlanks(section) ||
        section.size() + 2 > kOdbcIniMaxLine)
        return std::nullopt;
    return OdbcIniKeyView{section, rest.empty() ? rest : rest.substr(1)};
}

std::optional<OdbcIniKey> MapRegistryPath(const std::string& path) {
    const std::optional<OdbcIniKeyView> view = MapRegistryPathView(path);
    if (!view) return std::nullopt;
    OdbcIniKey key;
    key.section = std::string(view->section);
    if (!view->subkey.empty()) {
        key.prefix = std::string(view->subkey);
        key.prefix += '\\';
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
    const std::optional<std::string_view> data_source = DataSourceOf(path);
    if (!where || !usable) {
        if (data_source) failed_sections_.insert({root, ini::FoldedName(*data_source)});
        if (data_source && !where) {
            NoteFailure("\"" + std::string(*data_source) + "\" cannot be a section of odbc.ini.");
        } else if (data_source) {
            NoteFailure((file.empty() ? std::string("odbc.ini") : file) +
                        ": its folder is missing, or a folder has its name.");
        }
        return 0;
    }
    // The data source key starts a new attempt; its subkeys belong to the attempt and fail
    // with it, so that a failed data source leaves nothing of it in the file.
    const std::pair<RegRoot, std::string> attempt{root, ini::FoldedName(where->section)};
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
                                failed_sections_.count({open.root, ini::FoldedName(name)}) != 0;
    if (!IsStorableEntry(entry, value) || listed_failure) {
        // A refused list entry keeps the reason its data source failed for.
        if (!listed_failure) {
            NoteFailure(open.file + ": " + entry + " of [" + open.where.section +
                        "] is no line unixODBC reads back whole; nothing of it was written.");
        }
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

FileProfile& OdbcRegistry::ProfileFor(RegRoot root) {
    FileProfile& profile = root == RegRoot::CurrentUser ? user_profile_ : system_profile_;
    profile.set_content_check(OdbcIniDisagreement);
    return profile;
}

bool OdbcRegistry::CloseKey(RegHandle key) {
    if (CloseReadKey(key)) return true;
    auto it = keys_.find(key);
    if (it == keys_.end()) return false;
    // The file changes when the gathered writes land: later reads take a new reading.
    ForgetReadings();
    OpenKey open = std::move(it->second);
    keys_.erase(it);
    const bool list = ini::NamesEqual(open.where.section, kDataSourceList);
    if (open.failed) {
        if (!list) {
            // A refused data source leaves nothing of itself: what its other keys gathered goes.
            const std::pair<RegRoot, std::string> source{open.root,
                                                         ini::FoldedName(open.where.section)};
            failed_sections_.insert(source);
            std::erase_if(closed_, [&](const OpenKey& kept) {
                return kept.root == open.root &&
                       ini::FoldedName(kept.where.section) == source.second;
            });
        }
        return false;
    }
    for (OpenKey& kept : closed_) {
        if (kept.root == open.root && kept.file == open.file &&
            ini::NamesEqual(kept.where.section, open.where.section)) {
            for (auto& written : open.values) {
                auto same = std::find_if(
                    kept.values.begin(), kept.values.end(),
                    [&](const auto& v) { return ini::NamesEqual(v.first, written.first); });
                if (same != kept.values.end()) {
                    same->second = std::move(written.second);
                } else {
                    kept.values.push_back(std::move(written));
                }
            }
            return true;
        }
    }
    closed_.push_back(std::move(open));
    return true;
}

bool OdbcRegistry::Flush() {
    ForgetReadings();
    std::vector<OpenKey> closed = std::move(closed_);
    closed_.clear();
    bool ok = true;
    std::set<std::pair<RegRoot, std::string>> done;
    for (const OpenKey& first : closed) {
        if (!done.insert({first.root, first.file}).second) continue;
        // Every section of this file, as one change.
        std::vector<std::vector<KeyEdit>> edits;
        std::vector<FileProfile::SectionEdits> sections;
        for (const OpenKey& key : closed) {
            if (key.root != first.root || key.file != first.file) continue;
            std::vector<KeyEdit>& mine = edits.emplace_back();
            for (const auto& [name, value] : key.values) mine.push_back({name, value, false});
        }
        std::size_t i = 0;
        for (const OpenKey& key : closed) {
            if (key.root != first.root || key.file != first.file) continue;
            sections.push_back({key.where.section, edits[i++]});
        }
        if (!ProfileFor(first.root).WriteSections(sections, first.file)) {
            ok = false;
            for (const OpenKey& key : closed) {
                if (key.root == first.root && key.file == first.file &&
                    !ini::NamesEqual(key.where.section, kDataSourceList)) {
                    failed_sections_.insert({key.root, ini::FoldedName(key.where.section)});
                }
            }
        }
    }
    return ok;
}

}  // namespace vendaro
