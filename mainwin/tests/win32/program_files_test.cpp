// What ships with the program: the version resource the about box agrees with, the
// common-controls 6 manifest, and the help file beside vendaro.exe.
#include <doctest/doctest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mainwin/frm_about.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {
namespace {

// A path of the build tree as this process can open it (under Wine, Unix paths are on Z:).
std::string BuildPath(const std::string& name) {
    std::string path = std::string(VENDARO_BINARY_DIR) + "/" + name;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string VersionString(const std::string& file, const std::string& name) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) return "<no version resource>";
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return "<unreadable>";
    char* value = nullptr;
    UINT length = 0;
    std::string query = "\\StringFileInfo\\040904E4\\" + name;
    if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return "<missing " + name + ">";
    }
    return std::string(value);
}

}  // namespace

TEST_CASE("vendaro.exe carries the about box's version and a common-controls 6 manifest") {
    const std::string exe = BuildPath("vendaro.exe");
    CHECK(VersionString(exe, "ProductVersion") == kProductVersion);
    CHECK(VersionString(exe, "FileVersion") == kProductVersion);
    CHECK(VersionString(exe, "ProductName") == kProductName);

    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(module != nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    REQUIRE(found != nullptr);
    HGLOBAL loaded = LoadResource(module, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);
    CHECK(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos);
    CHECK(manifest.find("version=\"6.0.0.0\"") != std::string::npos);
}

TEST_CASE("faq.fil lies beside vendaro.exe as plain text") {
    std::ifstream in(BuildPath("faq.fil"), std::ios::binary);
    REQUIRE(in.good());
    std::ostringstream text;
    text << in.rdbuf();
    const std::string help = text.str();
    CHECK(help.size() > 200);
    CHECK(help.find('\0') == std::string::npos);
    CHECK(help.find("-ue") != std::string::npos);
}

}  // namespace vendaro::win32
