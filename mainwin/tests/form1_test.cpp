#include <doctest/doctest.h>

#include <filesystem>
#include <string>

#include "mainwin/tests/test_support.h"

namespace vendaro {
namespace {

using test::MainWindow;

const std::string kScripts =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n\r\n"
    "[stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n\r\n"
    "[Old]\r\nDSN_Driver=Microsoft Visual FoxPro Driver\r\nDescription=Archive\r\n";
const std::string kHeader = "Vendaro!\n\tDSN\tDescription\tDriver\n";
const std::string kRows =
    "\tSales\tSales figures\tSQL Server\n\tstock\t\tAdaptive Server Anywhere 6.0\n"
    "\tOld\tArchive\tMicrosoft Visual FoxPro Driver\n";
const std::string kWelcome = "Welcome to Vendaro! Press the F1 key for help.\n";
const std::string kDeleteAsked =
    "MessageBox Vendaro!|Are you sure you want to delete the selected DSN script?|YesNo|"
    "Question|2\n";

// The rows' names in order, the selected one marked with "*".
std::string Names(const Form1& form) {
    std::string out;
    for (int position = 1; position <= form.lvwMain().Count(); ++position) {
        if (position == form.lvwMain().Selected()) out += "*";
        out += form.lvwMain().Row(position).text + " ";
    }
    return out;
}

TEST_CASE("Start-up lists every script and selects the first") {
    MainWindow w(kScripts);
    CHECK(w.form.Form_Load("").show_window);
    CHECK(w.Dump() == kHeader + "*" + kRows + kWelcome + "++++++++\nBusy on\nBusy off\n");

    MainWindow empty;
    CHECK(empty.form.Form_Load("").exit_status == kExitCreated);
    CHECK(empty.Dump() == kHeader + kWelcome + "+-----++\nBusy on\nBusy off\n");
    CHECK_FALSE(std::filesystem::exists(empty.dir.path() / "vendaro.ini"));
}

TEST_CASE("Clicks on rows and column headers") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.lvwMain_ItemClick(3);
    w.form.lvwMain_ItemClick(0);
    w.form.lvwMain_ItemClick(4);
    CHECK(Names(w.form) == "Sales stock *Old ");
    w.form.lvwMain_ColumnClick(2);  // one direction flag for every column: descending first
    CHECK(Names(w.form) == "Sales *Old stock ");
    w.form.lvwMain_ColumnClick(0);
    CHECK(Names(w.form) == "*Old Sales stock ");
    w.form.lvwMain_ColumnClick(3);
    w.form.lvwMain_ColumnClick(-1);
    w.form.lvwMain_ColumnClick(0);
    CHECK(Names(w.form) == "stock Sales *Old ");
    CHECK(w.Dump().ends_with("Busy off\n"));
}

TEST_CASE("Delete") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.Dump();
    w.form.lvwMain_ItemClick(2);
    w.form.Command3_Click();  // the default answer, No
    w.recording.message_answers = {MsgAnswer::Yes};
    w.recording.fail_nth = 3;  // the section's removal
    w.form.Command3_Click();
    CHECK(w.Dump() ==
          kHeader +
              "\tSales\tSales figures\tSQL Server\n*\tstock\t\tAdaptive Server Anywhere 6.0\n"
              "\tOld\tArchive\tMicrosoft Visual FoxPro Driver\n" +
              kWelcome + "++++++++\n" + kDeleteAsked + kDeleteAsked +
              "ProfileDeleteSection ~/vendaro.ini|stock FAILED\n"
              "MessageBox Vendaro!|The DSN script could not be deleted.|Ok|Exclamation|1\n");
    CHECK(w.Scripts() == kScripts);

    w.recording.fail_nth = 0;
    w.recording.message_answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    w.form.Command3_Click();  // the middle row: the next one moves up into the selection
    CHECK(Names(w.form) == "Sales *Old ");
    w.form.Command3_Click();  // the last row: the new last one is selected
    CHECK(w.module1.EditRowIndex == 2);
    CHECK(w.Dump() == kHeader +
                          "*\tSales\tSales figures\tSQL Server\nDSN script deleted.\n++++++++\n" +
                          kDeleteAsked + "ProfileDeleteSection ~/vendaro.ini|stock\n" +
                          kDeleteAsked + "ProfileDeleteSection ~/vendaro.ini|Old\n");
    CHECK(w.Scripts() ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n\r\n");
    w.recording.message_answers = {MsgAnswer::Yes};
    w.form.Command3_Click();  // the only row
    CHECK(w.Dump() == kHeader + "DSN script deleted.\n+-----++\n" + kDeleteAsked +
                          "ProfileDeleteSection ~/vendaro.ini|Sales\n");
    w.form.Command3_Click();  // no row selected: nothing asked
    CHECK(w.recording.calls.empty());
}

TEST_CASE("Clone asks for names until cancelled") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.lvwMain_ColumnClick(0);  // descending: the copy is placed in order and selected
    w.form.lvwMain_ItemClick(2);
    w.Dump();
    w.recording.input_answers = {"  Sales2  ", "STOCK", "Bad\nName", ""};
    w.form.Command7_Click();
    const std::string ask = "InputBox Clone DSN script 'Sales'|New DSN Name\n";
    const std::string copy =
        "\r\r\n[Sales2]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1";
    CHECK(
        w.Dump() ==
        kHeader +
            "\tstock\t\tAdaptive Server Anywhere 6.0\n*\tSales2\tSales figures\tSQL Server\n"
            "\tSales\tSales figures\tSQL Server\n\tOld\tArchive\tMicrosoft Visual FoxPro Driver\n" +
            kWelcome + "++++++++\n" + ask + "ProfileAppend ~/vendaro.ini|" + copy + "\n" + ask +
            "MessageBox Vendaro!|DSN already exists.|Ok|Exclamation|1\n" + ask +
            "MessageBox Vendaro!|The DSN script could not be copied.|Ok|Exclamation|1\n" + ask);
    CHECK(w.Scripts() == kScripts + copy);

    const std::string before = w.Scripts();
    w.recording.fail_prefixes = {"ProfileAppend"};
    w.recording.input_answers = {"New", ""};
    w.form.Command7_Click();
    CHECK(Names(w.form) == "stock *Sales2 Sales Old ");
    CHECK(w.recording.calls.size() == 4);
    CHECK(w.recording.calls[2] ==
          "MessageBox Vendaro!|The DSN script could not be copied.|Ok|Exclamation|1");
    CHECK(w.Scripts() == before);
}

// What an editor does when the user saves: the script written, the hand-over fields filled.
void SaveIn(MainWindow& w, const std::string& name, const std::string& driver) {
    w.store.WriteIniString(name, "DSN_Driver", driver);
    w.module1.NewDsnName = name;
    w.module1.NewDescription = name + " data";
    w.module1.NewDriver = driver;
    w.module1.ScriptSaved = true;
    w.form.SetLabel1(driver + " DSN script added.");
}

TEST_CASE("Add opens the chosen driver's editor and lists what it saved") {
    MainWindow w;
    w.form.Form_Load("");
    w.module1.ScriptSaved = true;  // left over from an earlier editor
    w.form.Command1_Click();       // cancelled
    CHECK(w.module1.ScriptMode == kScriptModeAdd);
    CHECK(w.form.lvwMain().Count() == 0);

    Form3* shown = nullptr;
    w.windows.on_select_driver = [&](Form3& dialog) {
        shown = &dialog;
        dialog.List1_Click(w.editors.opened.empty() ? 3 : 1);
        dialog.Command1_Click();
    };
    w.editors.on_open = [&](const std::string& driver) {
        CHECK_FALSE(shown->Visible());
        SaveIn(w, w.editors.opened.size() == 1 ? "Payroll" : "PAYROLL", driver);
    };
    w.form.Command1_Click();
    w.Dump();
    CHECK(WindowText(w.form) ==
          kHeader + "*\tPayroll\tPayroll data\tSQL Server\nSQL Server DSN script added.\n");
    CHECK(w.form.Command(2).enabled);
    w.form.Command1_Click();  // saved under the listed name: that row is brought up to date
    CHECK(w.Dump() ==
          kHeader +
              "*\tPayroll\tPAYROLL data\tMicrosoft Access Driver (*.mdb)\n"
              "Microsoft Access Driver (*.mdb) DSN script added.\n++++++++\n"
              "ProfileSet ~/vendaro.ini|PAYROLL|DSN_Driver=Microsoft Access Driver (*.mdb)\n");
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

TEST_CASE("User DSN and System DSN") {
    MainWindow w(kScripts);
    w.form.Form_Load("");
    w.form.SetWindowHandle(77);
    w.Dump();
    const std::string keys =
        "RegSetString 1 Database=\nRegSetString 1 Description=Sales figures\n"
        "RegSetString 1 Driver=\nRegSetString 1 LastUser=\n"
        "RegSetString 1 Server=srv1\nRegCloseKey 1\n";
    const std::string list = "RegSetString 2 Sales=SQL Server\nRegCloseKey 2\nBusy off\n";
    w.form.Command4_Click();
    CHECK(w.Dump() == kHeader + "*" + kRows + "User DSN has been created.\n++++++++\nBusy on\n" +
                          "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\Sales\n" + keys +
                          "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources\n" + list +
                          "ConfigDataSource 77 2 SQL Server|DSN=Sales\\0\n");
    w.form.Command6_Click();
    std::string system = w.Dump();
    for (char& c : system) c = c == '3' ? '1' : c == '4' ? '2' : c;  // the handles
    CHECK(system == kHeader + "*" + kRows + "System DSN has been created.\n++++++++\nBusy on\n" +
                        "RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\Sales\n" + keys +
                        "RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources\n" + list);

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
    struct Row {
        int key, shift;
        bool used, closed;
        const char* calls;
    };
    const Row rows[] = {
        {kKeyF1, 0, true, false, "Launch notepad.exe ~/faq.fil\n"},
        {kKeyF1, kShiftMask, false, false, ""},
        {kKeyF1, kCtrlMask, false, false, ""},
        {kKeyF1, kAltMask, false, false, ""},
        {kKeyEscape, 0, true, true, ""},
        {'A', 0, false, false, ""},
    };
    for (const Row& row : rows) {
        CAPTURE(row.key);
        CAPTURE(row.shift);
        MainWindow w;
        CHECK(w.form.Form_KeyDown(row.key, row.shift) == row.used);
        CHECK(w.form.Closed() == row.closed);
        CHECK(w.Dump() == "\n\n\n+-----++\n" + std::string(row.calls));
    }
    MainWindow w;
    w.form.Command8_Click();
    CHECK(
        w.windows.about ==
        "About Vendaro!|Vendaro!|Version 1.0.0|Creates ODBC data sources from saved DSN scripts.");
    CHECK_FALSE(w.form.Closed());
    w.form.Command5_Click();
    CHECK(w.form.Closed());

    FrmAbout ok, escape, other, close_box;
    ok.Command1_Click();
    close_box.Close();
    CHECK(escape.Form_KeyDown(kKeyEscape, 0));
    CHECK_FALSE(other.Form_KeyDown(kKeyF1, 0));
    CHECK((ok.Closed() && escape.Closed() && !other.Closed() && close_box.Closed()));
}

// Events: a digit clicks that driver ('-' clicks index -1), d double-clicks, o is OK, c is
// Cancel, e is Escape, k another key, x the close box. The state after them: the selected
// index, then OK enabled, closed, hidden and keys used, then the editors opened.
TEST_CASE("The Select Driver dialog") {
    struct Row {
        const char* events;
        const char* state;
    };
    const Row rows[] = {
        {"", "-1 |"},
        {"od", "-1 |"},
        {"4-", "-1 |"},
        {"3", "3 ok |"},
        {"0o", "0 ok closed hidden |Adaptive Server Anywhere 6.0"},
        {"2d", "2 ok closed hidden |Microsoft dBase Driver (*.dbf)"},
        {"1co", "1 ok closed |"},
        {"e", "-1 closed key |"},
        {"k", "-1 |"},
        {"1x", "1 ok closed |"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.events);
        Module1 module1;
        module1.ScriptSaved = true;
        test::ScriptedEditors editors;
        Form3 dialog(module1, editors);
        dialog.Form_Load();
        std::string state;
        for (const char* e = row.events; *e != 0; ++e) {
            if (*e >= '0' && *e <= '9') dialog.List1_Click(*e - '0');
            if (*e == '-') dialog.List1_Click(-1);
            if (*e == 'd') dialog.List1_DblClick();
            if (*e == 'o') dialog.Command1_Click();
            if (*e == 'c') dialog.Command2_Click();
            if (*e == 'x') dialog.Close();
            if ((*e == 'e' || *e == 'k') && dialog.Form_KeyDown(*e == 'e' ? kKeyEscape : 'K', 0)) {
                state += " key";
            }
        }
        state = std::to_string(dialog.ListIndex()) + (dialog.Command1().enabled ? " ok" : "") +
                (dialog.Closed() ? " closed" : "") + (dialog.Visible() ? "" : " hidden") + state +
                " |";
        for (const std::string& driver : editors.opened) state += driver;
        CHECK(state == row.state);
        CHECK_FALSE(dialog.Form_Unload().has_value());
    }
}

}  // namespace
}  // namespace vendaro
