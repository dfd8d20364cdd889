#pragma once
// The profile functions on kernel32. Writes go through WritePrivateProfileStringA (an editor's
// Save through one WritePrivateProfileSectionA), each with the file's named mutex held, so two
// programs never lose each other's write. Reads come from the project's own parse of the file
// (platform/ini_text.h), which follows the reading rules of Windows' profile functions: kernel32
// costs a cache check and a search of every section per key, and start-up reads two keys of
// every script. The parse is kept while the file's size and times are unchanged and the file
// is older than the file system's time grain; a younger file is read again and compared by its
// bytes, so a change made by another program is seen by the next call. A UTF-16 file, which
// the parse does not read, is answered by kernel32.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/profile.h"

namespace vendaro::win32 {

// The name of the machine-wide mutex that guards writes to `path`: built from its full path
// folded to upper case, so every spelling of one file names one mutex.
std::string ProfileMutexName(const std::string& path);

// GetPrivateProfileStringA itself with a 2048-character buffer: how every read was made before
// the parse (the benchmarks' peer), and how a UTF-16 file is read.
std::string Kernel32GetString(std::string_view section, std::string_view key, std::string_view def,
                              const std::string& path);

class Kernel32Profile final : public Profile {
  public:
    // A section or key holding NUL reads as `def`: the C string kernel32 sees would name
    // another key.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override;
    // Refuses (returns false, changes nothing) a section, key or value holding CR, LF or NUL:
    // kernel32 would write such text raw, splitting the line into other keys or sections.
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override;
    // Refuses a section or key holding CR, LF or NUL.
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override;
    // Refuses a section holding CR, LF or NUL.
    bool DeleteSection(std::string_view section, const std::string& path) override;
    std::optional<std::string> ReadAll(const std::string& path) override;
    bool Append(const std::string& path, std::string_view bytes) override;
    // The edits under one hold of the mutex, as one WritePrivateProfileSectionA when that gives
    // the file that writing them key by key would (the section is the only one of its name
    // and holds key lines only, then maybe blank lines; names and values carry no blanks at
    // their ends), else key by key. Stops before the first edit holding CR, LF or NUL.
    std::size_t WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                          const std::string& path) override;
    // The edits and the removal under one hold of the mutex, so no other program of ours reads
    // or writes between them.
    bool WriteKeysAndRemoveSection(std::string_view section, std::span<const KeyEdit> edits,
                                   std::string_view removed, const std::string& path) override;
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string& path) override;

    // How many WriteKeys calls were made as one section write (for tests).
    std::size_t section_writes() const { return section_writes_; }

    // One reading of a file: its parse, or a UTF-16 file that kernel32 answers.
    struct Reading;

  private:
    struct Cached {
        std::uint64_t size = 0, write_time = 0, creation_time = 0;
        bool settled = false;  // old enough that any later change moves its times
        std::shared_ptr<const Reading> reading;
    };

    std::shared_ptr<const Reading> Load(const std::string& path);
    // nullopt: the edits cannot be made as one section write.
    std::optional<bool> WriteAsSection(std::string_view section, std::span<const KeyEdit> edits,
                                       const std::string& path);
    void Forget();

    std::mutex mutex_;
    std::unordered_map<std::string, Cached> cache_;
    std::size_t section_writes_ = 0;
};

}  // namespace vendaro::win32
