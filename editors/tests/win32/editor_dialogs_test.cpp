// The editors as the main window opens them, for a new script: each kind of control shows its
// model's state and hands its events to the model, and Save writes what was typed.
#include <doctest/doctest.h>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {

// A story is events, one step each on the innermost editor open: "Name=text" types, "Name#n"
// picks item or page n, "Name!k" presses the key with virtual-key code k, "Name" clicks a button
// or moves the focus to another control, and "?Name=shown" checks what the control shows (see
// Shows). Then the script file holds `saved`.
TEST_CASE("each editor shows its model, hands it the events and saves what was typed") {
    struct Story {
        const char* driver;
        std::vector<std::string> events;
        std::string saved;
    };
    const Story stories[] = {
        {"SQL Server",
         {"?Command4=Save [off]", "Text1= Sales ", "?Command4=Save", "Text2=North", "Text3=SRV 01",
          "Text4=pubs", "Text5=C:\\Drivers", "Text6=sa", "Command4"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=North\r\nServer=SRV 01\r\n"
         "Database=pubs\r\nDriver=C:\\Drivers\r\nLastUser=sa\r\n"},
        {"SQL Server", {"Text1=Gone", "Text2!27"}, ""},  // Escape, seen before the control
        {"Adaptive Server Anywhere 6.0",
         {"?Text1= [hidden]",
          "SSTab1#0",
          "?Text1=",
          "Text1=Stock",
          "SSTab1#1",
          "Option4",
          "?Option5=Supply use&r ID and password",
          "?Text4= [off]",
          "Option5",
          "Text4=dba",
          "Text5=secret7",
          "SSTab1#3",
          "?Label11=&Liveness timeout:",
          "?Label11.Unit=seconds",
          "?Text10= [off]",
          "Check8",
          "?Check8=&TCP/IP [x]",
          "Text10=host=10.0.0.5",
          "Text14",
          "Text14=x0",
          "?Text14=0512",
          "Text15",
          "?Text14=512",
          "Command4"},
         "[Stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nKeysInSQLStatistics=No\r\n"
         "Delphi=No\r\nPreventNotCapable=No\r\nLazyAutoCommit=No\r\nDescribeCursor=Yes\r\n"
         "UID=dba\r\nPWD=}]rkshA\r\nIntegrated=No\r\nAutoStart=Yes\r\nAutoStop=Yes\r\n"
         "CommLinks=TCPIP{host=10.0.0.5}\r\nEncryption=No\r\nLivenessTimeout=120\r\n"
         "CommBufferSize=512\r\nCommBufferSpace=5\r\nDisableMultiRowFetch=No\r\nDebug=No\r\n"},
        // The advanced options write at their own Save; the editor adds its keys at its Save.
        {"Microsoft Access Driver (*.mdb)",
         {"Text1=Orders", "Command6", "List1#3", "?Label6=FIL", "?Text3=MS Access;", "Text3!46",
          "?List1=FIL\t", "List1#0", "Text3=C:\\Data", "?List1=DefaultDir\tC:\\Data", "Command1",
          "Command7", "Check1", "?Check1=E&xclusive [x]", "Command4"},
         "[Orders]\r\nDefaultDir=C:\\Data\r\nExtendedAnsiSQL=0\r\nMaxBufferSize=2048\r\n"
         "MaxScanRows=8\r\nPageTimeout=5\r\nReadOnly=0\r\nSafeTransactions=0\r\nThreads=3\r\n"
         "UserCommitSync=Yes\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nExclusive=1\r\n"},
        {"Microsoft dBase Driver (*.dbf)",
         {"Text1=Customers", "?Combo1=dBase 5.0", "Combo1#1", "?Frame2=Driver [hidden]", "Command3",
          "?Frame2=Driver", "?Command3=&Options>> [off]", "Combo2#3", "Check3", "Command1"},
         "[Customers]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\nFIL=dBase IV\r\n"
         "CollatingSequence=Swedish-Finnish\r\nPageTimeout=600\r\nExclusive=0\r\nDeleted=1\r\n"
         "Statistics=0\r\n"},
    };
    for (const Story& story : stories) {
        CAPTURE(story.driver);
        test::TempDir dir;
        std::unique_ptr<Profile> profile = MakeNativeProfile();
        RecordingPlatform recording{*profile};  // the registry and the installer, never called
        Win32Dialogs dialogs;
        Platform platform{*profile, recording, recording, dialogs};
        ScriptStore store{*profile, dir.path().string(), "vendaro.exe", '\\'};
        Module1 shared{kScriptModeAdd, {}, 0, false, false, {}, {}, {}};
        ScriptList list;
        struct : StatusLine {
            void SetStatusText(const std::string& text) override { shown = text; }
            std::string shown;
        } status;
        EditorDialogs windows{[] { return HWND{}; }};
        ScriptEditorLauncher launcher{store, platform, shared, windows};
        launcher.AttachMainWindow(list, status);
        ModalDriver driver;
        for (const std::string& event : story.events) {
            driver.Then([&windows, event] {
                EditorView* view = windows.Open();
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
        CHECK(launcher.OpenEditor(story.driver));
        CHECK(driver.Ok());
        CHECK(test::ReadFile(dir.path() / "vendaro.ini") == story.saved);
        CHECK(status.shown ==
              (story.saved.empty() ? "" : story.driver + std::string(" DSN script added.")));
    }
}

}  // namespace vendaro::win32::testing
