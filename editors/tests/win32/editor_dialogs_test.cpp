// What every editor dialog does the same way, shown on the four real dialogs: a new script
// saved with only a name, an edit that renames, Cancel's question answered Yes and No,
// Escape and the close box.
#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editors/tests/win32/dialog_support.h"

namespace vendaro::win32::testing {
namespace {

struct EditorCase {
    const char* driver;
    const char* product;  // the caption's last words
    const char* save;
    const char* cancel;
    int name_page;  // the tab page that holds the name field; -1 without pages
    // The section that Save writes for a dialog left as it opened, given only a name.
    std::vector<std::string> name_only;
};

const std::vector<EditorCase>& Cases() {
    static const std::vector<EditorCase> cases = {
        {"SQL Server", "SQL Server", "Command4", "Command2", -1, {"DSN_Driver=SQL Server"}},
        {"Adaptive Server Anywhere 6.0",
         "Adaptive Server Anywhere",
         "Command4",
         "Command2",
         0,
         {"DSN_Driver=Adaptive Server Anywhere 6.0", "KeysInSQLStatistics=No", "Delphi=No",
          "PreventNotCapable=No", "LazyAutoCommit=No", "DescribeCursor=Yes", "Integrated=No",
          "AutoStart=Yes", "AutoStop=Yes", "Encryption=No", "LivenessTimeout=120",
          "CommBufferSize=512", "CommBufferSpace=5", "DisableMultiRowFetch=No", "Debug=No"}},
        {"Microsoft Access Driver (*.mdb)",
         "Microsoft Access",
         "Command4",
         "Command2",
         -1,
         {"DSN_Driver=Microsoft Access Driver (*.mdb)", "PageTimeout=5", "MaxBufferSize=2048",
          "Exclusive=0", "ReadOnly=0"}},
        {"Microsoft dBase Driver (*.dbf)",
         "dBase",
         "Command1",
         "Command2",
         -1,
         {"DSN_Driver=Microsoft dBase Driver (*.dbf)", "FIL=dBase 5.0", "CollatingSequence=ASCII",
          "PageTimeout=600", "Exclusive=0", "Deleted=0", "Statistics=0"}},
    };
    return cases;
}

// Brings the page with the name field to the front, as a user would before typing in it.
void ShowNamePage(EditorView& view, const EditorCase& c) {
    if (c.name_page >= 0) ClickTab(view.Control("SSTab1"), c.name_page);
}

std::string AddCaption(const EditorCase& c) {
    return std::string("Add DSN Script for ") + c.product;
}
std::string EditCaption(const EditorCase& c) {
    return std::string("Edit DSN Script for ") + c.product;
}

std::string OldScript(const EditorCase& c) {
    return std::string("[Old]\r\nDSN_Driver=") + c.driver + "\r\nDescription=Before\r\n";
}

}  // namespace

TEST_CASE("a script added with only a name holds what the dialog showed") {
    for (const EditorCase& c : Cases()) {
        CAPTURE(c.driver);
        DialogFixture f;
        f.AddMode();
        bool save_before = true;
        bool save_after = false;
        f.OnEditor(AddCaption(c), [&](EditorView& view) {
            ShowNamePage(view, c);
            save_before = Enabled(view.Control(c.save));
            Type(view.Control("Text1"), "New");
            save_after = Enabled(view.Control(c.save));
            Click(view.Control(c.save));
        });
        f.Open(c.driver);
        CHECK_FALSE(save_before);
        CHECK(save_after);
        CHECK(f.Section("New") == c.name_only);
        CHECK(f.status.text == std::string(c.driver) + " DSN script added.");
        CHECK(f.shared.ScriptSaved);
        CHECK(f.shared.NewDsnName == "New");
        CHECK(f.shared.NewDriver == c.driver);
    }
}

TEST_CASE("a name of blanks keeps Save disabled") {
    for (const EditorCase& c : Cases()) {
        CAPTURE(c.driver);
        DialogFixture f;
        f.AddMode();
        bool save_enabled = true;
        f.OnEditor(AddCaption(c), [&](EditorView& view) {
            ShowNamePage(view, c);
            Type(view.Control("Text1"), "   ");
            save_enabled = Enabled(view.Control(c.save));
            Click(view.Control(c.save));  // a disabled button does nothing
            PostKey(view.Control("Text1"), VK_ESCAPE);
        });
        f.Open(c.driver);
        CHECK_FALSE(save_enabled);
        CHECK(f.Bytes() == "<missing>");
        CHECK(f.status.text.empty());
    }
}

TEST_CASE("an edit that renames moves the script and the row") {
    for (const EditorCase& c : Cases()) {
        CAPTURE(c.driver);
        DialogFixture f;
        f.Given(OldScript(c));
        const int row = f.EditMode("Old", "Before", c.driver);
        std::string name_shown;
        std::string description_shown;
        bool save_enabled = false;
        f.OnEditor(EditCaption(c), [&](EditorView& view) {
            ShowNamePage(view, c);
            name_shown = Text(view.Control("Text1"));
            description_shown = Text(view.Control("Text2"));
            save_enabled = Enabled(view.Control(c.save));
            Paste(view.Control("Text1"), "Renamed");
            Click(view.Control(c.save));
        });
        f.Open(c.driver);
        CHECK(name_shown == "Old");
        CHECK(description_shown == "Before");
        CHECK(save_enabled);
        const std::vector<std::string> headers = test::Headers(f.Bytes());
        CHECK(headers == std::vector<std::string>{"Renamed"});
        const test::KeyLines renamed = f.Section("Renamed");
        REQUIRE(renamed.size() >= 2);
        CHECK(renamed[0] == std::string("DSN_Driver=") + c.driver);
        CHECK(renamed[1] == "Description=Before");
        CHECK(f.list.Row(row).text == "Renamed");
        CHECK(f.status.text == std::string(c.driver) + " DSN script edited.");
    }
}

TEST_CASE("Cancel after a change asks; Yes saves, No leaves the script as it was") {
    for (const EditorCase& c : Cases()) {
        CAPTURE(c.driver);
        for (int answer : {IDYES, IDNO}) {
            CAPTURE(answer);
            DialogFixture f;
            f.Given(OldScript(c));
            const int row = f.EditMode("Old", "Before", c.driver);
            const std::string before = f.Bytes();
            std::string question;
            f.OnEditor(EditCaption(c), [&](EditorView& view) {
                ShowNamePage(view, c);
                Paste(view.Control("Text2"), "After");
                PostClick(view.Control(c.cancel));
            });
            f.AnswerQuestion(answer, &question);
            f.Open(c.driver);
            CHECK(question == "Do you want to save your changes before closing this screen?");
            if (answer == IDYES) {
                const test::KeyLines saved = f.Section("Old");
                REQUIRE(saved.size() >= 2);
                CHECK(saved[1] == "Description=After");
                CHECK(f.list.Row(row).description == "After");
                CHECK(f.status.text == std::string(c.driver) + " DSN script edited.");
            } else {
                CHECK(f.Bytes() == before);
                CHECK(f.list.Row(row).description == "Before");
                CHECK(f.status.text.empty());
            }
        }
    }
}

TEST_CASE("Cancel with nothing changed closes without a question") {
    for (const EditorCase& c : Cases()) {
        CAPTURE(c.driver);
        DialogFixture f;
        f.Given(OldScript(c));
        f.EditMode("Old", "Before", c.driver);
        const std::string before = f.Bytes();
        f.OnEditor(EditCaption(c), [&](EditorView& view) { Click(view.Control(c.cancel)); });
        f.Open(c.driver);
        CHECK(f.dialogs.shown.empty());
        CHECK(f.Bytes() == before);
    }
}

TEST_CASE("Escape and the close box close at once, asking nothing and saving nothing") {
    for (const EditorCase& c : Cases()) {
        CAPTURE(c.driver);
        for (bool escape : {true, false}) {
            CAPTURE(escape);
            DialogFixture f;
            f.Given(OldScript(c));
            const int row = f.EditMode("Old", "Before", c.driver);
            const std::string before = f.Bytes();
            f.OnEditor(EditCaption(c), [&](EditorView& view) {
                ShowNamePage(view, c);
                Paste(view.Control("Text2"), "After");
                if (escape) {
                    PostKey(view.Control("Text2"), VK_ESCAPE);
                } else {
                    PostMessageA(view.hwnd(), WM_CLOSE, 0, 0);
                }
            });
            f.Open(c.driver);
            CHECK(f.dialogs.shown.empty());
            CHECK(f.Bytes() == before);
            CHECK(f.list.Row(row).description == "Before");
        }
    }
}

TEST_CASE("the unit word of a numeric row is the caption's text after its run of blanks") {
    struct Row {
        std::string caption;
        std::string label;
        std::string unit;
    };
    const Row rows[] = {
        {"&Liveness timeout:" + std::string(27, ' ') + "seconds", "&Liveness timeout:", "seconds"},
        {"Buffer &size:" + std::string(37, ' ') + "bytes", "Buffer &size:", "bytes"},
        {"B&uffer space:" + std::string(34, ' ') + "KB", "B&uffer space:", "KB"},
        {"&Log file:", "&Log file:", ""},
        {"Two words", "Two words", ""},
        {"Trailing  ", "Trailing", ""},
    };
    for (const Row& row : rows) {
        UnitCaption split = SplitUnitCaption(row.caption);
        CHECK(split.label == row.label);
        CHECK(split.unit == row.unit);
    }
}

}  // namespace vendaro::win32::testing

namespace vendaro::win32::testing {

namespace {
std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += name + " ";
    return joined;
}
}  // namespace

TEST_CASE("Tab and the access keys reach the short form's cut-off controls only after Options") {
    struct Case {
        const char* driver;
        const char* caption;
        const char* given;  // a system database or a directory enables its button
        const char* options;
        std::vector<std::string> short_walk;
        std::vector<std::string> cut_off;  // in the keyboard order, where the walk takes them
        std::size_t cut_off_at;
        std::string keys;                // the access keys of the cut-off controls
        std::vector<std::string> boxes;  // the check boxes among them
    };
    const Case cases[] = {
        {"Microsoft Access Driver (*.mdb)",
         "Edit DSN Script for Microsoft Access",
         "SystemDB=C:\\s.mdw",
         "Command7",
         {"Text1", "Text2", "Command3", "Option1", "Option2", "Command5", "Command4", "Command2",
          "Command6", "Command7"},
         {"Text3", "Text4", "Check1", "Check2"},
         6,
         "pbxl",
         {"Check1", "Check2"}},
        {"Microsoft dBase Driver (*.dbf)",
         "Edit DSN Script for dBase",
         "DefaultDir=C:\\d",
         "Command3",
         {"Text1", "Text2", "Combo1", "Command4", "Check1", "Command1", "Command2", "Command3"},
         {"Combo2", "Text3", "Check2", "Check3", "Check4"},
         5,
         "cpxra",
         {"Check2", "Check3", "Check4"}},
    };
    for (const Case& c : cases) {
        const std::string driver = c.driver;
        CAPTURE(driver);
        DialogFixture f;
        f.Given(std::string("[S]\r\nDSN_Driver=") + c.driver + "\r\n" + c.given + "\r\n");
        f.EditMode("S", "", c.driver);
        std::vector<std::string> all = c.short_walk;
        all.insert(all.end(), c.cut_off.begin(), c.cut_off.end());
        // "&Options>>" is disabled once used.
        std::vector<std::string> long_walk = c.short_walk;
        long_walk.pop_back();
        long_walk.insert(long_walk.begin() + static_cast<std::ptrdiff_t>(c.cut_off_at),
                         c.cut_off.begin(), c.cut_off.end());
        std::vector<std::string> walks[2];
        std::vector<std::string> reached[2];  // the cut-off controls the access keys reached
        for (int round = 0; round < 2; ++round) {
            f.OnEditor(c.caption, [&, round](EditorView& view) {
                if (round == 1) Click(view.Control(c.options));
                walks[round] = TabWalk(view, all);
                HWND first = view.Control("Text1");
                SetFocus(first);
                for (char key : c.keys) {
                    PostMessageA(first, WM_SYSCHAR, static_cast<WPARAM>(key),
                                 static_cast<LPARAM>(1) << 29);
                }
            });
            f.OnEditor(c.caption, [&, round](EditorView& view) {
                for (const std::string& name : c.cut_off) {
                    const bool box =
                        std::find(c.boxes.begin(), c.boxes.end(), name) != c.boxes.end();
                    if ((box && Checked(view.Control(name))) || GetFocus() == view.Control(name)) {
                        reached[round].push_back(name);
                    }
                }
                if (round == 1) PostKey(view.Control("Text1"), VK_ESCAPE);
            });
        }
        f.Open(c.driver);
        CHECK(Joined(walks[0]) == Joined(c.short_walk));
        CHECK(Joined(reached[0]).empty());
        CHECK(Joined(walks[1]) == Joined(long_walk));
        // Each key ticks its box; the last one leaves the focus on its control.
        std::vector<std::string> expected = c.boxes;
        if (std::find(expected.begin(), expected.end(), c.cut_off.back()) == expected.end()) {
            expected.push_back(c.cut_off.back());
        }
        CHECK(Joined(reached[1]) == Joined(expected));
    }
}

TEST_CASE("the advanced options: Tab moves through the controls in their order") {
    const std::vector<std::string> advanced = {"Text1", "Text2",    "List1",
                                               "Text3", "Command1", "Command2"};
    DialogFixture f;
    f.EditMode("Orders", "", "Microsoft Access Driver (*.mdb)");
    std::vector<std::string> walk;
    f.OnEditor("Edit DSN Script for Microsoft Access",
               [&](EditorView& view) { PostClick(view.Control("Command6")); });
    f.OnEditor("Set Advanced Options", [&](EditorView& view) {
        walk = TabWalk(view, advanced);
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.OnEditor("Edit DSN Script for Microsoft Access",
               [&](EditorView& view) { PostKey(view.Control("Text1"), VK_ESCAPE); });
    f.Open("Microsoft Access Driver (*.mdb)");
    CHECK(walk == advanced);
}

TEST_CASE("a label's access key moves to its field") {
    struct Case {
        const char* driver;
        const char* caption;
        char key;
        const char* field;
    };
    const Case cases[] = {
        {"Microsoft Access Driver (*.mdb)", "Add DSN Script for Microsoft Access", 'd', "Text2"},
        {"Microsoft dBase Driver (*.dbf)", "Add DSN Script for dBase", 'v', "Combo1"},
        {"Adaptive Server Anywhere 6.0", "Add DSN Script for Adaptive Server Anywhere", 'f',
         "Text9"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.driver);
        DialogFixture f;
        f.AddMode();
        bool moved = false;
        f.OnEditor(c.caption, [&](EditorView& view) {
            HWND first = GetNextDlgTabItem(view.hwnd(), nullptr, FALSE);
            SetFocus(first);
            PostMessageA(first, WM_SYSCHAR, static_cast<WPARAM>(c.key),
                         static_cast<LPARAM>(1) << 29);
        });
        f.OnEditor(c.caption, [&](EditorView& view) {
            moved = GetFocus() == view.Control(c.field);
            PostKey(view.Control(c.field), VK_ESCAPE);
        });
        f.Open(c.driver);
        CHECK(moved);
    }
}

}  // namespace vendaro::win32::testing

namespace vendaro::win32::testing {
namespace {

struct Caption {
    HWND control;
    std::string text;
};

BOOL CALLBACK CollectCaption(HWND window, LPARAM data) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR kind = style & SS_TYPEMASK;
    // Static texts; a path label shortens itself.
    const bool label =
        lstrcmpiA(name, "Static") == 0 && kind <= SS_RIGHT && (style & SS_ELLIPSISMASK) == 0;
    const LONG_PTR button = style & BS_TYPEMASK;
    const bool box =
        lstrcmpiA(name, "Button") == 0 && (button == BS_CHECKBOX || button == BS_RADIOBUTTON);
    if (label || box)
        reinterpret_cast<std::vector<Caption>*>(data)->push_back({window, Text(window)});
    return TRUE;
}

// The text as drawn: "&" marks the access key unless the control shows it as it is.
std::string Drawn(HWND control, const std::string& text) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0 && (GetWindowLongPtrA(control, GWL_STYLE) & SS_NOPREFIX)) {
        return text;
    }
    std::string drawn;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        drawn += text[i];
    }
    return drawn;
}

// Every static text, check box and option button of `view` (its tab pages' too) fits its
// control in the font the control is drawn with: one line as wide as the control at most, or,
// for a control made for more lines, as many lines as it holds. A box's caption starts after
// the box and its gap.
void CheckCaptionsFit(EditorView& view) {
    std::vector<Caption> captions;
    EnumChildWindows(view.hwnd(), CollectCaption, reinterpret_cast<LPARAM>(&captions));
    CHECK(captions.size() > 5);
    HDC dc = GetDC(view.hwnd());
    for (const Caption& c : captions) {
        const std::string text = Drawn(c.control, c.text);
        if (text.empty()) continue;
        CAPTURE(text);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(c.control, WM_GETFONT, 0, 0));
        LOGFONTA drawn_with{};
        GetObjectA(font, sizeof drawn_with, &drawn_with);
        CHECK(std::string(drawn_with.lfFaceName) == "MS Shell Dlg");
        CHECK(drawn_with.lfHeight == -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72));
        HGDIOBJ old = SelectObject(dc, font);
        // Another face here means the system lacks the dialog font (under Wine: fonts-wine).
        char face[LF_FACESIZE] = {};
        GetTextFaceA(dc, LF_FACESIZE, face);
        CHECK(std::string(face) == "MS Shell Dlg");
        RECT client{};
        GetClientRect(c.control, &client);
        char name[16] = {};
        GetClassNameA(c.control, name, sizeof name);
        const bool box = lstrcmpiA(name, "Button") == 0;
        const int room = client.right - (box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (client.bottom < 2 * size.cy) {
            CHECK(size.cx <= room);
        } else {
            RECT needed{0, 0, room, 0};
            DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            CHECK(needed.bottom <= client.bottom);
        }
        SelectObject(dc, old);
    }
    ReleaseDC(view.hwnd(), dc);
}

}  // namespace

TEST_CASE("every caption fits its control in the 8-point dialog font") {
    struct Case {
        const char* driver;
        const char* caption;
    };
    const Case cases[] = {
        {"SQL Server", "Add DSN Script for SQL Server"},
        {"Adaptive Server Anywhere 6.0", "Add DSN Script for Adaptive Server Anywhere"},
        {"Microsoft Access Driver (*.mdb)", "Add DSN Script for Microsoft Access"},
        {"Microsoft dBase Driver (*.dbf)", "Add DSN Script for dBase"},
    };
    for (const Case& c : cases) {
        const std::string driver = c.driver;
        CAPTURE(driver);
        DialogFixture f;
        f.AddMode();
        const bool access = std::string(c.driver) == "Microsoft Access Driver (*.mdb)";
        f.OnEditor(c.caption, [&](EditorView& view) {
            CheckCaptionsFit(view);
            if (access) {
                PostClick(view.Control("Command6"));
            } else {
                PostKey(view.Control("Text1"), VK_ESCAPE);
            }
        });
        if (access) {
            f.OnEditor("Set Advanced Options", [&](EditorView& view) {
                CheckCaptionsFit(view);
                PostKey(view.Control("Text1"), VK_ESCAPE);
            });
            f.OnEditor(c.caption,
                       [](EditorView& view) { PostKey(view.Control("Text1"), VK_ESCAPE); });
        }
        f.Open(c.driver);
    }
}

TEST_CASE("the editors have a modal dialog frame and no icon") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor("Add DSN Script for SQL Server", [](EditorView& view) {
        const LONG_PTR ex_style = GetWindowLongPtrA(view.hwnd(), GWL_EXSTYLE);
        CHECK((ex_style & WS_EX_DLGMODALFRAME) != 0);
        CHECK(GetClassLongPtrA(view.hwnd(), GCLP_HICON) == 0);
        CHECK(SendMessageA(view.hwnd(), WM_GETICON, ICON_SMALL, 0) == 0);
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open("SQL Server");
}

}  // namespace vendaro::win32::testing
