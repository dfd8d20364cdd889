#pragma once
// A file system whose writing fails where a test says (the write then fails honestly), for
// the FileProfile the test hands it to.
#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/posix/file_system.h"

namespace vendaro {

struct WriteFaults {
    bool fail_open = false;               // creating the temporary file fails
    std::int64_t fail_after_bytes = -1;   // writing it fails after this many bytes (-1: never)
    bool fail_rename = false;             // putting it in the file's place fails
    std::function<void()> while_writing;  // runs as each temporary file is written
};

class FaultyFileSystem final : public FileSystem {
  public:
    WriteFaults faults;

    int CreateNew(const std::string& path) override {
        written_ = 0;
        return faults.fail_open ? (errno = EIO, -1) : FileSystem::CreateNew(path);
    }
    long Write(int fd, const char* data, std::size_t size) override {
        if (faults.while_writing && written_ == 0) faults.while_writing();
        if (faults.fail_after_bytes >= 0) {
            const auto limit = static_cast<std::size_t>(faults.fail_after_bytes);
            if (written_ >= limit) return errno = ENOSPC, -1;
            if (size > limit - written_) size = limit - written_;
        }
        const long n = FileSystem::Write(fd, data, size);
        if (n > 0) written_ += static_cast<std::size_t>(n);
        return n;
    }
    bool PutInPlace(const std::string& temp, const std::string& target, bool replace) override {
        return faults.fail_rename ? (errno = EIO, false)
                                  : FileSystem::PutInPlace(temp, target, replace);
    }

  private:
    std::size_t written_ = 0;  // into the temporary file being written
};

}  // namespace vendaro
