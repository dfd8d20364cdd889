#include "platform/posix/odbc_registry.h"

#include <fcntl.h>
#include <odbcinst.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

// unixODBC's own resolution of the system odbc.ini ($ODBCSYSINI, its configuration, or the
// built-in default). Exported by libodbcinst; declared only in its private header.
extern "C" BOOL _odbcinst_SystemINI(char* file_name, BOOL verify);

namespace vendaro {
namespace {

constexpr std::string_view kOdbcIniPath = "SOFTWARE\\ODBC\\ODBC.INI\\";
// Written and removed at once to make an empty section exist; only used while the section
// has no key, so it can never meet a real key.
constexpr const char* kSectionMaker = "Vendaro-Section";

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

// Sets unixODBC's configuration mode for the calls made while it lives.
class ConfigMode {
  public:
    explicit ConfigMode(int mode) {
        SQLGetConfigMode(&previous_);
        SQLSetConfigMode(static_cast<UWORD>(mode));
    }
    ~ConfigMode() { SQLSetConfigMode(previous_); }
    ConfigMode(const ConfigMode&) = delete;
    ConfigMode& operator=(const ConfigMode&) = delete;

  private:
    UWORD previous_ = ODBC_BOTH_DSN;
};

// unixODBC refuses to write the system odbc.ini when the file does not exist yet.
bool EnsureSystemFile() {
    std::vector<char> path(8192, '\0');
    if (!_odbcinst_SystemINI(path.data(), 0)) return false;
    path.back() = '\0';
    int fd = ::open(path.data(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == EEXIST;  // whether it can be written, the write itself tells
}

bool EnsureSection(int mode, const std::string& section) {
    ConfigMode scope(mode);
    std::vector<char> keys(4096, '\0');
    int count = SQLGetPrivateProfileString(section.c_str(), nullptr, "", keys.data(),
                                           static_cast<int>(keys.size()), "odbc.ini");
    if (count > 0) return true;
    if (!SQLWritePrivateProfileString(section.c_str(), kSectionMaker, "1", "odbc.ini"))
        return false;
    return SQLWritePrivateProfileString(section.c_str(), kSectionMaker, nullptr, "odbc.ini");
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
    int mode = 0;
    if (root == RegRoot::CurrentUser) {
        mode = ODBC_USER_DSN;
    } else if (root == RegRoot::LocalMachine) {
        mode = ODBC_SYSTEM_DSN;
        if (!EnsureSystemFile()) return 0;
    } else {
        return 0;
    }
    if (!EnsureSection(mode, where->section)) return 0;
    RegHandle handle = next_handle_++;
    keys_.emplace(handle, OpenKey{mode, std::move(*where)});
    return handle;
}

bool OdbcRegistry::Write(RegHandle key, const std::string& name, const std::string& value) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return false;
    const std::string entry = it->second.where.prefix + name;
    if (!IsStorableEntry(entry, value)) return false;
    ConfigMode scope(it->second.config_mode);
    return SQLWritePrivateProfileString(it->second.where.section.c_str(), entry.c_str(),
                                        value.c_str(), "odbc.ini");
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
    return keys_.erase(key) == 1;
}

}  // namespace vendaro
