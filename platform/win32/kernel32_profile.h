#pragma once
// The profile functions on Windows. A write never leaves a half-written file: the project's INI
// engine (platform/ini_text.h, which follows the writing rules of Windows' profile functions)
// makes the new text, which goes to a temporary file beside the old one and replaces it with
// a rename (keeping the file's attributes and security), all with the file's named mutex
// held, so two programs never lose each other's write and a killed program leaves the old
// file or the new one. kernel32's WritePrivateProfileStringA rewrites the file in place.
//
// Reads come from the same engine's parse of the file, through the parse cache (reused while
// the file's size and times are unchanged, so a change made by another program is seen by the
// next call): kernel32 costs a cache check and a search of every section per key, and start-up
// reads two keys of every script.
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/parse_cache.h"
#include "platform/rewriting_profile.h"
#include "platform/win32/win32_file_reader.h"

namespace vendaro::win32 {

// The name of the machine-wide mutex that guards writes to `path`: built from its full path
// folded to upper case, so every spelling of one file names one mutex.
std::string ProfileMutexName(const std::string& path);

// GetPrivateProfileStringA itself with a 2048-character buffer: how every read was made before
// the parse (the benchmarks' peer, and the tests' witness of what Windows reads).
std::string Kernel32GetString(std::string_view section, std::string_view key, std::string_view def,
                              const std::string& path);

class Kernel32Profile final : public RewritingProfile {
  public:
    // A section or key holding NUL reads as `def`: the C string kernel32 sees would name
    // another key.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override;
    std::optional<std::string> ReadAll(const std::string& path) override;
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string& path) override;

  private:
    // Fails (changing nothing, with the reason noted) where the file cannot be replaced: a
    // read-only file, a folder without the right to create files, a full disk.
    bool Modify(const std::string& path, const Edit& edit) override;
    bool RefuseLineBreak(const std::string& path, const char* why) override;
    bool RewriteFile(const std::string& path, const Edit& edit);

    void Forget();

    std::mutex mutex_;
    ParseCache cache_{SystemFileReader(), ParseCache::Keep::WhileUsed};
};

}  // namespace vendaro::win32
