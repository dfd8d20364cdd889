#pragma once
// The file-system calls a FileProfile writes a file with, behind an interface so that a test
// can make any of them fail; the defaults are the system's own. Also the small descriptor and
// reading helpers the POSIX profile's pieces share.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace vendaro {

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Creates `path`, which must not exist, for writing. Returns the descriptor, or -1 with
    // errno set.
    virtual int CreateNew(const std::string& path);
    // Writes up to `size` bytes. Returns how many were written, or -1 with errno set.
    virtual long Write(int fd, const char* data, std::size_t size);
    // Puts the file `temp` in `target`'s place: over it when `replace`, otherwise only while
    // the name is free (EEXIST when it is not). Returns false with errno set on failure, `temp`
    // then left where it was.
    virtual bool PutInPlace(const std::string& temp, const std::string& target, bool replace);
};

// The system's file system, for profiles that inject nothing.
FileSystem& SystemFileSystem();

// A descriptor closed when it goes.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes the descriptor held and holds `fd` instead.
    void Reset(int fd);
    // Closes now; returns false (errno set) when closing reported an error.
    bool Close();

  private:
    int fd_;
};

// A file time in nanoseconds.
std::int64_t Nanos(const timespec& t);

// Opens a regular file for reading and fills `st`; -1 with errno set otherwise (EISDIR for a
// folder, EINVAL for a FIFO, a device or a socket, none of which is opened).
int OpenRegular(const std::string& path, struct stat& st);

// Reads the whole file from its first byte, whatever the descriptor's offset. Returns false
// with errno set on failure.
bool ReadWhole(int fd, std::string& out, std::size_t size_hint);

// The directory part of `path` ("." when it has none).
std::string DirectoryOf(const std::string& path);

}  // namespace vendaro
