#pragma once
// Shared by the fuzz targets: a failed invariant stops the run with its text, and a profile
// over bytes in memory (the POSIX profile's rules on the shared INI engine, without a file) so
// that a target runs at memory speed.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/ini_bytes.h"
#include "platform/ini_text.h"
#include "platform/profile.h"

namespace vendaro::fuzz {

[[noreturn]] inline void Fail(const char* what, int line) {
    std::fprintf(stderr, "invariant broken (line %d): %s\n", line, what);
    std::abort();
}

// VENDARO_FUZZ_TRACE set: a target prints its steps (to replay a finding).
inline bool Tracing() {
    static const bool on = std::getenv("VENDARO_FUZZ_TRACE") != nullptr;
    return on;
}

// `s` quoted, with bytes outside printable ASCII as \xNN.
inline std::string Shown(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out + "\"";
}

inline bool HoldsBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

class MemoryProfile final : public Profile {
  public:
    // The files by path. A test may change them at will: reads compare the parsed copy's bytes.
    std::map<std::string, std::string> files;

    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override {
        auto it = files.find(path);
        if (it != files.end()) {
            std::unique_ptr<ini::Document>& doc = parsed_[path];
            if (!doc || doc->bytes() != it->second)
                doc = std::make_unique<ini::Document>(it->second);
            if (auto v = doc->Get(section, key)) return *v;
        }
        def = def.substr(0, def.find('\0'));
        while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
        return std::string(def.substr(0, ini::kMaxValueChars));
    }
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override {
        if (HoldsBreakOrNul(section) || HoldsBreakOrNul(key) || HoldsBreakOrNul(value)) {
            return false;
        }
        files[path] = ini::SetValue(files[path], section, key, value);
        return true;
    }
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override {
        if (HoldsBreakOrNul(section) || HoldsBreakOrNul(key)) return false;
        auto it = files.find(path);
        if (it != files.end()) it->second = ini::DeleteKey(it->second, section, key);
        return true;
    }
    bool DeleteSection(std::string_view section, const std::string& path) override {
        if (HoldsBreakOrNul(section)) return false;
        auto it = files.find(path);
        if (it != files.end()) it->second = ini::DeleteSection(it->second, section);
        return true;
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        files[path].append(bytes);
        return true;
    }

  private:
    std::map<std::string, std::unique_ptr<ini::Document>> parsed_;
};

}  // namespace vendaro::fuzz

#define REQUIRE_THAT(cond)                                   \
    do {                                                     \
        if (!(cond)) ::vendaro::fuzz::Fail(#cond, __LINE__); \
    } while (0)
