#pragma once
// An exclusive advisory lock (flock) on a file, held until the lock goes. The lock sits on the
// file itself: a writer that waited for it while another replaced the file finds another inode
// under the name and has to start again on the new file.
#include <sys/stat.h>

#include <chrono>
#include <string>

#include "platform/file_in_use.h"
#include "platform/posix/file_system.h"

namespace vendaro {

class FileLock {
  public:
    enum class Result {
        Locked,    // the file is locked and still has its name; fd() is it
        Missing,   // no file has the name
        Replaced,  // another writer put a new file under the name meanwhile: try again
        InUse,     // another holder kept the lock for all of `wait`
        Failed,    // error() says why
    };

    // Opens the regular file at `path` and waits for its lock, at most `wait`.
    Result Acquire(const std::string& path, std::chrono::milliseconds wait = kFileInUseWait);

    int fd() const { return fd_.get(); }
    // The file's state when it was opened.
    int error() const { return error_; }

  private:
    Fd fd_{-1};
    struct stat state_ {};
    int error_ = 0;
};

}  // namespace vendaro
