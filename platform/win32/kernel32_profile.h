#pragma once
// The profile functions on kernel32's GetPrivateProfileStringA and WritePrivateProfileStringA;
// the whole-file reading and appending on the C library.
#include "platform/profile.h"

namespace vendaro::win32 {

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
};

}  // namespace vendaro::win32
