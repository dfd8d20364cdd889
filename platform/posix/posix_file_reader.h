#pragma once
// The parse cache's reads on POSIX: a file's state is its device, inode, size and the times
// stat gives in nanoseconds.
#include "platform/parse_cache.h"

namespace vendaro {

class PosixFileReader final : public FileReader {
  public:
    std::optional<FileState> StateOf(const std::string& path) override;
    bool ReadOnce(const std::string& path, std::string& bytes, FileState& before,
                  FileState& after) override;
    std::int64_t NowNs() override;
};

// The reader every POSIX profile shares (it holds nothing).
PosixFileReader& SystemFileReader();

}  // namespace vendaro
