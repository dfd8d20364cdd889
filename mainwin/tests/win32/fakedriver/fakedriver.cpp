// A stand-in ODBC driver setup library for the end-to-end test: each ConfigDSN call of the
// installer appends "<request>|<parent window: 0 or 1>|<driver>|<attributes, ';' between them>"
// to configdsn.log beside the library.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

extern "C" __declspec(dllexport) BOOL WINAPI
    ConfigDSN(HWND parent, WORD request, LPCSTR driver, LPCSTR attributes) {
    HMODULE self = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ConfigDSN), &self);
    char path[MAX_PATH] = {};
    const std::string library(path, GetModuleFileNameA(self, path, MAX_PATH));
    std::string line = std::to_string(request) + "|" + (parent != nullptr ? "1|" : "0|") + driver;
    for (const char* entry = attributes; *entry != '\0'; entry += std::strlen(entry) + 1) {
        line += (entry == attributes ? "|" : ";") + std::string(entry);
    }
    std::ofstream(library.substr(0, library.rfind('\\') + 1) + "configdsn.log", std::ios::app)
        << line << "\n";
    return TRUE;
}
