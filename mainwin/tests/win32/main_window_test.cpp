// The main window wired as the program wires it (real windows, message and input boxes, the
// editors), over a scratch vendaro.ini; the registry and the installer are recorded.
#include <doctest/doctest.h>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "mainwin/win32/main_window.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {
namespace {

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
    HWND list = nullptr;
    ModalDriver driver;
    explicit Program(const std::string& command_line) {
        test::WriteFile(dir.path() / "vendaro.ini",
                        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
                        "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n\r\n"
                        "[Inventory]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n");
        editors.AttachMainWindow(main.model().lvwMain(), *this);
        REQUIRE(main.Start(command_line).show_window);
        list = main.view().List();
    }
    void SetStatusText(const std::string& text) override { main.SetStatusText(text); }
    std::string Status() { return Shows(main.view().Label()); }
    int Selected() {
        return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    }
    void OnEditor(const std::function<void(EditorView&)>& act) {  // then closes it, or saves
        driver.Then([this, act] {
            return editor_windows.Open() != nullptr && (act(*editor_windows.Open()), true);
        });
    }
};

}  // namespace

TEST_CASE(
    "the main window: the list view and status line show the model, select a row, Delete, "
    "Clone, and Add into an editor") {
    Program p("");
    CHECK(Items(p.list) == std::vector<std::string>{"Sales|Sales figures|SQL Server",
                                                    "Orders||Microsoft Access Driver (*.mdb)",
                                                    "Inventory||Adaptive Server Anywhere 6.0"});
    CHECK(p.Status() == kWelcomeText);
    std::string question;
    SelectRow(p.list, 1);  // Orders
    p.driver.Then(Answer("Vendaro!", IDYES, &question));
    Click(p.main.view().Button(3));
    CHECK(question == "Are you sure you want to delete the selected DSN script?");
    CHECK(p.Status() == "DSN script deleted.");
    SelectRow(p.list, 0);  // Sales
    p.driver.Then(Answer("Clone DSN script 'Sales'", IDOK, nullptr, " Sales Copy "));
    p.driver.Then(Answer("Clone DSN script 'Sales'", IDCANCEL));
    Click(p.main.view().Button(7));
    p.driver.Then([&] {
        Form3View* select_driver = p.main.OpenSelectDriver();
        if (select_driver != nullptr) Pick(select_driver->List(), 3);  // SQL Server, sorted last
        return select_driver != nullptr && PostMessageA(select_driver->OkButton(), BM_CLICK, 0, 0);
    });
    p.OnEditor([](EditorView& editor) {
        Type(editor.Control("Text1"), "Budget");
        PostMessageA(editor.Control("Command4"), BM_CLICK, 0, 0);
    });
    Click(p.main.view().Button(1));
    CHECK(Items(p.list) == std::vector<std::string>{"Sales|Sales figures|SQL Server",
                                                    "Inventory||Adaptive Server Anywhere 6.0",
                                                    "Sales Copy|Sales figures|SQL Server",
                                                    "Budget||SQL Server"});
    CHECK(p.Selected() == 3);
    CHECK(p.Status() == "SQL Server DSN script added.");
    // Wine's kernel32 writes the file again without its blank lines.
    CHECK(test::ReadFile(p.dir.path() / "vendaro.ini") ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Inventory]\r\n"
          "DSN_Driver=Adaptive Server Anywhere 6.0\r\n[Sales Copy]\r\nDSN_Driver=SQL Server\r\n"
          "Description=Sales figures\r\n[Budget]\r\nDSN_Driver=SQL Server\r\n");
    SelectRow(p.list, 1);
    Notify(p.list, LVN_COLUMNCLICK, 2);  // by driver, descending first
    CHECK(Items(p.list)[3] == "Inventory||Adaptive Server Anywhere 6.0");
    CHECK(p.Selected() == 3);  // the selected script moved with its row
    p.OnEditor([](EditorView& editor) { PostMessageA(editor.hwnd(), WM_CLOSE, 0, 0); });
    Notify(p.list, NM_DBLCLK);
    CHECK(p.module1.EditDsnName == "Inventory");
    CHECK(p.driver.Ok());
}

TEST_CASE("\"-u\" creates the User DSN with the hidden window as owner, then shows it") {
    Program p("sales -u");
    const std::string owner = std::to_string(FromHwnd(p.main.view().hwnd()));
    CHECK(p.recording.calls.back().rfind("ConfigDataSource " + owner + " 2 SQL Server|", 0) == 0);
    CHECK(IsWindowVisible(p.main.view().hwnd()));
    CHECK(p.Status() == "User DSN has been created.");
}

}  // namespace vendaro::win32::testing
