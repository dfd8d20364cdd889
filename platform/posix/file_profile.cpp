#include "platform/posix/file_profile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

namespace vendaro {
namespace {

// A change within this long after a file's last change may leave its times as they were
// (file times follow a coarse clock), so a parse of such a file is checked against the bytes.
constexpr std::int64_t kSettleNs = 50'000'000;
// File systems that keep whole seconds (FAT keeps two).
constexpr std::int64_t kSettleCoarseNs = 2'100'000'000;
constexpr std::size_t kMaxCachedFiles = 8;

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now; returns false (errno set) when closing reported an error.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

std::int64_t Nanos(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return Nanos(t);
}

bool SameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           Nanos(a.st_mtim) == Nanos(b.st_mtim) && Nanos(a.st_ctim) == Nanos(b.st_ctim);
}

// Opens a regular file for reading; -1 with errno set otherwise.
int OpenRegular(const std::string& path, struct stat& st) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int error = S_ISDIR(st.st_mode) ? EISDIR : (errno != 0 ? errno : EINVAL);
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Reads from the current offset to the end. Returns false with errno set on failure.
bool ReadToEnd(int fd, std::string& out, std::size_t size_hint) {
    out.clear();
    out.resize(std::max<std::size_t>(size_hint + 1, 4096));
    std::size_t used = 0;
    for (;;) {
        if (used == out.size()) out.resize(out.size() * 2);
        ssize_t n = ::read(fd, out.data() + used, out.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    out.resize(used);
    return true;
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// What GetPrivateProfileStringA hands back for a default: cut at a NUL, trailing spaces
// removed, at most the buffer's length.
std::string DefaultValue(std::string_view def) {
    def = def.substr(0, def.find('\0'));
    while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
    return std::string(def.substr(0, ini::kMaxValueChars));
}

// A read as GetString answers it from one parse (null for a missing file).
std::string ValueOrDefault(const ini::Document* doc, std::string_view section, std::string_view key,
                           std::string_view def) {
    if (doc != nullptr) {
        if (std::optional<std::string> value = doc->Get(section, key)) return std::move(*value);
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
            if (!line.empty() && line.front() == '[') fn(line);
        }
    }
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const override {
        return ValueOrDefault(doc_.get(), section, key, def);
    }

  private:
    std::shared_ptr<const ini::Document> doc_;
};

}  // namespace

bool FileProfile::Fail(int error) {
    last_error_ = error != 0 ? error : EIO;
    return false;
}

std::shared_ptr<const ini::Document> FileProfile::Load(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        cache_.erase(path);
        return nullptr;
    }
    auto it = cache_.find(path);
    auto matches = [&](const Cached& c, const struct stat& s) {
        return c.dev == s.st_dev && c.ino == s.st_ino &&
               c.size == static_cast<std::uint64_t>(s.st_size) && c.mtime_ns == Nanos(s.st_mtim) &&
               c.ctime_ns == Nanos(s.st_ctim);
    };
    if (it != cache_.end() && it->second.settled && matches(it->second, st)) return it->second.doc;

    const std::int64_t now = NowNs();
    struct stat before {};
    Fd fd(OpenRegular(path, before));
    std::string bytes;
    struct stat after {};
    if (fd.get() < 0 || !ReadToEnd(fd.get(), bytes, static_cast<std::size_t>(before.st_size)) ||
        ::fstat(fd.get(), &after) != 0) {
        cache_.erase(path);
        return nullptr;
    }
    // Settled: the file's last change lies far enough before this read that any later change
    // gets other times. Until then the parse is only reused after comparing the bytes.
    const std::int64_t latest = std::max(Nanos(after.st_mtim), Nanos(after.st_ctim));
    const bool whole_seconds = after.st_mtim.tv_nsec == 0 && after.st_ctim.tv_nsec == 0;
    const bool settled = SameFileState(before, after) &&
                         now - latest > (whole_seconds ? kSettleCoarseNs : kSettleNs);

    if (it != cache_.end() && matches(it->second, after) && it->second.doc->bytes() == bytes) {
        it->second.settled = settled;
        return it->second.doc;
    }
    if (it == cache_.end() && cache_.size() >= kMaxCachedFiles) cache_.clear();
    Cached& c = cache_[path];
    c.dev = after.st_dev;
    c.ino = after.st_ino;
    c.size = static_cast<std::uint64_t>(after.st_size);
    c.mtime_ns = Nanos(after.st_mtim);
    c.ctime_ns = Nanos(after.st_ctim);
    c.settled = settled;
    c.doc = std::make_shared<const ini::Document>(std::move(bytes));
    return c.doc;
}

std::string FileProfile::GetString(std::string_view section, std::string_view key,
                                   std::string_view def, const std::string& path) {
    std::shared_ptr<const ini::Document> doc;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        doc = Load(path);
    }
    return ValueOrDefault(doc.get(), section, key, def);
}

std::unique_ptr<ProfileSnapshot> FileProfile::Snapshot(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<DocumentSnapshot>(Load(path));
}

std::optional<std::string> FileProfile::ReadAll(const std::string& path) {
    struct stat st {};
    Fd fd(OpenRegular(path, st));
    std::string bytes;
    if (fd.get() < 0 || !ReadToEnd(fd.get(), bytes, static_cast<std::size_t>(st.st_size))) {
        return std::nullopt;
    }
    return bytes;
}

bool FileProfile::SetString(std::string_view section, std::string_view key, std::string_view value,
                            const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value)) {
        std::lock_guard<std::mutex> lock(mutex_);
        return Fail(EINVAL);
    }
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        std::string bytes =
            ini::Document(old ? *old : std::string()).WithValue(section, key, value);
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
    std::size_t valid = 0;
    if (!HoldsLineBreakOrNul(section)) {
        while (valid < edits.size() && !HoldsLineBreakOrNul(edits[valid].key) &&
               (edits[valid].remove || !HoldsLineBreakOrNul(edits[valid].value))) {
            ++valid;
        }
    }
    const std::span<const KeyEdit> made = edits.first(valid);
    if (!made.empty()) {
        const bool ok = Modify(path, [&](const std::string* old) -> std::optional<std::string> {
            std::string bytes =
                ini::Document(old ? *old : std::string()).WithKeyEdits(section, made);
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
    cache_.clear();
    const bool ok = ModifyLocked(path, edit);
    cache_.clear();
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
    // The lock sits on the file itself; a writer that waited for it while another replaced
    // the file finds another inode under the name and starts again on the new file. Each new
    // start means another writer went ahead (and the one that just wrote is first at the new
    // file), so a count of starts is no sign of trouble: only a minute of them gives up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat st {};
        Fd fd(OpenRegular(target, st));
        if (fd.get() < 0) {
            if (errno != ENOENT) return Fail(errno);
            struct stat dir {};
            if (::stat(DirectoryOf(target).c_str(), &dir) != 0) return Fail(errno);
            if (!S_ISDIR(dir.st_mode)) return Fail(ENOTDIR);
            std::optional<std::string> bytes = edit(nullptr);
            if (!bytes) return true;  // nothing to write: no file is created
            if (Replace(target, *bytes, nullptr)) return true;
            if (last_error_ != EEXIST) return false;
            continue;  // another process created it meanwhile: edit that one
        }
        while (::flock(fd.get(), LOCK_EX) != 0) {
            if (errno != EINTR) return Fail(errno);
        }
        struct stat now {};
        if (::stat(target.c_str(), &now) != 0 || now.st_dev != st.st_dev ||
            now.st_ino != st.st_ino) {
            continue;
        }
        if (::access(target.c_str(), W_OK) != 0) return Fail(errno);  // read-only file
        RemoveOrphans(target);
        if (::fstat(fd.get(), &st) != 0) return Fail(errno);
        std::string old;
        if (!ReadToEnd(fd.get(), old, static_cast<std::size_t>(st.st_size))) return Fail(errno);
        std::optional<std::string> bytes = edit(&old);
        if (!bytes) return true;
        return Replace(target, *bytes, &st);  // the lock holds until `fd` closes
    }
    return Fail(EAGAIN);
}

// Removes the temporary files (named as Replace names them) that writers of `target` left when
// they were killed before their rename; a file whose process still runs is left alone. Runs
// once per file and profile, with the file's lock held: a crash is rare, and one look at the
// directory per program run is enough.
void FileProfile::RemoveOrphans(const std::string& target) {
    if (!swept_.insert(target).second) return;
    const std::string prefix = "." + target.substr(target.rfind('/') + 1) + ".tmp";
    DIR* dir = ::opendir(DirectoryOf(target).c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        // ".<name>.tmp<pid>-<counter>"
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash > 9) continue;
        long pid = 0;
        bool digits = true;
        for (char c : rest.substr(0, dash)) {
            digits = digits && c >= '0' && c <= '9';
            pid = pid * 10 + (c - '0');
        }
        if (!digits || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Writes `bytes` to a new temporary file beside `target` and puts it in target's place:
// over the old file (`old_stat` its state, whose owner and mode the new file takes), or, for a
// missing file (`old_stat` null), only while the name is still free (EEXIST otherwise).
bool FileProfile::Replace(const std::string& target, const std::string& bytes,
                          const void* old_stat_ptr) {
    const auto* old_stat = static_cast<const struct stat*>(old_stat_ptr);
    const std::string dir = DirectoryOf(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    std::string temp;
    int raw_fd = -1;
    for (int attempt = 0; attempt < 100 && raw_fd < 0; ++attempt) {
        if (faults.fail_open) return Fail(EIO);
        temp = dir + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" +
               std::to_string(++temp_counter_);
        raw_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
        std::size_t chunk = bytes.size() - written;
        if (faults.fail_after_bytes >= 0) {
            const auto limit = static_cast<std::size_t>(faults.fail_after_bytes);
            if (written >= limit) return abandon(ENOSPC);
            chunk = std::min(chunk, limit - written);
        }
        ssize_t n = ::write(fd.get(), bytes.data() + written, chunk);
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
    if (faults.fail_rename) {
        ::unlink(temp.c_str());
        return Fail(EIO);
    }
    if (old_stat != nullptr) {
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            int error = errno;
            ::unlink(temp.c_str());
            return Fail(error);
        }
        return true;
    }
    // A new file: take the name only while it is free, so a concurrent creator is not
    // overwritten.
    int result = ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        result = ::link(temp.c_str(), target.c_str());
        int error = errno;
        ::unlink(temp.c_str());
        if (result != 0) return Fail(error);
        return true;
    }
    if (result != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        return Fail(error);
    }
    return true;
}

}  // namespace vendaro
