#pragma once
// The registry of DSN creation on unixODBC: HKEY_CURRENT_USER is the user's odbc.ini
// ($ODBCINI, by default ~/.odbc.ini), HKEY_LOCAL_MACHINE the system's ($ODBCSYSINI/odbc.ini,
// by default /etc/odbc.ini). The key SOFTWARE\ODBC\ODBC.INI\X is the section [X]; a deeper key
// X\Engines\Jet keeps its values in [X] as "Engines\Jet\" + value name.
#include <map>
#include <optional>
#include <string>

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

class OdbcRegistry final : public Registry {
  public:
    // Creates the section (and the system odbc.ini when it is missing). Returns 0 on failure.
    RegHandle CreateKey(RegRoot root, const std::string& path) override;
    // Written as it is (unixODBC drops blanks at the ends when it reads).
    bool SetString(RegHandle key, const std::string& name, const std::string& value) override;
    // Written in decimal.
    bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) override;
    // Written as "0" or "1" (any other byte in decimal).
    bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) override;
    bool CloseKey(RegHandle key) override;

  private:
    struct OpenKey {
        int config_mode;  // ODBC_USER_DSN or ODBC_SYSTEM_DSN
        OdbcIniKey where;
    };
    bool Write(RegHandle key, const std::string& name, const std::string& value);

    std::map<RegHandle, OpenKey> keys_;
    RegHandle next_handle_ = 1;
};

}  // namespace vendaro
