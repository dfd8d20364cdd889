#include "platform/posix/odbc_registry.h"

#include <fcntl.h>
#include <odbcinst.h>
#include <strings.h>
#include <unistd.h>

#include <array>
#include <string_view>

// unixODBC's resolution of the user's and the system's odbc.ini ($ODBCINI or ~/.odbc.ini;
// $ODBCSYSINI, its configuration or the built-in default), and the ini library its profile
// functions write through. Exported by libodbcinst; declared only in its private headers.
extern "C" {
BOOL _odbcinst_UserINI(char* file_name, BOOL verify);
BOOL _odbcinst_SystemINI(char* file_name, BOOL verify);

using HINI = void*;
int iniOpen(HINI* ini, char* file_name, char* comment_chars, char left_bracket, char right_bracket,
            char equal, int create);
int iniCommit(HINI ini);
int iniClose(HINI ini);
int iniObjectFirst(HINI ini);
int iniObjectNext(HINI ini);
int iniObjectEOL(HINI ini);
int iniObject(HINI ini, char* name);
int iniObjectSeekSure(HINI ini, char* name);
int iniObjectDelete(HINI ini);
int iniPropertyFirst(HINI ini);
int iniPropertyNext(HINI ini);
int iniPropertyEOL(HINI ini);
int iniProperty(HINI ini, char* name);
int iniValue(HINI ini, char* value);
int iniPropertyInsert(HINI ini, char* name, char* value);
}

namespace vendaro {
namespace {

constexpr int kIniSuccess = 1;
// The ini library copies at most 1,000 characters of a name or value.
using IniText = std::array<char, 1024>;

constexpr std::string_view kOdbcIniPath = "SOFTWARE\\ODBC\\ODBC.INI\\";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// unixODBC trims names when it reads them back; a name with blanks at an end would land in
// another section or key than the one asked for.
bool HasOuterBlanks(std::string_view text) {
    return !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i];
        char b = prefix[i];
        if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
        if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
        if (a != b) return false;
    }
    return true;
}

// unixODBC finds sections and keys without regard to case.
bool SameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The file unixODBC's profile functions write for `root`, made when it is missing (as they
// make it); empty when it cannot be written.
std::string WritableOdbcIni(RegRoot root) {
    std::array<char, 8192> path{};
    if (root == RegRoot::CurrentUser) {
        if (!_odbcinst_UserINI(path.data(), 1)) return {};
    } else if (root == RegRoot::LocalMachine) {
        if (!_odbcinst_SystemINI(path.data(), 0)) return {};
    } else {
        return {};
    }
    path.back() = '\0';
    // Opening to append neither changes the file nor makes its folder.
    int fd = ::open(path.data(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return {};
    ::close(fd);
    return path.data();
}

using Entries = std::vector<std::pair<std::string, std::string>>;

struct IniSection {
    std::string name;
    Entries entries;
};

// The current section's entries, in file order.
Entries ReadEntries(HINI ini) {
    Entries entries;
    for (iniPropertyFirst(ini); !iniPropertyEOL(ini); iniPropertyNext(ini)) {
        IniText name{};
        IniText value{};
        iniProperty(ini, name.data());
        iniValue(ini, value.data());
        entries.emplace_back(name.data(), value.data());
    }
    return entries;
}

bool InsertEntries(HINI ini, const Entries& entries) {
    for (const auto& [name, value] : entries) {
        std::string n = name;
        std::string v = value;
        if (iniPropertyInsert(ini, n.data(), v.data()) != kIniSuccess) return false;
    }
    return true;
}

// Sets `values` in `section` of the open file as unixODBC's own writes would: a value whose
// key exists replaces the first such key's value in place, others are added at the end, and
// the section is added at the end of the file when it is missing. False when nothing is to be
// written (the section is there and no value is given).
bool ApplyValues(HINI ini, const std::string& section, const Entries& values, bool& failed) {
    failed = false;
    std::size_t index = 0;
    bool found = false;
    IniText found_name{};  // the file's own spelling, kept
    for (iniObjectFirst(ini); !iniObjectEOL(ini); iniObjectNext(ini), ++index) {
        iniObject(ini, found_name.data());
        if (SameName(found_name.data(), section)) {
            found = true;
            break;
        }
    }
    if (!found) {
        std::string name = section;
        failed = iniObjectSeekSure(ini, name.data()) != kIniSuccess || !InsertEntries(ini, values);
        return true;
    }
    if (values.empty()) return false;

    Entries merged = ReadEntries(ini);
    Entries added;
    bool replaced = false;
    for (const auto& [name, value] : values) {
        bool matched = false;
        for (auto& entry : merged) {
            if (SameName(entry.first, name)) {
                entry.second = value;
                matched = replaced = true;
                break;
            }
        }
        if (!matched) {
            merged.emplace_back(name, value);
            added.emplace_back(name, value);
        }
    }
    if (!replaced) {
        failed = !InsertEntries(ini, added);
        return true;
    }

    // The library exported cannot change an entry in place: the section is rebuilt, and the
    // sections after it with it so that the file keeps its order.
    std::vector<IniSection> rebuilt;
    rebuilt.push_back(IniSection{found_name.data(), std::move(merged)});
    for (iniObjectNext(ini); !iniObjectEOL(ini); iniObjectNext(ini)) {
        IniText name{};
        iniObject(ini, name.data());
        rebuilt.push_back(IniSection{name.data(), ReadEntries(ini)});
    }
    for (std::size_t left = rebuilt.size(); left > 0; --left) {
        iniObjectFirst(ini);
        for (std::size_t i = 0; i < index; ++i) iniObjectNext(ini);
        if (iniObjectEOL(ini) || iniObjectDelete(ini) != kIniSuccess) {
            failed = true;
            return true;
        }
    }
    for (IniSection& s : rebuilt) {
        if (iniObjectSeekSure(ini, s.name.data()) != kIniSuccess ||
            !InsertEntries(ini, s.entries)) {
            failed = true;
            return true;
        }
    }
    return true;
}

}  // namespace

std::optional<OdbcIniKey> MapRegistryPath(const std::string& path) {
    if (!StartsWithNoCase(path, kOdbcIniPath)) return std::nullopt;
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
    if (section.find_first_of("[]") != std::string_view::npos || HasLineBreakOrNul(section) ||
        HasOuterBlanks(section))
        return std::nullopt;

    OdbcIniKey key;
    key.section = std::string(section);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        key.prefix += std::string(parts[i]) + "\\";
    }
    return key;
}

bool IsStorableEntry(const std::string& name, const std::string& value) {
    if (name.empty() || HasOuterBlanks(name) || HasLineBreakOrNul(name)) return false;
    // "a=b" would read back as the key "a"; "[", ";" and "#" start a header or a comment.
    if (name.find('=') != std::string::npos) return false;
    if (name.front() == '[' || name.front() == ';' || name.front() == '#') return false;
    return !HasLineBreakOrNul(value);
}

RegHandle OdbcRegistry::CreateKey(RegRoot root, const std::string& path) {
    std::optional<OdbcIniKey> where = MapRegistryPath(path);
    if (!where) return 0;
    std::string file = WritableOdbcIni(root);
    if (file.empty()) return 0;
    RegHandle handle = next_handle_++;
    keys_.emplace(handle, OpenKey{std::move(file), std::move(*where), {}});
    return handle;
}

bool OdbcRegistry::Write(RegHandle key, const std::string& name, const std::string& value) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return false;
    std::string entry = it->second.where.prefix + name;
    if (!IsStorableEntry(entry, value)) return false;
    for (auto& [kept, kept_value] : it->second.values) {
        if (SameName(kept, entry)) {
            kept_value = value;
            return true;
        }
    }
    it->second.values.emplace_back(std::move(entry), value);
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

bool OdbcRegistry::CloseKey(RegHandle key) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return false;
    const OpenKey open = std::move(it->second);
    keys_.erase(it);

    HINI ini = nullptr;
    std::string file = open.file;
    char comments[] = "#;";
    if (iniOpen(&ini, file.data(), comments, '[', ']', '=', 1) != kIniSuccess) return false;
    bool failed = false;
    const bool changed = ApplyValues(ini, open.where.section, open.values, failed);
    if (changed && !failed) failed = iniCommit(ini) != kIniSuccess;
    iniClose(ini);
    return !failed;
}

}  // namespace vendaro
