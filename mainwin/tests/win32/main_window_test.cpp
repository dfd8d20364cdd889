// The main window wired as the program wires it (real windows, message and input boxes, the
// editors), over a scratch vendaro.ini; the registry and the installer are recorded. The editors
// as it opens them: each kind of control shows its model's state and hands its events to the
// model, and Save writes what was typed.
#include <doctest/doctest.h>

#include <sstream>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "mainwin/win32/main_window.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {

// The rows of a list view, their three columns joined by "|", one line each.
std::string Items(HWND list) {
    std::string rows;
    char text[512];
    LVITEMA item{};
    item.pszText = text, item.cchTextMax = sizeof text;
    for (int i = 0; i < SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); ++i) {
        for (item.iSubItem = 0; item.iSubItem < 3; ++item.iSubItem) {
            SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            rows += text + std::string(item.iSubItem < 2 ? "|" : "\n");
        }
    }
    return rows;
}

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
    void SetStatusText(const std::string& text) override { main.SetStatusText(text); }
};

TEST_CASE("the main window: select a row, Delete, Clone, and Add into an editor") {
    Program p;
    MainWindow& main = p.main;
    test::WriteFile(p.dir.path() / "vendaro.ini",
                    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
                    "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n");
    p.editors.AttachMainWindow(main.model().lvwMain(), p);
    REQUIRE(main.Start("").show_window);
    const HWND list = main.view().List();
    ModalDriver driver;
    LVITEMA selected{};
    selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));  // Orders
    driver.Then(Answer("Vendaro!", IDYES));
    Click(main.view().Button(3));
    CHECK(Shows(main.view().Label()) == "DSN script deleted.");
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));  // Sales
    driver.Then(Answer("Clone DSN script 'Sales'", IDOK, nullptr, " Sales Copy "));
    driver.Then(Answer("Clone DSN script 'Sales'", IDCANCEL));
    Click(main.view().Button(7));
    driver.Then([&] {
        Form3View* select_driver = main.OpenSelectDriver();
        if (select_driver != nullptr) Pick(select_driver->List(), 3);  // SQL Server, sorted last
        return select_driver != nullptr && PostMessageA(select_driver->OkButton(), BM_CLICK, 0, 0);
    });
    driver.Then([&] {
        EditorView* editor = p.editor_windows.Open();
        if (editor != nullptr) Type(editor->Control("Text1"), "Budget");
        return editor != nullptr && PostMessageA(editor->Control("Command4"), BM_CLICK, 0, 0);
    });
    Click(main.view().Button(1));
    CHECK(driver.Ok());
    CHECK(Items(list) ==
          "Sales|Sales figures|SQL Server\nSales Copy|Sales figures|SQL Server\nBudget||SQL "
          "Server\n");
    CHECK(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 2);
    CHECK(Shows(main.view().Label()) == "SQL Server DSN script added.");
    // Wine's kernel32 writes the file again without its blank lines.
    CHECK(test::ReadFile(p.dir.path() / "vendaro.ini") ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Sales Copy]\r\n"
          "DSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Budget]\r\n"
          "DSN_Driver=SQL Server\r\n");
}

// A story is events split by "|", one step each on the innermost editor open: "Name=text" types,
// "Name#n" picks item or page n, "Name!k" presses the key with virtual-key code k, "Name" clicks
// a button or moves the focus to another control, and "?Name=shown" checks what the control shows
// (see Shows). Then the script file holds `saved`.
TEST_CASE(
    "each editor, opened for a new script, shows its model, hands it the events and saves what was "
    "typed") {
    const char* stories[][3] = {
        {"SQL Server",
         "?Command4=Save [off]|Text1= Sales |?Command4=Save|Text2=North|Text3=SRV 01|Text4=pubs|"
         "Text5=C:\\Drivers|Text6=sa|Command4",
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=North\r\nServer=SRV 01\r\n"
         "Database=pubs\r\nDriver=C:\\Drivers\r\nLastUser=sa\r\n"},
        {"SQL Server", "Text1=Gone|Text2!27", ""},  // Escape, seen before the control
        {"Adaptive Server Anywhere 6.0",
         "?Text1= [hidden]|SSTab1#0|Text1=Stock|SSTab1#1|Option4|?Text4= [off]|Option5|Text4=dba|"
         "Text5=secret7|SSTab1#3|?Text10= [off]|Check8|?Check8=&TCP/IP [x]|Text10=host=10.0.0.5|"
         "Text14|Text14=x0|?Text14=0512|Text15|?Text14=512|Command4",
         "[Stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nKeysInSQLStatistics=No\r\n"
         "Delphi=No\r\nPreventNotCapable=No\r\nLazyAutoCommit=No\r\nDescribeCursor=Yes\r\n"
         "UID=dba\r\nPWD=}]rkshA\r\nIntegrated=No\r\nAutoStart=Yes\r\nAutoStop=Yes\r\n"
         "CommLinks=TCPIP{host=10.0.0.5}\r\nEncryption=No\r\nLivenessTimeout=120\r\n"
         "CommBufferSize=512\r\nCommBufferSpace=5\r\nDisableMultiRowFetch=No\r\nDebug=No\r\n"},
        // The advanced options write at their own Save; the editor adds its keys at its Save.
        {"Microsoft Access Driver (*.mdb)",
         "Text1=Orders|Command6|List1#3|?Label6=FIL|?Text3=MS Access;|Text3!46|?List1=FIL\t|"
         "List1#0|Text3=C:\\Data|?List1=DefaultDir\tC:\\Data|Command1|Command7|Check1|"
         "?Check1=E&xclusive [x]|Command4",
         "[Orders]\r\nDefaultDir=C:\\Data\r\nExtendedAnsiSQL=0\r\nMaxBufferSize=2048\r\n"
         "MaxScanRows=8\r\nPageTimeout=5\r\nReadOnly=0\r\nSafeTransactions=0\r\nThreads=3\r\n"
         "UserCommitSync=Yes\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nExclusive=1\r\n"},
        {"Microsoft dBase Driver (*.dbf)",
         "Text1=Customers|?Combo1=dBase 5.0|Combo1#1|?Frame2=Driver [hidden]|Command3|"
         "?Frame2=Driver|?Command3=&Options>> [off]|Combo2#3|Check3|Command1",
         "[Customers]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\nFIL=dBase IV\r\n"
         "CollatingSequence=Swedish-Finnish\r\nPageTimeout=600\r\nExclusive=0\r\nDeleted=1\r\n"
         "Statistics=0\r\n"},
    };
    for (const auto& [name, events, saved] : stories) {
        CAPTURE(name);
        Program p;
        p.editors.AttachMainWindow(p.main.model().lvwMain(), p);
        REQUIRE(p.main.Start("").show_window);
        ModalDriver driver;
        std::istringstream steps(events);
        for (std::string event; std::getline(steps, event, '|');) {
            driver.Then([&p, event] {
                EditorView* view = p.editor_windows.Open();
                if (view == nullptr || !IsWindowEnabled(view->hwnd())) return false;
                const std::size_t at = event.find_first_of("=#!");
                HWND control = view->Control(event.substr(event[0] == '?', at - (event[0] == '?')));
                const std::string value = at == std::string::npos ? "" : event.substr(at + 1);
                const char act = event[0] == '?'              ? '?'
                                 : at != std::string::npos    ? event[at]
                                 : IsClass(control, "Button") ? 'c'
                                                              : 'f';
                CAPTURE(event);
                if (act == '?') CHECK(Shows(control) == value);
                if (act == 'c') PostMessageA(control, BM_CLICK, 0, 0);  // it may open a window
                if (act == 'f') SetFocus(control);
                if (act == '=') Type(control, value);
                if (act == '#') Pick(control, std::stoi(value));
                if (act == '!') PostMessageA(control, WM_KEYDOWN, std::stoi(value), 1);
                return control != nullptr;
            });
        }
        CHECK(p.editors.OpenEditor(name));
        CHECK(driver.Ok());
        CHECK(test::ReadFile(p.dir.path() / "vendaro.ini") == saved);
        CHECK(Shows(p.main.view().Label()) ==
              (*saved == '\0' ? kWelcomeText : name + std::string(" DSN script added.")));
    }
}

}  // namespace vendaro::win32::testing
