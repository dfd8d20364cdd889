// The folder chooser on the real shell dialog, with the callback built on the chooser logic.
#include <doctest/doctest.h>

#include <string>

#include "platform/tests/win32/modal_driver.h"
#include "platform/win32/win32_dialogs.h"
#include "shell/pickers.h"
#include "shell/win32/browse_callback.h"

namespace vendaro::win32 {
namespace {

constexpr int kBrowseStatusText = 0x3743;  // the status line under the folder dialog's title

// The Windows directory: a folder that other tests do not fill and empty while the dialog
// walks the tree down to it (the temporary folder is, and then the shell can miss it).
std::string StartFolder() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

}  // namespace

TEST_CASE("the folder chooser selects its start folder and shows the selected path") {
    Win32Dialogs dialogs(&BrowseCallbackProc);
    const std::string start = StartFolder();
    testing::ModalDriver driver;
    std::string status;

    SUBCASE("OK") {
        driver.Then([&] {
            HWND box = testing::FindDialog(nullptr);
            if (box == nullptr) return false;
            status = testing::TextOf(GetDlgItem(box, kBrowseStatusText));
            // The user answers once the dialog shows its start folder selected.
            if (!SameFolder(status, start)) return false;
            testing::PressButton(box, IDOK);
            return true;
        });
        const std::string chosen = BrowseForFolder(dialogs, 0, "Select a driver path", start);
        CAPTURE(chosen);
        CAPTURE(status);
        CAPTURE(start);
        CHECK(SameFolder(chosen, start));
        CHECK(SameFolder(status, start));
    }
    SUBCASE("Cancel") {
        driver.Then([&] {
            HWND box = testing::FindDialog(nullptr);
            if (box == nullptr) return false;
            testing::PressButton(box, IDCANCEL);
            return true;
        });
        CHECK(BrowseForFolder(dialogs, 0, "Select a driver path", start).empty());
    }
    CHECK(BrowseStartFolder() == start + '\0');
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
}

TEST_CASE("the callback always answers 0 and ignores other messages") {
    CHECK(BrowseCallbackProc(nullptr, 0x4242, 0, 0) == 0);
    CHECK(BrowseCallbackProc(nullptr, BFFM_SELCHANGED, 0, 0) == 0);
}

}  // namespace vendaro::win32
