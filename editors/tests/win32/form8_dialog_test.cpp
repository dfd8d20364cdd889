// The dBase editor as a real dialog: the short and the long window, the drop-down lists, the
// directory chosen with the file chooser, and Escape from any control.
#include <doctest/doctest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "editors/tests/win32/dialog_support.h"

namespace vendaro::win32::testing {
namespace {

constexpr const char* kDriver = "Microsoft dBase Driver (*.dbf)";
constexpr const char* kAddCaption = "Add DSN Script for dBase";

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

// The user picks item `index` of the drop-down list.
void Pick(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

}  // namespace

TEST_CASE("the dBase editor opens short and \"&Options>>\" shows the frame Driver for good") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        HWND form = view.hwnd();
        HWND driver = view.Control("Frame2");
        CHECK(Text(driver) == "Driver");
        CHECK(Text(view.Control("Frame1")) == "Database");
        CHECK(OuterHeight(form) == Pixels(0, 0, 0, 3250).bottom);
        CHECK(RectInParent(driver).top >= ClientBottom(form));
        CHECK(RectInParent(view.Control("Frame1")).bottom <= ClientBottom(form));
        CHECK(RectInParent(view.Control("Frame1")).right == RectInParent(driver).right);
        Click(view.Control("Command3"));
        CHECK(OuterHeight(form) == Pixels(0, 0, 0, 4590).bottom);
        CHECK(RectInParent(driver).bottom <= ClientBottom(form));
        CHECK_FALSE(Enabled(view.Control("Command3")));
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("the dBase editor's drop-down lists offer the versions and collating sequences") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        HWND version = view.Control("Combo1");
        HWND sequence = view.Control("Combo2");
        for (HWND combo : {version, sequence}) {
            CHECK((GetWindowLongPtrA(combo, GWL_STYLE) & 3) == CBS_DROPDOWNLIST);
        }
        CHECK(Text(view.Control("Label3")) == "&Version:");
        CHECK(Text(view.Control("Label5")) == "&Collating Sequence:");
        CHECK(ComboItems(version) ==
              std::vector<std::string>{"dBase III", "dBase IV", "dBase 5.0"});
        CHECK(ComboShown(version) == "dBase 5.0");
        CHECK(ComboItems(sequence) == std::vector<std::string>{"ASCII", "International",
                                                               "Norwegian-Danish",
                                                               "Swedish-Finnish"});
        CHECK(ComboShown(sequence) == "ASCII");
        CHECK(Text(view.Control("Text3")) == "600");
        Click(view.Control("Command3"));
        Pick(version, 0);
        Pick(sequence, 3);
        CHECK(ComboShown(version) == "dBase III");
        Type(view.Control("Text1"), "Old");
        Click(view.Control("Command1"));
    });
    f.Open(kDriver);
    CHECK(f.Section("Old") == test::KeyLines{"DSN_Driver=Microsoft dBase Driver (*.dbf)",
                                             "FIL=dBase III", "CollatingSequence=Swedish-Finnish",
                                             "PageTimeout=600", "Exclusive=0", "Deleted=0",
                                             "Statistics=0"});
}

TEST_CASE("\"&Select Directory...\" takes the folder of the chosen file") {
    test::ScratchDir files;
    const std::string chosen = files.File("customer.dbf");
    { std::ofstream(chosen) << "x"; }
    DialogFixture f;
    f.AddMode();
    std::string label_before;
    std::string label_after;
    bool button_at_open = true;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        HWND current = view.Control("Check1");
        HWND select = view.Control("Command4");
        CHECK(Text(current) == "&Use Current Directory");
        CHECK(Text(select) == "&Select Directory...");
        CHECK(Checked(current));
        button_at_open = Enabled(select);
        label_before = Text(view.Control("Label4"));
        Click(current);
        CHECK_FALSE(Checked(current));
        CHECK(Enabled(select));
        PostClick(select);
    });
    f.AnswerOpenFile("Select Directory", chosen);
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        label_after = Text(view.Control("Label4"));
        // Choosing a directory is no change: Cancel asks nothing and saves nothing.
        Click(view.Control("Command2"));
    });
    f.Open(kDriver);
    CHECK_FALSE(button_at_open);
    std::string app_dir = f.store.AppDir();
    app_dir.pop_back();
    CHECK(label_before == "Directory: " + app_dir);
    CHECK(label_after == "Directory: " + files.path());
    CHECK(f.dialogs.shown == std::vector<std::string>{"OpenFile Select Directory"});
}

TEST_CASE("the chosen directory is saved while \"&Use Current Directory\" is unchecked") {
    test::ScratchDir files;
    const std::string chosen = files.File("customer.dbf");
    { std::ofstream(chosen) << "x"; }
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Type(view.Control("Text1"), "Customers");
        Click(view.Control("Check1"));
        PostClick(view.Control("Command4"));
    });
    f.AnswerOpenFile("Select Directory", chosen);
    f.OnEditor(kAddCaption, [&](EditorView& view) { Click(view.Control("Command1")); });
    f.Open(kDriver);
    const test::KeyLines keys = f.Section("Customers");
    CHECK(std::find(keys.begin(), keys.end(), "DefaultDir=" + files.path()) != keys.end());
}

TEST_CASE("the dBase page timeout takes digits only") {
    DialogFixture f;
    f.AddMode();
    std::string typed;
    std::string left;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Click(view.Control("Command3"));
        HWND field = view.Control("Text3");
        SetFocus(field);
        Paste(field, "");
        Type(field, "-0 9,5");
        typed = Text(field);
        SetFocus(view.Control("Check2"));
        left = Text(field);
        PostKey(field, VK_ESCAPE);
    });
    f.Open(kDriver);
    CHECK(typed == "095");
    CHECK(left == "95");
}

TEST_CASE("Escape closes the dBase editor from any control") {
    for (const char* name : {"Text1", "Combo1", "Command4", "Check1", "Command3", "Command2"}) {
        CAPTURE(name);
        DialogFixture f;
        f.AddMode();
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            Type(view.Control("Text1"), "New");
            PostKey(view.Control(name), VK_ESCAPE);
        });
        f.Open(kDriver);
        CHECK(f.dialogs.shown.empty());
        CHECK(f.Bytes() == "<missing>");
    }
}

}  // namespace vendaro::win32::testing
