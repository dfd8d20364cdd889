#include "platform/win32/win32_installer.h"

#include "platform/win32/windows_api.h"

#include <odbcinst.h>

namespace vendaro::win32 {

bool Win32Installer::ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                                      const std::string& attributes) {
    // `attributes` ends in its own NUL; the string's terminator adds the second one that ends
    // the attribute list.
    return SQLConfigDataSource(reinterpret_cast<HWND>(parent), static_cast<WORD>(request),
                               driver.c_str(), attributes.c_str()) != FALSE;
}

std::string Win32Installer::SystemDirectory() {
    char buffer[256] = {};
    GetSystemDirectoryA(buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

}  // namespace vendaro::win32
