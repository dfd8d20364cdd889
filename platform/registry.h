#pragma once
// Registry writes of DSN creation (advapi32 RegCreateKeyA / RegSetValueExA / RegCloseKey on
// Windows; unixODBC's odbc.ini files elsewhere).
#include <cstdint>
#include <string>

namespace vendaro {

enum class RegRoot : std::uint32_t {
    CurrentUser = 0x80000001u,   // HKEY_CURRENT_USER: User DSN
    LocalMachine = 0x80000002u,  // HKEY_LOCAL_MACHINE: System DSN
};

// An open key; 0 is "no key" (a failed create), on which every write fails.
using RegHandle = std::uintptr_t;

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
};

}  // namespace vendaro
