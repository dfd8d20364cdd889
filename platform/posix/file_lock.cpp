#include "platform/posix/file_lock.h"

#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace vendaro {

FileLock::Result FileLock::Acquire(const std::string& path, std::chrono::milliseconds wait) {
    int fd = OpenRegular(path, state_);
    if (fd == -1) {
        error_ = errno;
        return error_ == ENOENT ? Result::Missing : Result::Failed;
    }
    fd_.Reset(fd);
    // flock cannot wait for a limited time: try, and sleep a little longer each time (a
    // writer holds the lock for milliseconds, so the first retries come soon).
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause{1};
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) {
            error_ = errno;
            return Result::Failed;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return Result::InUse;
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(10));
    }
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || now.st_dev != state_.st_dev ||
        now.st_ino != state_.st_ino) {
        return Result::Replaced;
    }
    return Result::Locked;
}

}  // namespace vendaro
