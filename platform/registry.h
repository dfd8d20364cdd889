#pragma once
// Registry writes of DSN creation (advapi32 RegCreateKeyA / RegSetValueExA / RegCloseKey on
// Windows; unixODBC's odbc.ini files elsewhere).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vendaro {

enum class RegRoot : std::uint32_t {
    CurrentUser = 0x80000001u,   // HKEY_CURRENT_USER: User DSN
    LocalMachine = 0x80000002u,  // HKEY_LOCAL_MACHINE: System DSN
};

// The root as regedit and the system's messages name it.
inline std::string RootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// Where ODBC keeps the data sources of a root: a data source's key is kOdbcIniKey followed by
// its name; their list is the key kDataSourceListKey (in odbc.ini, the section kDataSourceList).
inline constexpr char kOdbcIniKey[] = "SOFTWARE\\ODBC\\ODBC.INI\\";
inline constexpr char kDataSourceList[] = "ODBC Data Sources";
inline constexpr char kDataSourceListKey[] = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";
static_assert(std::string_view(kDataSourceListKey).starts_with(kOdbcIniKey) &&
              std::string_view(kDataSourceListKey).substr(sizeof kOdbcIniKey - 1) ==
                  kDataSourceList);

// An open key; 0 is "no key" (a failed create), on which every write fails.
using RegHandle = std::uintptr_t;

// The registry's value types that DSN creation writes.
enum : std::uint32_t { kRegNone = 0, kRegString = 1, kRegExpandString = 2, kRegDword = 4 };

// One value as the store holds it. A registry keeps typed bytes (a REG_SZ with its NUL, if it
// was written with one); odbc.ini keeps text only, so there `typed` is false, `type` is
// kRegString and `data` the line's value.
struct RegValue {
    std::string name;
    std::uint32_t type = kRegString;
    std::string data;
    bool typed = true;
};

// A value as views of what holds it: the registry's own copy (until its next write) or a
// vector of RegValue the caller lent it (until that vector changes).
struct RegValueView {
    std::string_view name;
    std::uint32_t type = kRegString;
    std::string_view data;
    bool typed = true;
};

// What a read found: the key or value, none, or a failure (noted with NoteFailure).
enum class RegRead { Found, Missing, Failed };

class Registry {
  public:
    virtual ~Registry() = default;
    // Creates or opens root\path. Returns 0 on failure.
    virtual RegHandle CreateKey(RegRoot root, const std::string& path) = 0;
    // REG_SZ, terminating NUL included in the size. Returns false on failure.
    virtual bool SetString(RegHandle key, const std::string& name, const std::string& value) = 0;
    // REG_DWORD. Returns false on failure.
    virtual bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) = 0;
    // Type 0 (REG_NONE), one byte. Returns false on failure.
    virtual bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) = 0;
    // Returns false on failure.
    virtual bool CloseKey(RegHandle key) = 0;
    // Makes every closed key's writes durable, for a registry that gathers them (one change of
    // odbc.ini per data source). Returns false when they could not be made.
    virtual bool Flush() { return true; }

    // Reading, for comparing what is there with what creation would write. Nothing is created.
    // Opens root\path for reading into `key` (closed with CloseKey); 0 unless Found.
    virtual RegRead OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) = 0;
    // The value `name` of an open key.
    virtual RegRead QueryValue(RegHandle key, const std::string& name, RegValue& value) = 0;
    // Every value of an open key (not of its subkeys), in the store's order. False on failure.
    virtual bool ListValues(RegHandle key, std::vector<RegValue>& values) = 0;
    // Every value of the key root\path at once, as views: of the store's own copy where it
    // keeps one (valid until its next write), otherwise of `room`, which ListValues fills. What
    // OpenKeyForRead says of the key, without a handle: a check reads a key of every data
    // source, and an open, a copy of each value and a close for each cost more than the reading.
    // With `only`, just the values of those names that the key holds, in that order (a check
    // reads one value of the list of data sources for each data source).
    virtual RegRead ReadKeyValues(RegRoot root, const std::string& path,
                                  std::vector<RegValue>& room, std::vector<RegValueView>& views,
                                  std::span<const std::string> only = {}) {
        views.clear();
        RegHandle key = 0;
        const RegRead opened = OpenKeyForRead(root, path, key);
        if (opened != RegRead::Found) return opened;
        bool read = true;
        if (only.empty()) {
            read = ListValues(key, room);
        } else {
            std::size_t count = 0;
            for (const std::string& name : only) {
                if (count == room.size()) room.emplace_back();
                const RegRead got = QueryValue(key, name, room[count]);
                count += got == RegRead::Found;
                read = read && got != RegRead::Failed;
            }
            room.resize(count);
        }
        CloseKey(key);
        if (!read) return RegRead::Failed;
        for (const RegValue& v : room) views.push_back({v.name, v.type, v.data, v.typed});
        return RegRead::Found;
    }
    // The names of the direct subkeys of an open key. False on failure.
    virtual bool ListSubkeys(RegHandle key, std::vector<std::string>& names) = 0;

    // Removes the data source `name` of `root`: its key with every subkey and its entry under
    // "ODBC Data Sources"; what is already gone counts as removed. False on failure (noted).
    virtual bool RemoveDataSource(RegRoot root, const std::string& name) = 0;

    // root\path as a .reg file names it: the program's own view of the registry, spelt for
    // regedit (a 32-bit program on 64-bit Windows sees HKLM\SOFTWARE under WOW6432Node).
    virtual std::string ExportPath(RegRoot root, const std::string& path) = 0;
};

}  // namespace vendaro
