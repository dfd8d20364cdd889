#include "platform/posix/odbc_installer.h"

#include <odbcinst.h>
#include <stdlib.h>
#include <strings.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/posix/odbc_registry.h"

// unixODBC's ini library, exported by libodbcinst and declared only in its private headers:
// the driver's writes are read back as unixODBC reads them.
extern "C" {
using HINI = void*;
int iniOpen(HINI* ini, char* file_name, char* comment_chars, char left_bracket, char right_bracket,
            char equal, int create);
int iniClose(HINI ini);
int iniObjectFirst(HINI ini);
int iniObjectNext(HINI ini);
int iniObjectEOL(HINI ini);
int iniObject(HINI ini, char* name);
int iniPropertyFirst(HINI ini);
int iniPropertyNext(HINI ini);
int iniPropertyEOL(HINI ini);
int iniProperty(HINI ini, char* name);
int iniValue(HINI ini, char* value);
}

namespace vendaro {
namespace {

constexpr int kIniSuccess = 1;
constexpr const char* kDataSourceList = "ODBC Data Sources";

using Entries = std::vector<std::pair<std::string, std::string>>;

bool SameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

// What unixODBC reads of one data source: its section (the first of its name) and its entry
// in [ODBC Data Sources].
struct DataSourceView {
    std::optional<Entries> section;
    std::optional<std::string> listed;
};

DataSourceView ReadView(const std::string& file, const std::string& dsn) {
    DataSourceView view;
    HINI ini = nullptr;
    std::string name = file;
    char comments[] = "#;";
    if (iniOpen(&ini, name.data(), comments, '[', ']', '=', 0) != kIniSuccess) return view;
    // The library copies at most 1,000 characters of a name or value.
    std::vector<char> object(1024), property(1024), value(1024);
    for (iniObjectFirst(ini); !iniObjectEOL(ini); iniObjectNext(ini)) {
        iniObject(ini, object.data());
        const bool own = !view.section && SameName(object.data(), dsn);
        const bool list = SameName(object.data(), kDataSourceList);
        if (!own && !list) continue;
        Entries entries;
        for (iniPropertyFirst(ini); !iniPropertyEOL(ini); iniPropertyNext(ini)) {
            iniProperty(ini, property.data());
            iniValue(ini, value.data());
            entries.emplace_back(property.data(), value.data());
        }
        if (own) view.section = entries;
        if (list && !view.listed) {
            for (const auto& [key, text] : entries) {
                if (SameName(key, dsn)) {
                    view.listed = text;
                    break;
                }
            }
        }
    }
    iniClose(ini);
    return view;
}

const std::pair<std::string, std::string>* Find(const Entries& entries, const std::string& key) {
    for (const auto& entry : entries) {
        if (SameName(entry.first, key)) return &entry;
    }
    return nullptr;
}

// The changes from `before` to `after` of one section, as key writes: what the driver set,
// then what it removed.
Entries Changes(const Entries& before, const Entries& after, std::vector<std::string>& removed) {
    Entries set;
    for (const auto& [key, value] : after) {
        const auto* old = Find(before, key);
        if ((old == nullptr || old->second != value) && Find(set, key) == nullptr &&
            IsStorableEntry(key, value)) {
            set.emplace_back(key, value);
        }
    }
    for (const auto& [key, value] : before) {
        if (Find(after, key) == nullptr) removed.push_back(key);
    }
    return set;
}

// A folder of its own under $TMPDIR (or /tmp), removed with the object, for copies of odbc.ini.
class PrivateFolder {
  public:
    PrivateFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vendaro-odbc.XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~PrivateFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    // Empty when the folder could not be made.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Writes `bytes` to a new file; false on failure. (A private copy needs no atomic replacement.)
bool WriteNewFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Points unixODBC's user odbc.ini at another file for its lifetime.
class UserIniOverride {
  public:
    explicit UserIniOverride(const std::string& file) {
        if (const char* old = std::getenv("ODBCINI")) saved_ = old;
        ::setenv("ODBCINI", file.c_str(), 1);
    }
    ~UserIniOverride() {
        if (saved_) {
            ::setenv("ODBCINI", saved_->c_str(), 1);
        } else {
            ::unsetenv("ODBCINI");
        }
    }
    UserIniOverride(const UserIniOverride&) = delete;
    UserIniOverride& operator=(const UserIniOverride&) = delete;

  private:
    std::optional<std::string> saved_;
};

// "DSN=Sales" + NUL + ...: "Sales".
std::string DataSourceName(const std::string& attributes) {
    for (std::size_t at = 0; at < attributes.size();) {
        std::size_t end = attributes.find('\0', at);
        if (end == std::string::npos) end = attributes.size();
        const std::string pair = attributes.substr(at, end - at);
        if (pair.size() >= 4 && ::strncasecmp(pair.c_str(), "DSN=", 4) == 0) return pair.substr(4);
        at = end + 1;
    }
    return {};
}

}  // namespace

bool OdbcInstaller::ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                                     const std::string& attributes) {
    const std::string file = OdbcIniPath(RegRoot::CurrentUser);
    const std::string dsn = DataSourceName(attributes);
    PrivateFolder folder;
    if (file.empty() || folder.path().empty()) return false;
    // A missing odbc.ini stays missing in the copy.
    const std::optional<std::string> original = profile_.ReadAll(file);
    const std::string copy = folder.path() + "/odbc.ini";
    if (original && !WriteNewFile(copy, *original)) return false;
    bool result = false;
    {
        UserIniOverride redirect(copy);
        // `attributes` ends in its own NUL; c_str() adds the second that ends the list.
        result = SQLConfigDataSource(reinterpret_cast<HWND>(parent), static_cast<WORD>(request),
                                     driver.c_str(), attributes.c_str());
    }
    // Most drivers write nothing: then the file is not read as unixODBC reads it at all.
    const std::optional<std::string> changed = ReadBytes(copy);
    if (dsn.empty() || changed == original) return result;

    const std::string unchanged = folder.path() + "/before.ini";
    if (original && !WriteNewFile(unchanged, *original)) return result;
    const DataSourceView before = ReadView(unchanged, dsn);
    const DataSourceView after = ReadView(copy, dsn);
    if (after.section) {
        std::vector<std::string> removed;
        const Entries set = Changes(before.section.value_or(Entries{}), *after.section, removed);
        std::vector<KeyEdit> edits;
        for (const auto& [key, value] : set) edits.push_back(KeyEdit{key, value, false});
        for (const std::string& key : removed) edits.push_back(KeyEdit{key, "", true});
        if (!edits.empty()) profile_.WriteKeys(dsn, edits, file);
    } else if (before.section) {
        profile_.DeleteSection(dsn, file);
    }
    if (after.listed != before.listed) {
        if (after.listed && IsStorableEntry(dsn, *after.listed)) {
            profile_.SetString(kDataSourceList, dsn, *after.listed, file);
        } else if (!after.listed) {
            profile_.DeleteKey(kDataSourceList, dsn, file);
        }
    }
    return result;
}

}  // namespace vendaro
