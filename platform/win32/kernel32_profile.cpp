#include "platform/win32/kernel32_profile.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <utility>

#include "platform/document_snapshot.h"
#include "platform/failure.h"
#include "platform/file_in_use.h"
#include "platform/file_text.h"
#include "platform/ini_text.h"
#include "platform/win32/file_replace.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {
namespace {

constexpr DWORD kBufferSize = 2048;

bool HasNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::string Kernel32GetString(std::string_view section, std::string_view key, std::string_view def,
                              const std::string& path) {
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

namespace {

// Reads from one parse; a section or key holding NUL reads as `def`, as kernel32, which sees
// C strings, would answer for another name.
class Kernel32Snapshot final : public DocumentSnapshot {
  public:
    using DocumentSnapshot::DocumentSnapshot;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const override {
        if (HasNul(section) || HasNul(key)) return std::string(def);
        return DocumentSnapshot::GetString(section, key, def);
    }
    ini::SectionKeys KeysOf(std::string_view section) const override {
        return HasNul(section) ? ini::SectionKeys() : DocumentSnapshot::KeysOf(section);
    }
};

// Holds the named mutex of one file for its lifetime.
class FileMutex {
  public:
    explicit FileMutex(const std::string& path) : mutex_(Open(ProfileMutexName(path))) {
        if (!mutex_.valid()) return;
        const DWORD wait_ms = static_cast<DWORD>(
            std::chrono::duration_cast<std::chrono::milliseconds>(kFileInUseWait).count());
        const DWORD result = WaitForSingleObject(mutex_.get(), wait_ms);
        // An abandoned mutex is ours: its holder ended, and kernel32 left the file whole or
        // not written.
        held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        if (result == WAIT_TIMEOUT) NoteFileInUse(path);
    }
    ~FileMutex() {
        if (held_) ReleaseMutex(mutex_.get());
    }
    FileMutex(const FileMutex&) = delete;
    FileMutex& operator=(const FileMutex&) = delete;
    bool held() const { return held_; }

  private:
    // In the global namespace, so programs of every session share it; in the session's own
    // when another user holds that name.
    static HANDLE Open(const std::string& name) {
        HANDLE h = CreateMutexA(nullptr, FALSE, ("Global\\" + name).c_str());
        if (h == nullptr) h = CreateMutexA(nullptr, FALSE, ("Local\\" + name).c_str());
        return h;
    }
    KernelHandle mutex_;
    bool held_ = false;
};

}  // namespace

std::string ProfileMutexName(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n + 1);
        n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size()) {
        full = path;
    } else {
        full.resize(n);
    }
    // Folded as the file system compares names: upper case, in UTF-16.
    std::wstring wide(full.size() + 1, L'\0');
    const int chars = MultiByteToWideChar(CP_ACP, 0, full.data(), static_cast<int>(full.size()),
                                          wide.data(), static_cast<int>(wide.size()));
    wide.resize(chars > 0 ? static_cast<std::size_t>(chars) : 0);
    if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    // A mutex name holds no backslash and at most MAX_PATH characters: a hash of the path.
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 units
    for (wchar_t c : wide) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, "Vendaro.Profile.%016llx",
                  static_cast<unsigned long long>(hash));
    return name;
}

bool Kernel32Profile::RefuseLineBreak(const std::string& path, const char* why) {
    NoteFailure(path + ": " + why + ".");
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

void Kernel32Profile::Forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    cache_.Clear();
}

std::string Kernel32Profile::GetString(std::string_view section, std::string_view key,
                                       std::string_view def, const std::string& path) {
    if (HasNul(section) || HasNul(key) || HasNul(path)) return std::string(def);
    std::shared_ptr<const ini::Document> doc;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        doc = cache_.Load(path);
    }
    return ValueOrDefault(doc.get(), section, key, def);
}

std::unique_ptr<ProfileSnapshot> Kernel32Profile::Snapshot(const std::string& path) {
    if (HasNul(path)) return std::make_unique<Kernel32Snapshot>(nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<Kernel32Snapshot>(cache_.Load(path));
}

bool Kernel32Profile::Modify(const std::string& path, const Edit& edit) {
    if (HasNul(path) || path.empty()) return false;
    try {
        return RewriteFile(path, edit);
    } catch (const std::bad_alloc&) {
        Forget();
        NoteFailure(path + " is too large for the memory of this program; it was not changed.");
        return false;
    }
}

bool Kernel32Profile::RewriteFile(const std::string& path, const Edit& edit) {
    FileMutex lock(path);
    if (!lock.held()) return false;
    Forget();
    std::string old_bytes;
    const bool exists = ReadStable(SystemFileReader(), path, old_bytes);
    if (!exists) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            // There but unreadable (a folder, no right to read): it may hold what an edit keeps.
            NoteFailure((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                            ? path + " is a folder."
                            : path + " cannot be read (Windows error " + std::to_string(error) +
                                  ").");
            return false;
        }
    }
    ini::FileText old;
    if (exists) old = ini::DecodeFileText(std::move(old_bytes));
    std::optional<std::string> text = edit(exists ? &old.text : nullptr);
    if (!text) return true;
    if (std::string why = ini::WhyNotRewritable(old, path); !why.empty()) {
        NoteFailure(std::move(why));
        return false;
    }
    const bool ok = ReplaceFileBytes(path, ini::EncodeFileText(old.encoding, *text), exists);
    Forget();
    return ok;
}

std::optional<std::string> Kernel32Profile::ReadAll(const std::string& path) {
    if (HasNul(path)) return std::nullopt;
    std::string bytes;
    if (!ReadStable(SystemFileReader(), path, bytes)) return std::nullopt;
    return ini::DecodeFileText(std::move(bytes)).text;
}

}  // namespace vendaro::win32
