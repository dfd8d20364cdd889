#pragma once
// The profile functions on POSIX, on the shared INI text engine. A write never leaves a
// half-written file: the new content goes to a temporary file in the same directory, which
// then replaces the old one (keeping its permissions). Each read-modify-write holds a FileLock
// on the file, so concurrent processes lose no write. The temporary files of a writer that was
// killed before its rename are removed by the first write of the next one.
//
// Reads go through a ParseCache; every write of this process drops it. A change made by
// another program is seen by the next call (by the next snapshot for reads made through one).
//
// An editor's Save writes some 27 keys of one section; WriteKeys makes them as one change of
// the file, so a large file is read, parsed, written and synced once per Save, not per key.
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>

#include "platform/posix/file_system.h"
#include "platform/posix/parse_cache.h"
#include "platform/profile.h"

namespace vendaro {

// How the lines a write adds or changes end: in CR LF, as the Windows profile functions write
// them, or as the file's first line ends (LF for a new file), as other programs' INI files do.
enum class WrittenLineEnds { CrLf, AsFile };

class FileProfile final : public Profile {
  public:
    // `files`: what the writes create, fill and rename files with; it must outlive the profile.
    explicit FileProfile(FileSystem& files = SystemFileSystem(),
                         WrittenLineEnds line_ends = WrittenLineEnds::CrLf)
        : files_(files), line_ends_(line_ends) {}

    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override;
    // Refuses (returns false, changes nothing) a section, key or value holding CR, LF or NUL.
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override;
    // Refuses a section or key holding CR, LF or NUL.
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override;
    // Refuses a section holding CR, LF or NUL.
    bool DeleteSection(std::string_view section, const std::string& path) override;
    std::optional<std::string> ReadAll(const std::string& path) override;
    bool Append(const std::string& path, std::string_view bytes) override;
    // One lock, one reading and one replacement of the file for all the edits it makes. Stops
    // before the first edit holding CR, LF or NUL (the ones before it are made); a failed
    // replacement makes none (the file is as it was) and returns 0.
    std::size_t WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                          const std::string& path) override;
    // One lock, one reading and one replacement for the edits and the removal; nothing is made
    // when an edit holds CR, LF or NUL.
    bool WriteKeysAndRemoveSection(std::string_view section, std::span<const KeyEdit> edits,
                                   std::string_view removed, const std::string& path) override;
    // The parse of the file that later reads would use (one stat, at most one read).
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string& path) override;

    // The errno of the last failed write (0 after a successful one).
    int last_error() const { return last_error_; }

  private:
    // Returns the new bytes, or nullopt when nothing changes; `old` is null for a missing file.
    using Edit = std::function<std::optional<std::string>(const std::string* old)>;

    bool Modify(const std::string& path, const Edit& edit);
    // The line end of the lines an edit of `old` (null for a missing file) writes.
    std::string_view LineEndFor(const std::string* old) const;
    bool ModifyLocked(const std::string& path, const Edit& edit);
    bool Replace(const std::string& target, const std::string& bytes, const void* old_stat);
    void RemoveOrphans(const std::string& target);
    bool Fail(int error);

    FileSystem& files_;

    WrittenLineEnds line_ends_;
    std::mutex mutex_;
    ParseCache cache_;
    int last_error_ = 0;
    unsigned temp_counter_ = 0;
    std::unordered_set<std::string> swept_;  // files whose orphaned temporaries are gone
};

}  // namespace vendaro
