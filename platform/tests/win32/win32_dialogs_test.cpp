// The message box, input box, file and folder choosers, busy pointer and program launch, shown
// for real and answered as a user would.
#include <doctest/doctest.h>

#include <tuple>

#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

#include <dlgs.h>

namespace vendaro::win32::testing {

TEST_CASE("the message box's flags follow the request") {
    const std::tuple<WindowHandle, MsgButtons, MsgIcon, MsgDefault, UINT> rows[] = {
        {1, MsgButtons::YesNo, MsgIcon::Question, MsgDefault::Second,
         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
        {1, MsgButtons::YesNo, MsgIcon::Question, MsgDefault::First, MB_YESNO | MB_ICONQUESTION},
        {1, MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First, MB_OK | MB_ICONEXCLAMATION},
        // Without an owner the program's other windows wait too.
        {0, MsgButtons::Ok, MsgIcon::Exclamation, MsgDefault::First,
         MB_ICONEXCLAMATION | MB_TASKMODAL},
    };
    for (const auto& [owner, buttons, icon, default_button, flags] : rows) {
        CHECK(Win32Dialogs::MessageBoxFlags({owner, "", "", buttons, icon, default_button}) ==
              flags);
    }
}

TEST_CASE("the message and input boxes give the button pressed and the text typed") {
    Win32Dialogs dialogs;
    ModalDriver driver;
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
    ModalDriver driver;
    const OpenFileRequest request{0, std::string("Access (*.mdb)\0*.mdb\0", 22), "Select", "C:\\"};
    std::string chosen;
    driver.Then(Answer("Select", IDOK, nullptr, file, cmb13));  // the file name field
    CHECK(dialogs.OpenFile(request, chosen));
    CHECK(chosen == file);
    driver.Then(Answer("Select", IDCANCEL));
    CHECK_FALSE(dialogs.OpenFile(request, chosen));
    CHECK(chosen.empty());
    char windows[MAX_PATH] = {};  // a folder that no other test fills or empties meanwhile
    GetWindowsDirectoryA(windows, MAX_PATH);
    driver.Then([&] {  // OK once the status line shows the start folder selected
        HWND box = FindDialog(nullptr);
        return box != nullptr && !lstrcmpiA(WindowText(GetDlgItem(box, 0x3743)).c_str(), windows) &&
               PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    CHECK(dialogs.BrowseFolder(0, "Select a driver path", windows, chosen));
    CHECK(lstrcmpiA(chosen.c_str(), windows) == 0);
    driver.Then(Answer(nullptr, IDCANCEL));
    CHECK_FALSE(dialogs.BrowseFolder(0, "Select a driver path", windows, chosen));
    CHECK(chosen.empty());
    CHECK(driver.Ok());
}

TEST_CASE("the busy pointer is the hourglass until set back; a launch fails only to start") {
    Win32Dialogs dialogs;
    dialogs.SetBusy(true);
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    dialogs.SetBusy(false);
    CHECK(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    CHECK(dialogs.Launch("cmd.exe /c exit 3"));
    CHECK_FALSE(dialogs.Launch("vendaro_no_such_program.exe"));
}

}  // namespace vendaro::win32::testing
