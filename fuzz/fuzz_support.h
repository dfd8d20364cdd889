#pragma once
// Shared by the fuzz targets: a failed invariant stops the run with its text, and a profile
// over bytes in memory (the profiles' own write rules and reads, without a file) so that a
// target runs at memory speed.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/ini_bytes.h"
#include "platform/document_snapshot.h"
#include "platform/ini_text.h"
#include "platform/rewriting_profile.h"

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

// The files by path, in memory; writes follow the profiles' own rules (RewritingProfile).
class MemoryProfile final : public RewritingProfile {
  public:
    // A test may change them at will: reads compare the parsed copy's bytes.
    std::map<std::string, std::string> files;

    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return ValueOrDefault(nullptr, section, key, def);
        std::unique_ptr<ini::Document>& doc = parsed_[path];
        if (!doc || doc->bytes() != it->second) doc = std::make_unique<ini::Document>(it->second);
        return ValueOrDefault(doc.get(), section, key, def);
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }

  private:
    bool Modify(const std::string& path, const Edit& edit) override {
        auto it = files.find(path);
        if (std::optional<std::string> text = edit(it != files.end() ? &it->second : nullptr))
            files[path] = std::move(*text);
        return true;
    }
    bool RefuseLineBreak(const std::string&, const char*) override { return false; }

    std::map<std::string, std::unique_ptr<ini::Document>> parsed_;
};

}  // namespace vendaro::fuzz

#define REQUIRE_THAT(cond)                                   \
    do {                                                     \
        if (!(cond)) ::vendaro::fuzz::Fail(#cond, __LINE__); \
    } while (0)
