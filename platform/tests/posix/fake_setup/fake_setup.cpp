// A driver setup library for the tests. Its ConfigDSN writes odbc.ini through unixODBC's
// profile functions, as the setup libraries of real drivers do: it sets "SetupBy" to the
// driver name, changes "Server" to "checked" and removes "Obsolete". With $VENDARO_FAKE_SETUP_ALSO
// naming a file, it first appends a section to that file, as another program writing at the same
// moment would.
#include <odbcinst.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" BOOL ConfigDSN(HWND, WORD request, LPCSTR driver, LPCSTR attributes) {
    if (request != ODBC_ADD_DSN && request != ODBC_CONFIG_DSN) return 0;
    if (attributes == nullptr || std::strncmp(attributes, "DSN=", 4) != 0) return 0;
    const char* dsn = attributes + 4;
    if (const char* other = std::getenv("VENDARO_FAKE_SETUP_ALSO")) {
        if (std::FILE* f = std::fopen(other, "ab")) {
            std::fputs("\n[Meanwhile]\nWrittenBy=another run\n", f);
            std::fclose(f);
        }
    }
    return SQLWritePrivateProfileString(dsn, "SetupBy", driver, "odbc.ini") &&
           SQLWritePrivateProfileString(dsn, "Server", "checked", "odbc.ini") &&
           SQLWritePrivateProfileString(dsn, "Obsolete", nullptr, "odbc.ini");
}
