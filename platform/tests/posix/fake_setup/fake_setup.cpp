// A driver setup library for the tests. Its ConfigDSN writes odbc.ini through unixODBC's
// profile functions, as the setup libraries of real drivers do: it sets "SetupBy" to the
// driver name, changes "Server" to "checked" and removes "Obsolete". With $VENDARO_FAKE_SETUP_ALSO
// naming a file, it first appends a section to that file, as another program writing at the same
// moment would. $VENDARO_FAKE_SETUP_SLEEP_MS makes it take that long after its writes (a run to
// kill meanwhile); $VENDARO_FAKE_SETUP_FILL names a file it then grows until the disk is full;
// with $VENDARO_FAKE_SETUP_UNLIST set it also removes the data source from the list.
#include <odbcinst.h>
#include <unistd.h>

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
    const BOOL ok = SQLWritePrivateProfileString(dsn, "SetupBy", driver, "odbc.ini") &&
                    SQLWritePrivateProfileString(dsn, "Server", "checked", "odbc.ini") &&
                    SQLWritePrivateProfileString(dsn, "Obsolete", nullptr, "odbc.ini") &&
                    (std::getenv("VENDARO_FAKE_SETUP_UNLIST") == nullptr ||
                     SQLWritePrivateProfileString("ODBC Data Sources", dsn, nullptr, "odbc.ini"));
    if (const char* fill = std::getenv("VENDARO_FAKE_SETUP_FILL")) {
        if (std::FILE* f = std::fopen(fill, "wb")) {
            static const char block[4096] = {};
            while (std::fwrite(block, 1, sizeof block, f) == sizeof block && std::fflush(f) == 0) {
            }
            std::fclose(f);
        }
    }
    if (const char* ms = std::getenv("VENDARO_FAKE_SETUP_SLEEP_MS")) {
        ::usleep(static_cast<useconds_t>(std::atoi(ms)) * 1000);
    }
    return ok;
}
