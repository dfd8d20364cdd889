// The main window wired as the program wires it (real windows, message and input boxes, the
// editors), over a scratch vendaro.ini; the registry and the installer are recorded.
#include <doctest/doctest.h>

#include <memory>
#include <string>
#include <vector>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "mainwin/win32/main_window.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {
namespace {

const std::string kThree =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
    "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDescription=Order entry\r\n\r\n"
    "[Inventory]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nDescription=Stock\r\n";

struct Program : StatusLine {
    test::TempDir dir;
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    RecordingPlatform recording{*profile};
    Win32Dialogs dialogs;
    Platform platform{*profile, recording, recording, dialogs};
    ScriptStore store{*profile, dir.path().string(), "vendaro.exe", '\\'};
    Module1 module1;
    EditorDialogs editor_windows{[this] { return main.view().hwnd(); }};
    ScriptEditorLauncher editors{store, platform, module1, editor_windows};
    MainWindow main{store, platform, module1, editors, /*quit_on_close=*/false};
    Program() {
        test::WriteFile(dir.path() / "vendaro.ini", kThree);
        editors.AttachMainWindow(main.model().lvwMain(), *this);
    }
    void SetStatusText(const std::string& text) override { main.SetStatusText(text); }
    HWND List() { return main.view().List(); }
    HWND Button(int number) { return main.view().Button(number); }
};

}  // namespace

TEST_CASE("the list view and the status line show the model; the list's events reach it") {
    Program p;
    REQUIRE(p.main.Start("").show_window);
    CHECK(Items(p.List()) ==
          std::vector<std::string>{"Sales|Sales figures|SQL Server",
                                   "Orders|Order entry|Microsoft Access Driver (*.mdb)",
                                   "Inventory|Stock|Adaptive Server Anywhere 6.0"});
    CHECK(Shows(p.main.view().Label()) == kWelcomeText);
    SelectRow(p.List(), 2);
    CHECK(p.main.model().lvwMain().Selected() == 3);
    Notify(p.List(), LVN_COLUMNCLICK, 2);  // by driver, descending first
    CHECK(Items(p.List())[0] == "Sales|Sales figures|SQL Server");
    CHECK(SendMessageA(p.List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 2);  // Inventory still
    ModalDriver driver;
    std::string opened;
    driver.Then([&] {
        EditorView* editor = p.editor_windows.Open();
        if (editor == nullptr) return false;
        opened = WindowText(editor->hwnd());
        return PostMessageA(editor->hwnd(), WM_CLOSE, 0, 0) != FALSE;
    });
    Notify(p.List(), NM_DBLCLK);
    CHECK(opened == "Edit DSN Script for Adaptive Server Anywhere");
    p.SetStatusText("Shown");
    CHECK(Shows(p.main.view().Label()) == "Shown");
    CHECK(driver.Ok());
}

TEST_CASE("the main window: select a row, Delete, Clone, and Add into an editor") {
    Program p;
    REQUIRE(p.main.Start("").show_window);
    ModalDriver driver;
    std::string question;
    SelectRow(p.List(), 1);  // Orders
    driver.Then(Answer("Vendaro!", IDYES, &question));
    Click(p.Button(3));
    CHECK(question == "Are you sure you want to delete the selected DSN script?");
    CHECK(Shows(p.main.view().Label()) == "DSN script deleted.");
    SelectRow(p.List(), 0);  // Sales
    driver.Then(Answer("Clone DSN script 'Sales'", IDOK, nullptr, " Sales Copy "));
    driver.Then(Answer("Clone DSN script 'Sales'", IDCANCEL));
    Click(p.Button(7));
    driver.Then([&] {
        Form3View* select_driver = p.main.OpenSelectDriver();
        if (select_driver == nullptr || !IsWindowVisible(select_driver->hwnd())) return false;
        Pick(select_driver->List(), 3);  // SQL Server, the last of the sorted list
        return PostMessageA(select_driver->OkButton(), BM_CLICK, 0, 0) != FALSE;
    });
    driver.Then([&] {
        EditorView* editor = p.editor_windows.Open();
        if (editor == nullptr) return false;
        Type(editor->Control("Text1"), "Budget");
        return PostMessageA(editor->Control("Command4"), BM_CLICK, 0, 0) != FALSE;
    });
    Click(p.Button(1));
    CHECK(driver.Ok());
    CHECK(Items(p.List()) ==
          std::vector<std::string>{"Sales|Sales figures|SQL Server",
                                   "Inventory|Stock|Adaptive Server Anywhere 6.0",
                                   "Sales Copy|Sales figures|SQL Server", "Budget||SQL Server"});
    CHECK(SendMessageA(p.List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 3);
    CHECK(Shows(p.main.view().Label()) == "SQL Server DSN script added.");
    // Wine's kernel32 writes the file again without its blank lines.
    CHECK(test::ReadFile(p.dir.path() / "vendaro.ini") ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Inventory]\r\n"
          "DSN_Driver=Adaptive Server Anywhere 6.0\r\nDescription=Stock\r\n[Sales Copy]\r\n"
          "DSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Budget]\r\n"
          "DSN_Driver=SQL Server\r\n");
}

TEST_CASE("\"-u\" creates the User DSN with the hidden window as owner, then shows it") {
    Program p;
    REQUIRE(p.main.Start("sales -u").show_window);
    const std::string owner = std::to_string(FromHwnd(p.main.view().hwnd()));
    CHECK(p.recording.calls.back().rfind("ConfigDataSource " + owner + " 2 SQL Server|", 0) == 0);
    CHECK(IsWindowVisible(p.main.view().hwnd()));
    CHECK(Shows(p.main.view().Label()) == "User DSN has been created.");
    CHECK(Items(p.List()).size() == 3);
}

}  // namespace vendaro::win32::testing
