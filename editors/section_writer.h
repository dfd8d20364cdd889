#pragma once
// One script section written key by key, as the editors save.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/script_store.h"

namespace vendaro {

// Writes the keys of one section in order and stops at the first write that fails, so that a
// file that refuses writes is not changed any further. The keys are written together, as one
// change of the file, when ok() is asked (or when the writer goes): a Save of some 27 keys
// then reads and rewrites a large script file once instead of 27 times.
class SectionWriter {
  public:
    SectionWriter(ScriptStore& store, std::string section)
        : store_(store), section_(std::move(section)) {}
    ~SectionWriter() { Flush(); }
    SectionWriter(const SectionWriter&) = delete;
    SectionWriter& operator=(const SectionWriter&) = delete;

    // key = value, or the key removed when `value` is empty; nothing once a write has failed.
    void Write(std::string_view key, std::string_view value);
    // Writes the keys given so far and says whether every write succeeded.
    bool ok() {
        Flush();
        return ok_;
    }

  private:
    void Flush();

    ScriptStore& store_;
    std::string section_;
    std::vector<std::pair<std::string, std::string>> pending_;
    bool ok_ = true;
};

}  // namespace vendaro
