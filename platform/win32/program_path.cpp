#include "platform/program_path.h"

#include "platform/win32/windows_api.h"

namespace vendaro {

std::string ProgramPath() {
    // GetModuleFileNameA cuts a long path to the buffer and says so by filling it: grow until
    // the path fits (the system's limit is 32767 characters).
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::string buffer(size, '\0');
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (n == 0) return std::string();
        if (n < size) {
            buffer.resize(n);
            return buffer;
        }
    }
    return std::string();
}

}  // namespace vendaro
