// The editors' Win32 views: each kind of control shows its model's state and hands its events
// to the model; each editor, opened as the program opens it, saves what was typed.
#include <doctest/doctest.h>

#include <memory>
#include <string>
#include <vector>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "editors/win32/form4_view.h"
#include "editors/win32/form5_view.h"
#include "editors/win32/form7_view.h"
#include "editors/win32/form8_view.h"
#include "forms/win32/form_window.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {
namespace {

struct Status final : StatusLine {
    void SetStatusText(const std::string& text) override { this->text = text; }
    std::string text;
};

// An empty vendaro.ini in a scratch folder, real dialogs, the registry and installer recorded.
struct Scripts {
    test::TempDir dir;
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    RecordingPlatform recording{*profile};
    Win32Dialogs dialogs;
    Platform platform{*profile, recording, recording, dialogs};
    ScriptStore store{*profile, dir.path().string(), "vendaro.exe", '\\'};
    Module1 shared;
    ScriptList list;
    Status status;
    EditorContext context{store, platform, shared, list, status};
    EditorDialogs windows{[] { return static_cast<HWND>(nullptr); }};
    ScriptEditorLauncher launcher{store, platform, shared, windows};
    Scripts() {
        shared.ScriptMode = kScriptModeAdd;
        launcher.AttachMainWindow(list, status);
    }
};

// A new script's editor model with its view shown, no modal loop: each message sent to a
// control is handled before the call returns.
template <typename Model, typename View>
struct Shown : Scripts {
    template <typename... Args>
    explicit Shown(Args... args) : model(context, args...) {
        model.Form_Load();
        REQUIRE(view.Create(nullptr));
        ShowWindow(view.hwnd(), SW_SHOW);
    }
    HWND operator[](const char* name) const { return view.Control(name); }
    void Draw(const std::function<void(Model&)>& change) { change(model), view.Refresh(); }
    Model model;
    View view{model};
};

}  // namespace

TEST_CASE("a text box: typing reaches the model; the model's text, state and colour show") {
    Shown<Form5, Form5View> f;
    Type(f["Text4"], "dba");
    CHECK(f.model.Text4.text == "dba");
    f.Draw([](Form5& m) { m.Text4 = {"sa", false}; });
    CHECK(Shows(f["Text4"]) == "sa [off] [hidden]");  // on the Login page, not in front
    CHECK(Background(f["Text4"]) == GetSysColor(COLOR_BTNFACE));
    CHECK(Background(f["Text6"]) == GetSysColor(COLOR_WINDOW));
    CHECK(SendMessageA(f["Text5"], EM_GETPASSWORDCHAR, 0, 0) == '*');
}

TEST_CASE("a digits-only field: the model filters each key and rewrites the field when left") {
    Shown<Form5, Form5View> f;
    f.Draw([](Form5& m) { m.active_page = 3; });
    SetFocus(f["Text14"]);
    SetWindowTextA(f["Text14"], "");
    Type(f["Text14"], "0a4-2 ");
    CHECK(Shows(f["Text14"]) == "042");
    SetFocus(f["Text15"]);
    CHECK(f.model.Text14.text == "42");
    CHECK(Shows(f["Text14"]) == "42");
}

TEST_CASE("a numeric row's caption shows as the label before the field and the unit after it") {
    Shown<Form5, Form5View> f;
    f.Draw([](Form5& m) { m.active_page = 3; });
    CHECK(Shows(f["Label11"]) == "&Liveness timeout:");
    CHECK(Shows(f["Label11.Unit"]) == "seconds");
    f.Draw([](Form5& m) { m.Label11 = {"&Wait:  minutes", false}; });
    CHECK(Shows(f["Label11"]) + Shows(f["Label11.Unit"]) == "&Wait: [off]minutes [off]");
}

TEST_CASE("a button: a click reaches the model, whose caption, state and layout show") {
    Shown<Form8, Form8View> f;
    CHECK(Shows(f["Frame2"]) == "Driver [hidden]");
    Click(f["Command3"]);  // "&Options>>": the long form
    RECT frame{};
    GetWindowRect(f.view.hwnd(), &frame);
    CHECK(frame.bottom - frame.top == TwipsToPixelsY(Form8::kFullHeight));
    CHECK(Shows(f["Frame2"]) == "Driver");
    CHECK(Shows(f["Command3"]) == "&Options>> [off]");
    f.Draw([](Form8& m) { m.Command3 = {"Again", true, false}; });
    CHECK(Shows(f["Command3"]) == "Again [hidden]");
}

TEST_CASE("a check box: a click reaches the model, which moves the focus; a grey one ignores it") {
    Shown<Form5, Form5View> f;
    f.Draw([](Form5& m) { m.active_page = 3; });
    Click(f["Check8"]);
    CHECK(f.model.Check8.checked);
    CHECK(Shows(f["Check8"]) + "|" + Shows(f["Text10"]) == "&TCP/IP [x]|");
    CHECK(GetFocus() == f["Text10"]);
    f.Draw([](Form5& m) { m.active_page = 2; });
    Click(f["Check6"]);
    CHECK(Shows(f["Check6"]) == "Au&tomatically start the database if it isn't running [off] [x]");
}

TEST_CASE("an option button: a click selects it in the model and clears the others") {
    Shown<Form5, Form5View> f;
    f.Draw([](Form5& m) { m.active_page = 1; });
    Click(f["Option4"]);
    CHECK(f.model.Option4.selected);
    CHECK(Shows(f["Option4"]) + "|" + Shows(f["Option5"]) + "|" + Shows(f["Text4"]) ==
          "Use &integrated login [x]|Supply use&r ID and password| [off]");
}

TEST_CASE("a drop-down list shows the model's items and choice, and hands a pick to it") {
    Shown<Form8, Form8View> f;
    CHECK(Items(f["Combo1"]) == std::vector<std::string>{"dBase III", "dBase IV", "dBase 5.0"});
    CHECK(Shows(f["Combo1"]) == "dBase 5.0");
    Pick(f["Combo1"], 0);
    CHECK(f.model.Combo1.selected == 0);
    f.Draw([](Form8& m) { m.Combo1 = {{"One", "Two"}, 1, false}; });
    CHECK(Items(f["Combo1"]) == std::vector<std::string>{"One", "Two"});
    CHECK(Shows(f["Combo1"]) == "Two [off]");
}

TEST_CASE("a list box shows the model's rows; a pick and the value box's keys reach the model") {
    Shown<Form7, Form7View> f("Orders");
    CHECK(Items(f["List1"]).size() == 12);
    Pick(f["List1"], 3);
    CHECK(f.model.List1.selected == 3);
    CHECK(Shows(f["Label6"]) + "|" + Shows(f["Text3"]) == "FIL|MS Access;");
    SendMessageA(f["Text3"], WM_KEYDOWN, VK_DELETE, 1);  // clears the row's value
    CHECK(Items(f["List1"])[3] == "FIL\t");
    CHECK(SendMessageA(f["List1"], LB_GETCURSEL, 0, 0) == 3);
}

TEST_CASE("the tab pages: the model's page is in front; a tab chosen or Ctrl+Tab changes it") {
    Shown<Form5, Form5View> f;
    CHECK(Shows(f["Text6"]) + "|" + Shows(f["Text1"]) == "| [hidden]");
    SelectTab(f["SSTab1"], 3);
    CHECK(f.model.active_page == 3);
    CHECK(Shows(f["Check8"]) == "&TCP/IP");
    CHECK(f.view.PreviewKey(VK_TAB, kCtrlMask));
    CHECK(f.model.active_page == 4);
    CHECK(f.view.PreviewKey(VK_TAB, kCtrlMask | kShiftMask));
    CHECK(f.model.active_page == 3);
    f.Draw([](Form5& m) { m.active_page = 0; });
    CHECK(SendMessageA(f["SSTab1"], TCM_GETCURSEL, 0, 0) == 0);
    CHECK(Shows(f["Text1"]) == "");
}

TEST_CASE("Escape, seen before any control, and the close box close the model") {
    Shown<Form4, Form4View> escaped;
    MSG key{escaped["Text2"], WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    CHECK(PreTranslate(key));
    CHECK(escaped.model.close_reason() == CloseReason::Escaped);
    Shown<Form4, Form4View> closed;
    SendMessageA(closed.view.hwnd(), WM_CLOSE, 0, 0);
    CHECK(closed.model.close_reason() == CloseReason::CloseBox);
}

// Each editor as the main window opens it, for a new script: the events, one step each ("Name=
// text" types, "Name#n" picks item or page n, "Name" clicks), then the script file's bytes.
TEST_CASE("each editor saves what was typed into it") {
    struct Story {
        const char* driver;
        std::vector<std::string> events;
        std::string saved;
    };
    const Story stories[] = {
        {"SQL Server",
         {"Text1= Sales ", "Text2=North", "Text3=SRV 01", "Text4=pubs", "Text5=C:\\Drivers",
          "Text6=sa", "Command4"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=North\r\nServer=SRV 01\r\n"
         "Database=pubs\r\nDriver=C:\\Drivers\r\nLastUser=sa\r\n"},
        {"Adaptive Server Anywhere 6.0",
         {"SSTab1#0", "Text1=Stock", "SSTab1#1", "Text4=dba", "Text5=secret7", "SSTab1#3", "Check8",
          "Text10=host=10.0.0.5", "Command4"},
         "[Stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nKeysInSQLStatistics=No\r\n"
         "Delphi=No\r\nPreventNotCapable=No\r\nLazyAutoCommit=No\r\nDescribeCursor=Yes\r\n"
         "UID=dba\r\nPWD=}]rkshA\r\nIntegrated=No\r\nAutoStart=Yes\r\nAutoStop=Yes\r\n"
         "CommLinks=TCPIP{host=10.0.0.5}\r\nEncryption=No\r\nLivenessTimeout=120\r\n"
         "CommBufferSize=512\r\nCommBufferSpace=5\r\nDisableMultiRowFetch=No\r\nDebug=No\r\n"},
        {"Microsoft Access Driver (*.mdb)",
         // The advanced options write at their Save, the editor adds its keys at its own.
         {"Text1=Orders", "Command6", "List1#0", "Text3=C:\\Data", "Command1", "Command7", "Check1",
          "Command4"},
         "[Orders]\r\nDefaultDir=C:\\Data\r\nExtendedAnsiSQL=0\r\nFIL=MS Access;\r\n"
         "MaxBufferSize=2048\r\nMaxScanRows=8\r\nPageTimeout=5\r\nReadOnly=0\r\n"
         "SafeTransactions=0\r\nThreads=3\r\nUserCommitSync=Yes\r\n"
         "DSN_Driver=Microsoft Access Driver (*.mdb)\r\nExclusive=1\r\n"},
        {"Microsoft dBase Driver (*.dbf)",
         {"Text1=Customers", "Combo1#1", "Command3", "Combo2#3", "Check3", "Command1"},
         "[Customers]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\nFIL=dBase IV\r\n"
         "CollatingSequence=Swedish-Finnish\r\nPageTimeout=600\r\nExclusive=0\r\nDeleted=1\r\n"
         "Statistics=0\r\n"},
    };
    for (const Story& story : stories) {
        CAPTURE(story.driver);
        Scripts s;
        ModalDriver driver;
        for (const std::string& event : story.events) {
            driver.Then([&s, event] {
                EditorView* view = s.windows.Open();
                if (view == nullptr || !IsWindowEnabled(view->hwnd())) return false;
                const std::size_t at = event.find_first_of("=#");
                HWND control = view->Control(event.substr(0, at));
                REQUIRE(control != nullptr);
                if (at == std::string::npos) {
                    PostMessageA(control, BM_CLICK, 0, 0);  // it may open a modal window
                } else if (event[at] == '=') {
                    Type(control, event.substr(at + 1));
                } else if (event.rfind("SSTab1", 0) == 0) {
                    SelectTab(control, std::stoi(event.substr(at + 1)));
                } else {
                    Pick(control, std::stoi(event.substr(at + 1)));
                }
                return true;
            });
        }
        CHECK(s.launcher.OpenEditor(story.driver));
        CHECK(driver.Ok());
        CHECK(test::ReadFile(s.dir.path() / "vendaro.ini") == story.saved);
        CHECK(s.status.text == std::string(story.driver) + " DSN script added.");
    }
}

}  // namespace vendaro::win32::testing
