#include <doctest/doctest.h>

#include <filesystem>

#include "mainwin/tests/test_support.h"
#include "mainwin/window_text.h"

namespace vendaro {
namespace {

using test::MainWindow;

const std::string kScripts =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n\r\n"
    "[stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n\r\n"
    "[Old]\r\nDSN_Driver=Microsoft Visual FoxPro Driver\r\nDescription=Archive\r\n";
const std::string kWelcome = "Welcome to Vendaro! Press the F1 key for help.";
const std::string kAsk =
    "\nMessageBox Vendaro!|Are you sure you want to delete the selected DSN script?|YesNo|"
    "Question|2";

TEST_CASE("Start-up lists every script and selects the first") {
    MainWindow w(kScripts);
    CHECK(w.form.Form_Load("").show_window);
    CHECK(w.Dump() == "*Sales stock Old | " + kWelcome + " | ++++++++\nBusy on\nBusy off");
    MainWindow empty;
    CHECK(empty.form.Form_Load("").exit_status == kExitCreated);
    CHECK(empty.Dump() == "| " + kWelcome + " | +-----++\nBusy on\nBusy off");
    CHECK_FALSE(std::filesystem::exists(empty.dir.path() / "vendaro.ini"));

    // Edit: the hand-over fields, then the editor of the row's driver if it has one.
    w.editors.on_open = [&](const std::string&) { CHECK(w.module1.EditRowIndex == 1); };
    w.form.lvwMain_DblClick();
    w.form.lvwMain_ItemClick(3);
    w.form.Command2_Click();
    w.form.lvwMain().Select(0);
    w.form.Command2_Click();
    CHECK(w.editors.opened == std::vector<std::string>{"SQL Server"});
    CHECK(w.module1.ScriptMode == kScriptModeEdit);
    CHECK(w.module1.EditRowIndex == 3);
    CHECK(w.module1.EditDsnName == "Old");
}

TEST_CASE("Delete asks, then removes the section and its row") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.lvwMain_ItemClick(2);
    w.recording.calls.clear();
    w.form.Command3_Click();  // the default answer, No: nothing removed
    w.recording.message_answers = {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes};
    w.form.Command3_Click();  // the middle row: the next one moves up into the selection
    w.form.Command3_Click();  // then the last row: the new last one is selected
    CHECK(w.module1.EditRowIndex == 2);
    w.form.Command3_Click();  // the only row
    w.form.Command3_Click();  // none selected: nothing asked
    CHECK(w.Dump() == "| DSN script deleted. | +-----++" + kAsk + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|stock" + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|Old" + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|Sales");
    w.form.Command5_Click();
    CHECK(w.form.Closed());
}

TEST_CASE("Delete says deleted only when the section was there and is gone") {
    // "[Sales] " lists as "Sales]", a name no section has: nothing is deleted.
    const std::string scripts =
        "[Sales] \r\nDSN_Driver=SQL Server\r\n[Stock]\r\nk=v\r\n[STOCK]\r\n";
    MainWindow w(scripts);
    w.form.Form_Load("");
    w.recording.calls.clear();
    w.recording.message_answers = {MsgAnswer::Yes};
    w.form.Command3_Click();
    const std::string refused = "\nMessageBox Vendaro!|The DSN script could not be deleted";
    CHECK(w.Dump() == "*Sales] Stock STOCK | " + kWelcome + " | ++++++++" + kAsk + refused +
                          ".|Ok|Exclamation|1");
    // Another program holds the file: the refusal says so.
    w.form.lvwMain_ItemClick(2);
    w.recording.fail_prefixes = {"ProfileDeleteSection"};
    w.recording.fail_reason = w.store.ScriptFile() + " is in use by another program.";
    w.recording.message_answers = {MsgAnswer::Yes};
    w.form.Command3_Click();
    CHECK(w.Dump() == "Sales] *Stock STOCK | " + kWelcome + " | ++++++++" + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|Stock FAILED" + refused +
                          ": ~/vendaro.ini is in use by another program.|Ok|Exclamation|1");
    CHECK(w.Scripts() == scripts);
    // Removed, but reads still find a section of that name: the row stays.
    w.recording.fail_prefixes.clear();
    w.recording.message_answers = {MsgAnswer::Yes};
    w.form.Command3_Click();
    CHECK(w.Dump().ends_with("|Stock" + refused + ".|Ok|Exclamation|1"));
    CHECK(w.form.lvwMain().Count() == 3);
}

TEST_CASE("Clone copies the section as stored, asks until cancelled, refuses names, clicks sort") {
    const std::string scripts =
        "[Sales]\r\nDSN_Driver=SQL Server\r\n\r\n  Server = srv1  \r\n; why\r\nDatabase=pubs\r\n"
        "\r\n; the next one\r\n[Next]\r\nk=v\r\n[stock]\r\nk=v\r\n";
    MainWindow w(scripts);
    w.form.Form_Load("");
    for (int position : {3, 0, 4, 1}) w.form.lvwMain_ItemClick(position);
    for (int column : {2, 3, -1, 0}) w.form.lvwMain_ColumnClick(column);  // one flag: ascending
    w.recording.calls.clear();
    w.recording.input_answers = {"Sales]EU", "  Copy  ", "STOCK", "Bad\nName", "Copy2", ""};
    w.recording.fail_nth = 10;  // the copy named Copy2
    w.recording.fail_reason = "vendaro.ini is in use by another program.";
    w.form.Command7_Click();
    const std::string ask = "\nInputBox Clone DSN script 'Sales'|New DSN Name";
    const std::string refused = "\nMessageBox Vendaro!|The DSN script could not be copied: ";
    const std::string body =
        "\r\nDSN_Driver=SQL Server\r\n\r\n  Server = srv1  \r\n; why\r\nDatabase=pubs";
    CHECK(w.Dump() == "*Copy Next Sales stock | " + kWelcome + " | ++++++++" + ask + refused +
                          "the name contains \"]\".|Ok|Exclamation|1" + ask +
                          "\nProfileAppend ~/vendaro.ini|\r\r\n[Copy]" + body + ask +
                          "\nMessageBox Vendaro!|DSN already exists.|Ok|Exclamation|1" + ask +
                          refused + "the name contains a line break.|Ok|Exclamation|1" + ask +
                          "\nProfileAppend ~/vendaro.ini|\r\r\n[Copy2]" + body + " FAILED" +
                          refused + "vendaro.ini is in use by another program.|Ok|Exclamation|1" +
                          ask);
    CHECK(w.Scripts() == scripts + "\r\r\n[Copy]" + body);
}

TEST_CASE("Add lists what the chosen driver's editor saved") {
    MainWindow w;
    w.form.Form_Load("");
    int driver = 3;
    w.on_select_driver = [&](Form3& dialog) {
        dialog.Form_Load();  // loaded again, as a dialog shown twice is: each driver once
        CHECK(dialog.List1().size() == 4);
        dialog.Command1_Click();
        dialog.List1_DblClick();
        for (int index : {4, -1}) dialog.List1_Click(index);
        CHECK_FALSE(dialog.Form_KeyDown('K', 0));
        CHECK(dialog.ListIndex() == -1);
        CHECK_FALSE(dialog.Command1().enabled);
        CHECK_FALSE(dialog.Closed());
        dialog.List1_Click(0);  // the first driver is a choice too
        CHECK(dialog.ListIndex() == 0);
        dialog.List1_Click(driver);
        CHECK(dialog.Command1().enabled);
        driver == 3 ? dialog.Command1_Click() : dialog.List1_DblClick();
        CHECK(dialog.Closed());
        CHECK_FALSE(dialog.Visible());
    };
    w.editors.on_open = [&](const std::string& name) {
        w.module1.ScriptSaved = true;
        w.module1.NewDsnName = driver == 3 ? "Payroll" : "PAYROLL";
        w.module1.NewDescription = w.module1.NewDsnName + " data";
        w.module1.NewDriver = name;
    };
    w.form.Command1_Click();
    CHECK(w.module1.ScriptMode == kScriptModeAdd);
    CHECK(w.form.ButtonOf(&Form1::Command6_Click).enabled);
    driver = 1;
    w.form.lvwMain().Select(0);
    w.form.Command1_Click();  // saved under a listed name: that row, brought up to date, selected
    CHECK(WindowText(w.form).ends_with(
        "*\tPayroll\tPAYROLL data\tMicrosoft Access Driver (*.mdb)\n" + kWelcome + "\n"));
    CHECK(w.Dump() == "*Payroll | " + kWelcome + " | ++++++++\nBusy on\nBusy off");

    // Cancel, Escape or the close box: no editor, and an earlier editor's save is not listed.
    w.module1.NewDsnName = "Stale";
    for (int way = 0; way < 3; ++way) {
        w.on_select_driver = [&](Form3& dialog) {
            dialog.List1_Click(0);
            if (way == 0) dialog.Command2_Click();
            if (way == 1) CHECK(dialog.Form_KeyDown(kKeyEscape, 0));
            if (way == 2) dialog.Close();
            dialog.Command1_Click();
        };
        w.form.Command1_Click();
    }
    CHECK(w.editors.opened ==
          std::vector<std::string>{"SQL Server", "Microsoft Access Driver (*.mdb)"});
    CHECK(w.form.lvwMain().Count() == 1);
}

// What the status line says on each outcome is the DSN command's (dsn tests); the printed window
// of the process test shows it there, and no message box beside it.
TEST_CASE("User DSN asks the installer over the main window and says so on the status line") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.SetWindowHandle(77);
    w.form.Command4_Click();
    CHECK(w.form.Label1() == "User DSN has been created.");
    CHECK(w.recording.calls.back() == "ConfigDataSource 77 2 SQL Server|DSN=Sales\\0");
}

TEST_CASE("Keys, Exit and the about box") {
    MainWindow w;
    for (int shift : {kShiftMask, kCtrlMask, kAltMask})
        CHECK_FALSE(w.form.Form_KeyDown(kKeyF1, shift));
    CHECK_FALSE(w.form.Form_KeyDown('A', 0));
    CHECK(w.form.Form_KeyDown(kKeyF1, 0));
    w.form.ButtonClick(8);  // no such button
    w.form.ButtonClick(6);  // A&bout, seventh in tab order
    CHECK(w.about_shown == 1);
    CHECK_FALSE(w.form.Closed());
    CHECK(w.Dump() == "|  | +-----++\nLaunch notepad.exe ~/faq.fil");
    CHECK(w.form.Form_KeyDown(kKeyEscape, 0));
    CHECK(w.form.Closed());

    FrmAbout about;
    CHECK_FALSE(about.Form_KeyDown(kKeyF1, 0));
    CHECK_FALSE(about.Closed());
    CHECK(about.Form_KeyDown(kKeyEscape, 0));
    CHECK(about.Closed());
}

}  // namespace
}  // namespace vendaro
