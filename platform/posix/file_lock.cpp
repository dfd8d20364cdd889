#include "platform/posix/file_lock.h"

#include <sys/file.h>

#include <cerrno>

namespace vendaro {

FileLock::Result FileLock::Acquire(const std::string& path) {
    int fd = OpenRegular(path, state_);
    if (fd < 0) {
        error_ = errno;
        return error_ == ENOENT ? Result::Missing : Result::Failed;
    }
    fd_.Reset(fd);
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error_ = errno;
            return Result::Failed;
        }
    }
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || now.st_dev != state_.st_dev ||
        now.st_ino != state_.st_ino) {
        return Result::Replaced;
    }
    return Result::Locked;
}

}  // namespace vendaro
