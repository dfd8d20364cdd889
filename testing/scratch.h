#pragma once
// A scratch folder that removes itself, and whole files read and written as bytes; whether the
// tests run under Wine.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

namespace vendaro::test {

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("vendaro-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The file's bytes; "" for a file that cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Wine's loader names its folders in every Windows process's environment; Windows and a Linux
// shell do not.
inline bool UnderWine() {
    return std::getenv("WINECONFIGDIR") != nullptr;
}

}  // namespace vendaro::test
