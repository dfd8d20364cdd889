// The main window wired as the program wires it (real windows, message and input boxes, the
// editors), over a scratch vendaro.ini; the registry and the installer are recorded. The editors
// as it opens them: each kind of control shows its model's state and hands its events to the
// model, and Save writes what was typed.
#include <doctest/doctest.h>

#include <fstream>
#include <sstream>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "mainwin/win32/main_window.h"
#include "platform/native_profile.h"
#include "testing/escapes.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32::testing {

// The rows of a list view, their three columns joined by "|", one line each.
std::string Items(HWND list) {
    std::string rows;
    char text[512];
    for (int i = 0; i < ListView_GetItemCount(list) * 3; ++i) {
        ListView_GetItemText(list, i / 3, i % 3, text, sizeof text);
        rows += text + std::string(i % 3 < 2 ? "|" : "\n");
    }
    return rows;
}

// Posted messages through the program's own loop, its key filter first; true once that loop
// would have ended.
bool Pump() {
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) {
        if (m.message == WM_QUIT) return true;
        if (!PreTranslate(m)) DispatchMessageA(&m);
    }
    return false;
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
    MainWindow main;
    ModalDriver driver;
    explicit Program(const std::string& file, const std::string& command_line = "",
                     bool quit_on_close = false)
        : main{store, platform, module1, editors, quit_on_close} {
        test::WriteFile(dir.path() / "vendaro.ini", file);
        editors.AttachMainWindow(main.model().lvwMain(), *this);
        REQUIRE(main.Start(command_line).show_window);
    }
    void SetStatusText(const std::string& text) override { main.SetStatusText(text); }
    void Events(const std::string& story) {
        std::istringstream steps(story);
        for (std::string event; std::getline(steps, event, '|');) {
            driver.Then([this, event] {
                EditorView* view = editor_windows.Open();
                if (view == nullptr || !IsWindowEnabled(view->hwnd())) return false;
                const bool check = event[0] == '?';
                const std::size_t at = event.find_first_of("=#!~");
                const std::string name = event.substr(check, at - check);
                HWND control = name == "@" ? GetFocus() : view->Control(name);
                const std::string value = at == event.npos ? "" : event.substr(at + 1);
                char act = at == event.npos ? (IsClass(control, "Button") ? 'c' : 'f') : event[at];
                CAPTURE(event);
                if (check) act = '?';
                if (act == '?') CHECK(Shows(control) == value);
                if (act == 'c') PostMessageA(control, BM_CLICK, 0, 0);  // it may open a window
                if (act == 'f') SetFocus(control);
                if (act == '=') Type(control, value);
                if (act == '#') Pick(control, std::stoi(value));
                if (act == '!') PostMessageA(control, WM_KEYDOWN, std::stoi(value), 1);
                if (act == '~') PostMessageA(control, WM_SYSCHAR, value[0], 1 << 29);
                return control != nullptr;
            });
        }
    }
    std::string File() { return test::ReadFile(dir.path() / "vendaro.ini"); }
    std::string Status() { return Shows(main.view().Label()); }
};

TEST_CASE("the main window: select a row, Delete, Clone, and Add into an editor") {
    Program p(
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
        "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n");
    const HWND list = p.main.view().List();
    constexpr UINT kSelected = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(list, 1, kSelected, kSelected);  // Orders
    p.driver.Then(Answer("Vendaro!", IDYES));
    Click(p.main.view().ButtonOf(&Form1::Command3_Click));
    CHECK(p.Status() == "DSN script deleted.");
    ListView_SetItemState(list, 0, kSelected, kSelected);  // Sales
    p.driver.Then(Answer("Clone DSN script 'Sales'", IDOK, nullptr, " Sales Copy "));
    p.driver.Then(Answer("Clone DSN script 'Sales'", IDCANCEL));
    Click(p.main.view().ButtonOf(&Form1::Command7_Click));
    p.driver.Then([&] {
        Form3View* select_driver = p.main.OpenSelectDriver();
        if (select_driver != nullptr) Pick(select_driver->List(), 3);  // SQL Server, sorted last
        return select_driver != nullptr && PostMessageA(select_driver->OkButton(), BM_CLICK, 0, 0);
    });
    p.Events("Text1=Budget|Command4");
    Click(p.main.view().ButtonOf(&Form1::Command1_Click));
    CHECK(p.driver.Ok());
    CHECK(Items(list) ==
          "Sales|Sales figures|SQL Server\nSales Copy|Sales figures|SQL Server\n"
          "Budget||SQL Server\n");
    CHECK(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 2);
    CHECK(p.Status() == "SQL Server DSN script added.");
    // The lines no write touches stay as they were (the blank line, the copy's CR line).
    CHECK(p.File() ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
          "\r\r\n[Sales Copy]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n"
          "[Budget]\r\nDSN_Driver=SQL Server\r\n");
}

// A story is events split by "|", one step each on the innermost editor open: "Name=text" types,
// "Name#n" picks item or page n, "Name!k" presses the key with virtual-key code k, "Name~c" the
// access key Alt+c, "Name" clicks a button or moves the focus to another control, and
// "?Name=shown" checks what the control shows (see Shows); "@" names the control that has the
// focus. Each line of editor_stories.txt: the driver, the events, the file after them, escaped
// as testing/escapes.h spells bytes.
TEST_CASE("each editor, opened for a new script, shows its model, takes its events and saves") {
    std::ifstream lines(VENDARO_SOURCE_DIR "/mainwin/tests/win32/editor_stories.txt");
    REQUIRE(lines.is_open());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream row(line);
        std::string c[3];
        for (std::string& field : c) {
            std::getline(row, field, '\t');
            field = test::Unescape(field);
        }
        CAPTURE(line);
        Program p("");
        p.Events(c[1]);
        CHECK(p.editors.OpenEditor(c[0]));
        CHECK(p.driver.Ok());
        CHECK(p.File() == c[2]);
        CHECK(p.Status() == (c[2].empty() ? kWelcomeText : c[0] + " DSN script added."));
    }
}

// A step on the innermost editor, once it shows and takes input.
ModalDriver::Step OnEditor(Program& p, std::function<void(EditorView&)> act) {
    return [&p, act] {
        EditorView* view = p.editor_windows.Open();
        return view != nullptr && IsWindowEnabled(view->hwnd()) && (act(*view), true);
    };
}

TEST_CASE("Edit through the real window: a long path is shortened to fit beside its caption") {
    Program p(
        "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDescription=Jet\r\nSystemDB="
        "C:\\Program Files\\Shared Databases\\Accounting\\2026\\system.mdw\r\n");
    std::string shown;
    p.driver.Then(OnEditor(p, [&shown](EditorView& v) {
        shown = WindowText(v.Control("Option2"));
        PostMessageA(v.hwnd(), WM_CLOSE, 0, 0);
    }));
    Click(p.main.view().ButtonOf(&Form1::Command2_Click));  // Edit
    CHECK(p.driver.Ok());
    CHECK(shown == "Da&tabase: C:\\Program Files\\Shared Da...\\system.mdw");
}

TEST_CASE("the list view: a header click sorts, the selection comes back, a double click edits") {
    Program p("[b]\r\nDSN_Driver=SQL Server\r\n[A]\r\nDSN_Driver=SQL Server\r\n[c]\r\n");
    const HWND list = p.main.view().List();
    NMLISTVIEW header_click{{list, 0, static_cast<UINT>(LVN_COLUMNCLICK)}, -1, 0, 0, 0, 0, {}, 0};
    for (const char* rows :
         {"c||\nb||SQL Server\nA||SQL Server\n", "A||SQL Server\nb||SQL Server\nc||\n"}) {
        SendMessageA(p.main.view().hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header_click));
        CHECK(Items(list) == rows);  // each click turns the order
    }
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);  // a click beside the rows
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    CHECK(selected == 1);  // b, selected at start-up
    p.driver.Then(OnEditor(p, [](EditorView& v) { PostMessageA(v.hwnd(), WM_CLOSE, 0, 0); }));
    NMHDR double_click{list, 0, static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(p.main.view().hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&double_click));
    CHECK(p.driver.Ok());  // an editor showed: Edit's, of b
    CHECK(p.module1.EditDsnName == "b");
}

TEST_CASE("User DSN: the driver's setup is asked to configure it, the main window its parent") {
    for (const char* command_line : {"", "Sales -u"}) {  // the button; the start, still hidden
        CAPTURE(command_line);
        Program p("[Sales]\r\nDSN_Driver=SQL Server\r\n", command_line);
        if (*command_line == '\0') Click(p.main.view().ButtonOf(&Form1::Command4_Click));
        const std::string parent = std::to_string(FromHwnd(p.main.view().hwnd()));
        CHECK(p.recording.calls.back() ==
              "ConfigDataSource " + parent + " 2 SQL Server|DSN=Sales\\0");
    }
}

TEST_CASE("About shows the product and its version over the main window, and OK closes it") {
    Program p("");
    bool version_shown = false;
    p.driver.Then([&] {
        const HWND about = FindWindowA(nullptr, "About Vendaro!");
        if (about == nullptr || !IsWindowVisible(about)) return false;
        version_shown = FindWindowExA(about, nullptr, "Static",
                                      (std::string("Version ") + kProductVersion).c_str());
        return PostMessageA(FindWindowExA(about, nullptr, "Button", "OK"), BM_CLICK, 0, 0) != 0;
    });
    Click(p.main.view().ButtonOf(&Form1::Command8_Click));
    CHECK(version_shown);  // the box showed, with the version
    CHECK(IsWindowEnabled(p.main.view().hwnd()));
}

TEST_CASE("F1 opens the help file beside the program in Notepad") {
    Program p("");
    test::WriteFile(p.dir.path() / "faq.fil", "How do I add a DSN script?\r\n");
    PostMessageA(p.main.view().List(), WM_KEYDOWN, VK_F1, 1);
    Pump();
    std::string title;  // Notepad's window says "Untitled" until it has read the file
    for (int tries = 0; tries < 100 && title != "faq.fil - Notepad"; ++tries, Sleep(100))
        title = WindowText(FindWindowA("Notepad", nullptr));
    CHECK(title == "faq.fil - Notepad");
    if (HWND notepad = FindWindowA("Notepad", nullptr)) PostMessageA(notepad, WM_CLOSE, 0, 0);
}

TEST_CASE("Exit, Escape and the close box end the program") {
    Program p("[Sales]\r\nDSN_Driver=SQL Server\r\n", "", /*quit_on_close=*/true);
    SUBCASE("Exit") Click(p.main.view().ButtonOf(&Form1::Command5_Click));
    SUBCASE("Escape") PostMessageA(p.main.view().List(), WM_KEYDOWN, VK_ESCAPE, 1);
    SUBCASE("the close box") PostMessageA(p.main.view().hwnd(), WM_CLOSE, 0, 0);
    CHECK(Pump());  // the window was destroyed, and the loop ends
}

}  // namespace vendaro::win32::testing
