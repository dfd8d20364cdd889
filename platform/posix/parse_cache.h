#pragma once
// Parses of recently read files, reused while a file's identity (device, inode), size and
// change times (in nanoseconds) are unchanged: start-up reads two keys per script, and one
// parse answers them all. A parse of a file changed too recently for its times to tell a later
// change apart is only reused after comparing the bytes.
#include <sys/stat.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/ini_text.h"

namespace vendaro {

class ParseCache {
  public:
    // The parse of the file at `path` as it is now; null when it is missing, not a regular
    // file or unreadable.
    std::shared_ptr<const ini::Document> Load(const std::string& path);
    // Forgets every parse (the file was written).
    void Clear() { entries_.clear(); }

  private:
    struct Entry {
        struct stat state {};  // of the file as it was read
        bool settled = false;  // old enough that any later change moves its times
        std::shared_ptr<const ini::Document> doc;
    };
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace vendaro
