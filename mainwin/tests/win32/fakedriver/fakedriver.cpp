// A stand-in ODBC driver setup library for the end-to-end test: each ConfigDSN call of the
// installer appends "<request>|<parent window: 0 or 1>|<driver>|<attributes, ';' between them>"
// to C:\fake\configdsn.log, where the test puts the library.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

extern "C" __declspec(dllexport) BOOL WINAPI
    ConfigDSN(HWND parent, WORD request, LPCSTR driver, LPCSTR attributes) {
    std::string line = std::to_string(request) + "|" + (parent != nullptr ? "1|" : "0|") + driver;
    for (const char* entry = attributes; *entry != '\0'; entry += std::strlen(entry) + 1) {
        line += (entry == attributes ? "|" : ";") + std::string(entry);
    }
    std::ofstream("C:\\fake\\configdsn.log", std::ios::app) << line << "\n";
    return TRUE;
}
