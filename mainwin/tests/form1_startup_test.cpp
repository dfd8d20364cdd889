#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "mainwin/tests/test_support.h"
#include "mainwin/window_text.h"

namespace vendaro {
namespace {

using test::MainWindow;

const std::vector<int> kRowButtons = {2, 3, 7, 4, 6};

void CheckRowButtons(const Form1& form, bool enabled) {
    for (int number : kRowButtons) {
        CAPTURE(number);
        CHECK(form.Command(number).enabled == enabled);
    }
    CHECK(form.Command(1).enabled);
    CHECK(form.Command(8).enabled);
    CHECK(form.Command(5).enabled);
}

TEST_CASE("The main window's controls") {
    MainWindow w;
    struct Expected {
        const char* name;
        const char* caption;
        const char* tool_tip;
        Twips position;
        bool enabled;
    };
    // In tab order.
    const std::vector<Expected> expected = {
        {"Command1", "&Add", " Create a new DSN script ", {120, 2880, 615, 495}, true},
        {"Command2", "&Edit", " Modify an existing DSN script ", {840, 2880, 615, 495}, false},
        {"Command3", "&Delete", " Remove an existing DSN script ", {1560, 2880, 735, 495}, false},
        {"Command7", "&Clone", " Duplicate an existing DSN script ", {2400, 2880, 615, 495}, false},
        {"Command4", "&User DSN", " Create a user DSN ", {3120, 2880, 975, 495}, false},
        {"Command6", "&System DSN", " Create a system DSN ", {4200, 2880, 1215, 495}, false},
        {"Command8", "A&bout", " Help and Info about Vendaro! ", {5520, 2880, 855, 495}, true},
        {"Command5", "E&xit", " Exit the System ", {6480, 2880, 735, 495}, true},
    };
    REQUIRE(w.form.Buttons().size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ButtonControl& button = w.form.Buttons()[i];
        CAPTURE(expected[i].name);
        CHECK(button.name == expected[i].name);
        CHECK(button.caption == expected[i].caption);
        CHECK(button.tool_tip == expected[i].tool_tip);
        CHECK(button.position == expected[i].position);
        CHECK(button.enabled == expected[i].enabled);
    }
    CHECK(Form1::kListPosition == Twips{120, 120, 7095, 2415});
    CHECK(Form1::kLabel1Position == Twips{120, 2600, 4935, 255});
    CHECK(Form1::kClientWidth == 7365);
    CHECK(Form1::kClientHeight == 3510);
}

TEST_CASE("Start-up") {
    MainWindow w;

    SUBCASE("without a script file") {
        StartupResult started = w.form.Form_Load("");
        CHECK(started.show_window);
        CHECK(started.exit_status == 0);
        CHECK(w.form.lvwMain().Count() == 0);
        CHECK(w.form.Label1() == "Welcome to Vendaro! Press the F1 key for help.");
        CheckRowButtons(w.form, false);
        CHECK(w.Calls("MessageBox").empty());
        CHECK_FALSE(std::filesystem::exists(w.ScriptFile()));
    }
    SUBCASE("with an empty script file") {
        w.WriteScripts("");
        w.form.Form_Load("");
        CHECK(w.form.lvwMain().Count() == 0);
        CHECK(w.form.lvwMain().Selected() == 0);
        CHECK(w.form.Label1() == "Welcome to Vendaro! Press the F1 key for help.");
        CheckRowButtons(w.form, false);
        CHECK(w.Calls("MessageBox").empty());
    }
    SUBCASE("with three sections") {
        w.WriteScripts(
            "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n\r\n"
            "[stock]\r\nDescription=Stock\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n\r\n"
            "[Old]\r\nDSN_Driver=Microsoft Visual FoxPro Driver\r\n");
        w.form.Form_Load("");
        REQUIRE(w.form.lvwMain().Count() == 3);
        const std::vector<ListRow> expected = {
            {"Sales", "Sales figures", "SQL Server"},
            {"stock", "Stock", "Adaptive Server Anywhere 6.0"},
            {"Old", "", "Microsoft Visual FoxPro Driver"},
        };
        for (int position = 1; position <= 3; ++position) {
            const ListRow& row = w.form.lvwMain().Row(position);
            CHECK(row.text == expected[position - 1].text);
            CHECK(row.description == expected[position - 1].description);
            CHECK(row.driver == expected[position - 1].driver);
        }
        CHECK(w.form.lvwMain().Selected() == 1);
        CheckRowButtons(w.form, true);
    }

    CHECK(w.form.Caption() == "Vendaro!");
    REQUIRE(w.form.Columns().size() == 3);
    CHECK(w.form.Columns()[0].text == "DSN");
    CHECK(w.form.Columns()[1].text == "Description");
    CHECK(w.form.Columns()[2].text == "Driver");
    for (const ColumnHeader& column : w.form.Columns()) CHECK(column.width == 2000);
    CHECK(w.form.FullRowSelect());
    CHECK(w.form.SortFlag() == 0);
    CHECK(w.form.StartMode().empty());
    // The hourglass shows for the whole start-up and is gone when the window opens.
    REQUIRE_FALSE(w.recording.calls.empty());
    CHECK(w.recording.calls.front() == "Busy on");
    CHECK(w.recording.calls.back() == "Busy off");
    CHECK_FALSE(w.recording.busy);
    CHECK_FALSE(w.form.Closed());
}

TEST_CASE("Column clicks share one direction flag") {
    MainWindow w;
    w.WriteScripts(
        "[beta]\r\nDSN_Driver=SQL Server\r\n"
        "[Alpha]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n"
        "[Gamma]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n");
    w.form.Form_Load("");
    w.form.lvwMain_ItemClick(3);  // Gamma

    w.form.lvwMain_ColumnClick(2);  // Driver
    CHECK(w.form.SortFlag() == 1);
    CHECK(w.Names() == std::vector<std::string>{"beta", "Alpha", "Gamma"});
    CHECK(w.form.lvwMain().Row(w.form.lvwMain().Selected()).text == "Gamma");

    w.form.lvwMain_ColumnClick(0);  // DSN, after another column: ascending
    CHECK(w.form.SortFlag() == 0);
    CHECK(w.Names() == std::vector<std::string>{"Alpha", "beta", "Gamma"});

    w.form.lvwMain_ColumnClick(0);  // the same column again: descending
    CHECK(w.form.SortFlag() == 1);
    CHECK(w.Names() == std::vector<std::string>{"Gamma", "beta", "Alpha"});

    w.form.lvwMain_ColumnClick(5);  // no such column: nothing changes
    CHECK(w.form.SortFlag() == 1);
    CHECK(w.Names() == std::vector<std::string>{"Gamma", "beta", "Alpha"});
}

TEST_CASE("Keys") {
    MainWindow w;
    w.form.Form_Load("");
    w.recording.calls.clear();
    const std::string help = "Launch notepad.exe " + w.store.AppDir() + "faq.fil";

    SUBCASE("F1 alone opens the help file") {
        CHECK(w.form.Form_KeyDown(kKeyF1, 0));
        CHECK(w.recording.calls == std::vector<std::string>{help});
        CHECK_FALSE(w.form.Closed());
    }
    SUBCASE("F1 with Shift, Ctrl or Alt does nothing") {
        for (int shift : {kShiftMask, kCtrlMask, kAltMask, kShiftMask | kCtrlMask}) {
            w.form.Form_KeyDown(kKeyF1, shift);
        }
        CHECK(w.recording.calls.empty());
    }
    SUBCASE("a help viewer that cannot start shows nothing") {
        w.recording.fail_prefixes = {"Launch"};
        w.form.Form_KeyDown(kKeyF1, 0);
        CHECK(w.Calls("MessageBox").empty());
    }
    SUBCASE("Escape closes the window") {
        CHECK(w.form.Form_KeyDown(kKeyEscape, 0));
        CHECK(w.form.Closed());
        CHECK(w.recording.calls.empty());
    }
    SUBCASE("E&xit closes the window") {
        w.form.Command5_Click();
        CHECK(w.form.Closed());
    }
    SUBCASE("other keys are left to the controls") {
        CHECK_FALSE(w.form.Form_KeyDown('A', 0));
        CHECK_FALSE(w.form.Closed());
    }
}

TEST_CASE("About box") {
    MainWindow w;
    w.form.Form_Load("");
    std::string product, version, description;
    w.windows.on_about = [&](FrmAbout& about) {
        product = about.ProductName();
        version = about.VersionText();
        description = about.Description();
        CHECK_FALSE(about.Closed());
    };
    w.form.Command8_Click();
    CHECK(w.windows.about_shown == 1);
    CHECK(product == "Vendaro!");
    CHECK(version == "Version 1.0.0");
    CHECK_FALSE(description.empty());

    FrmAbout about;
    CHECK(about.Form_KeyDown(kKeyEscape, 0));
    CHECK(about.Closed());
}

TEST_CASE("The window as text") {
    MainWindow w;
    w.WriteScripts(
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n"
        "[Stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n");
    w.form.Form_Load("stock");
    CHECK(WindowText(w.form) ==
          "Vendaro!\n"
          "\tDSN\tDescription\tDriver\n"
          "\tSales\tSales figures\tSQL Server\n"
          "*\tStock\t\tAdaptive Server Anywhere 6.0\n"
          "Welcome to Vendaro! Press the F1 key for help.\n");
}

}  // namespace
}  // namespace vendaro
