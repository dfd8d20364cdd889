// The Access editor and its advanced options as real dialogs: the short and the long window,
// the two file choosers, the system database options, the digits-only fields, and the options
// list edited key by key through the value box.
#include <doctest/doctest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "editors/tests/win32/dialog_support.h"
#include "editors/win32/form7_view.h"

namespace vendaro::win32::testing {
namespace {

constexpr const char* kDriver = "Microsoft Access Driver (*.mdb)";
constexpr const char* kAddCaption = "Add DSN Script for Microsoft Access";
constexpr const char* kEditCaption = "Edit DSN Script for Microsoft Access";
constexpr const char* kAdvancedCaption = "Set Advanced Options";

int OuterHeight(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

int ClientBottom(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect.bottom;
}

}  // namespace

TEST_CASE("the Access editor opens short and \"&Options>>\" shows the frame Driver for good") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        HWND form = view.hwnd();
        HWND driver = view.Control("Frame3");
        CHECK(Text(driver) == "Driver");
        CHECK(OuterHeight(form) == Pixels(0, 0, 0, 4695).bottom);
        // Cut off: the frame lies below the client area, the other frames inside it.
        CHECK(RectInParent(driver).top >= ClientBottom(form));
        CHECK(RectInParent(view.Control("Frame2")).bottom <= ClientBottom(form));
        for (const char* name : {"Command4", "Command2", "Command6", "Command7"}) {
            CHECK(RectInParent(view.Control(name)).bottom <= ClientBottom(form));
        }
        CHECK(Text(view.Control("Command7")) == "&Options>>");

        Click(view.Control("Command7"));
        CHECK(OuterHeight(form) == Pixels(0, 0, 0, 6180).bottom);
        CHECK(RectInParent(driver).bottom <= ClientBottom(form));
        CHECK_FALSE(Enabled(view.Control("Command7")));
        Click(view.Control("Command7"));
        CHECK(OuterHeight(form) == Pixels(0, 0, 0, 6180).bottom);
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("the Access editor's frames stand one under the other, the buttons in a column") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        RECT database = RectInParent(view.Control("Frame1"));
        RECT system = RectInParent(view.Control("Frame2"));
        RECT driver = RectInParent(view.Control("Frame3"));
        CHECK(Text(view.Control("Frame1")) == "Database");
        CHECK(Text(view.Control("Frame2")) == "System Database");
        CHECK(database.bottom <= system.top);
        CHECK(system.bottom <= driver.top);
        CHECK(database.left == system.left);
        CHECK(database.right == system.right);
        CHECK(system.right == driver.right);
        CHECK(RectInParent(view.Control("Text2")).bottom <= database.top);
        const char* column[] = {"Command4", "Command2", "Command6", "Command7"};
        const char* captions[] = {"Save", "Cancel", "&Advanced...", "&Options>>"};
        for (int i = 0; i < 4; ++i) {
            RECT button = RectInParent(view.Control(column[i]));
            CHECK(Text(view.Control(column[i])) == captions[i]);
            CHECK(button.left >= database.right);
            CHECK(button.left == RectInParent(view.Control("Command4")).left);
            if (i > 0) CHECK(button.top >= RectInParent(view.Control(column[i - 1])).bottom);
        }
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("\"&Select...\" shows the chosen database in the frame Database") {
    test::ScratchDir files;
    const std::string chosen = files.File("orders.mdb");
    { std::ofstream(chosen) << "x"; }
    for (bool ok : {true, false}) {
        CAPTURE(ok);
        DialogFixture f;
        f.AddMode();
        std::string label;
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            CHECK(Text(view.Control("Label3")) == "Database:");
            CHECK(Text(view.Control("Command3")) == "&Select...");
            Type(view.Control("Text1"), "Orders");
            PostClick(view.Control("Command3"));
        });
        f.AnswerOpenFile("Select Database", ok ? chosen : "");
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            label = Text(view.Control("Label3"));
            Click(view.Control("Command4"));
        });
        f.Open(kDriver);
        CHECK(f.dialogs.shown == std::vector<std::string>{"OpenFile Select Database"});
        const test::KeyLines keys = f.Section("Orders");
        const bool has_dbq = std::find(keys.begin(), keys.end(), "DBQ=" + chosen) != keys.end();
        if (ok) {
            CHECK(label == "Database: " + chosen);
            CHECK(has_dbq);
        } else {
            CHECK(label == "Database:");
            CHECK_FALSE(has_dbq);
        }
    }
}

TEST_CASE("the system database button follows the option \"Da&tabase:\"") {
    test::ScratchDir files;
    const std::string chosen = files.File("system.mdw");
    { std::ofstream(chosen) << "x"; }
    DialogFixture f;
    f.AddMode();
    std::string caption_after_choice;
    std::string caption_after_none;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        HWND none = view.Control("Option1");
        HWND database = view.Control("Option2");
        HWND button = view.Control("Command5");
        CHECK(Text(none) == "Non&e");
        CHECK(Text(database) == "Da&tabase:");
        CHECK(Text(button) == "S&ystem Database:");
        CHECK(Checked(none));
        CHECK_FALSE(Enabled(button));
        Type(view.Control("Text1"), "Orders");
        Click(database);
        CHECK(Checked(database));
        CHECK_FALSE(Checked(none));
        CHECK(Enabled(button));
        PostClick(button);
    });
    f.AnswerOpenFile("Select System Database", chosen);
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        caption_after_choice = Text(view.Control("Option2"));
        Click(view.Control("Option1"));
        CHECK_FALSE(Enabled(view.Control("Command5")));
        caption_after_none = Text(view.Control("Option2"));
        Click(view.Control("Command4"));
    });
    f.Open(kDriver);
    CHECK(caption_after_choice == "Da&tabase: " + chosen);
    CHECK(caption_after_none == "Da&tabase: " + chosen);
    const test::KeyLines keys = f.Section("Orders");
    CHECK(std::find_if(keys.begin(), keys.end(), [](const std::string& line) {
              return line.rfind("SystemDB=", 0) == 0;
          }) == keys.end());
}

TEST_CASE("the page timeout and buffer size take digits only") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Click(view.Control("Command7"));
        for (const char* name : {"Text3", "Text4"}) {
            CAPTURE(name);
            HWND field = view.Control(name);
            SetFocus(field);
            Paste(field, "");
            Type(field, "0x04.2");
            CHECK(Text(field) == "0042");
            SetFocus(view.Control("Check1"));
            CHECK(Text(field) == "42");
        }
        Type(view.Control("Text1"), "Orders");
        Click(view.Control("Check1"));
        Click(view.Control("Command4"));
    });
    f.Open(kDriver);
    CHECK(f.Section("Orders") == test::KeyLines{"DSN_Driver=Microsoft Access Driver (*.mdb)",
                                                "PageTimeout=42", "MaxBufferSize=42", "Exclusive=1",
                                                "ReadOnly=0"});
}

TEST_CASE("the advanced options list the twelve options with their defaults") {
    const std::vector<std::string> rows = {
        "DefaultDir",         "Driver",
        "ExtendedAnsiSQL\t0", "FIL\tMS Access;",
        "ImplicitCommitSync", "MaxBufferSize\t2048",
        "MaxScanRows\t8",     "PageTimeout\t5",
        "ReadOnly\t0",        "SafeTransactions\t0",
        "Threads\t3",         "UserCommitSync\tYes",
    };
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Type(view.Control("Text1"), "Orders");
        PostClick(view.Control("Command6"));
    });
    f.OnEditor(kAdvancedCaption, [&](EditorView& view) {
        HWND list = view.Control("List1");
        CHECK(ListRows(list) == rows);
        CHECK((GetWindowLongPtrA(list, GWL_STYLE) & LBS_USETABSTOPS) != 0);
        CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == LB_ERR);
        CHECK(Text(view.Control("Frame1")) == "Default Authorization");
        CHECK(Text(view.Control("Frame2")) == "&Options");
        CHECK(Text(view.Control("Label1")) == "&Login name:");
        CHECK(Text(view.Control("Label2")) == "&Password:");
        CHECK(SendMessageA(view.Control("Text2"), EM_GETPASSWORDCHAR, 0, 0) == '*');
        CHECK(Text(view.Control("Label5")) == "&Value of");
        CHECK(Text(view.Control("Label6")).empty());
        CHECK(Text(view.Control("Text3")).empty());
        // The heads stand over the two columns.
        RECT type = RectInParent(view.Control("Label3"));
        RECT value = RectInParent(view.Control("Label4"));
        RECT list_at = RectInParent(list);
        CHECK(Text(view.Control("Label3")) == "Type");
        CHECK(Text(view.Control("Label4")) == "Value");
        CHECK(type.bottom <= list_at.top);
        CHECK(type.left < value.left);
        CHECK(value.left - list_at.left >= ListTabStopPixels(UiFont(), 80));
        CHECK(value.right <= list_at.right);
        // Save and Cancel at the top right.
        CHECK(RectInParent(view.Control("Command1")).left >=
              RectInParent(view.Control("Frame1")).right);
        CHECK(RectInParent(view.Control("Command1")).bottom <= list_at.top);
        PostKey(list, VK_ESCAPE);
    });
    f.OnEditor(kAddCaption, [&](EditorView& view) { PostKey(view.Control("Text1"), VK_ESCAPE); });
    f.Open(kDriver);
}

TEST_CASE("the value box edits the selected row key by key") {
    DialogFixture f;
    f.AddMode();
    std::vector<std::string> steps;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Type(view.Control("Text1"), "Orders");
        PostClick(view.Control("Command6"));
    });
    f.OnEditor(kAdvancedCaption, [&](EditorView& view) {
        HWND list = view.Control("List1");
        HWND box = view.Control("Text3");
        auto row = [&](int index) { return ListRows(list)[static_cast<std::size_t>(index)]; };

        SelectRow(list, 3);
        CHECK(Text(view.Control("Label6")) == "FIL");
        CHECK(Text(box) == "MS Access;");
        SetFocus(box);
        SendKey(box, VK_DELETE);  // clears the whole value of the row
        CHECK(row(3) == "FIL\t");
        Type(box, "x");
        CHECK(row(3) == "FIL\tx");
        Type(box, "\b");
        CHECK(row(3) == "FIL\t");
        Type(box, "\b");  // the TAB goes: the row is bare
        CHECK(row(3) == "FIL");
        Type(box, "\b");  // a bare row gets its TAB back
        CHECK(row(3) == "FIL\t");
        Type(box, "dBase;");
        CHECK(row(3) == "FIL\tdBase;");
        CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 3);

        // The whole value selected and one character typed over it.
        SelectRow(list, 5);
        CHECK(Text(box) == "2048");
        SendMessageA(box, EM_SETSEL, 0, -1);
        Type(box, "7");
        CHECK(Text(box) == "7");
        CHECK(row(5) == "MaxBufferSize\t7");

        // A bare row takes a TAB and the first character.
        SelectRow(list, 0);
        CHECK(Text(box).empty());
        Type(box, "C");
        CHECK(row(0) == "DefaultDir\tC");
        Click(view.Control("Command1"));
    });
    f.OnEditor(kAddCaption, [&](EditorView& view) { PostKey(view.Control("Text1"), VK_ESCAPE); });
    f.Open(kDriver);
    // The advanced options saved; the Access editor was left with Escape.
    CHECK(f.Section("Orders") == test::KeyLines{"DefaultDir=C", "ExtendedAnsiSQL=0", "FIL=dBase;",
                                                "MaxBufferSize=7", "MaxScanRows=8", "PageTimeout=5",
                                                "ReadOnly=0", "SafeTransactions=0", "Threads=3",
                                                "UserCommitSync=Yes"});
}

TEST_CASE("the advanced options' Cancel: Yes goes back to Save, No closes; Escape closes") {
    enum class Way { Yes, No, Escape };
    for (Way way : {Way::Yes, Way::No, Way::Escape}) {
        CAPTURE(static_cast<int>(way));
        DialogFixture f;
        f.Given("[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nUID=admin\r\n");
        f.EditMode("Orders", "", kDriver);
        const std::string before = f.Bytes();
        bool save_focused = false;
        bool editor_open_after = false;
        f.OnEditor(kEditCaption, [&](EditorView& view) { PostClick(view.Control("Command6")); });
        f.OnEditor(kAdvancedCaption, [&](EditorView& view) {
            CHECK(Text(view.Control("Text1")) == "admin");
            Paste(view.Control("Text1"), "guest");
            if (way == Way::Escape) {
                PostKey(view.Control("Text1"), VK_ESCAPE);
            } else {
                PostClick(view.Control("Command2"));
            }
        });
        if (way != Way::Escape) f.AnswerQuestion(way == Way::Yes ? IDYES : IDNO);
        if (way == Way::Yes) {
            f.OnEditor(kAdvancedCaption, [&](EditorView& view) {
                save_focused = GetFocus() == view.Control("Command1");
                PostKey(view.Control("Text1"), VK_ESCAPE);
            });
        }
        f.OnEditor(kEditCaption, [&](EditorView& view) {
            editor_open_after = true;
            PostKey(view.Control("Text1"), VK_ESCAPE);
        });
        f.Open(kDriver);
        if (way == Way::Yes) CHECK(save_focused);
        CHECK(editor_open_after);
        CHECK(f.Bytes() == before);
    }
}

}  // namespace vendaro::win32::testing
