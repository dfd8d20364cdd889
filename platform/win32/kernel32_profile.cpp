#include "platform/win32/kernel32_profile.h"

#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "platform/file_in_use.h"
#include "platform/ini_text.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {

struct Kernel32Profile::Reading {
    explicit Reading(std::string bytes)
        : unicode(bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                        (bytes[0] == '\xFE' && bytes[1] == '\xFF'))),
          doc(std::move(bytes)) {}
    bool unicode;
    ini::Document doc;
};

namespace {

constexpr DWORD kBufferSize = 2048;
// A change within this long after a file's last change may leave its times as they were
// (file times follow a coarse clock), in 100 ns ticks.
constexpr std::uint64_t kSettleTicks = 500'000;  // 50 ms
// File systems that keep whole seconds (FAT keeps two).
constexpr std::uint64_t kSettleCoarseTicks = 21'000'000;
constexpr std::size_t kMaxCachedFiles = 8;

bool HasNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

std::uint64_t Ticks(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

struct FileState {
    std::uint64_t size = 0, write_time = 0, creation_time = 0;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return FileState{(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                     Ticks(info.ftLastWriteTime), Ticks(info.ftCreationTime)};
}

// Owns a kernel handle.
class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != nullptr && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

// Reads a whole regular file with one open; its state before and after the read.
bool ReadFileBytes(const std::string& path, std::string& bytes, FileState* before = nullptr,
                   FileState* after = nullptr) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    if (before != nullptr) *before = StateOf(info);
    bytes.assign(static_cast<std::size_t>(StateOf(info).size) + 1, '\0');
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
    if (after != nullptr) {
        if (!GetFileInformationByHandle(file.get(), &info)) return false;
        *after = StateOf(info);
    }
    return true;
}

// What GetPrivateProfileStringA hands back for a default: cut at a NUL, trailing spaces
// removed, at most the buffer's length.
std::string DefaultValue(std::string_view def) {
    def = def.substr(0, def.find('\0'));
    while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
    return std::string(def.substr(0, ini::kMaxValueChars));
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

// A read answered from one reading (null: the file is missing).
// `likely`: the index of the section the caller expects `section` to name, if it knows one.
std::string Answer(const Kernel32Profile::Reading* reading, std::string_view section,
                   std::string_view key, std::string_view def, const std::string& path,
                   std::size_t likely = SIZE_MAX) {
    if (reading != nullptr) {
        if (reading->unicode) return Kernel32GetString(section, key, def, path);
        if (std::optional<std::string> value = reading->doc.Get(section, key, likely)) {
            return std::move(*value);
        }
    }
    return DefaultValue(def);
}

class Kernel32Snapshot final : public ProfileSnapshot {
  public:
    Kernel32Snapshot(std::shared_ptr<const Kernel32Profile::Reading> reading, std::string path)
        : reading_(std::move(reading)), path_(std::move(path)) {}
    std::optional<std::string_view> Bytes() const override {
        if (!reading_) return std::nullopt;
        return std::string_view(reading_->doc.bytes());
    }
    // Every such line is a header of the parse: no second pass over the lines.
    void ForEachBracketLine(const std::function<void(std::string_view)>& fn) const override {
        if (!reading_) return;
        if (reading_->unicode) return ProfileSnapshot::ForEachBracketLine(fn);
        for (std::size_t i = 0; i < reading_->doc.SectionCount(); ++i) {
            const std::string_view line = reading_->doc.HeaderLine(i);
            if (line.empty() || line.front() != '[') continue;
            visiting_ = i;
            fn(line);
        }
        visiting_ = SIZE_MAX;
    }
    // A read made while `fn` above runs most likely asks for the section being visited.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const override {
        if (HasNul(section) || HasNul(key)) return std::string(def);
        return Answer(reading_.get(), section, key, def, path_, visiting_);
    }

  private:
    std::shared_ptr<const Kernel32Profile::Reading> reading_;
    std::string path_;
    mutable std::size_t visiting_ = SIZE_MAX;
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
    Handle mutex_;
    bool held_ = false;
};

// True for a name kernel32 and the parse read alike and that writes back unchanged: no blank
// at its ends (Wine drops leading ones), nothing that would end it early or make it a header
// or a comment.
bool PlainName(std::string_view name, char stop) {
    return !name.empty() && !ini::IsBlank(name.front()) && !ini::IsBlank(name.back()) &&
           name.front() != '[' && name.front() != ';' && name.find(stop) == std::string_view::npos;
}

bool PlainValue(std::string_view value) {
    return value.empty() || (!ini::IsBlank(value.front()) && !ini::IsBlank(value.back()));
}

// A header line that kernel32 and the parse read alike: one "]", which ends the line when
// `closed` is set.
bool PlainHeader(std::string_view line, bool closed) {
    while (!line.empty() && ini::IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && ini::IsBlank(line.back())) line.remove_suffix(1);
    if (line.empty() || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    return close != std::string_view::npos && line.find(']', close + 1) == std::string_view::npos &&
           (!closed || close + 1 == line.size());
}

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

std::shared_ptr<const Kernel32Profile::Reading> Kernel32Profile::Load(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        cache_.erase(path);
        return nullptr;
    }
    const FileState seen{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                         Ticks(data.ftLastWriteTime), Ticks(data.ftCreationTime)};
    auto matches = [](const Cached& c, const FileState& s) {
        return c.size == s.size && c.write_time == s.write_time &&
               c.creation_time == s.creation_time;
    };
    auto it = cache_.find(path);
    if (it != cache_.end() && it->second.settled && matches(it->second, seen)) {
        return it->second.reading;
    }

    FILETIME now_ft{};
    GetSystemTimeAsFileTime(&now_ft);
    const std::uint64_t now = Ticks(now_ft);
    std::string bytes;
    FileState before, after;
    if (!ReadFileBytes(path, bytes, &before, &after)) {
        cache_.erase(path);
        return nullptr;
    }
    // Settled: the last change lies far enough before this read that any later change gets
    // other times. Until then the parse is reused only after comparing the bytes.
    const std::uint64_t latest = std::max(after.write_time, after.creation_time);
    const bool whole_seconds = after.write_time % 10'000'000 == 0;
    const bool settled = before == after && now > latest &&
                         now - latest > (whole_seconds ? kSettleCoarseTicks : kSettleTicks);
    if (it != cache_.end() && matches(it->second, after) &&
        it->second.reading->doc.bytes() == bytes) {
        it->second.settled = settled;
        return it->second.reading;
    }
    if (it == cache_.end() && cache_.size() >= kMaxCachedFiles) cache_.clear();
    Cached& c = cache_[path];
    c.size = after.size;
    c.write_time = after.write_time;
    c.creation_time = after.creation_time;
    c.settled = settled;
    c.reading = std::make_shared<const Reading>(std::move(bytes));
    return c.reading;
}

void Kernel32Profile::Forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    cache_.clear();
}

std::string Kernel32Profile::GetString(std::string_view section, std::string_view key,
                                       std::string_view def, const std::string& path) {
    if (HasNul(section) || HasNul(key) || HasNul(path)) return std::string(def);
    std::shared_ptr<const Reading> reading;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reading = Load(path);
    }
    return Answer(reading.get(), section, key, def, path);
}

std::unique_ptr<ProfileSnapshot> Kernel32Profile::Snapshot(const std::string& path) {
    if (HasNul(path)) return std::make_unique<Kernel32Snapshot>(nullptr, path);
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<Kernel32Snapshot>(Load(path), path);
}

bool Kernel32Profile::SetString(std::string_view section, std::string_view key,
                                std::string_view value, const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value) ||
        HasNul(path)) {
        return false;
    }
    const std::string section_z(section), key_z(key), value_z(value);
    FileMutex lock(path);
    if (!lock.held()) return false;
    Forget();
    return WritePrivateProfileStringA(section_z.c_str(), key_z.c_str(), value_z.c_str(),
                                      path.c_str()) != FALSE;
}

bool Kernel32Profile::DeleteKey(std::string_view section, std::string_view key,
                                const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HasNul(path)) return false;
    const std::string section_z(section), key_z(key);
    FileMutex lock(path);
    if (!lock.held()) return false;
    Forget();
    return WritePrivateProfileStringA(section_z.c_str(), key_z.c_str(), nullptr, path.c_str()) !=
           FALSE;
}

bool Kernel32Profile::DeleteSection(std::string_view section, const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HasNul(path)) return false;
    const std::string section_z(section);
    FileMutex lock(path);
    if (!lock.held()) return false;
    Forget();
    return WritePrivateProfileStringA(section_z.c_str(), nullptr, nullptr, path.c_str()) != FALSE;
}

std::size_t Kernel32Profile::WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                                       const std::string& path) {
    const std::size_t valid = WritableEdits(section, edits);
    if (valid == 0 || HasNul(path)) return 0;
    const std::span<const KeyEdit> made = edits.first(valid);
    FileMutex lock(path);
    if (!lock.held()) return 0;
    std::optional<bool> ok = WriteAsSection(section, made, path);
    Forget();
    if (ok) {
        if (!*ok) return 0;
        ++section_writes_;
        return valid;
    }
    // Key by key; each write takes the mutex again, which this thread already holds.
    return Profile::WriteKeys(section, made, path);
}

bool Kernel32Profile::WriteKeysAndRemoveSection(std::string_view section,
                                                std::span<const KeyEdit> edits,
                                                std::string_view removed, const std::string& path) {
    if (HasNul(path)) return false;
    FileMutex lock(path);
    if (!lock.held()) return false;
    // Each write takes the mutex again, which this thread already holds.
    return Profile::WriteKeysAndRemoveSection(section, edits, removed, path);
}

std::optional<bool> Kernel32Profile::WriteAsSection(std::string_view section,
                                                    std::span<const KeyEdit> edits,
                                                    const std::string& path) {
    if (!PlainName(section, ']')) return std::nullopt;
    for (const KeyEdit& edit : edits) {
        if (!PlainName(edit.key, '=') || (!edit.remove && !PlainValue(edit.value))) {
            return std::nullopt;
        }
    }
    // The parse the reads use (the editor has just read the script), checked against the file.
    std::shared_ptr<const Reading> reading;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reading = Load(path);
    }
    // A file that exists but cannot be read could hold the section: key by key then.
    if (!reading && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    static const ini::Document kEmpty;
    const ini::Document& doc = reading ? reading->doc : kEmpty;
    // A byte-order mark makes kernel32 read the file otherwise than the parse.
    const std::string& bytes = doc.bytes();
    if (bytes.size() >= 2 && (bytes[0] == '\xEF' || bytes[0] == '\xFF' || bytes[0] == '\xFE')) {
        return std::nullopt;
    }
    const ini::Document::SectionLines where = doc.FindSectionLines(section);
    if (where.count > 1) return std::nullopt;  // kernel32 would empty every one of them

    // The section's keys as kernel32 holds them: trimmed name and value.
    std::vector<std::pair<std::string_view, std::string_view>> keys;
    if (where.count == 1) {
        if (!PlainHeader(doc.LineText(where.header), true)) return std::nullopt;
        // Wine reads a line of "[" without "]" as a key of the section before it.
        if (where.end < doc.LineCount() && !PlainHeader(doc.LineText(where.end), false)) {
            return std::nullopt;
        }
        bool blank_seen = false;
        for (std::size_t i = where.header + 1; i < where.end; ++i) {
            const std::string_view line = doc.LineText(i);
            const ini::LineParts parts = ini::ClassifyLine(line, 0, line.size());
            if (parts.kind == ini::LineKind::Blank) {
                blank_seen = true;
                continue;
            }
            // Comments, lines without "=", empty names and NULs are kept or dropped otherwise
            // by a section write; blank lines between keys may be kept by Windows.
            if (blank_seen || parts.kind != ini::LineKind::Key ||
                parts.name_begin == parts.name_end || HasNul(line)) {
                return std::nullopt;
            }
            keys.emplace_back(line.substr(parts.name_begin, parts.name_end - parts.name_begin),
                              line.substr(parts.value_begin, parts.value_end - parts.value_begin));
        }
    }
    const auto before = keys;
    for (const KeyEdit& edit : edits) {
        auto it = std::find_if(keys.begin(), keys.end(),
                               [&](const auto& k) { return ini::NamesEqual(k.first, edit.key); });
        if (edit.remove) {
            if (it != keys.end()) keys.erase(it);
        } else if (it != keys.end()) {
            it->second = edit.value;  // the key keeps the spelling it has in the file
        } else {
            keys.emplace_back(edit.key, edit.value);
        }
    }
    if (keys == before) return true;  // key by key would not have written either

    std::string lines;
    for (const auto& [name, value] : keys)
        lines.append(name).append("=").append(value).append(1, '\0');
    lines.append(1, '\0');
    const std::string section_z(section);
    return WritePrivateProfileSectionA(section_z.c_str(), lines.data(), path.c_str()) != FALSE;
}

std::optional<std::string> Kernel32Profile::ReadAll(const std::string& path) {
    if (HasNul(path)) return std::nullopt;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return std::nullopt;
    return bytes;
}

bool Kernel32Profile::Append(const std::string& path, std::string_view bytes) {
    if (HasNul(path)) return false;
    FileMutex lock(path);
    if (!lock.held()) return false;
    Forget();
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
