#pragma once
// The parse cache's reads on Windows: a file's state is its size and its write, change and
// creation times.
#include "platform/parse_cache.h"

namespace vendaro::win32 {

class Win32FileReader final : public FileReader {
  public:
    std::optional<FileState> StateOf(const std::string& path) override;
    bool ReadOnce(const std::string& path, std::string& bytes, FileState& before,
                  FileState& after) override;
    std::int64_t NowNs() override;
};

// The reader every Windows profile shares (it holds nothing).
Win32FileReader& SystemFileReader();

}  // namespace vendaro::win32
