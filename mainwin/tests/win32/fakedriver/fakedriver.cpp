// A stand-in ODBC driver setup library for the end-to-end tests. Registered under the driver
// names the program serves, it receives the installer's ConfigDSN calls and appends one line
// per call to "configdsn.log" beside itself:
//   <request>|<parent window: 0 or 1>|<driver name>|<attributes, ';' between them>
#include <windows.h>

#include <string>

namespace {

HMODULE g_module = nullptr;

std::string LogPath() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string file(path, length);
    std::size_t slash = file.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : file.substr(0, slash + 1)) +
           "configdsn.log";
}

void Append(const std::string& line) {
    HANDLE file = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

// The attribute list: NUL-terminated entries, ended by an empty one.
std::string Attributes(const char* list) {
    std::string joined;
    if (list == nullptr) return "<null>";
    for (const char* entry = list; *entry != '\0'; entry += std::string(entry).size() + 1) {
        if (!joined.empty()) joined += ';';
        joined += entry;
    }
    return joined;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI ConfigDSN(HWND parent, WORD request,
                                                        LPCSTR driver, LPCSTR attributes) {
    Append(std::to_string(request) + "|" + (parent != nullptr ? "1" : "0") + "|" +
           (driver != nullptr ? driver : "<null>") + "|" + Attributes(attributes) + "\r\n");
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI ConfigDriver(HWND, WORD, LPCSTR, LPCSTR, LPSTR,
                                                           WORD, WORD* out_length) {
    if (out_length != nullptr) *out_length = 0;
    return TRUE;
}
