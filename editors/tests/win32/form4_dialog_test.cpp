// The SQL Server editor as a real dialog: its measures, its keyboard order, the folder chooser
// behind "...", and typed text reaching the script as typed.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "editors/tests/win32/dialog_support.h"

namespace vendaro::win32::testing {
namespace {

constexpr const char* kDriver = "SQL Server";
constexpr const char* kAddCaption = "Add DSN Script for SQL Server";

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_CASE("the SQL Server editor has the designed client area and control positions") {
    struct Placed {
        const char* name;
        const char* caption;  // "" for a text box
        int left, top, width, height;
    };
    // Left, top, width, height in twips of the client area.
    const Placed placed[] = {
        {"Text1", "", 1680, 120, 3135, 285},          {"Text2", "", 1680, 480, 3135, 285},
        {"Text3", "", 1680, 840, 3135, 285},          {"Text4", "", 1680, 1200, 3135, 285},
        {"Text5", "", 1680, 1560, 2775, 285},         {"Command1", "...", 4440, 1560, 375, 255},
        {"Text6", "", 1680, 1920, 3135, 285},         {"Command4", "Save", 120, 2640, 975, 320},
        {"Command2", "Cancel", 3840, 2640, 975, 320},
    };
    // Each label: at the left edge, 1545 x 255, on its field's row.
    struct Labelled {
        const char* label;
        const char* caption;
        const char* field;
    };
    const Labelled labels[] = {
        {"Label1", "Data Source Name:", "Text1"}, {"Label2", "Description:", "Text2"},
        {"Label3", "Server:", "Text3"},           {"Label4", "Database Name:", "Text4"},
        {"Label5", "Driver Path:", "Text5"},      {"Label6", "User ID:", "Text6"},
    };

    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        RECT client{};
        GetClientRect(view.hwnd(), &client);
        CHECK(SameRect(client, Pixels(0, 0, 4995, 2985)));
        for (const Placed& p : placed) {
            CAPTURE(p.name);
            HWND control = view.Control(p.name);
            REQUIRE(control != nullptr);
            CHECK(SameRect(RectInParent(control), Pixels(p.left, p.top, p.width, p.height)));
            CHECK(Text(control) == p.caption);
        }
        for (const Labelled& l : labels) {
            CAPTURE(l.label);
            HWND label = view.Control(l.label);
            REQUIRE(label != nullptr);
            CHECK(Text(label) == l.caption);
            RECT at = RectInParent(label);
            RECT designed = Pixels(120, 0, 1545, 255);
            CHECK(at.left == designed.left);
            CHECK(at.right - at.left == designed.right - designed.left);
            CHECK(at.bottom - at.top == designed.bottom - designed.top);
            RECT field = RectInParent(view.Control(l.field));
            CHECK(at.top >= field.top);
            CHECK(at.bottom <= field.bottom);
        }
        CHECK_FALSE(Enabled(view.Control("Command4")));
        CHECK(Enabled(view.Control("Command2")));
        CHECK(Enabled(view.Control("Command1")));
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open(kDriver);
}

TEST_CASE("Tab moves through the SQL Server editor in the designed order") {
    const std::vector<std::string> order = {"Text1",    "Text2", "Text3",    "Text4",   "Text5",
                                            "Command1", "Text6", "Command4", "Command2"};
    DialogFixture f;
    f.AddMode();
    std::vector<std::string> visited;
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Type(view.Control("Text1"), "N");  // Save takes the focus only when enabled
        HWND at = view.Control("Text1");
        for (std::size_t i = 0; i < order.size(); ++i) {
            for (const std::string& name : order) {
                if (view.Control(name) == at) visited.push_back(name);
            }
            at = GetNextDlgTabItem(view.hwnd(), at, FALSE);
        }
        CHECK(at == view.Control("Text1"));
        PostKey(view.Control("Text1"), VK_ESCAPE);
    });
    f.Open(kDriver);
    CHECK(visited == order);
}

TEST_CASE("\"...\" asks for a folder, starting from the driver path, and shows the choice") {
    const std::string folder = TempFolder();
    for (bool ok : {true, false}) {
        CAPTURE(ok);
        DialogFixture f;
        f.AddMode();
        std::string title;
        std::string shown;
        bool save_enabled = true;
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            Paste(view.Control("Text5"), "  " + folder + "  ");
            PostClick(view.Control("Command1"));
        });
        f.AnswerFolder(ok, &title);
        f.OnEditor(kAddCaption, [&](EditorView& view) {
            shown = Text(view.Control("Text5"));
            save_enabled = Enabled(view.Control("Command4"));
            PostKey(view.Control("Text5"), VK_ESCAPE);
        });
        f.Open(kDriver);
        CHECK(title == "Select a driver path");
        CHECK(f.dialogs.shown == std::vector<std::string>{"BrowseFolder Select a driver path"});
        if (ok) {
            // The preselected start folder comes back, as the shell spells it.
            CAPTURE(shown);
            CAPTURE(folder);
            CHECK(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, shown.c_str(), -1,
                                 folder.c_str(), -1) == CSTR_EQUAL);
        } else {
            CHECK(shown == "  " + folder + "  ");
        }
        CHECK_FALSE(save_enabled);  // a path is no name
    }
}

TEST_CASE("what is typed in the SQL Server editor reaches the script as typed") {
    DialogFixture f;
    f.AddMode();
    f.OnEditor(kAddCaption, [&](EditorView& view) {
        Type(view.Control("Text1"), " Sales ");
        Type(view.Control("Text2"), " North ");
        Type(view.Control("Text3"), "SRV 01");
        Type(view.Control("Text4"), "pubs");
        Type(view.Control("Text5"), "C:\\Drivers");
        Type(view.Control("Text6"), "sa");
        Click(view.Control("Command4"));
    });
    f.Open(kDriver);
    CHECK(f.Section("Sales") == test::KeyLines{"DSN_Driver=SQL Server", "Description=North",
                                               "Server=SRV 01", "Database=pubs",
                                               "Driver=C:\\Drivers", "LastUser=sa"});
    CHECK(f.shared.NewDescription == "North");
}

}  // namespace vendaro::win32::testing
