#include "platform/win32/file_replace.h"

#include <algorithm>
#include <vector>

#include "platform/failure.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {
namespace {

constexpr wchar_t kTempMark[] = L".~vdr";  // <file>.~vdr<process id>.tmp
// Another program may hold the file open for a moment without letting it be replaced.
constexpr int kBusyTries = 40;
constexpr DWORD kBusyPauseMs = 25;

std::wstring Wide(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

// Words for why writing `path` failed with `error`.
std::string Why(const std::string& path, DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return path + " cannot be written: access is denied.";
        case ERROR_PATH_NOT_FOUND:
            return "The folder of " + path + " does not exist.";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return path + " cannot be written: the disk is full.";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return path + " is in use by another program.";
        case ERROR_WRITE_PROTECT:
            return path + " cannot be written: the disk is write-protected.";
        default:
            return path + " cannot be written (Windows error " + std::to_string(error) + ").";
    }
}

bool Fail(const std::string& path, DWORD error) {
    NoteFailure(Why(path, error));
    return false;
}

// Removes the temporaries of `target` that killed writers left.
void RemoveOrphans(const std::wstring& target) {
    const std::wstring pattern = target + kTempMark + L"*.tmp";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    do {
        DeleteFileW((dir + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Writes, flushes and closes `temp`; false with the error set.
bool WriteNew(const std::wstring& temp, std::string_view bytes) {
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        ok = WriteFile(file, bytes.data() + written, want, &done, nullptr) != FALSE && done > 0;
        written += done;
    }
    ok = ok && FlushFileBuffers(file) != FALSE;
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return ok;
}

// Gives `temp` what the file `target` has besides its bytes: its security (owner, group and
// access list), its attributes and its creation time. False, with the error set, when the
// access list cannot be kept.
bool TakeOver(const std::wstring& target, const std::wstring& temp) {
    constexpr SECURITY_INFORMATION kAll =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    GetFileSecurityW(target.c_str(), kAll, nullptr, 0, &needed);
    if (needed > 0) {
        std::vector<unsigned char> security(needed);
        const auto descriptor = static_cast<PSECURITY_DESCRIPTOR>(security.data());
        if (!GetFileSecurityW(target.c_str(), kAll, descriptor, needed, &needed)) return false;
        // Only an owner may be given away by whoever holds the right to; the access list
        // always can be kept by the file's writer.
        if (!SetFileSecurityW(temp.c_str(), kAll, descriptor) &&
            !SetFileSecurityW(temp.c_str(), DACL_SECURITY_INFORMATION, descriptor)) {
            return false;
        }
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) return false;
    HANDLE file =
        CreateFileW(temp.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFileTime(file, &data.ftCreationTime, nullptr, nullptr);
        CloseHandle(file);
    }
    // Hidden, system or archive: the new file is marked as the old one was.
    return SetFileAttributesW(temp.c_str(), data.dwFileAttributes) != FALSE;
}

}  // namespace

bool ReplaceFileBytes(const std::string& path, std::string_view bytes, bool exists) {
    const std::wstring target = Wide(path);
    RemoveOrphans(target);
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (exists) {
        attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(path, GetLastError());
        // kernel32 would not write it either; replacing it would undo the user's protection.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            NoteFailure(path + " is read-only.");
            return false;
        }
        // The right to write the file itself, which a replacement by rename would not ask for.
        HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return Fail(path, GetLastError());
        CloseHandle(probe);
    }
    const std::wstring temp = target + kTempMark + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    if (!WriteNew(temp, bytes)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        return Fail(path, error);
    }
    if (exists && !TakeOver(target, temp)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        return Fail(path, error);
    }
    // A rename over the old file: it is there until the new one is, at every moment.
    // (ReplaceFileW moves the old file aside first, under Wine at least.)
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (exists ? MOVEFILE_REPLACE_EXISTING : 0);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kBusyTries; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(), flags) != FALSE) return true;
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
            error != ERROR_ACCESS_DENIED) {
            break;
        }
        Sleep(kBusyPauseMs);
    }
    DeleteFileW(temp.c_str());
    return Fail(path, error);
}

}  // namespace vendaro::win32
