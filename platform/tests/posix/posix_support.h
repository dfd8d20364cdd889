#pragma once
// Pointing unixODBC at a temporary folder.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testing/scratch.h"

namespace vendaro::posix_test {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The folder of the system's odbc.ini and odbcinst.ini for the tests of one process: unixODBC
// resolves $ODBCSYSINI once per process and keeps the answer.
inline const std::filesystem::path& SharedSystemFolder() {
    static const TempDir folder;
    return folder.path();
}

// Sets environment variables for its lifetime (for the in-process unixODBC calls).
class EnvScope {
  public:
    explicit EnvScope(const std::map<std::string, std::string>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~EnvScope() {
        for (const auto& [name, old] : saved_) {
            old ? ::setenv(name.c_str(), old->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace vendaro::posix_test
