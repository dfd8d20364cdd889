#include "store/tests/test_support.h"

#include <doctest/doctest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace vendaro::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path dir =
            fs::temp_directory_path() / Cat("vendaro-store-", std::to_string(random()), "-",
                                            std::to_string(stamp), "-", std::to_string(++counter));
        std::error_code error;
        if (fs::create_directory(dir, error)) {
            path_ = dir.string();
            return;
        }
    }
    FAIL("cannot create a scratch directory");
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    fs::remove_all(path_, error);
}

std::string ScratchDir::File(const std::string& name) const {
    return path_ + kSeparator + name;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    REQUIRE(out.good());
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

void MakeDirectory(const std::string& path) {
    std::error_code error;
    REQUIRE(fs::create_directory(path, error));
}

bool WineDiffers(const char* what) {
    if (!RunningUnderWine()) return false;
    const std::string note = Cat("skipped under Wine, which differs from Windows here: ", what);
    MESSAGE(note);
    return true;
}

bool WindowsDiffers(const char* what) {
    if (!OnWindows() || RunningUnderWine()) return false;
    const std::string note = Cat("skipped on Windows, which differs here: ", what);
    MESSAGE(note);
    return true;
}

}  // namespace vendaro::test
