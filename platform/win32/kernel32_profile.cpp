#include "platform/win32/kernel32_profile.h"

#include <io.h>

#include <cstdio>

#include "platform/win32/windows_api.h"

namespace vendaro::win32 {

namespace {

constexpr DWORD kBufferSize = 2048;

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool HasNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::string Kernel32Profile::GetString(std::string_view section, std::string_view key,
                                       std::string_view def, const std::string& path) {
    if (HasNul(section) || HasNul(key) || HasNul(path)) return std::string(def);
    const std::string section_z(section), key_z(key), def_z(def);
    // Filled with blanks first, as the program always has: only the first N characters, N
    // being what the function reports, are the value.
    std::string buffer(kBufferSize, ' ');
    DWORD n = GetPrivateProfileStringA(section_z.c_str(), key_z.c_str(), def_z.c_str(),
                                       buffer.data(), kBufferSize, path.c_str());
    if (n >= kBufferSize) n = kBufferSize - 1;
    buffer.resize(n);
    return buffer;
}

bool Kernel32Profile::SetString(std::string_view section, std::string_view key,
                                std::string_view value, const std::string& path) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value) ||
        HasNul(path)) {
        return false;
    }
    const std::string section_z(section), key_z(key), value_z(value);
    return WritePrivateProfileStringA(section_z.c_str(), key_z.c_str(), value_z.c_str(),
                                      path.c_str()) != FALSE;
}

bool Kernel32Profile::DeleteKey(std::string_view section, std::string_view key,
                                const std::string& path) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasNul(path)) return false;
    const std::string section_z(section), key_z(key);
    return WritePrivateProfileStringA(section_z.c_str(), key_z.c_str(), nullptr, path.c_str()) !=
           FALSE;
}

bool Kernel32Profile::DeleteSection(std::string_view section, const std::string& path) {
    if (HasLineBreakOrNul(section) || HasNul(path)) return false;
    const std::string section_z(section);
    return WritePrivateProfileStringA(section_z.c_str(), nullptr, nullptr, path.c_str()) != FALSE;
}

std::optional<std::string> Kernel32Profile::ReadAll(const std::string& path) {
    if (HasNul(path)) return std::nullopt;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string bytes;
    char chunk[8192];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

bool Kernel32Profile::Append(const std::string& path, std::string_view bytes) {
    if (HasNul(path)) return false;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return false;
    // Where the old content ends, so that a failed write can be cut off again.
    long long old_size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) old_size = _ftelli64(file);
    bool ok = old_size >= 0;
    if (ok && !bytes.empty()) {
        ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok = std::fflush(file) == 0 && ok;
        if (!ok) _chsize_s(_fileno(file), old_size);
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace vendaro::win32
