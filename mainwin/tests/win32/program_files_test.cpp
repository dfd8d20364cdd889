// What ships in vendaro.exe besides code: the about box's version and the common-controls 6
// manifest.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "mainwin/frm_about.h"
#include "platform/win32/windows_api.h"

TEST_CASE("vendaro.exe carries the about box's version and a common-controls 6 manifest") {
    const std::string exe = "Z:" VENDARO_BINARY_DIR "/vendaro.exe";
    std::vector<char> data(GetFileVersionInfoSizeA(exe.c_str(), nullptr));
    REQUIRE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    char* version = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                           reinterpret_cast<void**>(&version), &length));
    CHECK(std::string(version) == vendaro::kProductVersion);
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    REQUIRE(found != nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    FreeLibrary(module);
    CHECK(manifest.find("Common-Controls\" version=\"6.0.0.0\"") != std::string::npos);
}
