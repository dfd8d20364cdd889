#pragma once
// The registry of DSN creation on unixODBC: HKEY_CURRENT_USER is the user's odbc.ini
// ($ODBCINI, by default ~/.odbc.ini), HKEY_LOCAL_MACHINE the system's ($ODBCSYSINI/odbc.ini,
// by default /etc/odbc.ini). The key SOFTWARE\ODBC\ODBC.INI\X is the section [X]; a deeper key
// X\Engines\Jet keeps its values in [X] as "Engines\Jet\" + value name.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace vendaro {

struct OdbcIniKey {
    std::string section;  // "Sales"
    std::string prefix;   // "" for the data source key, "Engines\Jet\" for its subkey
};

// Where a key path below a root lands; nullopt for a path outside SOFTWARE\ODBC\ODBC.INI\, an
// empty part, or a section name odbc.ini cannot hold.
std::optional<OdbcIniKey> MapRegistryPath(const std::string& path);

// True when `name` (prefix included) and `value` can be written as one "name=value" line that
// reads back as the same key.
bool IsStorableEntry(const std::string& name, const std::string& value);

// A key's values are kept until CloseKey, which puts them all into odbc.ini in one rewrite of
// the file (unixODBC rewrites the whole file for every value it is given).
class OdbcRegistry final : public Registry {
  public:
    // Makes the odbc.ini file when it is missing and checks it can be written; the section
    // itself is made at CloseKey. Returns 0 on failure.
    RegHandle CreateKey(RegRoot root, const std::string& path) override;
    // Written as it is (unixODBC drops blanks at the ends when it reads). Returns false for a
    // name or value odbc.ini cannot hold; a failure of the file shows at CloseKey.
    bool SetString(RegHandle key, const std::string& name, const std::string& value) override;
    // Written in decimal.
    bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) override;
    // Written as "0" or "1" (any other byte in decimal).
    bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) override;
    // Writes the section with the key's values. Returns false when the file could not be
    // written (the key is closed all the same) or the key is not open.
    bool CloseKey(RegHandle key) override;

  private:
    struct OpenKey {
        std::string file;  // the odbc.ini unixODBC writes for the key's root
        OdbcIniKey where;
        // Full entry names (prefix included) and values, in the order first set.
        std::vector<std::pair<std::string, std::string>> values;
    };
    bool Write(RegHandle key, const std::string& name, const std::string& value);

    std::map<RegHandle, OpenKey> keys_;
    RegHandle next_handle_ = 1;
};

}  // namespace vendaro
