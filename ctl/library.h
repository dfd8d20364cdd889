#pragma once
// The script library as vendaroctl reads it: one file, read through the platform's profile
// functions as vendaro reads its scripts (so a script gives the same write list), and never
// written.
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/profile.h"
#include "store/script_store.h"

namespace vendaro::ctl {

class Library {
  public:
    // Opens the library at `path` (`separator`: the platform's path separator). Null, with
    // `error` saying which file and why, when it cannot be read.
    static std::unique_ptr<Library> Open(Profile& profile, const std::string& path, char separator,
                                         std::string& error);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const std::string& path() const { return path_; }
    // Every script, in file order, as vendaro's list shows them.
    const std::vector<ScriptRow>& rows() const { return rows_; }
    // The script named `name` without regard to case (the last of that name, as vendaro's
    // command line picks it); null when none is.
    const ScriptRow* Find(const std::string& name) const;
    // The store whose reads answer from the library: BuildWriteList reads a script's keys here.
    // Its writes go to the platform's profile, with the library refused.
    ScriptStore& store() { return *store_; }

  private:
    class ReadOnlyProfile;
    Library() = default;

    std::string path_;
    std::unique_ptr<ReadOnlyProfile> profile_;
    std::unique_ptr<ScriptStore> store_;
    // The library is one reading for the whole run: the store's reads answer from it as one
    // version, which lets a script's keys be read in one walk over its section.
    std::optional<ScriptStore::OneVersion> version_;
    std::vector<ScriptRow> rows_;
    std::unordered_map<std::string, std::size_t> by_name_;  // lower case: the last row's index
};

}  // namespace vendaro::ctl
