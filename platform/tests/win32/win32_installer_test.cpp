// The system directory and the ODBC installer call on the real system.
#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>

#include "platform/win32/win32_installer.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {

TEST_CASE("the system directory is GetSystemDirectoryA's text, cut at its NUL") {
    Win32Installer installer;
    char expected[MAX_PATH] = {};
    GetSystemDirectoryA(expected, MAX_PATH);
    std::string directory = installer.SystemDirectory();
    CHECK(directory == expected);
    CHECK(directory.find('\0') == std::string::npos);
    std::string lower = directory;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    CHECK(lower.size() > 9);
    CHECK(lower.substr(lower.size() - 9) == "\\system32");
}

TEST_CASE("an unregistered driver makes the installer answer false at once") {
    Win32Installer installer;
    std::string attributes = std::string("DSN=VendaroNoSuchDriver") + '\0';
    CHECK_FALSE(installer.ConfigDataSource(0, ODBC_ADD_DSN_REQUEST,
                                           "Vendaro Driver That Does Not Exist", attributes));
}

}  // namespace vendaro::win32
