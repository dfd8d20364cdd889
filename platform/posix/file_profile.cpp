#include "platform/posix/file_profile.h"

#include "platform/failure.h"
#include "platform/file_text.h"
#include "platform/posix/file_lock.h"
#include "platform/posix/temp_files.h"
#include "platform/spaces.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <utility>

namespace vendaro {
namespace {

// What GetPrivateProfileStringA hands back for a default: cut at a NUL, trailing spaces
// removed, at most the buffer's length.
std::string DefaultValue(std::string_view def) {
    def = TrimTrailingSpaces(def.substr(0, def.find('\0')));
    return std::string(def.substr(0, ini::kMaxValueChars));
}

// A read as GetString answers it from one parse (null for a missing file). `likely`: the
// index of the section the caller expects `section` to name, if it knows one.
std::string ValueOrDefault(const ini::Document* doc, std::string_view section, std::string_view key,
                           std::string_view def, std::size_t likely = SIZE_MAX) {
    if (doc != nullptr) {
        if (std::optional<std::string> value = doc->Get(section, key, likely)) {
            return std::move(*value);
        }
    }
    return DefaultValue(def);
}

// Reads from one parse of the file, which nobody changes: the cache hands out parses that it
// replaces, never modifies.
class DocumentSnapshot final : public ProfileSnapshot {
  public:
    explicit DocumentSnapshot(std::shared_ptr<const ini::Document> doc) : doc_(std::move(doc)) {}
    std::optional<std::string_view> Bytes() const override {
        if (!doc_) return std::nullopt;
        return std::string_view(doc_->bytes());
    }
    // Every such line is a header of the parse: no second pass over the lines.
    void ForEachBracketLine(const std::function<void(std::string_view)>& fn) const override {
        if (!doc_) return;
        for (std::size_t i = 0; i < doc_->SectionCount(); ++i) {
            const std::string_view line = doc_->HeaderLine(i);
            if (line.empty() || line.front() != '[') continue;
            visiting_ = i;
            fn(line);
        }
        visiting_ = SIZE_MAX;
    }
    // A read made while `fn` above runs most likely asks for the section being visited.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const override {
        return ValueOrDefault(doc_.get(), section, key, def, visiting_);
    }

  private:
    std::shared_ptr<const ini::Document> doc_;
    mutable std::size_t visiting_ = SIZE_MAX;
};

}  // namespace

bool FileProfile::Fail(int error) {
    last_error_ = error != 0 ? error : EIO;
    return false;
}

std::string FileProfile::GetString(std::string_view section, std::string_view key,
                                   std::string_view def, const std::string& path) {
    std::shared_ptr<const ini::Document> doc;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        doc = cache_.Load(path);
    }
    return ValueOrDefault(doc.get(), section, key, def);
}

std::unique_ptr<ProfileSnapshot> FileProfile::Snapshot(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<DocumentSnapshot>(cache_.Load(path));
}

std::optional<std::string> FileProfile::ReadAll(const std::string& path) {
    struct stat st {};
    Fd fd(OpenRegular(path, st));
    std::string bytes;
    if (fd.get() < 0 || !ReadToEnd(fd.get(), bytes, static_cast<std::size_t>(st.st_size))) {
        return std::nullopt;
    }
    return ini::DecodeFileText(std::move(bytes)).text;
}

std::string_view FileProfile::LineEndFor(const std::string* old) const {
    if (line_ends_ == WrittenLineEnds::CrLf) return "\r\n";
    return old != nullptr ? ini::LineEndOf(*old) : "\n";
}

bool FileProfile::SetString(std::string_view section, std::string_view key, std::string_view value,
                            const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value)) {
        std::lock_guard<std::mutex> lock(mutex_);
        return Fail(EINVAL);
    }
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        ini::Document doc(old ? *old : std::string());
        doc.set_line_end(LineEndFor(old));
        std::string bytes = doc.WithValue(section, key, value);
        if (old != nullptr && bytes == *old) return std::nullopt;
        return bytes;
    });
}

bool FileProfile::DeleteKey(std::string_view section, std::string_view key,
                            const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key)) {
        std::lock_guard<std::mutex> lock(mutex_);
        return Fail(EINVAL);
    }
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        if (old == nullptr) return std::nullopt;
        std::string bytes = ini::Document(*old).WithoutKey(section, key);
        if (bytes == *old) return std::nullopt;
        return bytes;
    });
}

bool FileProfile::DeleteSection(std::string_view section, const std::string& path) {
    if (HoldsLineBreakOrNul(section)) {
        std::lock_guard<std::mutex> lock(mutex_);
        return Fail(EINVAL);
    }
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        if (old == nullptr) return std::nullopt;
        std::string bytes = ini::Document(*old).WithoutSection(section);
        if (bytes == *old) return std::nullopt;
        return bytes;
    });
}

std::size_t FileProfile::WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                                   const std::string& path) {
    const std::size_t valid = WritableEdits(section, edits);
    const std::span<const KeyEdit> made = edits.first(valid);
    if (!made.empty()) {
        const bool ok = Modify(path, [&](const std::string* old) -> std::optional<std::string> {
            ini::Document doc(old ? *old : std::string());
            doc.set_line_end(LineEndFor(old));
            std::string bytes = doc.WithKeyEdits(section, made);
            if (old != nullptr ? bytes == *old : bytes.empty()) return std::nullopt;
            return bytes;
        });
        if (!ok) return 0;
    }
    if (valid < edits.size()) {
        std::lock_guard<std::mutex> lock(mutex_);
        Fail(EINVAL);
    }
    return valid;
}

bool FileProfile::Append(const std::string& path, std::string_view bytes) {
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        if (bytes.empty()) return std::nullopt;
        std::string out = old ? *old : std::string();
        out.append(bytes);
        return out;
    });
}

bool FileProfile::Modify(const std::string& path, const Edit& edit) {
    std::lock_guard<std::mutex> lock(mutex_);
    cache_.Clear();
    const bool ok = ModifyLocked(path, edit);
    cache_.Clear();
    if (ok) last_error_ = 0;
    return ok;
}

bool FileProfile::ModifyLocked(const std::string& path, const Edit& edit) {
    if (path.empty()) return Fail(ENOENT);
    if (path.back() == '/') return Fail(EISDIR);
    // A link is followed, so the file it names is edited and the link stays.
    std::string target = path;
    struct stat link_stat {};
    if (::lstat(path.c_str(), &link_stat) == 0 && S_ISLNK(link_stat.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) return Fail(errno);
        target = real;
        ::free(real);
    }
    // A writer that waited for the lock while another replaced the file starts again on the
    // new file. Each new start means another writer went ahead (and the one that just wrote is
    // first at the new file), so a count of starts is no sign of trouble: only a minute of them
    // gives up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        FileLock lock;
        const FileLock::Result locked = lock.Acquire(target);
        if (locked == FileLock::Result::Failed) return Fail(lock.error());
        if (locked == FileLock::Result::Replaced) continue;
        if (locked == FileLock::Result::Missing) {
            struct stat dir {};
            if (::stat(DirectoryOf(target).c_str(), &dir) != 0) return Fail(errno);
            if (!S_ISDIR(dir.st_mode)) return Fail(ENOTDIR);
            std::optional<std::string> bytes = edit(nullptr);
            if (!bytes) return true;  // nothing to write: no file is created
            if (Replace(target, *bytes, nullptr)) return true;
            if (last_error_ != EEXIST) return false;
            continue;  // another process created it meanwhile: edit that one
        }
        if (::access(target.c_str(), W_OK) != 0) return Fail(errno);  // read-only file
        RemoveOrphans(target);
        struct stat st {};
        if (::fstat(lock.fd(), &st) != 0) return Fail(errno);
        std::string raw;
        if (!ReadToEnd(lock.fd(), raw, static_cast<std::size_t>(st.st_size))) return Fail(errno);
        // A UTF-16 file is edited as the engine's 8-bit text and written back in UTF-16.
        const ini::FileText old = ini::DecodeFileText(std::move(raw));
        std::optional<std::string> text = edit(&old.text);
        if (!text) return true;
        if (std::string why = ini::WhyNotRewritable(old, target); !why.empty()) {
            NoteFailure(std::move(why));
            return Fail(EILSEQ);
        }
        // the lock holds until `lock` goes
        return Replace(target, ini::EncodeFileText(old.encoding, *text), &st);
    }
    return Fail(EAGAIN);
}

// A crash is rare, and one look at the directory per file and profile is enough; it runs with
// the file's lock held.
void FileProfile::RemoveOrphans(const std::string& target) {
    if (swept_.insert(target).second) RemoveOrphanedTempFiles(target);
}

// Writes `bytes` to a new temporary file beside `target` and puts it in target's place:
// over the old file (`old_stat` its state, whose owner and mode the new file takes), or, for a
// missing file (`old_stat` null), only while the name is still free (EEXIST otherwise).
bool FileProfile::Replace(const std::string& target, const std::string& bytes,
                          const void* old_stat_ptr) {
    const auto* old_stat = static_cast<const struct stat*>(old_stat_ptr);
    std::string temp;
    int raw_fd = -1;
    for (int attempt = 0; attempt < 100 && raw_fd < 0; ++attempt) {
        temp = TempFileName(target, ++temp_counter_);
        raw_fd = files_.CreateNew(temp);
        if (raw_fd < 0 && errno != EEXIST) return Fail(errno);
    }
    if (raw_fd < 0) return Fail(EEXIST);
    Fd fd(raw_fd);
    auto abandon = [&](int error) {
        fd.Close();
        ::unlink(temp.c_str());
        return Fail(error);
    };
    if (old_stat != nullptr) {
        struct stat mine {};
        if (::fstat(fd.get(), &mine) == 0 &&
            (mine.st_uid != old_stat->st_uid || mine.st_gid != old_stat->st_gid)) {
            // Only root may give a file away; a failure leaves the writer's ownership.
            if (::fchown(fd.get(), old_stat->st_uid, old_stat->st_gid) != 0) {
                // keep going: the content matters more than the owner
            }
        }
        if (::fchmod(fd.get(), old_stat->st_mode & 07777) != 0) return abandon(errno);
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const long n = files_.Write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) return abandon(errno);
    if (!fd.Close()) {
        int error = errno;
        ::unlink(temp.c_str());
        return Fail(error);
    }
    if (!files_.PutInPlace(temp, target, old_stat != nullptr)) {
        int error = errno;
        ::unlink(temp.c_str());
        return Fail(error);
    }
    return true;
}

}  // namespace vendaro
