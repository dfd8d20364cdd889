// What every editor dialog does the same way, shown on the four real dialogs: a new script
// saved with only a name, an edit that renames, Cancel's question answered Yes and No,
// Escape and the close box.
#include <doctest/doctest.h>

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

TEST_CASE("Tab moves through the Access, advanced options and dBase dialogs in their order") {
    const std::vector<std::string> access = {
        "Text1", "Text2",  "Command3", "Option1",  "Option2",  "Command5", "Text3",
        "Text4", "Check1", "Check2",   "Command4", "Command2", "Command6", "Command7"};
    const std::vector<std::string> advanced = {"Text1", "Text2",    "List1",
                                               "Text3", "Command1", "Command2"};
    const std::vector<std::string> dbase = {"Text1",    "Text2",    "Combo1",  "Command4", "Check1",
                                            "Combo2",   "Text3",    "Check2",  "Check3",   "Check4",
                                            "Command1", "Command2", "Command3"};

    SUBCASE("Access and its advanced options") {
        DialogFixture f;
        // A system database enables its button; the name enables Save.
        f.Given("[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nSystemDB=C:\\s.mdw\r\n");
        f.EditMode("Orders", "", "Microsoft Access Driver (*.mdb)");
        std::vector<std::string> access_walk;
        std::vector<std::string> advanced_walk;
        f.OnEditor("Edit DSN Script for Microsoft Access", [&](EditorView& view) {
            access_walk = TabWalk(view, access);
            PostClick(view.Control("Command6"));
        });
        f.OnEditor("Set Advanced Options", [&](EditorView& view) {
            advanced_walk = TabWalk(view, advanced);
            PostKey(view.Control("Text1"), VK_ESCAPE);
        });
        f.OnEditor("Edit DSN Script for Microsoft Access",
                   [&](EditorView& view) { PostKey(view.Control("Text1"), VK_ESCAPE); });
        f.Open("Microsoft Access Driver (*.mdb)");
        CHECK(access_walk == access);
        CHECK(advanced_walk == advanced);
    }
    SUBCASE("dBase") {
        DialogFixture f;
        // A directory of its own enables "&Select Directory...".
        f.Given("[Customers]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\nDefaultDir=C:\\d\r\n");
        f.EditMode("Customers", "", "Microsoft dBase Driver (*.dbf)");
        std::vector<std::string> walk;
        f.OnEditor("Edit DSN Script for dBase", [&](EditorView& view) {
            walk = TabWalk(view, dbase);
            PostKey(view.Control("Text1"), VK_ESCAPE);
        });
        f.Open("Microsoft dBase Driver (*.dbf)");
        CHECK(walk == dbase);
    }
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
