// The message box, input box, file and folder choosers, busy pointer and program launch, shown
// for real and answered as a user would.
#include <doctest/doctest.h>

#include <dlgs.h>

#include <string>

#include "platform/win32/win32_dialogs.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32 {

using testing::Answer;

TEST_CASE("the message box's flags follow the request") {
    struct Row {
        MessageBoxRequest request;
        UINT flags;
    };
    const Row rows[] = {
        {{1, "", "", MsgButtons::YesNo, MsgIcon::Question, MsgDefault::Second},
         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
        {{1, "", "", MsgButtons::YesNo, MsgIcon::Question, MsgDefault::First},
         MB_YESNO | MB_ICONQUESTION},
        {{1, "", "", MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First},
         MB_OK | MB_ICONEXCLAMATION},
        {{0, "", "", MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First},
         MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL},  // no owner: the program's windows wait
    };
    for (const Row& row : rows) CHECK(Win32Dialogs::MessageBoxFlags(row.request) == row.flags);
}

TEST_CASE("the message and input boxes give the button pressed and the text typed") {
    Win32Dialogs dialogs;
    testing::ModalDriver driver;
    const MessageBoxRequest question{
        0, "Delete?", "Vendaro!", MsgButtons::YesNo, MsgIcon::Question, MsgDefault::Second};
    std::string shown;
    driver.Then(Answer("Vendaro!", IDYES, &shown));
    CHECK(dialogs.MessageBox(question) == MsgAnswer::Yes);
    CHECK(shown == "Delete?");
    driver.Then(Answer("Vendaro!", IDNO));
    CHECK(dialogs.MessageBox(question) == MsgAnswer::No);
    driver.Then(Answer("Clone", IDOK, nullptr, " Sales Copy "));
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone") == " Sales Copy ");
    driver.Then(Answer("Clone", IDCANCEL, nullptr, "typed"));
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone").empty());
    CHECK(driver.Ok());
}

TEST_CASE("the file and folder choosers give the choice, or nothing on Cancel") {
    test::TempDir dir;
    const std::string file = (dir.path() / "orders.mdb").string();
    test::WriteFile(file, "x");
    Win32Dialogs dialogs;
    testing::ModalDriver driver;
    const OpenFileRequest request{0, std::string("Access (*.mdb)\0*.mdb\0", 22), "Select", "C:\\"};
    std::string chosen;
    driver.Then([&] {
        HWND box = testing::FindDialog("Select");
        // The file name field: cmb13 in the Explorer-style dialog, edt1 in the old one.
        if (box == nullptr || !(SetDlgItemTextA(box, cmb13, file.c_str()) ||
                                SetDlgItemTextA(box, edt1, file.c_str()))) {
            return false;
        }
        return PostMessageA(box, WM_COMMAND, IDOK, 0) != FALSE;
    });
    CHECK(dialogs.OpenFile(request, chosen));
    CHECK(chosen == file);
    driver.Then(Answer("Select", IDCANCEL));
    CHECK_FALSE(dialogs.OpenFile(request, chosen));
    CHECK(chosen.empty());

    char windows[MAX_PATH] = {};  // a folder no other test fills or empties meanwhile
    GetWindowsDirectoryA(windows, MAX_PATH);
    driver.Then([&] {  // OK once the dialog shows the start folder selected
        HWND box = testing::FindDialog(nullptr);
        return box != nullptr &&
               lstrcmpiA(WindowText(GetDlgItem(box, 0x3743)).c_str(), windows) == 0 &&
               PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    CHECK(dialogs.BrowseFolder(0, "Select a driver path", windows, chosen));
    CHECK(lstrcmpiA(chosen.c_str(), windows) == 0);
    driver.Then(Answer(nullptr, IDCANCEL));
    CHECK_FALSE(dialogs.BrowseFolder(0, "Select a driver path", windows, chosen));
    CHECK(chosen.empty());
    CHECK(driver.Ok());
}

TEST_CASE("the busy pointer is the hourglass until set back; a launch only fails to start") {
    Win32Dialogs dialogs;
    dialogs.SetBusy(true);
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    dialogs.SetBusy(false);
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    CHECK_FALSE(Win32Dialogs::Busy());
    CHECK(dialogs.Launch("cmd.exe /c exit 3"));
    CHECK_FALSE(dialogs.Launch("vendaro_no_such_program.exe"));
}

}  // namespace vendaro::win32
