#pragma once
// The profile functions on POSIX, on the shared INI text engine. A write never leaves a
// half-written file: the new content goes to a temporary file in the same directory, which
// then replaces the old one (keeping its permissions). Each read-modify-write holds a FileLock
// on the file, so concurrent processes lose no write. The temporary files of a writer that was
// killed before its rename are removed by the first write of the next one.
//
// Programs that write the file in place without a lock (unixODBC's ini library truncates and
// rewrites it) are guarded against too: just before the rename, under a read lease (which no
// writer holds the file open against, and which makes a new writer wait), the file's bytes are
// read again and must be the bytes edited; otherwise the write starts again, a bounded number
// of times. Where the process cannot give the new file the old one's owner and group, the file
// is rewritten in place instead, under the lock, after the same check.
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
#include <span>
#include <string>
#include <unordered_set>

#include "platform/parse_cache.h"
#include "platform/posix/file_system.h"
#include "platform/posix/posix_file_reader.h"
#include "platform/profile.h"
#include "platform/rewriting_profile.h"

namespace vendaro {

// How the lines a write adds or changes end: in CR LF, as the Windows profile functions write
// them, or as the file's first line ends (LF for a new file), as other programs' INI files do.
enum class WrittenLineEnds { CrLf, AsFile };

// The mode of a file a write creates: as the umask allows, or readable by its owner only (a
// file that will hold passwords).
enum class NewFileMode { Umask, Private };

// Looks at a file's bytes before an edit; a non-empty answer refuses the write and says why
// ("line 7 ...").
using ContentCheck = std::function<std::string(std::string_view bytes)>;

class FileProfile final : public RewritingProfile {
  public:
    // `files`: what the writes create, fill and rename files with; it must outlive the profile.
    explicit FileProfile(FileSystem& files = SystemFileSystem(),
                         WrittenLineEnds line_ends = WrittenLineEnds::CrLf,
                         NewFileMode new_files = NewFileMode::Umask)
        : files_(files), line_ends_(line_ends), new_files_(new_files) {}

    // Every write first passes the file's bytes through `check`.
    void set_content_check(ContentCheck check) { check_ = std::move(check); }

    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override;
    std::optional<std::string> ReadAll(const std::string& path) override;
    // The edits of several sections as one change of the file: all made, or none (the file as
    // it was). A section without edits is made bare when missing. Edits must be writable
    // (WritableEdits).
    struct SectionEdits {
        std::string_view section;
        std::span<const KeyEdit> edits;
    };
    bool WriteSections(std::span<const SectionEdits> sections, const std::string& path);
    // The parse of the file that later reads would use (one stat, at most one read).
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string& path) override;

    // Replaces the file by what `edit` makes of its bytes (null: a missing file), as one change
    // under the lock, as every write here is; `edit` answers nullopt for no change.
    bool Rewrite(const std::string& path,
                 const std::function<std::optional<std::string>(const std::string* old)>& edit) {
        return Modify(path, edit);
    }

    // The errno of the last failed write (0 after a successful one).
    int last_error() const { return last_error_; }

    // How many times one write reads the file again because another program changed it.
    static constexpr int kMaxRereads = 40;

  private:
    enum class Committed { Done, Failed, Changed };

    // One lock, one reading and one replacement of the file.
    bool Modify(const std::string& path, const Edit& edit) override;
    // The line end of the lines an edit of `old` (null for a missing file) writes.
    std::string_view LineEndFor(const std::string* old) const override;
    bool ModifyLocked(const std::string& path, const Edit& edit);
    // Puts `bytes` in the place of the file locked as `locked_fd` whose content was `old` and
    // state `old_stat` (both null for a missing file).
    Committed Replace(const std::string& target, const std::string& bytes, int locked_fd,
                      const std::string* old, const void* old_stat);
    Committed Verify(int locked_fd, const std::string& old);
    Committed WriteInPlace(const std::string& target, const std::string& bytes, int locked_fd,
                           const std::string& old);
    void RemoveOrphans(const std::string& target);
    // Notes why the write of the file under way failed (`why`, or the error's own words).
    bool Fail(int error, const std::string& why = {});
    // Fails a write holding a line break or NUL, for `why` (kLineBreakRefused or ...Stopped).
    bool RefuseLineBreak(const std::string& path, const char* why) override;

    FileSystem& files_;

    WrittenLineEnds line_ends_;
    NewFileMode new_files_;
    ContentCheck check_;
    std::string writing_;  // the file the write under way is for
    std::mutex mutex_;
    ParseCache cache_{SystemFileReader()};
    int last_error_ = 0;
    unsigned temp_counter_ = 0;
    std::unordered_set<std::string> swept_;  // files whose orphaned temporaries are gone
};

}  // namespace vendaro
