#include "platform/posix/file_profile.h"

#include "platform/document_snapshot.h"
#include "platform/failure.h"
#include "platform/file_text.h"
#include "platform/posix/file_lock.h"
#include "platform/posix/posix_file_reader.h"
#include "platform/posix/temp_files.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/failure.h"

namespace vendaro {

bool FileProfile::RefuseLineBreak(const std::string& path, const char* why) {
    std::lock_guard<std::mutex> lock(mutex_);
    writing_ = path;
    return Fail(EINVAL, why);
}

bool FileProfile::Fail(int error, const std::string& why) {
    last_error_ = error != 0 ? error : EIO;
    NoteFailure(writing_ + ": " + (why.empty() ? std::string(std::strerror(last_error_)) : why) +
                ".");
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
    std::string bytes;
    if (!ReadStable(SystemFileReader(), path, bytes)) return std::nullopt;
    return ini::DecodeFileText(std::move(bytes)).text;
}

std::string_view FileProfile::LineEndFor(const std::string* old) const {
    if (line_ends_ == WrittenLineEnds::CrLf) return "\r\n";
    return old != nullptr ? ini::LineEndOf(*old) : "\n";
}

bool FileProfile::WriteSections(std::span<const SectionEdits> sections, const std::string& path) {
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        std::string bytes = old ? *old : std::string();
        for (const SectionEdits& part : sections) {
            ini::Document doc(std::move(bytes));
            doc.set_line_end(LineEndFor(old));
            if (!part.edits.empty()) {
                bytes = doc.WithKeyEdits(part.section, part.edits);
            } else if (doc.FindSectionLines(part.section).count != 0) {
                bytes = doc.bytes();
            } else {
                // The engine makes a section with its first key: a key with an empty name, set
                // and removed, leaves the bare header.
                const KeyEdit header_only[] = {{"", "", false}, {"", "", true}};
                bytes = doc.WithKeyEdits(part.section, header_only);
            }
        }
        if (old != nullptr ? bytes == *old : bytes.empty()) return std::nullopt;
        return bytes;
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
    writing_ = path;
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
    // gives up. A file that changes under the lock is another story: a program that writes
    // without the lock is at work, and after kMaxRereads readings the write gives up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int rereads = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        FileLock lock;
        const FileLock::Result locked = lock.Acquire(target);
        if (locked == FileLock::Result::Failed) {
            return Fail(lock.error(), lock.error() == EINVAL
                                          ? "it is no regular file (a FIFO, a device or a "
                                            "socket); nothing was written"
                                          : "");
        }
        if (locked == FileLock::Result::InUse) {
            NoteFileInUse(path);
            last_error_ = EWOULDBLOCK;
            return false;
        }
        if (locked == FileLock::Result::Replaced) continue;
        if (locked == FileLock::Result::Missing) {
            struct stat dir {};
            if (::stat(DirectoryOf(target).c_str(), &dir) != 0) return Fail(errno);
            if (!S_ISDIR(dir.st_mode)) return Fail(ENOTDIR);
            std::optional<std::string> bytes = edit(nullptr);
            if (!bytes) return true;  // nothing to write: no file is created
            const Committed made = Replace(target, *bytes, -1, nullptr, nullptr);
            if (made == Committed::Done) return true;
            if (last_error_ != EEXIST) return false;
            continue;  // another process created it meanwhile: edit that one
        }
        if (::access(target.c_str(), W_OK) != 0) return Fail(errno);  // read-only file
        RemoveOrphans(target);
        for (; rereads <= kMaxRereads; ++rereads) {
            struct stat st {};
            if (::fstat(lock.fd(), &st) != 0) return Fail(errno);
            std::string old;
            if (!ReadWhole(lock.fd(), old, static_cast<std::size_t>(st.st_size))) {
                return Fail(errno);
            }
            if (check_) {
                const std::string refusal = check_(old);
                if (!refusal.empty()) return Fail(EILSEQ, refusal);
            }
            // A UTF-16 file is edited as the engine's 8-bit text and written back in UTF-16.
            const ini::FileText decoded = ini::DecodeFileText(std::string(old));
            std::optional<std::string> text = edit(&decoded.text);
            if (!text) return true;
            if (std::string why = ini::WhyNotRewritable(decoded, target); !why.empty()) {
                NoteFailure(std::move(why));
                last_error_ = EILSEQ;
                return false;
            }
            const Committed made =
                Replace(target, ini::EncodeFileText(decoded.encoding, *text), lock.fd(), &old, &st);
            if (made != Committed::Changed) return made == Committed::Done;
            // Give the other writer time to finish before reading again.
            ::usleep(static_cast<useconds_t>(1000 * std::min(rereads + 1, 20)));
            struct stat now {};
            if (::stat(target.c_str(), &now) != 0 || now.st_ino != st.st_ino ||
                now.st_dev != st.st_dev) {
                ++rereads;
                break;  // another file has the name now: lock that one
            }
        }
        if (rereads <= kMaxRereads) continue;
        return Fail(EAGAIN,
                    "it kept changing while it was read (another program is writing "
                    "it without a lock); nothing was written");
    }
    return Fail(EAGAIN);
}

// A crash is rare, and one look at the directory per file and profile is enough; it runs with
// the file's lock held.
void FileProfile::RemoveOrphans(const std::string& target) {
    if (swept_.insert(target).second) RemoveOrphanedTempFiles(target);
}

namespace {

// While a lease is broken the kernel signals its holder with SIGIO, which would end the
// process; the lease's state is asked for instead.
void IgnoreLeaseSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction now {};
        if (::sigaction(SIGIO, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) {
            ::signal(SIGIO, SIG_IGN);
        }
    });
}

// A read lease on the locked file: granted only while no process holds it open for writing,
// and a writer that opens it meanwhile waits until the lease goes (or breaks it, which
// Intact() sees).
class ReadLease {
  public:
    enum class Result { Held, Busy, Unavailable };
    explicit ReadLease(int fd) : fd_(fd) {}
    ~ReadLease() {
        if (held_) ::fcntl(fd_, F_SETLEASE, F_UNLCK);
    }
    ReadLease(const ReadLease&) = delete;
    ReadLease& operator=(const ReadLease&) = delete;
    Result Take() {
        IgnoreLeaseSignal();
        if (::fcntl(fd_, F_SETLEASE, F_RDLCK) == 0) {
            held_ = true;
            return Result::Held;
        }
        // EAGAIN: the file is open for writing. EACCES: another user's file (without
        // CAP_LEASE); EINVAL: a file system without leases.
        return errno == EAGAIN ? Result::Busy : Result::Unavailable;
    }
    bool Intact() const { return held_ && ::fcntl(fd_, F_GETLEASE) == F_RDLCK; }

  private:
    int fd_;
    bool held_ = false;
};

// How long a file must have been left alone before its bytes are trusted without a lease: a
// writer without a lock writes a file in one go.
bool IsAppendOnlyFolder(const std::string& folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int flags = 0;
    return fd.get() >= 0 && ::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags & FS_APPEND_FL) != 0;
}

// Writes all of `bytes` from the file's first byte. False with errno set on failure.
bool WriteAllAt(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + written, bytes.size() - written,
                                   static_cast<off_t>(written));
        if (n == -1) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr std::int64_t kSettleNanos = 50'000'000;

std::int64_t NowNanos() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanos(now);
}

}  // namespace

// Whether the locked file still holds `old`, read just now: Done when it does, Changed when
// another writer has been at it (or is), Failed when it could not be read.
FileProfile::Committed FileProfile::Verify(int locked_fd, const std::string& old) {
    struct stat st {};
    if (::fstat(locked_fd, &st) != 0) return Fail(errno), Committed::Failed;
    // Without a lease nothing tells a writer that is still at work: the file must have been
    // left alone for a moment first.
    const std::int64_t age = NowNanos() - Nanos(st.st_mtim);
    if (age >= 0 && age < kSettleNanos) {
        ::usleep(static_cast<useconds_t>((kSettleNanos - age) / 1000 + 1));
        return Committed::Changed;
    }
    std::string now;
    if (!ReadWhole(locked_fd, now, old.size())) return Fail(errno), Committed::Failed;
    return now == old ? Committed::Done : Committed::Changed;
}

// Writes `bytes` to a new temporary file beside `target` and puts it in target's place:
// over the old file (`old_stat` its state, whose owner and mode the new file takes), or, for a
// missing file (`old_stat` null), only while the name is still free (EEXIST otherwise).
FileProfile::Committed FileProfile::Replace(const std::string& target, const std::string& bytes,
                                            int locked_fd, const std::string* old,
                                            const void* old_stat_ptr) {
    const auto* old_stat = static_cast<const struct stat*>(old_stat_ptr);
    auto failed = [&](int error, const std::string& why = {}) {
        Fail(error, why);
        return Committed::Failed;
    };
    // A folder whose entries can only be added keeps every temporary file: write in place.
    if (IsAppendOnlyFolder(DirectoryOf(target))) {
        if (old_stat != nullptr) return WriteInPlace(target, bytes, locked_fd, *old);
        const mode_t mode = new_files_ == NewFileMode::Private ? 0600 : 0666;
        Fd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd.get() == -1) return failed(errno);
        if (!WriteAllAt(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
            const int error = errno;
            if (::ftruncate(fd.get(), 0) != 0) {
                // the empty file stays; nothing more can be done in such a folder
            }
            return failed(error);
        }
        return Committed::Done;
    }
    std::string temp;
    int raw_fd = -1;
    for (int attempt = 0; attempt < 100 && raw_fd < 0; ++attempt) {
        temp = TempFileName(target, ++temp_counter_);
        raw_fd = files_.CreateNew(temp);
        if (raw_fd < 0 && errno != EEXIST) return failed(errno);
    }
    if (raw_fd == -1) return failed(EEXIST);
    Fd fd(raw_fd);
    auto abandon = [&](int error, const std::string& why = {}) {
        fd.Close();
        ::unlink(temp.c_str());
        return failed(error, why);
    };
    if (old_stat != nullptr) {
        struct stat mine {};
        if (::fstat(fd.get(), &mine) != 0) return abandon(errno);
        if ((mine.st_uid != old_stat->st_uid || mine.st_gid != old_stat->st_gid) &&
            ::fchown(fd.get(), old_stat->st_uid, old_stat->st_gid) != 0) {
            // Only root may give a file away: a file shared with others is kept theirs by
            // writing it in place.
            fd.Close();
            ::unlink(temp.c_str());
            return WriteInPlace(target, bytes, locked_fd, *old);
        }
        if (::fchmod(fd.get(), old_stat->st_mode & 07777) != 0) return abandon(errno);
    } else if (new_files_ == NewFileMode::Private && ::fchmod(fd.get(), 0600) != 0) {
        return abandon(errno);
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const long n = files_.Write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n == -1) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) return abandon(errno);
    if (!fd.Close()) {
        int error = errno;
        ::unlink(temp.c_str());
        return failed(error);
    }
    auto discard = [&](Committed result) {
        ::unlink(temp.c_str());
        return result;
    };
    if (old_stat != nullptr) {
        ReadLease lease(locked_fd);
        const ReadLease::Result taken = lease.Take();
        if (taken == ReadLease::Result::Busy) return discard(Committed::Changed);
        Committed same = Committed::Done;
        if (taken == ReadLease::Result::Held) {
            std::string now;
            if (!ReadWhole(locked_fd, now, old->size())) return discard(failed(errno));
            if (now != *old) same = Committed::Changed;
        } else {
            same = Verify(locked_fd, *old);
        }
        if (same != Committed::Done) return discard(same);
        // A writer that opened the file meanwhile broke the lease: let it finish first.
        if (taken == ReadLease::Result::Held && !lease.Intact()) {
            return discard(Committed::Changed);
        }
        if (!files_.PutInPlace(temp, target, true)) return discard(failed(errno));
        return Committed::Done;
    }
    if (!files_.PutInPlace(temp, target, false)) return discard(failed(errno));
    return Committed::Done;
}

// Rewrites the locked file itself, keeping its owner, group, mode and links: not atomic, so a
// crash in the middle leaves a half-written file, but a full disk is found before the first
// byte changes.
FileProfile::Committed FileProfile::WriteInPlace(const std::string& target,
                                                 const std::string& bytes, int locked_fd,
                                                 const std::string& old) {
    Fd fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (fd.get() == -1) return Fail(errno), Committed::Failed;
    struct stat mine {
    }, locked{};
    if (::fstat(fd.get(), &mine) != 0 || ::fstat(locked_fd, &locked) != 0) {
        return Fail(errno), Committed::Failed;
    }
    if (mine.st_dev != locked.st_dev || mine.st_ino != locked.st_ino) return Committed::Changed;
    const Committed same = Verify(locked_fd, old);
    if (same != Committed::Done) return same;
    if (bytes.size() > old.size()) {
        const int error = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(bytes.size()));
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            return Fail(error), Committed::Failed;
        }
    }
    if (!WriteAllAt(fd.get(), bytes)) return Fail(errno), Committed::Failed;
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd.get()) != 0) {
        return Fail(errno), Committed::Failed;
    }
    return Committed::Done;
}

}  // namespace vendaro
