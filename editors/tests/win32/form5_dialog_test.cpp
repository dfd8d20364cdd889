// The Adaptive Server Anywhere editor as a real dialog: its tab pages, the password field, the
// enable rules and field backgrounds on the real controls, the unit words, the digits-only
// fields, the file chooser behind "&Browse..." and the keyboard.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "editors/tests/win32/dialog_support.h"
#include "forms/win32/form_window.h"

namespace vendaro::win32::testing {
namespace {

constexpr const char* kDriver = "Adaptive Server Anywhere 6.0";
constexpr const char* kAddCaption = "Add DSN Script for Adaptive Server Anywhere";
constexpr const char* kEditCaption = "Edit DSN Script for Adaptive Server Anywhere";
enum Page { kOdbc = 0, kLogin = 1, kDatabase = 2, kNetwork = 3, kAdvanced = 4 };

int ShownPage(EditorView& view) {
    return static_cast<int>(SendMessageA(view.Control("SSTab1"), TCM_GETCURSEL, 0, 0));
}

std::string TabText(HWND tab, int index) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

bool WindowBackground(HWND field) {
    FieldPaint paint = PaintOf(field);
    return paint.background == GetSysColor(COLOR_WINDOW) &&
           paint.brush == GetSysColorBrush(COLOR_WINDOW);
}
bool ButtonFaceBackground(HWND field) {
    FieldPaint paint = PaintOf(field);
    return paint.background == GetSysColor(COLOR_BTNFACE) &&
           paint.brush == GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace

TEST_CASE("the editor's pages are ODBC, Login, Database, Network, Advanced; it opens on Database") {
    const char* names[] = {"ODBC", "Login", "Database", "Network", "Advanced"};
    for (bool edit : {false, true}) {
        CAPTURE(edit);
        DialogFixture f;
        if (edit) {
            f.Given("[Inv]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n");
            f.EditMode("Inv", "", kDriver);
        } else {
            f.AddMode();
        }
        f.OnEditor(edit ? kEditCaption : kAddCaption, [&](EditorView& view) {
            HWND tab = view.Control("SSTab1");
            REQUIRE(tab != nullptr);
            CHECK(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) == 5);
            for (int i = 0; i < 5; ++i) CHECK(TabText(tab, i) == names[i]);
            CHECK(ShownPage(view) == kDatabase);
            CHECK(Visible(view.Control("Text6")));
            CHECK_FALSE(Visible(view.Control("Text1")));
            CHECK_FALSE(Visible(view.Control("Check8")));
            // Save and Cancel stand under the pages, left to right.
            CHECK(Visible(view.Control("Command4")));
            CHECK(RectInParent(view.Control("Command4")).right <=
                  RectInParent(view.Control("Command2")).left);
            CHECK(RectInParent(view.Control("Command4")).top >= RectInParent(tab).bottom);

            ClickTab(tab, kNetwork);
            CHECK(ShownPage(view) == kNetwork);
            CHECK(Visible(view.Control("Check8")));
            CHECK_FALSE(Visible(view.Control("Text6")));
            {
                // Ctrl+Tab brings the next page, Ctrl+Shift+Tab the one before.
                BYTE saved[256];
                GetKeyboardState(saved);
                BYTE held[256];
                GetKeyboardState(held);
                held[VK_CONTROL] = 0x80;
                SetKeyboardState(held);
                SetFocus(view.Control("Check8"));
                MSG message{view.Control("Check8"), WM_KEYDOWN, VK_TAB, 1, 0, {}};
                CHECK(PreTranslate(message));
                CHECK(ShownPage(view) == kAdvanced);
                CHECK(Visible(view.Control("Text16")));
                held[VK_SHIFT] = 0x80;
                SetKeyboardState(held);
                message.hwnd = GetFocus();
                CHECK(PreTranslate(message));
                CHECK(ShownPage(view) == kNetwork);
                SetKeyboardState(saved);
            }
            PostKey(tab, VK_ESCAPE);
        });
        f.Open(kDriver);
    }
}

TEST_CASE("the password field shows every character as *") {
    DialogFixture f;
    f.AddMode();
    std::string shown;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        ClickTab(view.Control("SSTab1"), kLogin);
        HWND password = view.Control("Text5");
        CHECK((GetWindowLongPtrA(password, GWL_STYLE) & ES_PASSWORD) != 0);
        CHECK(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0) == '*');
        Type(password, " secret ");
        ClickTab(view.Control("SSTab1"), kOdbc);
        Type(view.Control("Text1"), "P");
        Click(view.Control("Command4"));
    });
    f.Open(kDriver);
    // Stored enciphered, without the blanks.
    const test::KeyLines keys = f.Section("P");
    CHECK(std::count_if(keys.begin(), keys.end(),
                        [](const std::string& line) { return line.rfind("PWD=", 0) == 0; }) == 1);
    CHECK(std::find(keys.begin(), keys.end(), "PWD= secret ") == keys.end());
    CHECK(std::find(keys.begin(), keys.end(), "PWD=secret") == keys.end());
}

TEST_CASE("the login options enable the user ID and password, which keep their text") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        ClickTab(view.Control("SSTab1"), kLogin);
        HWND user = view.Control("Text4");
        HWND password = view.Control("Text5");
        CHECK(Checked(view.Control("Option5")));
        CHECK_FALSE(Checked(view.Control("Option4")));
        CHECK(Text(view.Control("Option4")) == "Use &integrated login");
        CHECK(Text(view.Control("Option5")) == "Supply use&r ID and password");
        CHECK(Text(view.Control("Check5")) == "&Encrypt password");
        CHECK_FALSE(Enabled(view.Control("Check5")));
        CHECK_FALSE(Checked(view.Control("Check5")));
        Type(user, "dba");
        Type(password, "pw");

        Click(view.Control("Option4"));
        CHECK(Checked(view.Control("Option4")));
        CHECK_FALSE(Checked(view.Control("Option5")));
        for (const char* name : {"Label4", "Label5", "Text4", "Text5"}) {
            CAPTURE(name);
            CHECK_FALSE(Enabled(view.Control(name)));
        }
        CHECK(Text(user) == "dba");
        CHECK(ButtonFaceBackground(user));
        CHECK(ButtonFaceBackground(password));
        CHECK_FALSE(Enabled(view.Control("Check5")));

        Click(view.Control("Option5"));
        for (const char* name : {"Label4", "Label5", "Text4", "Text5"}) {
            CAPTURE(name);
            CHECK(Enabled(view.Control(name)));
        }
        CHECK(WindowBackground(user));
        CHECK(GetFocus() == user);
        CHECK(Text(password) == "pw");
        PostKey(user, VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("the database file enables the autostart box, which keeps its check") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        HWND file = view.Control("Text9");
        HWND autostart = view.Control("Check6");
        CHECK(Text(autostart) == "Au&tomatically start the database if it isn't running");
        CHECK_FALSE(Enabled(autostart));
        CHECK(Checked(autostart));
        CHECK(Checked(view.Control("Check7")));
        Type(file, " ");  // blanks count as text
        CHECK(Enabled(autostart));
        Click(autostart);
        CHECK_FALSE(Checked(autostart));
        Click(autostart);
        Paste(file, "");
        CHECK_FALSE(Enabled(autostart));
        CHECK(Checked(autostart));
        Click(autostart);  // a disabled box does not change
        CHECK(Checked(autostart));
        PostKey(file, VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("the protocols enable their option fields and the liveness timeout") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        ClickTab(view.Control("SSTab1"), kNetwork);
        HWND tcp = view.Control("Check8");
        HWND ipx = view.Control("Check9");
        HWND netbios = view.Control("Check10");
        HWND liveness = view.Control("Text13");
        CHECK(Text(view.Control("Label10")) ==
              "Select the network protocols and specify any protocol specific options where "
              "necessary.");
        CHECK(Text(tcp) == "&TCP/IP");
        CHECK(Text(ipx) == "I&PX");
        CHECK(Text(netbios) == "Net&BIOS");
        for (const char* name : {"Text10", "Text11", "Text12", "Text13"}) {
            CAPTURE(name);
            CHECK_FALSE(Enabled(view.Control(name)));
            CHECK(ButtonFaceBackground(view.Control(name)));
        }
        CHECK(Text(liveness) == "120");
        CHECK(Enabled(view.Control("Text14")));
        CHECK(WindowBackground(view.Control("Text14")));

        Click(tcp);
        CHECK(Enabled(view.Control("Text10")));
        CHECK(WindowBackground(view.Control("Text10")));
        CHECK(Enabled(liveness));
        CHECK(WindowBackground(liveness));
        CHECK(GetFocus() == view.Control("Text10"));
        Click(ipx);
        CHECK(Enabled(view.Control("Text11")));
        CHECK(GetFocus() == view.Control("Text11"));
        Click(tcp);
        CHECK_FALSE(Enabled(view.Control("Text10")));
        CHECK(Enabled(liveness));
        Click(ipx);
        CHECK_FALSE(Enabled(liveness));
        CHECK(ButtonFaceBackground(liveness));
        CHECK(Text(liveness) == "120");
        Click(netbios);
        CHECK(Enabled(view.Control("Text12")));
        CHECK_FALSE(Enabled(liveness));
        CHECK(GetFocus() == view.Control("Text12"));

        ClickTab(view.Control("SSTab1"), kAdvanced);
        CHECK(Checked(view.Control("Check12")));
        CHECK_FALSE(Enabled(view.Control("Label16")));
        CHECK_FALSE(Enabled(view.Control("Text18")));
        Click(view.Control("Check13"));
        CHECK(Enabled(view.Control("Label16")));
        CHECK(Enabled(view.Control("Text18")));
        CHECK(GetFocus() == view.Control("Text18"));
        PostKey(view.Control("Text18"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("the numeric rows show their unit after the field") {
    struct Row {
        const char* label;
        const char* field;
        const char* caption;
        const char* unit;
    };
    const Row rows[] = {
        {"Label11", "Text13", "&Liveness timeout:", "seconds"},
        {"Label12", "Text14", "Buffer &size:", "bytes"},
        {"Label13", "Text15", "B&uffer space:", "KB"},
    };
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        ClickTab(view.Control("SSTab1"), kNetwork);
        for (const Row& row : rows) {
            CAPTURE(row.field);
            HWND label = view.Control(row.label);
            HWND unit = view.Control(std::string(row.label) + ".Unit");
            HWND field = view.Control(row.field);
            CHECK(Text(label) == row.caption);
            CHECK(Text(unit) == row.unit);
            CHECK(Visible(unit));
            RECT label_at = RectInParent(label);
            RECT unit_at = RectInParent(unit);
            RECT field_at = RectInParent(field);
            CHECK(label_at.right <= field_at.left);
            CHECK(unit_at.left >= field_at.right);
            CHECK(unit_at.top < field_at.bottom);
            CHECK(unit_at.bottom > field_at.top);
        }
        PostKey(view.Control("Text14"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("the numeric fields take digits only and show their number when left") {
    struct Case {
        const char* typed;
        const char* shown;      // while typing
        const char* when_left;  // once the focus moved on
    };
    const Case cases[] = {
        {"0a4-2 ", "042", "42"},
        {"x", "", "0"},
        {"12\b3", "13", "13"},
        {"0007", "0007", "7"},
    };
    for (const char* name : {"Text13", "Text14", "Text15"}) {
        for (const Case& c : cases) {
            CAPTURE(name);
            CAPTURE(c.typed);
            DialogFixture f;
            f.AddMode();
            std::string shown;
            std::string when_left;
            f.OnEditor(kAddCaption, [&](EditorView& view) {
                ClickTab(view.Control("SSTab1"), kNetwork);
                Click(view.Control("Check8"));  // the liveness timeout takes input now
                HWND field = view.Control(name);
                SetFocus(field);
                Paste(field, "");
                Type(field, c.typed);
                shown = Text(field);
                SetFocus(view.Control("Check11"));
                when_left = Text(field);
                PostKey(field, VK_ESCAPE);
            });
            f.Open(kDriver);
            CHECK(shown == c.shown);
            CHECK(when_left == c.when_left);
        }
    }
}

TEST_CASE("a pasted number is cleaned when the field is left") {
    DialogFixture f;
    f.AddMode();
    std::string shown;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        ClickTab(view.Control("SSTab1"), kNetwork);
        HWND field = view.Control("Text14");
        SetFocus(field);
        Paste(field, "2e3xyz");
        SetFocus(view.Control("Text15"));
        shown = Text(field);
        PostKey(field, VK_ESCAPE);
    });
    f.Open(kDriver);
    CHECK(shown == "2000");
}

TEST_CASE("\"&Browse...\" puts the chosen database file in its field") {
    test::ScratchDir files;
    const std::string chosen = files.File("stock.db");
    { std::ofstream(chosen) << "x"; }
    for (bool ok : {true, false}) {
        CAPTURE(ok);
        DialogFixture f;
        f.AddMode();
        std::string shown;
        bool autostart_enabled = false;
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            CHECK(Text(view.Control("Command3")) == "&Browse...");
            // Under the right end of the file field.
            RECT button = RectInParent(view.Control("Command3"));
            RECT field = RectInParent(view.Control("Text9"));
            CHECK(button.top >= field.bottom);
            CHECK(std::abs(button.right - field.right) <= 1);  // each edge rounded to pixels
            PostClick(view.Control("Command3"));
        });
        f.AnswerOpenFile("Select a Database File", ok ? chosen : "");
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            shown = Text(view.Control("Text9"));
            autostart_enabled = Enabled(view.Control("Check6"));
            PostKey(view.Control("Text9"), VK_ESCAPE);
        });
        f.Open(kDriver);
        CHECK(f.dialogs.shown == std::vector<std::string>{"OpenFile Select a Database File"});
        CHECK(shown == (ok ? chosen : ""));
        CHECK(autostart_enabled == ok);
    }
}

TEST_CASE("a loaded script's values set the enabled states they imply") {
    DialogFixture f;
    f.Given(
        "[Inv]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nIntegrated=YES\r\nUID=dba\r\n"
        "DatabaseFile=\r\nAutoStart=No\r\nCommLinks=TCPIP{},IPX{}\r\nDebug=yes\r\n"
        "LogFile=C:\\odbc.log\r\nDisableMultiRowFetch=YES\r\nDescribeCursor=ALWAYS\r\n");
    f.EditMode("Inv", "Stock", kDriver);
    f.OnEditor(kEditCaption, [&](EditorView& view) {
        CHECK(Text(view.Control("Text1")) == "Inv");
        CHECK(Text(view.Control("Text2")) == "Stock");
        CHECK(Enabled(view.Control("Command4")));
        CHECK(Checked(view.Control("Option3")));
        CHECK_FALSE(Checked(view.Control("Option2")));
        CHECK(Checked(view.Control("Option4")));
        CHECK_FALSE(Enabled(view.Control("Text4")));
        CHECK(Text(view.Control("Text4")).empty());
        CHECK_FALSE(Enabled(view.Control("Check6")));
        CHECK_FALSE(Checked(view.Control("Check6")));
        CHECK(Checked(view.Control("Check8")));
        CHECK(Checked(view.Control("Check9")));
        CHECK_FALSE(Checked(view.Control("Check10")));
        CHECK(Enabled(view.Control("Text10")));
        CHECK(Enabled(view.Control("Text11")));
        CHECK_FALSE(Enabled(view.Control("Text12")));
        CHECK(Enabled(view.Control("Text13")));
        CHECK(Text(view.Control("Text13")).empty());  // missing keys show nothing
        CHECK_FALSE(Checked(view.Control("Check12")));
        CHECK(Checked(view.Control("Check13")));
        CHECK(Enabled(view.Control("Text18")));
        CHECK(Text(view.Control("Text18")) == "C:\\odbc.log");
        // Loading is no change: Cancel asks nothing.
        Click(view.Control("Command2"));
    });
    f.Open(kDriver);
    CHECK(f.dialogs.shown.empty());
}

TEST_CASE("Tab follows each page's rows, then Save and Cancel") {
    struct PageOrder {
        int page;
        std::vector<std::string> order;
    };
    const std::vector<PageOrder> pages = {
        {kOdbc,
         {"Text1", "Text2", "Text3", "Check1", "Check2", "Check3", "Check4", "Option1", "Option2",
          "Option3", "Command4", "Command2", "SSTab1"}},
        {kLogin, {"Option4", "Option5", "Text4", "Text5", "Command4", "Command2", "SSTab1"}},
        {kDatabase,
         {"Text6", "Text7", "Text8", "Text9", "Command3", "Check6", "Check7", "Command4",
          "Command2", "SSTab1"}},
        {kNetwork,
         {"Check8", "Text10", "Check9", "Text11", "Check10", "Text12", "Check11", "Text13",
          "Text14", "Text15", "Command4", "Command2", "SSTab1"}},
        {kAdvanced,
         {"Text16", "Text17", "Check12", "Check13", "Text18", "Command4", "Command2", "SSTab1"}},
    };
    std::vector<std::string> all;
    for (const PageOrder& p : pages) all.insert(all.end(), p.order.begin(), p.order.end());

    DialogFixture f;
    f.Given(
        "[Inv]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nDatabaseFile=x.db\r\n"
        "CommLinks=TCPIP{},IPX{},NetBIOS{}\r\nDebug=Yes\r\n");
    f.EditMode("Inv", "", kDriver);  // everything enabled
    f.OnEditor(kEditCaption, [&](EditorView& view) {
        for (const PageOrder& p : pages) {
            CAPTURE(p.page);
            ClickTab(view.Control("SSTab1"), p.page);
            CHECK(TabWalk(view, all) == p.order);
        }
        PostKey(view.Control("SSTab1"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("an access key moves to the field its label names") {
    DialogFixture f;
    f.AddMode();
    HWND focused = nullptr;
    HWND expected = nullptr;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        ClickTab(view.Control("SSTab1"), kOdbc);
        SetFocus(view.Control("Text1"));
        expected = view.Control("Text3");
        // Alt+O: "Is&olation level:".
        PostMessageA(view.Control("Text1"), WM_SYSCHAR, 'o', static_cast<LPARAM>(1) << 29);
    });
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        focused = GetFocus();
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open(kDriver);
    CHECK(focused == expected);
}

}  // namespace vendaro::win32::testing
