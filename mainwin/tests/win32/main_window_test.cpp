// The main window as a user meets it: real windows in this process, driven by the messages a
// mouse and keyboard would send, message and input boxes answered from a timer.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "mainwin/tests/win32/ui_support.h"

namespace vendaro::win32 {
namespace {

using testing::ClickButton;
using testing::ClickHeader;
using testing::ClickRow;
using testing::FindDialog;
using testing::ModalDriver;
using testing::PressButton;
using testing::PressKey;
using testing::ShownNames;
using testing::ShownRows;
using testing::ShownSelection;
using testing::TextOf;
using testing::Ui;

const std::string kThreeScripts =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
    "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDescription=Order entry\r\n\r\n"
    "[Inventory]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nDescription=Stock\r\n";

// Command number, caption, tool tip and position of the eight buttons, in tab order.
struct ButtonRow {
    int number;
    const char* caption;
    const char* tool_tip;
    Twips position;
};
const ButtonRow kButtons[] = {
    {1, "&Add", " Create a new DSN script ", {120, 2880, 615, 495}},
    {2, "&Edit", " Modify an existing DSN script ", {840, 2880, 615, 495}},
    {3, "&Delete", " Remove an existing DSN script ", {1560, 2880, 735, 495}},
    {7, "&Clone", " Duplicate an existing DSN script ", {2400, 2880, 615, 495}},
    {4, "&User DSN", " Create a user DSN ", {3120, 2880, 975, 495}},
    {6, "&System DSN", " Create a system DSN ", {4200, 2880, 1215, 495}},
    {8, "A&bout", " Help and Info about Vendaro! ", {5520, 2880, 855, 495}},
    {5, "E&xit", " Exit the System ", {6480, 2880, 735, 495}},
};
constexpr int kRowButtons[] = {2, 3, 7, 4, 6};

bool SameRect(RECT a, RECT b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string ToolTipText(HWND tool_tip, HWND owner, HWND button) {
    char text[256] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text;
    SendMessageA(tool_tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

}  // namespace

TEST_CASE("start-up with three scripts shows the window as laid out") {
    Ui ui;
    ui.WriteScripts(kThreeScripts);
    StartupResult started = ui.main.Start("");
    REQUIRE(started.show_window);
    REQUIRE(ui.window() != nullptr);
    HWND window = ui.window();

    SUBCASE("the window") {
        CHECK(TextOf(window) == "Vendaro!");
        CHECK(IsWindowVisible(window));
        RECT client{};
        GetClientRect(window, &client);
        CHECK(client.right == TwipsToPixelsX(7365));
        CHECK(client.bottom == TwipsToPixelsY(3510));
        LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        CHECK((style & WS_MINIMIZEBOX) != 0);
        CHECK((style & WS_MAXIMIZEBOX) == 0);
        CHECK((style & WS_THICKFRAME) == 0);  // the layout is fixed
        RECT frame{};
        GetWindowRect(window, &frame);
        CHECK(std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1);
        CHECK(std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1);
    }
    SUBCASE("the list: report view, three columns, one row per script in file order") {
        HWND list = ui.list();
        CHECK((GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT);
        CHECK(SameRect(testing::RectInParent(list), PixelRect({120, 120, 7095, 2415})));
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        REQUIRE(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) == 3);
        const char* headers[] = {"DSN", "Description", "Driver"};
        for (int column = 0; column < 3; ++column) {
            char text[64] = {};
            LVCOLUMNA info{};
            info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            info.pszText = text;
            info.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&info));
            CHECK(std::string(text) == headers[column]);
            CHECK(info.cx == TwipsToPixelsX(2000));
            CHECK((info.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_LEFT);
        }
        CHECK(ShownRows(list) ==
              std::vector<std::string>{"Sales|Sales figures|SQL Server",
                                       "Orders|Order entry|Microsoft Access Driver (*.mdb)",
                                       "Inventory|Stock|Adaptive Server Anywhere 6.0"});
        CHECK(ShownSelection(list) == 1);
        // Full-row selection, switched on through the extended style.
        CHECK((SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT) != 0);
        CHECK(GetFocus() == list);
    }
    SUBCASE("the buttons: captions, positions, tool tips, all enabled") {
        for (const auto& row : kButtons) {
            CAPTURE(row.caption);
            HWND button = ui.view().Button(row.number);
            REQUIRE(button != nullptr);
            CHECK(TextOf(button) == row.caption);
            CHECK(IsWindowEnabled(button));
            CHECK(SameRect(testing::RectInParent(button), PixelRect(row.position)));
            CHECK((GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON);
            CHECK(ToolTipText(ui.view().ToolTip(), window, button) == row.tool_tip);
        }
        CHECK(SendMessageA(ui.view().ToolTip(), TTM_GETTOOLCOUNT, 0, 0) == 8);
    }
    SUBCASE("tab order: the list, then the buttons from Add to Exit") {
        HWND control = ui.list();
        for (const auto& row : kButtons) {
            control = GetNextDlgTabItem(window, control, FALSE);
            CHECK(control == ui.view().Button(row.number));
        }
        CHECK(GetNextDlgTabItem(window, control, FALSE) == ui.list());
    }
    SUBCASE("the status line") {
        CHECK(TextOf(ui.view().Label()) == "Welcome to Vendaro! Press the F1 key for help.");
        CHECK(
            SameRect(testing::RectInParent(ui.view().Label()), PixelRect({120, 2600, 4935, 255})));
        CHECK((GetWindowLongPtrA(ui.view().Label(), GWL_STYLE) & WS_TABSTOP) == 0);
    }
}

TEST_CASE("start-up without a script file: an empty list, only Add, About and Exit enabled") {
    Ui ui;
    REQUIRE(ui.main.Start("").show_window);
    CHECK(ShownRows(ui.list()).empty());
    CHECK(TextOf(ui.view().Label()) == "Welcome to Vendaro! Press the F1 key for help.");
    for (int number : kRowButtons) CHECK_FALSE(IsWindowEnabled(ui.view().Button(number)));
    for (int number : {1, 8, 5}) CHECK(IsWindowEnabled(ui.view().Button(number)));
}

TEST_CASE("clicks on the list: row selection, column sorting, double click") {
    Ui ui;
    ui.WriteScripts(kThreeScripts);
    REQUIRE(ui.main.Start("").show_window);
    HWND list = ui.list();

    SUBCASE("a click anywhere in a row selects the row") {
        ClickRow(list, 3);
        CHECK(ShownSelection(list) == 3);
        CHECK(ui.main.model().lvwMain().Selected() == 3);
    }
    SUBCASE("one direction flag for every column") {
        ClickHeader(list, 2);  // Driver: descending first
        CHECK(ShownNames(list) == std::vector<std::string>{"Sales", "Orders", "Inventory"});
        CHECK(ui.main.model().SortFlag() == 1);
        ClickHeader(list, 0);  // DSN: now ascending
        CHECK(ShownNames(list) == std::vector<std::string>{"Inventory", "Orders", "Sales"});
        ClickHeader(list, 0);  // the same column again: descending
        CHECK(ShownNames(list) == std::vector<std::string>{"Sales", "Orders", "Inventory"});
        ClickHeader(list, 1);  // Description: ascending
        CHECK(ShownNames(list) == std::vector<std::string>{"Orders", "Sales", "Inventory"});
    }
    SUBCASE("the selected script stays selected when the rows move") {
        ClickRow(list, 2);  // Orders
        ClickHeader(list, 0);
        CHECK(ShownNames(list) == std::vector<std::string>{"Sales", "Orders", "Inventory"});
        ClickHeader(list, 0);
        CHECK(ShownNames(list) == std::vector<std::string>{"Inventory", "Orders", "Sales"});
        CHECK(ShownSelection(list) == 2);
        CHECK(ui.main.model().lvwMain().Row(ShownSelection(list)).text == "Orders");
    }
    SUBCASE("a double click on a row opens its editor, as Edit does") {
        ClickRow(list, 3, /*twice=*/true);
        CHECK(ui.editors.opened == std::vector<std::string>{"Adaptive Server Anywhere 6.0"});
        CHECK(ui.module1.EditDsnName == "Inventory");
        CHECK(ui.module1.EditRowIndex == 3);
    }
    SUBCASE("a click on empty space keeps the selected row shown") {
        RECT client{};
        GetClientRect(list, &client);
        testing::Click(list, POINT{client.right / 2, client.bottom - 5});
        CHECK(ShownSelection(list) == 1);
        CHECK(ui.main.model().lvwMain().Selected() == 1);
    }
}

TEST_CASE("Delete asks first; Yes removes the script and its row, No keeps both") {
    Ui ui;
    ui.WriteScripts(kThreeScripts);
    REQUIRE(ui.main.Start("").show_window);
    const std::string before = ui.Scripts();
    ClickRow(ui.list(), 2);
    ModalDriver driver;
    std::string question;
    bool owner_disabled = false;

    auto answer = [&](int button) {
        driver.Then([&, button] {
            HWND box = FindDialog("Vendaro!");
            if (box == nullptr) return false;
            question =
                TextOf(testing::FindChildByText(box,
                                                "Are you sure you want to delete the selected DSN "
                                                "script?"));
            owner_disabled = !IsWindowEnabled(ui.window());
            PressButton(box, button);
            return true;
        });
    };

    SUBCASE("No") {
        answer(IDNO);
        ClickButton(ui.view().Button(3));
        CHECK(ShownNames(ui.list()) == std::vector<std::string>{"Sales", "Orders", "Inventory"});
        CHECK(ShownSelection(ui.list()) == 2);
        CHECK(ui.Scripts() == before);
        CHECK(TextOf(ui.view().Label()) == "Welcome to Vendaro! Press the F1 key for help.");
    }
    SUBCASE("Yes") {
        answer(IDYES);
        ClickButton(ui.view().Button(3));
        CHECK(ShownNames(ui.list()) == std::vector<std::string>{"Sales", "Inventory"});
        CHECK(ShownSelection(ui.list()) == 2);
        CHECK(ui.Scripts().find("[Orders]") == std::string::npos);
        CHECK(ui.Scripts().find("[Inventory]") != std::string::npos);
        CHECK(TextOf(ui.view().Label()) == "DSN script deleted.");
    }
    SUBCASE("Yes through the access key Alt+D") {
        answer(IDYES);
        PostMessageA(ui.list(), WM_SYSKEYDOWN, 'D', 1 << 29);
        PostMessageA(ui.list(), WM_SYSCHAR, 'd', 1 << 29);
        testing::Pump();
        CHECK(ShownNames(ui.list()) == std::vector<std::string>{"Sales", "Inventory"});
    }
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
    CHECK(question == "Are you sure you want to delete the selected DSN script?");
    CHECK(owner_disabled);
    CHECK(IsWindowEnabled(ui.window()));
}

TEST_CASE("deleting the only script disables the row buttons") {
    Ui ui;
    ui.WriteScripts("[Solo]\r\nDSN_Driver=SQL Server\r\n");
    REQUIRE(ui.main.Start("").show_window);
    ModalDriver driver;
    driver.Then([&] {
        HWND box = FindDialog("Vendaro!");
        if (box == nullptr) return false;
        PressButton(box, IDYES);
        return true;
    });
    SetFocus(ui.view().Button(3));
    ClickButton(ui.view().Button(3));
    CHECK(driver.Failures().empty());
    CHECK(ShownRows(ui.list()).empty());
    for (int number : kRowButtons) CHECK_FALSE(IsWindowEnabled(ui.view().Button(number)));
    // Another test process's window may hold the foreground, so that the system did not give
    // the activation back when the box closed: the window is activated as a user's click on it
    // would. Either way the focus is on the list, not on the button that went grey.
    if (GetActiveWindow() != ui.window()) SetActiveWindow(ui.window());
    CHECK(GetFocus() == ui.list());
}

TEST_CASE("Clone asks for names through the input box until it is cancelled") {
    Ui ui;
    ui.WriteScripts(kThreeScripts);
    REQUIRE(ui.main.Start("").show_window);
    ModalDriver driver;
    const char* title = "Clone DSN script 'Sales'";
    std::vector<std::string> shown_while_asking;
    std::string refusal;

    auto type_and_ok = [&](const char* name) {
        driver.Then([&, name] {
            HWND box = FindDialog(title);
            if (box == nullptr) return false;
            shown_while_asking = ShownNames(ui.list());
            CHECK(TextOf(GetDlgItem(box, kInputBoxPrompt)) == "New DSN Name");
            SetWindowTextA(GetDlgItem(box, kInputBoxText), name);
            PressButton(box, IDOK);
            return true;
        });
    };
    auto cancel = [&] {
        driver.Then([&] {
            HWND box = FindDialog(title);
            if (box == nullptr) return false;
            shown_while_asking = ShownNames(ui.list());
            PressButton(box, IDCANCEL);
            return true;
        });
    };

    SUBCASE("a trimmed new name, then Cancel") {
        type_and_ok("  Sales Copy  ");
        cancel();
        ClickButton(ui.view().Button(7));
        // The new row was already there while the box asked again.
        CHECK(shown_while_asking ==
              std::vector<std::string>{"Sales", "Orders", "Inventory", "Sales Copy"});
        CHECK(ShownRows(ui.list()).back() == "Sales Copy|Sales figures|SQL Server");
        CHECK(ShownSelection(ui.list()) == 4);
        CHECK(ui.Scripts().find("[Sales Copy]") != std::string::npos);
        CHECK(ui.store.ReadIniString("Sales Copy", "DSN_Driver") == "SQL Server");
    }
    SUBCASE("a name taken in other case is refused, and the box asks again") {
        type_and_ok("ORDERS");
        driver.Then([&] {
            HWND box = FindDialog("Vendaro!");
            if (box == nullptr) return false;
            refusal = TextOf(testing::FindChildByText(box, "DSN already exists."));
            PressButton(box, IDOK);
            return true;
        });
        cancel();
        ClickButton(ui.view().Button(7));
        CHECK(refusal == "DSN already exists.");
        CHECK(ShownNames(ui.list()) == std::vector<std::string>{"Sales", "Orders", "Inventory"});
    }
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
}

TEST_CASE("keys: Escape closes from any control; F1 opens the help file only unmodified") {
    Ui ui;
    ui.WriteScripts(kThreeScripts);
    REQUIRE(ui.main.Start("").show_window);

    SUBCASE("Escape on the list") {
        PressKey(ui.list(), VK_ESCAPE);
        CHECK(ui.window() == nullptr);
        CHECK(ui.main.model().Closed());
    }
    SUBCASE("Escape on a button") {
        SetFocus(ui.view().Button(8));
        PressKey(ui.view().Button(8), VK_ESCAPE);
        CHECK(ui.window() == nullptr);
    }
    SUBCASE("Exit") {
        ClickButton(ui.view().Button(5));
        CHECK(ui.window() == nullptr);
    }
    SUBCASE("the close box") {
        SendMessageA(ui.window(), WM_CLOSE, 0, 0);
        CHECK(ui.window() == nullptr);
    }
    SUBCASE("F1 starts notepad on faq.fil beside the program") {
        PressKey(ui.view().Button(1), VK_F1);
        CHECK(ui.Calls("Launch") ==
              std::vector<std::string>{"Launch notepad.exe " + ui.store.AppDir() + "faq.fil"});
        CHECK(ui.window() != nullptr);
    }
    SUBCASE("Shift+F1, Ctrl+F1 and Alt+F1 do nothing") {
        {
            testing::HeldModifiers shift(kShiftMask);
            PressKey(ui.list(), VK_F1);
        }
        {
            testing::HeldModifiers ctrl(kCtrlMask);
            PressKey(ui.list(), VK_F1);
        }
        {
            testing::HeldModifiers alt(kAltMask);
            PressKey(ui.list(), VK_F1, /*system=*/true);
        }
        CHECK(ui.Calls("Launch").empty());
        CHECK(ui.window() != nullptr);
    }
}

TEST_CASE("the Select Driver dialog: OK waits for a driver; the chosen editor opens") {
    Ui ui;
    REQUIRE(ui.main.Start("").show_window);
    ModalDriver driver;
    const char* caption = "Vendaro! - Add DSN Script";
    bool ok_enabled_at_first = true;
    bool ok_enabled_after_click = false;
    bool main_disabled = false;
    std::vector<std::string> items;

    auto inspect = [&](Form3View& view) {
        ok_enabled_at_first = IsWindowEnabled(view.OkButton()) != FALSE;
        main_disabled = !IsWindowEnabled(ui.window());
        int count = static_cast<int>(SendMessageA(view.List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = {};
            SendMessageA(view.List(), LB_GETTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
    };
    auto click_item = [](Form3View& view, int index, bool twice) {
        RECT rect{};
        SendMessageA(view.List(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect));
        testing::Click(view.List(), POINT{rect.left + 5, (rect.top + rect.bottom) / 2}, twice);
    };

    SUBCASE("Cancel: no editor, no row") {
        driver.Then([&] {
            Form3View* view = ui.main.OpenSelectDriver();
            if (view == nullptr || FindDialog(caption) != nullptr) return false;
            if (testing::FindThreadWindow("VendaroForm", caption) == nullptr) return false;
            inspect(*view);
            click_item(*view, 3, false);
            ok_enabled_after_click = IsWindowEnabled(view->OkButton()) != FALSE;
            ClickButton(view->CancelButton());
            return true;
        });
        ClickButton(ui.view().Button(1));
        CHECK(ui.editors.opened.empty());
        CHECK(ShownRows(ui.list()).empty());
        CHECK(ok_enabled_after_click);
    }
    SUBCASE("a double click on a driver opens its editor; a saved script gets its row") {
        bool dialog_hidden_during_editor = false;
        ui.editors.on_open = [&](const std::string& name) {
            HWND dialog = ui.main.OpenSelectDriver()->hwnd();
            dialog_hidden_during_editor = !IsWindowVisible(dialog);
            ui.module1.ScriptSaved = true;
            ui.module1.NewDsnName = "Budget";
            ui.module1.NewDescription = "Budget figures";
            ui.module1.NewDriver = name;
        };
        driver.Then([&] {
            Form3View* view = ui.main.OpenSelectDriver();
            if (view == nullptr) return false;
            inspect(*view);
            click_item(*view, 1, true);
            return true;
        });
        ClickButton(ui.view().Button(1));
        CHECK(ui.editors.opened == std::vector<std::string>{"Microsoft Access Driver (*.mdb)"});
        CHECK(dialog_hidden_during_editor);
        CHECK(ShownRows(ui.list()) ==
              std::vector<std::string>{"Budget|Budget figures|Microsoft Access Driver (*.mdb)"});
        CHECK(ShownSelection(ui.list()) == 1);
        for (int number : kRowButtons) CHECK(IsWindowEnabled(ui.view().Button(number)));
    }
    SUBCASE("Escape closes it") {
        driver.Then([&] {
            Form3View* view = ui.main.OpenSelectDriver();
            if (view == nullptr) return false;
            inspect(*view);
            PressKey(view->List(), VK_ESCAPE);
            return true;
        });
        ClickButton(ui.view().Button(1));
        CHECK(ui.editors.opened.empty());
    }
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
    CHECK_FALSE(ok_enabled_at_first);
    CHECK(main_disabled);
    CHECK(IsWindowEnabled(ui.window()));
    CHECK(items == std::vector<std::string>{"Adaptive Server Anywhere 6.0",
                                            "Microsoft Access Driver (*.mdb)",
                                            "Microsoft dBase Driver (*.dbf)", "SQL Server"});
    CHECK(ui.main.OpenSelectDriver() == nullptr);
}

TEST_CASE("the Select Driver dialog's layout") {
    Ui ui;
    REQUIRE(ui.main.Start("").show_window);
    ModalDriver driver;
    driver.Then([&] {
        Form3View* view = ui.main.OpenSelectDriver();
        if (view == nullptr) return false;
        HWND dialog = view->hwnd();
        CHECK(TextOf(dialog) == "Vendaro! - Add DSN Script");
        RECT client{};
        GetClientRect(dialog, &client);
        CHECK(client.right == TwipsToPixelsX(4125));
        CHECK(client.bottom == TwipsToPixelsY(2640));
        LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
        CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
        CHECK(TextOf(view->Label()) == "Select Driver");
        CHECK(SameRect(testing::RectInParent(view->List()), PixelRect({120, 360, 3855, 1620})));
        CHECK((GetWindowLongPtrA(view->List(), GWL_STYLE) & LBS_SORT) == LBS_SORT);
        CHECK(TextOf(view->OkButton()) == "&OK");
        CHECK(SameRect(testing::RectInParent(view->OkButton()), PixelRect({120, 2160, 1095, 375})));
        CHECK(TextOf(view->CancelButton()) == "&Cancel");
        CHECK(SameRect(testing::RectInParent(view->CancelButton()),
                       PixelRect({2880, 2160, 1095, 375})));
        CHECK(GetNextDlgTabItem(dialog, nullptr, FALSE) == view->List());
        ClickButton(view->CancelButton());
        return true;
    });
    ClickButton(ui.view().Button(1));
    CHECK(driver.Failures().empty());
}

TEST_CASE("the about box shows name, version and purpose, and closes") {
    Ui ui;
    REQUIRE(ui.main.Start("").show_window);
    ModalDriver driver;
    std::string product, version, description;

    auto read_and_close = [&](bool with_escape) {
        driver.Then([&, with_escape] {
            AboutView* view = ui.main.OpenAbout();
            if (view == nullptr) return false;
            CHECK(TextOf(view->hwnd()) == "About Vendaro!");
            product = TextOf(view->ProductLabel());
            version = TextOf(view->VersionLabel());
            description = TextOf(view->DescriptionLabel());
            if (with_escape) {
                PressKey(view->OkButton(), VK_ESCAPE);
            } else {
                ClickButton(view->OkButton());
            }
            return true;
        });
    };
    SUBCASE("OK") {
        read_and_close(false);
    }
    SUBCASE("Escape") {
        read_and_close(true);
    }
    ClickButton(ui.view().Button(8));
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
    CHECK(product == "Vendaro!");
    CHECK(version == std::string("Version ") + kProductVersion);
    CHECK_FALSE(description.empty());
    CHECK(ui.main.OpenAbout() == nullptr);
    CHECK(IsWindowEnabled(ui.window()));
}

TEST_CASE("the command line at start-up") {
    Ui ui;
    ui.WriteScripts(kThreeScripts);

    SUBCASE("\"u\": the User DSN is created with the hidden window as owner, then it shows") {
        StartupResult started = ui.main.Start("ORDERS -u");
        CHECK(started.show_window);
        REQUIRE(ui.window() != nullptr);
        auto calls = ui.Calls("ConfigDataSource");
        REQUIRE(calls.size() == 1);
        CHECK(calls[0].rfind("ConfigDataSource " + std::to_string(FromHwnd(ui.window())) + " 2 ",
                             0) == 0);
        CHECK(ShownSelection(ui.list()) == 2);
        CHECK(TextOf(ui.view().Label()) == "User DSN has been created.");
        CHECK(IsWindowVisible(ui.window()));
        CHECK(test::ReadFile(ui.dir.path() / "ODBC.INI").find("[Orders]") != std::string::npos);
    }
    SUBCASE("\"ue\": the User DSN is created without any window, owner none") {
        StartupResult started = ui.main.Start("orders -ue");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == 0);
        CHECK_FALSE(ui.main.WindowCreated());
        CHECK(ui.window() == nullptr);
        CHECK(testing::FindThreadWindow("VendaroForm", nullptr) == nullptr);
        auto calls = ui.Calls("ConfigDataSource");
        REQUIRE(calls.size() == 1);
        CHECK(calls[0].rfind("ConfigDataSource 0 1 Microsoft Access Driver (*.mdb)", 0) == 0);
    }
    SUBCASE("\"se\" for no script: no window, nothing written, status 2") {
        StartupResult started = ui.main.Start("nosuch -se");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == 2);
        CHECK_FALSE(ui.main.WindowCreated());
        CHECK(ui.Calls("RegCreateKey").empty());
    }
    SUBCASE("\"se\" whose writes fail: status 1") {
        ui.recording.fail_prefixes = {"RegSetString"};
        StartupResult started = ui.main.Start("sales -se");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == 1);
        CHECK_FALSE(ui.main.WindowCreated());
    }
}

}  // namespace vendaro::win32
