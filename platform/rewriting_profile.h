#pragma once
// The writes of a profile that makes a file's new text from its old text with the INI engine
// and puts it in the file's place as one change: the rules both platforms' profiles write by.
// Each platform says how a file is replaced (Modify) and how a refusal is told.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace vendaro {

class RewritingProfile : public Profile {
  public:
    // Refuses (returns false, changes nothing) a section, key or value holding CR, LF or NUL:
    // written raw, it would split the line into other keys or sections.
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override;
    // Refuses a section or key holding CR, LF or NUL.
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override;
    // Refuses a section holding CR, LF or NUL.
    bool DeleteSection(std::string_view section, const std::string& path) override;
    bool Append(const std::string& path, std::string_view bytes) override;
    // The edits as one replacement of the file. Stops before the first edit holding CR, LF or
    // NUL (the ones before it are made); a failed replacement makes none and returns 0.
    std::size_t WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                          const std::string& path) override;
    // The edits and the removal as one replacement; nothing is made when an edit holds CR, LF
    // or NUL.
    bool WriteKeysAndRemoveSection(std::string_view section, std::span<const KeyEdit> edits,
                                   std::string_view removed, const std::string& path) override;

  protected:
    // The new text of the file from its old text (null for a missing file), or nullopt when
    // nothing changes.
    using Edit = std::function<std::optional<std::string>(const std::string* old)>;
    // Replaces the file by what `edit` makes of it, as one change; false (the file as it was,
    // the reason noted) when it cannot.
    virtual bool Modify(const std::string& path, const Edit& edit) = 0;
    // Notes why a write to `path` was refused (kLineBreakRefused or kLineBreakStopped); false.
    virtual bool RefuseLineBreak(const std::string& path, const char* why) = 0;
    // The line end of the lines an edit of `old` (null: a missing file) writes.
    virtual std::string_view LineEndFor(const std::string* /*old*/) const { return "\r\n"; }
};

}  // namespace vendaro
