#include "platform/posix/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vendaro {

int FileSystem::CreateNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

long FileSystem::Write(int fd, const char* data, std::size_t size) {
    return static_cast<long>(::write(fd, data, size));
}

bool FileSystem::PutInPlace(const std::string& temp, const std::string& target, bool replace) {
    if (replace) return ::rename(temp.c_str(), target.c_str()) == 0;
    // A new file: take the name only while it is free, so a concurrent creator is not
    // overwritten.
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without renameat2: a hard link takes the name only while it is free.
    if (::link(temp.c_str(), target.c_str()) != 0) return false;
    ::unlink(temp.c_str());
    return true;
}

FileSystem& SystemFileSystem() {
    static FileSystem system;
    return system;
}

Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

void Fd::Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

bool Fd::Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

std::int64_t Nanos(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

int OpenRegular(const std::string& path, struct stat& st) {
    // A FIFO would block the open until a writer came and a device may act on being opened:
    // anything but a regular file is refused before it is opened, and the non-blocking open
    // covers one swapped in between.
    if (::stat(path.c_str(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd == -1) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int error = S_ISDIR(st.st_mode) ? EISDIR : (errno != 0 ? errno : EINVAL);
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool ReadWhole(int fd, std::string& out, std::size_t size_hint) {
    out.clear();
    out.resize(std::max<std::size_t>(size_hint + 1, 4096));
    std::size_t used = 0;
    for (;;) {
        if (used == out.size()) out.resize(out.size() * 2);
        const ssize_t n =
            ::pread(fd, out.data() + used, out.size() - used, static_cast<off_t>(used));
        if (n == -1) {
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

}  // namespace vendaro
