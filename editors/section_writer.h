#pragma once
// One script section written key by key, as the editors save.
#include <string>
#include <string_view>
#include <utility>

#include "store/script_store.h"

namespace vendaro {

// Writes the keys of one section in order and stops at the first write that fails, so that a
// file that refuses writes is not changed any further.
class SectionWriter {
  public:
    SectionWriter(ScriptStore& store, std::string section)
        : store_(store), section_(std::move(section)) {}
    // key = value, or the key removed when `value` is empty; nothing once a write has failed.
    void Write(std::string_view key, std::string_view value);
    bool ok() const { return ok_; }

  private:
    ScriptStore& store_;
    std::string section_;
    bool ok_ = true;
};

}  // namespace vendaro
