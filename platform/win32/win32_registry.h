#pragma once
// The registry writes of DSN creation on advapi32: RegCreateKeyA, RegSetValueExA, RegCloseKey.
#include "platform/win32/windows_api.h"

#include <map>

#include "platform/registry.h"
#include "platform/win32/win32_handles.h"

namespace vendaro::win32 {

class Win32Registry final : public Registry {
  public:
    RegHandle CreateKey(RegRoot root, const std::string& path) override;
    bool SetString(RegHandle key, const std::string& name, const std::string& value) override;
    bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) override;
    bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) override;
    bool CloseKey(RegHandle key) override;

    // Reading and removing (win32_registry_read.cpp), in the program's own view of the
    // registry, as its writes.
    RegRead OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) override;
    RegRead QueryValue(RegHandle key, const std::string& name, RegValue& value) override;
    bool ListValues(RegHandle key, std::vector<RegValue>& values) override;
    bool ListSubkeys(RegHandle key, std::vector<std::string>& names) override;
    bool RemoveDataSource(RegRoot root, const std::string& name) override;
    std::string ExportPath(RegRoot root, const std::string& path) override;

    // How many keys are open (left open ones are closed when the registry object goes).

    // The predefined key of `root`; nullptr for a value that names no root.
    static HKEY RootKey(RegRoot root);

  private:
    bool Set(RegHandle key, const std::string& name, DWORD type, const BYTE* data, DWORD size);

    // Only handles this object handed out are ever passed to the API.
    std::map<RegHandle, RegKey> keys_;
};

}  // namespace vendaro::win32
