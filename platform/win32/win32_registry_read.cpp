// Reading and removing data sources with advapi32, beside the writes of win32_registry.cpp.
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/win32/win32_registry.h"

namespace vendaro::win32 {
namespace {

// The system's words for a registry error code.
std::string ErrorText(LONG code) {
    char text[512] = {};
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string words(text, n);
    while (!words.empty() && (words.back() == '\r' || words.back() == '\n' || words.back() == '.'))
        words.pop_back();
    return words.empty() ? "error " + std::to_string(code) : words;
}

bool Gone(LONG code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

}  // namespace

RegRead Win32Registry::OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) {
    key = 0;
    HKEY root_key = RootKey(root);
    if (root_key == nullptr) return RegRead::Missing;
    RegKey opened;
    const LONG code = RegOpenKeyExA(root_key, path.c_str(), 0, KEY_READ, opened.Receive());
    if (Gone(code)) return RegRead::Missing;
    if (code != ERROR_SUCCESS || !opened) {
        NoteFailure(RootName(root) + "\\" + path + " cannot be read: " + ErrorText(code) + ".");
        return RegRead::Failed;
    }
    key = reinterpret_cast<RegHandle>(opened.get());
    keys_[key] = std::move(opened);
    return RegRead::Found;
}

RegRead Win32Registry::QueryValue(RegHandle key, const std::string& name, RegValue& value) {
    auto found = keys_.find(key);
    if (found == keys_.end()) return RegRead::Failed;
    DWORD type = 0;
    DWORD size = 0;
    LONG code = RegQueryValueExA(found->second.get(), name.c_str(), nullptr, &type, nullptr, &size);
    std::string data;
    // A value may grow between the two calls: ask again while it does.
    for (int attempt = 0; code == ERROR_SUCCESS || code == ERROR_MORE_DATA; ++attempt) {
        data.resize(size);
        code = RegQueryValueExA(found->second.get(), name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
        if (code == ERROR_SUCCESS) break;
        if (code != ERROR_MORE_DATA || attempt > 8) break;
    }
    if (Gone(code)) return RegRead::Missing;
    if (code != ERROR_SUCCESS) {
        NoteFailure("The value \"" + name + "\" cannot be read: " + ErrorText(code) + ".");
        return RegRead::Failed;
    }
    data.resize(size);
    value = RegValue{name, type, std::move(data), true};
    return RegRead::Found;
}

bool Win32Registry::ListValues(RegHandle key, std::vector<RegValue>& values) {
    auto found = keys_.find(key);
    if (found == keys_.end()) return false;
    values.clear();
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD name_size = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        LONG code = RegEnumValueA(found->second.get(), index, name, &name_size, nullptr, &type,
                                  nullptr, &size);
        if (code == ERROR_NO_MORE_ITEMS) return true;
        if (code != ERROR_SUCCESS) {
            NoteFailure("The values of a key cannot be listed: " + ErrorText(code) + ".");
            return false;
        }
        RegValue value;
        if (QueryValue(key, std::string(name, name_size), value) != RegRead::Found) return false;
        values.push_back(std::move(value));
    }
}

bool Win32Registry::ListSubkeys(RegHandle key, std::vector<std::string>& names) {
    auto found = keys_.find(key);
    if (found == keys_.end()) return false;
    names.clear();
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD name_size = sizeof name;
        LONG code = RegEnumKeyExA(found->second.get(), index, name, &name_size, nullptr, nullptr,
                                  nullptr, nullptr);
        if (code == ERROR_NO_MORE_ITEMS) return true;
        if (code != ERROR_SUCCESS) {
            NoteFailure("The subkeys of a key cannot be listed: " + ErrorText(code) + ".");
            return false;
        }
        names.emplace_back(name, name_size);
    }
}

bool Win32Registry::RemoveDataSource(RegRoot root, const std::string& name) {
    HKEY root_key = RootKey(root);
    if (root_key == nullptr || name.empty()) return false;
    const std::string path = kOdbcIniKey + name;
    // The key first: a data source still listed but without its key is what a failure here
    // leaves, and the next removal finishes it.
    LONG code = RegDeleteTreeA(root_key, path.c_str());
    if (code == ERROR_SUCCESS || Gone(code)) {
        code = RegDeleteKeyA(root_key, path.c_str());
    }
    if (code != ERROR_SUCCESS && !Gone(code)) {
        NoteFailure(RootName(root) + "\\" + path + " cannot be removed: " + ErrorText(code) + ".");
        return false;
    }
    RegKey list;
    code = RegOpenKeyExA(root_key, kDataSourceListKey, 0, KEY_SET_VALUE, list.Receive());
    if (Gone(code)) return true;
    if (code == ERROR_SUCCESS) code = RegDeleteValueA(list.get(), name.c_str());
    if (code != ERROR_SUCCESS && !Gone(code)) {
        NoteFailure(RootName(root) + "\\" + kDataSourceListKey + "\\" + name +
                    " cannot be removed: " + ErrorText(code) + ".");
        return false;
    }
    return true;
}

std::string Win32Registry::ExportPath(RegRoot root, const std::string& path) {
    std::string spelt = path;
    // A 32-bit program on 64-bit Windows reads and writes HKLM\SOFTWARE in the 32-bit view;
    // regedit, a 64-bit program, names that view WOW6432Node. HKCU\SOFTWARE\ODBC is shared.
    BOOL wow64 = FALSE;
    const std::string software = "SOFTWARE\\";
    if (sizeof(void*) == 4 && root == RegRoot::LocalMachine &&
        IsWow64Process(GetCurrentProcess(), &wow64) && wow64 && spelt.size() > software.size() &&
        _strnicmp(spelt.c_str(), "SOFTWARE\\", 9) == 0) {
        spelt = "SOFTWARE\\WOW6432Node\\" + spelt.substr(software.size());
    }
    return RootName(root) + "\\" + spelt;
}

}  // namespace vendaro::win32
