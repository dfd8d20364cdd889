#pragma once
// The peer of the benchmarks on Windows: the profile as it was before it read through its own
// parse, every key read a GetPrivateProfileStringA call and every Save written key by key.
// Elsewhere there is no such peer (null).
#include <memory>
#include <span>

#include "platform/profile.h"
#ifdef _WIN32
#include "platform/win32/kernel32_profile.h"
#endif

namespace vendaro::bench {

#ifdef _WIN32
class PerCallProfile final : public Profile {
  public:
    explicit PerCallProfile(Profile& real) : real_(real) {}
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override {
        return win32::Kernel32GetString(section, key, def, path);
    }
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override {
        return real_.SetString(section, key, value, path);
    }
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override {
        return real_.DeleteKey(section, key, path);
    }
    bool DeleteSection(std::string_view section, const std::string& path) override {
        return real_.DeleteSection(section, path);
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        return real_.ReadAll(path);
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        return real_.Append(path, bytes);
    }

  private:
    Profile& real_;
};
#endif

inline std::unique_ptr<Profile> MakePerCallProfile([[maybe_unused]] Profile& real) {
#ifdef _WIN32
    return std::make_unique<PerCallProfile>(real);
#else
    return nullptr;
#endif
}

}  // namespace vendaro::bench
