// Message box, input box, the file and folder dialogs, the pointer and program launch, shown
// for real and answered from a timer.
#include <doctest/doctest.h>

#include <fstream>
#include <string>

#include "platform/tests/win32/modal_driver.h"
#include "platform/win32/win32_dialogs.h"

#include <dlgs.h>

namespace vendaro::win32 {
namespace {

using testing::FindChildByText;
using testing::FindDialog;
using testing::ModalDriver;
using testing::PressButton;
using testing::TextOf;

// The Windows directory: a folder that other tests do not fill and empty while the folder
// dialog walks the tree down to it (the temporary folder is, and then the shell can miss it).
std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace

TEST_CASE("message box flags follow the request") {
    struct Row {
        MsgButtons buttons;
        MsgIcon icon;
        MsgDefault default_button;
        WindowHandle owner;
        UINT flags;
    };
    const Row rows[] = {
        {MsgButtons::YesNo, MsgIcon::Question, MsgDefault::Second, 1,
         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
        {MsgButtons::YesNo, MsgIcon::Question, MsgDefault::First, 1,
         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1},
        {MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First, 1, MB_OK | MB_ICONEXCLAMATION},
        {MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First, 0,
         MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL},
    };
    for (const Row& row : rows) {
        MessageBoxRequest request;
        request.buttons = row.buttons;
        request.icon = row.icon;
        request.default_button = row.default_button;
        request.owner = row.owner;
        CHECK(Win32Dialogs::MessageBoxFlags(request) == row.flags);
    }
}

TEST_CASE("a Yes/No message box shows its text and title and gives the button pressed") {
    Win32Dialogs dialogs;
    MessageBoxRequest request;
    request.text = "Are you sure you want to delete the selected DSN script?";
    request.title = "Vendaro!";
    request.buttons = MsgButtons::YesNo;
    request.icon = MsgIcon::Question;
    request.default_button = MsgDefault::Second;

    struct Case {
        int button;
        MsgAnswer answer;
    };
    for (Case c : {Case{IDYES, MsgAnswer::Yes}, Case{IDNO, MsgAnswer::No}}) {
        ModalDriver driver;
        std::string shown_text;
        LONG_PTR no_style = 0;
        LONG_PTR yes_style = 0;
        bool has_yes = false;
        driver.Then([&] {
            HWND box = FindDialog("Vendaro!");
            if (box == nullptr) return false;
            shown_text = TextOf(FindChildByText(box, request.text));
            has_yes = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr;
            yes_style = GetWindowLongPtrA(GetDlgItem(box, IDYES), GWL_STYLE);
            no_style = GetWindowLongPtrA(GetDlgItem(box, IDNO), GWL_STYLE);
            PressButton(box, c.button);
            return true;
        });
        CHECK(dialogs.MessageBox(request) == c.answer);
        CHECK(driver.Done());
        CHECK(driver.Failures().empty());
        CHECK(shown_text == request.text);
        CHECK(has_yes);
        // No is the default button: Enter answers No.
        CHECK((no_style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        CHECK((yes_style & BS_TYPEMASK) == BS_PUSHBUTTON);
    }
}

TEST_CASE("an OK message box answers Ok") {
    Win32Dialogs dialogs;
    MessageBoxRequest request;
    request.text = "DSN already exists.";
    request.title = "Vendaro!";
    ModalDriver driver;
    bool no_yes_button = false;
    driver.Then([&] {
        HWND box = FindDialog("Vendaro!");
        if (box == nullptr) return false;
        no_yes_button = GetDlgItem(box, IDYES) == nullptr && GetDlgItem(box, IDOK) != nullptr;
        PressButton(box, IDOK);
        return true;
    });
    CHECK(dialogs.MessageBox(request) == MsgAnswer::Ok);
    CHECK(driver.Failures().empty());
    CHECK(no_yes_button);
}

TEST_CASE("the input box shows prompt and title and gives the text or nothing") {
    Win32Dialogs dialogs;
    const std::string title = "Clone DSN script 'Sales'";
    ModalDriver driver;
    std::string prompt_shown;
    std::string initial_text = "not read";
    HWND focus = nullptr;
    HWND text_field = nullptr;

    SUBCASE("OK gives the text as typed") {
        driver.Then([&] {
            HWND box = FindDialog(title.c_str());
            if (box == nullptr) return false;
            prompt_shown = TextOf(GetDlgItem(box, kInputBoxPrompt));
            text_field = GetDlgItem(box, kInputBoxText);
            initial_text = TextOf(text_field);
            // Another test process's window may hold the foreground: the box is activated as a
            // user's click would, and the focus is then where the box put it.
            if (GetActiveWindow() != box) SetActiveWindow(box);
            focus = GetFocus();
            SetWindowTextA(text_field, "  Sales Copy  ");
            PressButton(box, IDOK);
            return true;
        });
        CHECK(dialogs.InputBox(0, "New DSN Name", title) == "  Sales Copy  ");
        CHECK(prompt_shown == "New DSN Name");
        CHECK(initial_text.empty());
        CHECK(focus == text_field);
    }
    SUBCASE("Cancel gives the empty string even after typing") {
        driver.Then([&] {
            HWND box = FindDialog(title.c_str());
            if (box == nullptr) return false;
            SetWindowTextA(GetDlgItem(box, kInputBoxText), "typed");
            PressButton(box, IDCANCEL);
            return true;
        });
        CHECK(dialogs.InputBox(0, "New DSN Name", title).empty());
    }
    SUBCASE("Escape gives the empty string") {
        driver.Then([&] {
            HWND box = FindDialog(title.c_str());
            if (box == nullptr) return false;
            SetWindowTextA(GetDlgItem(box, kInputBoxText), "typed");
            PostMessageA(GetDlgItem(box, kInputBoxText), WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        });
        CHECK(dialogs.InputBox(0, "New DSN Name", title).empty());
    }
    SUBCASE("Enter takes the text as OK does") {
        driver.Then([&] {
            HWND box = FindDialog(title.c_str());
            if (box == nullptr) return false;
            SetWindowTextA(GetDlgItem(box, kInputBoxText), "Sales2");
            PostMessageA(GetDlgItem(box, kInputBoxText), WM_KEYDOWN, VK_RETURN, 0);
            return true;
        });
        CHECK(dialogs.InputBox(0, "New DSN Name", title) == "Sales2");
    }
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
}

TEST_CASE("the open-file record") {
    OpenFileRequest request;
    request.owner = 0;
    request.platform_filter = std::string("Access Databases (*.mdb)\0*.mdb\0", 32);
    request.title = "Select Database";
    request.start_folder = "C:\\";
    char file[255];
    char file_title[255];
    OPENFILENAMEA record = Win32Dialogs::OpenFileRecord(request, file, file_title);
#if defined(_WIN32) && !defined(_WIN64)
    CHECK(record.lStructSize == 76);
#endif
    CHECK(record.lStructSize == OPENFILENAME_SIZE_VERSION_400A);
    CHECK(record.hInstance == GetModuleHandleA(nullptr));
    CHECK(record.lpstrFilter == request.platform_filter.c_str());
    CHECK(record.lpstrCustomFilter == nullptr);
    CHECK(record.nMaxCustFilter == 0);
    CHECK(record.nFilterIndex == 0);
    CHECK(record.lpstrFile == file);
    CHECK(record.nMaxFile == 255);
    CHECK(std::string(file) == std::string(254, ' '));
    CHECK(record.lpstrFileTitle == file_title);
    CHECK(record.nMaxFileTitle == 255);
    CHECK(std::string(file_title) == std::string(254, ' '));
    CHECK(std::string(record.lpstrInitialDir) == "C:\\");
    CHECK(std::string(record.lpstrTitle) == "Select Database");
    CHECK(record.Flags == OFN_FILEMUSTEXIST);
    CHECK(record.lpstrDefExt == nullptr);
    CHECK(static_cast<bool>(record.lpfnHook == nullptr));
    CHECK(record.lpTemplateName == nullptr);
}

TEST_CASE("the open-file dialog gives the chosen file, or nothing on Cancel") {
    std::string folder = TempFolder();
    std::string chosen = folder + "\\vendaro_open_test.mdb";
    { std::ofstream(chosen) << "x"; }
    Win32Dialogs dialogs;
    OpenFileRequest request;
    request.platform_filter = std::string("Access Databases (*.mdb)\0*.mdb\0", 32);
    request.title = "Select Database";
    request.start_folder = folder;
    ModalDriver driver;
    std::string buffer = "untouched";

    SUBCASE("OK") {
        driver.Then([&] {
            HWND box = FindDialog("Select Database");
            if (box == nullptr) return false;
            // The file name field: cmb13 in the Explorer-style dialog, edt1 in the old one.
            if (!SetDlgItemTextA(box, cmb13, chosen.c_str())) {
                SetDlgItemTextA(box, edt1, chosen.c_str());
            }
            PressButton(box, IDOK);
            return true;
        });
        CHECK(dialogs.OpenFile(request, buffer));
        CHECK(buffer == chosen);
    }
    SUBCASE("Cancel") {
        driver.Then([&] {
            HWND box = FindDialog("Select Database");
            if (box == nullptr) return false;
            PressButton(box, IDCANCEL);
            return true;
        });
        CHECK_FALSE(dialogs.OpenFile(request, buffer));
        CHECK(buffer.empty());
    }
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
    DeleteFileA(chosen.c_str());
}

TEST_CASE("the folder dialog's record") {
    const std::string title = "Select a driver path";
    const std::string start = "C:\\Drivers";
    BROWSEINFOA record = Win32Dialogs::BrowseRecord(7, title, start);
    CHECK(record.hwndOwner == reinterpret_cast<HWND>(7));
    CHECK(record.pidlRoot == nullptr);
    CHECK(record.pszDisplayName == nullptr);
    CHECK(std::string(record.lpszTitle) == "Select a driver path");
    CHECK(record.ulFlags == 7);
    CHECK(static_cast<bool>(record.lpfn == &Win32Dialogs::BrowseCallbackProc));
    CHECK(record.lParam == reinterpret_cast<LPARAM>(start.c_str()));
}

TEST_CASE("the folder dialog starts on the start folder and gives the chosen folder") {
    Win32Dialogs dialogs;
    std::string start = WindowsFolder();
    ModalDriver driver;
    std::string folder = "untouched";
    bool title_shown = false;

    std::string status;
    SUBCASE("OK keeps the preselected start folder") {
        driver.Then([&] {
            HWND box = FindDialog(nullptr);
            if (box == nullptr) return false;
            title_shown = FindChildByText(box, "Select a driver path") != nullptr;
            status = TextOf(GetDlgItem(box, 0x3743));  // the status line under the title
            // The user answers once the dialog shows its start folder selected.
            if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, status.c_str(), -1,
                               start.c_str(), -1) != CSTR_EQUAL) {
                return false;
            }
            PressButton(box, IDOK);
            return true;
        });
        CHECK(dialogs.BrowseFolder(0, "Select a driver path", start, folder));
        CHECK(title_shown);
        // Wine may spell the folder in other case than GetTempPathA.
        CHECK(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, folder.c_str(), -1,
                             start.c_str(), -1) == CSTR_EQUAL);
        // The callback showed the path of the selection it made.
        CHECK(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, status.c_str(), -1,
                             start.c_str(), -1) == CSTR_EQUAL);
    }
    SUBCASE("Cancel gives nothing") {
        driver.Then([&] {
            HWND box = FindDialog(nullptr);
            if (box == nullptr) return false;
            PressButton(box, IDCANCEL);
            return true;
        });
        CHECK_FALSE(dialogs.BrowseFolder(0, "Select a driver path", start, folder));
        CHECK(folder.empty());
    }
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
}

TEST_CASE("the busy pointer is the hourglass until it is set back") {
    Win32Dialogs dialogs;
    dialogs.SetBusy(true);
    CHECK(Win32Dialogs::Busy());
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    dialogs.SetBusy(false);
    CHECK_FALSE(Win32Dialogs::Busy());
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

TEST_CASE("launching does not wait, and a missing program is reported") {
    Win32Dialogs dialogs;
    std::string marker = TempFolder() + "\\vendaro_launch_marker.txt";
    DeleteFileA(marker.c_str());
    CHECK(dialogs.Launch("cmd.exe /c echo started> \"" + marker + "\""));
    bool appeared = testing::PumpUntil(
        [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; });
    CHECK(appeared);
    DeleteFileA(marker.c_str());
    CHECK_FALSE(dialogs.Launch("vendaro_no_such_program_here.exe"));
}

}  // namespace vendaro::win32
