#pragma once
// Parses of recently read files, reused while a file's state (identity, size, times) is
// unchanged: start-up reads two keys per script, and one parse answers them all. A parse of a
// file changed too recently for its times to tell a later change apart is only reused after
// comparing the bytes. The platform reads the files (FileReader); the rules are here, once.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/ini_text.h"

namespace vendaro {

// What a reading of a file is kept by. Times are nanoseconds since 1970; the change time moves
// with every write, also one that puts the write time back, as copying and syncing tools do.
struct FileState {
    std::uint64_t device = 0, file = 0, size = 0;
    std::int64_t write_ns = 0, change_ns = 0, creation_ns = 0;
    bool operator==(const FileState&) const = default;
};

// A Windows file time (100 ns ticks since 1601) as nanoseconds since 1970. A time before 1970
// counts as 1970: file systems that keep no change time give 0, which in nanoseconds since
// 1970 would not fit 64 bits.
constexpr std::int64_t NanosOfFileTime(std::int64_t ticks) {
    constexpr std::int64_t kTicksTo1970 = 116'444'736'000'000'000;
    return ticks < kTicksTo1970 ? 0 : (ticks - kTicksTo1970) * 100;
}

// How the platform reads files for the cache.
class FileReader {
  public:
    virtual ~FileReader() = default;
    // The state of the regular file at `path`; nullopt when it is missing or not a regular file.
    virtual std::optional<FileState> StateOf(const std::string& path) = 0;
    // Reads the whole regular file with one open, and its state before and after the read.
    virtual bool ReadOnce(const std::string& path, std::string& bytes, FileState& before,
                          FileState& after) = 0;
    // The clock file times follow, in nanoseconds since 1970.
    virtual std::int64_t NowNs() = 0;
};

// Reads a whole regular file; one that changes while it is read (another program rewriting it
// in place) is read again, so the bytes are one version of it. `before`/`after`: the state of
// the file around the read that was kept.
bool ReadStable(FileReader& reader, const std::string& path, std::string& bytes,
                FileState* before = nullptr, FileState* after = nullptr);

class ParseCache {
  public:
    // Always: a parse is kept until the file changes. WhileUsed: only while a caller holds it
    // (a library's parse costs more memory than the file, and a window open for hours need not
    // hold it).
    enum class Keep { Always, WhileUsed };
    explicit ParseCache(FileReader& reader, Keep keep = Keep::Always)
        : reader_(reader), keep_(keep) {}
    // The parse of the file at `path` as it is now (a UTF-16 file as the engine's 8-bit text);
    // null when it is missing, not a regular file or unreadable.
    std::shared_ptr<const ini::Document> Load(const std::string& path);
    // Forgets every parse (the file was written).
    void Clear() { entries_.clear(); }

  private:
    struct Entry {
        FileState state;       // of the file as it was read
        bool settled = false;  // old enough that any later change moves its times
        std::shared_ptr<const ini::Document> kept;
        std::weak_ptr<const ini::Document> used;
    };
    FileReader& reader_;
    Keep keep_;
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace vendaro
