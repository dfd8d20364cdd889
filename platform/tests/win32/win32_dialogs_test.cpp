// The message and input boxes, shown for real and answered as a user would.
#include <doctest/doctest.h>

#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {

TEST_CASE("the message and input boxes give the button pressed and the text typed") {
    Win32Dialogs dialogs;
    ModalDriver driver;
    std::string shown;
    driver.Then(Answer("Vendaro!", IDYES, &shown));
    const MessageBoxRequest question{
        0, "Delete?", "Vendaro!", MsgButtons::YesNo, MsgIcon::Question, MsgDefault::Second};
    CHECK(dialogs.MessageBox(question) == MsgAnswer::Yes);
    CHECK(Win32Dialogs::MessageBoxFlags(question) ==  // no owner: the other windows wait too
          (MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL));
    CHECK(shown == "Delete?");
    driver.Then(Answer("Clone", IDOK, nullptr, " Sales Copy "));
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone") == " Sales Copy ");
    driver.Then(Answer("Clone", IDCANCEL, nullptr, "typed"));
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone").empty());
    CHECK(driver.Ok());
}

}  // namespace vendaro::win32::testing
