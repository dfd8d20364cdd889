#include "platform/win32/win32_registry.h"

namespace vendaro::win32 {

HKEY Win32Registry::RootKey(RegRoot root) {
    // The predefined handles are sign-extended on 64-bit Windows, so the numeric root values
    // cannot simply be cast to HKEY.
    switch (root) {
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

RegHandle Win32Registry::CreateKey(RegRoot root, const std::string& path) {
    HKEY root_key = RootKey(root);
    if (root_key == nullptr) return 0;
    RegKey key;
    if (RegCreateKeyA(root_key, path.c_str(), key.Receive()) != ERROR_SUCCESS || !key) return 0;
    auto handle = reinterpret_cast<RegHandle>(key.get());
    keys_[handle] = std::move(key);
    return handle;
}

bool Win32Registry::Set(RegHandle key, const std::string& name, DWORD type, const BYTE* data,
                        DWORD size) {
    auto found = keys_.find(key);
    if (found == keys_.end()) return false;
    return RegSetValueExA(found->second.get(), name.c_str(), 0, type, data, size) == ERROR_SUCCESS;
}

bool Win32Registry::SetString(RegHandle key, const std::string& name, const std::string& value) {
    // The size counts the terminating NUL, as readers of REG_SZ expect.
    return Set(key, name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>(value.size() + 1));
}

bool Win32Registry::SetNumber(RegHandle key, const std::string& name, std::int32_t value) {
    DWORD data = static_cast<DWORD>(value);
    return Set(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

bool Win32Registry::SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) {
    BYTE data = value;
    return Set(key, name, REG_NONE, &data, 1);
}

bool Win32Registry::CloseKey(RegHandle key) {
    auto found = keys_.find(key);
    if (found == keys_.end()) return false;
    LONG result = found->second.Close();
    keys_.erase(found);
    return result == ERROR_SUCCESS;
}

}  // namespace vendaro::win32
