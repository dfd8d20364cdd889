#pragma once
// A scratch folder that removes itself, whole files read and written as bytes, a file aged to
// settled; whether the tests run under Wine.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>

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

// Puts the file's modification time a minute back and waits until its change time is old too:
// a profile then takes the file for settled, as one no program has written for a while.
inline void Age(const std::filesystem::path& path) {
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The file's bytes; "" for a file that cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Wine's loader names its folders in every Windows process's environment; Windows and a Linux
// shell do not.
inline bool UnderWine() {
    return std::getenv("WINECONFIGDIR") != nullptr;
}

}  // namespace vendaro::test
