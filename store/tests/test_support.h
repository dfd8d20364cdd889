#pragma once
// Helpers shared by the store's tests: a scratch directory, whole-file access that bypasses
// the profile, and the marks for cases where Wine's kernel32 is known to differ from Windows.
#include <string>
#include <string_view>

namespace vendaro::test {

// Joins the parts (spelled this way because g++ 12 at -O2 warns wrongly about
// "literal" + std::string).
template <typename... Parts>
std::string Cat(const Parts&... parts) {
    std::string out;
    (out.append(std::string_view(parts)), ...);
    return out;
}

// The separator of file paths on the platform being built.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// A fresh, empty directory, removed with everything in it at the end of the test.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // The directory, without a trailing separator.
    const std::string& path() const { return path_; }
    // path() + separator + name.
    std::string File(const std::string& name) const;

  private:
    std::string path_;
};

// Writes the bytes as they are, replacing the file (as another program would).
void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; "<missing>" when it cannot be opened.
std::string ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
void MakeDirectory(const std::string& path);

// True when the tests run on Wine's kernel32.
bool RunningUnderWine();
// True on Windows (real or Wine).
constexpr bool OnWindows() {
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

// Marks a check Wine is known to get wrong where Windows (and this project's own reader) get it
// right: returns true under Wine, after noting the case in the test output, so the caller skips
// the check there.
bool WineDiffers(const char* what);
// Marks a check where real Windows is known to differ from this project's own reader (and from
// Wine): returns true on real Windows, after noting the case.
bool WindowsDiffers(const char* what);

}  // namespace vendaro::test
