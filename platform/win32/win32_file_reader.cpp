#include "platform/win32/win32_file_reader.h"

#include <algorithm>

#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {
namespace {

// The state of an open file; nullopt for a folder.
std::optional<FileState> StateOfOpen(HANDLE file) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) ||
        standard.Directory) {
        return std::nullopt;
    }
    return FileState{.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart),
                     .write_ns = NanosOfFileTime(basic.LastWriteTime.QuadPart),
                     .change_ns = NanosOfFileTime(basic.ChangeTime.QuadPart),
                     .creation_ns = NanosOfFileTime(basic.CreationTime.QuadPart)};
}

}  // namespace

std::optional<FileState> Win32FileReader::StateOf(const std::string& path) {
    const KernelHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));  // a folder opens too, to be refused
    if (!file.valid()) return std::nullopt;
    return StateOfOpen(file.get());
}

bool Win32FileReader::ReadOnce(const std::string& path, std::string& bytes, FileState& before,
                               FileState& after) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const std::optional<FileState> first = StateOfOpen(file.get());
    if (!first) return false;
    bytes.assign(static_cast<std::size_t>(first->size) + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - used, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + used, want, &got, nullptr)) return false;
        if (got == 0) break;
        used += got;
    }
    bytes.resize(used);
    const std::optional<FileState> last = StateOfOpen(file.get());
    if (!last) return false;
    before = *first;
    after = *last;
    return true;
}

std::int64_t Win32FileReader::NowNs() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return NanosOfFileTime(static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime));
}

Win32FileReader& SystemFileReader() {
    static Win32FileReader reader;
    return reader;
}

}  // namespace vendaro::win32
