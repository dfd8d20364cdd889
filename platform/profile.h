#pragma once
// The private-profile (INI) file functions the script store is built on: kernel32's on
// Windows, the project's own reader and writer elsewhere. Every call opens, reads or rewrites
// and closes the file on its own, so a change made by another program is seen by the next call.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ini_text.h"
#include "platform/key_edit.h"

namespace vendaro {

// True when `text` holds CR, LF or NUL: as a section, key or value it would split a line of
// the file and add keys or sections nobody wrote, so no profile write takes it.
inline bool HoldsLineBreakOrNul(std::string_view text) {
    // One pass: find_first_of would call memchr over the three for every character.
    for (const char c : text) {
        if (c == '\r' || c == '\n' || c == '\0') return true;
    }
    return false;
}
// Why such a write fails: refused whole, or a series of edits stopped at the first such one.
inline constexpr char kLineBreakRefused[] =
    "a name or value holds a line break or NUL; nothing was written";
inline constexpr char kLineBreakStopped[] =
    "a name or value holds a line break or NUL; it and the edits after it were not written";

// How many of `edits`, from the first, a profile may write to `section`: it stops at the first
// edit holding CR, LF or NUL (0 when the section holds one).
inline std::size_t WritableEdits(std::string_view section, std::span<const KeyEdit> edits) {
    std::size_t valid = 0;
    if (HoldsLineBreakOrNul(section)) return 0;
    while (valid < edits.size() && !HoldsLineBreakOrNul(edits[valid].key) &&
           (edits[valid].remove || !HoldsLineBreakOrNul(edits[valid].value))) {
        ++valid;
    }
    return valid;
}

// One reading of a profile file that answers many reads, as the profile would have answered
// them when it was taken (start-up reads two keys of every script: one reading serves them all).
class ProfileSnapshot {
  public:
    virtual ~ProfileSnapshot() = default;
    // The file's bytes; nullopt when it was missing or unreadable.
    virtual std::optional<std::string_view> Bytes() const = 0;
    // Calls `fn` with every line whose first character is "[", in file order, without its line
    // end.
    virtual void ForEachBracketLine(const std::function<void(std::string_view)>& fn) const {
        if (std::optional<std::string_view> bytes = Bytes()) {
            ini::ForEachLine(*bytes, [&](std::string_view line) {
                if (!line.empty() && line.front() == '[') fn(line);
            });
        }
    }
    // Profile::GetString on this content.
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view def) const = 0;
    // The key lines of `section`, for many reads of it: a key found there is what GetString
    // would answer; one not found is read through GetString. By default none are found.
    virtual ini::SectionKeys KeysOf(std::string_view /*section*/) const { return {}; }
};

class Profile {
  public:
    virtual ~Profile() = default;

    // Like GetPrivateProfileStringA with a 2048-character buffer: the key's value (at most
    // 2047 characters), or `def` when the file, the section or the key is missing.
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view def, const std::string& path) = 0;

    // Sets key = value, creating the section and the file when missing.
    // Returns false on failure, leaving the file as it was.
    virtual bool SetString(std::string_view section, std::string_view key, std::string_view value,
                           const std::string& path) = 0;

    // Removes one key; removing from a missing file creates no file. Returns false on failure.
    virtual bool DeleteKey(std::string_view section, std::string_view key,
                           const std::string& path) = 0;

    // Removes a section, header and keys. Returns false on failure.
    virtual bool DeleteSection(std::string_view section, const std::string& path) = 0;

    // The file's bytes, or nullopt when it is missing or unreadable.
    virtual std::optional<std::string> ReadAll(const std::string& path) = 0;

    // Appends raw bytes (the file is created when missing). Returns false on failure,
    // leaving the file as it was.
    virtual bool Append(const std::string& path, std::string_view bytes) = 0;

    // Makes `edits` to one section in order, as SetString (or DeleteKey for a removal) one
    // after another would, and stops before the first one that fails. Returns how many were
    // made. A profile that can makes them as one change of the file.
    virtual std::size_t WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                                  const std::string& path) {
        std::size_t made = 0;
        for (const KeyEdit& edit : edits) {
            const bool ok = edit.remove ? DeleteKey(section, edit.key, path)
                                        : SetString(section, edit.key, edit.value, path);
            if (!ok) break;
            ++made;
        }
        return made;
    }

    // Makes `edits` to `section` as WriteKeys does, then removes the section `removed` (another
    // name): a script saved under a new name. A profile that can makes it one change of the file,
    // so a reader finds the old file or the new one, never one with both sections or neither.
    // Returns true when all of it was made; nothing is removed when an edit was not made.
    virtual bool WriteKeysAndRemoveSection(std::string_view section, std::span<const KeyEdit> edits,
                                           std::string_view removed, const std::string& path) {
        return WriteKeys(section, edits, path) == edits.size() && DeleteSection(removed, path);
    }

    // A reading of `path` for many reads. By default every read still goes to the profile.
    virtual std::unique_ptr<ProfileSnapshot> Snapshot(const std::string& path);
};

// The snapshot of a profile that has no cheaper one: the bytes are read once, every key read
// goes to the profile.
class ForwardingSnapshot final : public ProfileSnapshot {
  public:
    ForwardingSnapshot(Profile& profile, std::string path)
        : profile_(profile), path_(std::move(path)), bytes_(profile_.ReadAll(path_)) {}
    std::optional<std::string_view> Bytes() const override {
        if (!bytes_) return std::nullopt;
        return std::string_view(*bytes_);
    }
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const override {
        return profile_.GetString(section, key, def, path_);
    }

  private:
    Profile& profile_;
    std::string path_;
    std::optional<std::string> bytes_;
};

inline std::unique_ptr<ProfileSnapshot> Profile::Snapshot(const std::string& path) {
    return std::make_unique<ForwardingSnapshot>(*this, path);
}

}  // namespace vendaro
