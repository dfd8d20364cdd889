#include <doctest/doctest.h>

#include <filesystem>
#include <string>

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
}

TEST_CASE("Delete asks, then removes the section and its row") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.lvwMain_ItemClick(2);
    w.recording.calls.clear();
    w.form.Command3_Click();  // the default answer, No
    w.recording.message_answers = {MsgAnswer::Yes};
    w.recording.fail_nth = 3;  // the section's removal
    w.form.Command3_Click();
    CHECK(w.Dump() == "Sales *stock Old | " + kWelcome + " | ++++++++" + kAsk + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|stock FAILED\nMessageBox "
                          "Vendaro!|The DSN script could not be deleted.|Ok|Exclamation|1");
    CHECK(w.Scripts() == kScripts);

    w.recording.fail_nth = 0;
    w.recording.message_answers = {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes};
    w.form.Command3_Click();  // the middle row: the next one moves up into the selection
    CHECK(w.Dump() == "Sales *Old | DSN script deleted. | ++++++++" + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|stock");
    w.form.Command3_Click();  // the last row: the new last one is selected
    CHECK(w.module1.EditRowIndex == 2);
    CHECK(w.Scripts() ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n\r\n");
    w.form.Command3_Click();  // the only row
    w.form.Command3_Click();  // none selected: nothing asked
    CHECK(w.Dump() == "| DSN script deleted. | +-----++" + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|Old" + kAsk +
                          "\nProfileDeleteSection ~/vendaro.ini|Sales");
}

TEST_CASE("Clone asks for names until cancelled; clicks select and sort") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    for (int position : {0, 4, 1}) w.form.lvwMain_ItemClick(position);
    for (int column : {2, 3, -1, 0}) w.form.lvwMain_ColumnClick(column);  // one flag: ascending
    w.recording.calls.clear();
    w.recording.input_answers = {"  Sales2  ", "STOCK", "Bad\nName", ""};
    w.form.Command7_Click();
    const std::string ask = "\nInputBox Clone DSN script 'Sales'|New DSN Name";
    const std::string copy =
        "\r\r\n[Sales2]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1";
    CHECK(w.Dump() == "Old Sales *Sales2 stock | " + kWelcome + " | ++++++++" + ask +
                          "\nProfileAppend ~/vendaro.ini|" + copy + ask +
                          "\nMessageBox Vendaro!|DSN already exists.|Ok|Exclamation|1" + ask +
                          "\nMessageBox Vendaro!|The DSN script could not be copied.|Ok|"
                          "Exclamation|1" +
                          ask);
    CHECK(w.Scripts() == kScripts + copy);

    const std::string ask2 = "\nInputBox Clone DSN script 'Sales2'|New DSN Name";
    w.recording.fail_prefixes = {"ProfileAppend"};
    w.recording.input_answers = {"New"};
    w.form.Command7_Click();
    CHECK(w.Dump() == "Old Sales *Sales2 stock | " + kWelcome + " | ++++++++" + ask2 +
                          "\nProfileAppend ~/vendaro.ini|\r\r\n[New]" + copy.substr(11) +
                          " FAILED\nMessageBox Vendaro!|The DSN script could not be copied.|Ok|"
                          "Exclamation|1" +
                          ask2);
    CHECK(w.Scripts() == kScripts + copy);
}

TEST_CASE("Add opens the chosen driver's editor and lists what it saved") {
    MainWindow w;
    w.form.Form_Load("");
    w.module1.ScriptSaved = true;  // left over from an earlier editor
    w.form.Command1_Click();       // cancelled
    CHECK(w.module1.ScriptMode == kScriptModeAdd);

    Form3* shown = nullptr;
    w.windows.on_select_driver = [&](Form3& dialog) {
        shown = &dialog;
        dialog.List1_Click(w.editors.opened.empty() ? 3 : 1);
        dialog.Command1_Click();
    };
    // What the editor does when the user saves: the script written, the hand-over filled.
    w.editors.on_open = [&](const std::string& driver) {
        CHECK_FALSE(shown->Visible());
        const std::string name = w.editors.opened.size() == 1 ? "Payroll" : "PAYROLL";
        w.store.WriteIniString(name, "DSN_Driver", driver);
        w.module1.ScriptSaved = true;
        w.module1.NewDsnName = name;
        w.module1.NewDescription = name + " data";
        w.module1.NewDriver = driver;
    };
    w.form.Command1_Click();
    CHECK(WindowText(w.form).ends_with("*\tPayroll\tPayroll data\tSQL Server\n" + kWelcome + "\n"));
    w.form.Command1_Click();  // saved under the listed name: that row is brought up to date
    CHECK(WindowText(w.form).ends_with(
        "*\tPayroll\tPAYROLL data\tMicrosoft Access Driver (*.mdb)\n" + kWelcome + "\n"));
    CHECK(
        w.Dump() ==
        "*Payroll | " + kWelcome +
            " | ++++++++\nBusy on\nBusy off\nProfileSet ~/vendaro.ini|Payroll|DSN_Driver=SQL "
            "Server\nProfileSet ~/vendaro.ini|PAYROLL|DSN_Driver=Microsoft Access Driver (*.mdb)");
}

TEST_CASE("Edit opens the editor of the row's exact driver") {
    MainWindow w(
        "[Sales]\r\nDSN_Driver=SQL Server\r\n[Stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n"
        "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n"
        "[Files]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n"
        "[Old]\r\nDSN_Driver=Microsoft Visual FoxPro Driver\r\n[Lower]\r\nDSN_Driver=sql "
        "server\r\n");
    w.form.Form_Load("");
    std::string log;
    for (int position = 1; position <= 6; ++position) {
        w.module1.ScriptMode = 0;
        w.editors.opened = {""};
        w.form.lvwMain_ItemClick(position);
        (position % 2 ? w.form.Command2_Click() : w.form.lvwMain_DblClick());
        log += std::to_string(w.module1.ScriptMode) + " " + std::to_string(w.module1.EditRowIndex) +
               " " + w.module1.EditDsnName + " " + w.editors.opened.back() + "\n";
    }
    CHECK(log ==
          "2 1 Sales SQL Server\n2 2 Stock Adaptive Server Anywhere 6.0\n"
          "2 3 Orders Microsoft Access Driver (*.mdb)\n2 4 Files Microsoft dBase Driver (*.dbf)\n"
          "2 5 Old \n2 6 Lower \n");
    w.form.lvwMain().Select(0);
    w.form.lvwMain_DblClick();
    CHECK(w.editors.opened.size() == 1);
}

TEST_CASE("User DSN and System DSN say on the status line what happened") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.SetWindowHandle(77);
    w.form.Command4_Click();
    CHECK(w.form.Label1() == "User DSN has been created.");
    CHECK(w.recording.calls.back() == "ConfigDataSource 77 2 SQL Server|DSN=Sales\\0");
    w.form.Command6_Click();
    CHECK(w.form.Label1() == "System DSN has been created.");
    w.recording.calls.clear();
    w.recording.fail_nth = 2;  // the first key
    w.form.Command4_Click();
    CHECK(w.form.Label1() == "User DSN could not be created.");
    w.recording.fail_prefixes = {"RegSetString"};
    w.form.Command6_Click();
    CHECK(w.form.Label1() == "System DSN could not be created.");
    CHECK(w.Dump().find("MessageBox") == std::string::npos);
    CHECK(w.Scripts() == kScripts);
    MainWindow unattended(kScripts);
    unattended.recording.fail_prefixes = {"RegCloseKey"};
    CHECK(unattended.form.Form_Load("sales -se").exit_status == kExitWriteFailed);
}

TEST_CASE("Keys, Exit and the about box") {
    MainWindow w;
    for (int shift : {kShiftMask, kCtrlMask, kAltMask})
        CHECK_FALSE(w.form.Form_KeyDown(kKeyF1, shift));
    CHECK_FALSE(w.form.Form_KeyDown('A', 0));
    CHECK(w.form.Form_KeyDown(kKeyF1, 0));
    w.form.Command8_Click();
    CHECK((w.windows.about_shown == 1 && !w.form.Closed()));
    CHECK(w.Dump() == "|  | +-----++\nLaunch notepad.exe ~/faq.fil");
    CHECK(w.form.Form_KeyDown(kKeyEscape, 0));
    MainWindow exit;
    exit.form.Command5_Click();
    CHECK((w.form.Closed() && exit.form.Closed()));

    FrmAbout ok, escape, other, close_box;
    ok.Command1_Click();
    close_box.Close();
    CHECK(escape.Form_KeyDown(kKeyEscape, 0));
    CHECK_FALSE(other.Form_KeyDown(kKeyF1, 0));
    CHECK((ok.Closed() && escape.Closed() && !other.Closed() && close_box.Closed()));
}

TEST_CASE("The Select Driver dialog") {
    Module1 module1;
    module1.ScriptSaved = true;
    test::ScriptedEditors editors;
    Form3 dialog(module1, editors);
    dialog.Form_Load();
    auto state = [&] {
        return std::to_string(dialog.ListIndex()) + (dialog.Command1().enabled ? " ok" : "") +
               (dialog.Closed() ? " closed" : "") + (dialog.Visible() ? "" : " hidden");
    };
    dialog.Command1_Click();
    dialog.List1_DblClick();
    for (int index : {4, -1}) dialog.List1_Click(index);
    CHECK_FALSE(dialog.Form_KeyDown('K', 0));
    CHECK(state() == "-1");
    dialog.List1_Click(2);
    CHECK(state() == "2 ok");
    dialog.List1_DblClick();
    CHECK(state() == "2 ok closed hidden");
    CHECK_FALSE(dialog.Form_Unload().has_value());
    for (int way = 0; way < 3; ++way) {
        Form3 closing(module1, editors);
        closing.List1_Click(0);
        if (way == 0) closing.Command2_Click();
        if (way == 1) CHECK(closing.Form_KeyDown(kKeyEscape, 0));
        if (way == 2) closing.Close();
        closing.Command1_Click();
        CHECK(closing.Closed());
    }
    CHECK(editors.opened == std::vector<std::string>{"Microsoft dBase Driver (*.dbf)"});
}

}  // namespace
}  // namespace vendaro
