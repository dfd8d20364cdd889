#pragma once
// The private-profile (INI) file functions the script store is built on: kernel32's on
// Windows, the project's own reader and writer elsewhere. Every call opens, reads or rewrites
// and closes the file on its own, so a change made by another program is seen by the next call.
#include <optional>
#include <string>
#include <string_view>

namespace vendaro {

class Profile {
public:
    virtual ~Profile() = default;

    // Like GetPrivateProfileStringA with a 2048-character buffer: the key's value (at most
    // 2047 characters), or `def` when the file, the section or the key is missing.
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view def, const std::string& path) = 0;

    // Sets key = value, creating the section and the file when missing.
    // Returns false on failure, leaving the file as it was.
    virtual bool SetString(std::string_view section, std::string_view key,
                           std::string_view value, const std::string& path) = 0;

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
};

}  // namespace vendaro
