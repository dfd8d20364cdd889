#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "mainwin/tests/test_support.h"

namespace vendaro {
namespace {

using test::MainWindow;
using test::SqlServerScripts;

const std::string kDeleteQuestion =
    "MessageBox Vendaro!|Are you sure you want to delete the selected DSN script?|YesNo|"
    "Question|2";
const std::string kAlreadyExists = "MessageBox Vendaro!|DSN already exists.|Ok|Exclamation|1";

TEST_CASE("Delete") {
    MainWindow w;
    w.WriteScripts(SqlServerScripts({"A", "B", "C", "D", "E"}));
    w.form.Form_Load("");
    const std::string before = w.Scripts();

    SUBCASE("answered No changes nothing") {
        w.form.lvwMain_ItemClick(2);
        w.recording.message_answers = {MsgAnswer::No};
        w.form.Command3_Click();
        CHECK(w.Calls("MessageBox") == std::vector<std::string>{kDeleteQuestion});
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "C", "D", "E"});
        CHECK(w.Scripts() == before);
        CHECK(w.form.Label1() == kWelcomeText);
    }
    SUBCASE("Enter on the default button (No) changes nothing") {
        w.form.Command3_Click();  // no answer queued: the default button
        CHECK(w.Names().size() == 5);
        CHECK(w.Scripts() == before);
    }
    SUBCASE("deleting the last of five selects the new fourth row") {
        w.form.lvwMain_ItemClick(5);
        w.recording.message_answers = {MsgAnswer::Yes};
        w.form.Command3_Click();
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "C", "D"});
        CHECK(w.form.lvwMain().Selected() == 4);
        CHECK(w.module1.EditRowIndex == 5);
        CHECK(w.form.Label1() == "DSN script deleted.");
        CHECK(w.Scripts().find("[E]") == std::string::npos);
        CHECK(w.store.ReadIniString("E", "DSN_Driver").empty());
        CHECK(w.store.ReadIniString("D", "DSN_Driver") == "SQL Server");
    }
    SUBCASE("deleting the second of five selects the row that moved up") {
        w.form.lvwMain_ItemClick(2);
        w.recording.message_answers = {MsgAnswer::Yes};
        w.form.Command3_Click();
        CHECK(w.Names() == std::vector<std::string>{"A", "C", "D", "E"});
        CHECK(w.form.lvwMain().Selected() == 2);
        CHECK(w.form.lvwMain().Row(2).text == "C");
        CHECK(w.store.ReadIniString("B", "Server").empty());
        CHECK(w.store.ReadIniString("C", "Server") == "srv");
    }
    SUBCASE("a section that cannot be removed keeps its row") {
        w.form.lvwMain_ItemClick(3);
        w.recording.message_answers = {MsgAnswer::Yes};
        w.recording.fail_prefixes = {"ProfileDeleteSection"};
        w.form.Command3_Click();
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "C", "D", "E"});
        CHECK(w.form.lvwMain().Selected() == 3);
        CHECK(w.Calls("MessageBox") ==
              std::vector<std::string>{
                  kDeleteQuestion,
                  "MessageBox Vendaro!|The DSN script could not be deleted.|Ok|Exclamation|1"});
        CHECK(w.form.Label1() == kWelcomeText);
        CHECK(w.Scripts() == before);
    }
    SUBCASE("with no row selected nothing is asked") {
        w.form.lvwMain().Select(0);
        w.recording.message_answers = {MsgAnswer::Yes};
        w.form.Command3_Click();
        CHECK(w.Calls("MessageBox").empty());
        CHECK(w.Names().size() == 5);
    }
}

TEST_CASE("Deleting the only row disables the row buttons") {
    MainWindow w;
    w.WriteScripts(SqlServerScripts({"Only"}));
    w.form.Form_Load("");
    w.recording.message_answers = {MsgAnswer::Yes};
    w.form.Command3_Click();
    CHECK(w.form.lvwMain().Count() == 0);
    CHECK(w.form.lvwMain().Selected() == 0);
    for (int number : {2, 3, 7, 4, 6}) CHECK_FALSE(w.form.Command(number).enabled);
    CHECK(w.form.Label1() == "DSN script deleted.");
}

TEST_CASE("Clone") {
    MainWindow w;
    w.WriteScripts(
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n"
        "Database=pubs\r\n\r\n[Other]\r\nDSN_Driver=SQL Server\r\n");
    w.form.Form_Load("");
    w.form.lvwMain_ItemClick(1);
    const std::string ask = "InputBox Clone DSN script 'Sales'|New DSN Name";

    SUBCASE("a trimmed name makes a copy, then the box asks again until cancelled") {
        w.recording.input_answers = {"  Sales2  ", "Sales3", ""};
        w.form.Command7_Click();
        CHECK(w.Calls("InputBox") == std::vector<std::string>{ask, ask, ask});
        CHECK(w.Names() == std::vector<std::string>{"Sales", "Other", "Sales2", "Sales3"});
        CHECK(w.form.lvwMain().Selected() == 4);
        const ListRow& copy = w.form.lvwMain().Row(3);
        CHECK(copy.description == "Sales figures");
        CHECK(copy.driver == "SQL Server");
        CHECK(w.store.ReadIniString("Sales2", "Server") == "srv1");
        CHECK(w.store.ReadIniString("Sales2", "Database") == "pubs");
        CHECK(w.store.ReadIniString("Sales3", "Description") == "Sales figures");
        CHECK(w.Calls("MessageBox").empty());
        CHECK(w.form.Label1() == kWelcomeText);
    }
    SUBCASE("a name that exists in another case is refused and asked again") {
        w.recording.input_answers = {"SALES", " other ", "New", ""};
        w.form.Command7_Click();
        CHECK(w.Calls("MessageBox") == std::vector<std::string>{kAlreadyExists, kAlreadyExists});
        CHECK(w.Calls("InputBox").size() == 4);
        CHECK(w.Names() == std::vector<std::string>{"Sales", "Other", "New"});
    }
    SUBCASE("a name just cloned counts as existing") {
        w.recording.input_answers = {"Copy", "copy", ""};
        w.form.Command7_Click();
        CHECK(w.Calls("MessageBox") == std::vector<std::string>{kAlreadyExists});
        CHECK(w.Names() == std::vector<std::string>{"Sales", "Other", "Copy"});
    }
    SUBCASE("Cancel at once copies nothing") {
        const std::string before = w.Scripts();
        w.form.Command7_Click();
        CHECK(w.Calls("InputBox").size() == 1);
        CHECK(w.Names().size() == 2);
        CHECK(w.Scripts() == before);
    }
    SUBCASE("blanks only count as Cancel") {
        w.recording.input_answers = {"   ", "Never"};
        w.form.Command7_Click();
        CHECK(w.Calls("InputBox").size() == 1);
        CHECK(w.Names().size() == 2);
    }
    SUBCASE("without a script file the box asks again without a message") {
        std::filesystem::remove(w.ScriptFile());
        w.recording.input_answers = {"New", "New2", ""};
        w.form.Command7_Click();
        CHECK(w.Calls("InputBox").size() == 3);
        CHECK(w.Calls("MessageBox").empty());
        CHECK(w.Names().size() == 2);
        CHECK_FALSE(std::filesystem::exists(w.ScriptFile()));
    }
    SUBCASE("a copy that cannot be written adds no row") {
        const std::string before = w.Scripts();
        w.recording.fail_prefixes = {"ProfileAppend"};
        w.recording.input_answers = {"New", ""};
        w.form.Command7_Click();
        CHECK(w.Calls("MessageBox") ==
              std::vector<std::string>{
                  "MessageBox Vendaro!|The DSN script could not be copied.|Ok|Exclamation|1"});
        CHECK(w.Calls("InputBox").size() == 2);
        CHECK(w.Names().size() == 2);
        CHECK(w.Scripts() == before);
    }
    SUBCASE("a name holding a line break is refused and the file is untouched") {
        const std::string before = w.Scripts();
        w.recording.input_answers = {"Evil\r\n[Other]", "Bad\nName", ""};
        w.form.Command7_Click();
        CHECK(w.Calls("MessageBox").size() == 2);
        CHECK(w.Names().size() == 2);
        CHECK(w.Scripts() == before);
    }
    SUBCASE("with no row selected nothing is asked") {
        w.form.lvwMain().Select(0);
        w.recording.input_answers = {"New"};
        w.form.Command7_Click();
        CHECK(w.Calls("InputBox").empty());
    }
}

TEST_CASE("Clone into a sorted list selects the copy") {
    MainWindow w;
    w.WriteScripts(SqlServerScripts({"b", "d"}));
    w.form.Form_Load("");
    w.form.lvwMain_ColumnClick(0);  // descending: d, b
    w.form.lvwMain_ItemClick(2);    // b
    w.recording.input_answers = {"c", ""};
    w.form.Command7_Click();
    CHECK(w.Names() == std::vector<std::string>{"d", "c", "b"});
    CHECK(w.form.lvwMain().Selected() == 2);
}

// The editor's part of a save, as the editors do it: the script written, the hand-over
// fields filled and the status line set.
void SaveScript(MainWindow& w, const std::string& name, const std::string& description,
                const std::string& driver) {
    w.store.WriteIniString(name, "DSN_Driver", driver);
    w.store.WriteIniString(name, "Description", description);
    w.module1.NewDsnName = name;
    w.module1.NewDescription = description;
    w.module1.NewDriver = driver;
    w.module1.ScriptSaved = true;
    w.form.SetLabel1(driver + " DSN script added.");
}

TEST_CASE("Add") {
    MainWindow w;
    w.module1.ScriptSaved = true;  // left over from an earlier editor
    Form3* shown = nullptr;

    SUBCASE("the Select Driver dialog as it opens") {
        w.form.Form_Load("");
        w.windows.on_select_driver = [&](Form3& dialog) {
            CHECK(w.module1.ScriptMode == kScriptModeAdd);
            CHECK_FALSE(w.module1.ScriptSaved);
            CHECK(dialog.Caption() == "Vendaro! - Add DSN Script");
            CHECK(dialog.Label1() == "Select Driver");
            CHECK(dialog.List1() == std::vector<std::string>{"Adaptive Server Anywhere 6.0",
                                                             "Microsoft Access Driver (*.mdb)",
                                                             "Microsoft dBase Driver (*.dbf)",
                                                             "SQL Server"});
            CHECK(dialog.ListIndex() == -1);
            CHECK(dialog.Command1().caption == "&OK");
            CHECK_FALSE(dialog.Command1().enabled);
            CHECK(dialog.Command2().caption == "&Cancel");
            CHECK(dialog.Command2().enabled);
            CHECK(dialog.Command1().position == Twips{120, 2160, 1095, 375});
            CHECK(dialog.Command2().position == Twips{2880, 2160, 1095, 375});
            // OK stays without effect until a driver is clicked.
            dialog.Command1_Click();
            CHECK_FALSE(dialog.Closed());
            dialog.List1_Click(1);
            CHECK(dialog.Command1().enabled);
            dialog.Command2_Click();
        };
        w.form.Command1_Click();
        CHECK(w.windows.select_driver_shown == 1);
        CHECK(w.editors.opened.empty());
        CHECK(w.form.lvwMain().Count() == 0);
        CHECK_FALSE(std::filesystem::exists(w.ScriptFile()));
    }
    SUBCASE("Escape and Cancel leave the list and the file unchanged") {
        w.WriteScripts(test::SqlServerScripts({"Sales"}));
        w.form.Form_Load("");
        const std::string before = w.Scripts();
        w.windows.on_select_driver = [](Form3& dialog) {
            dialog.List1_Click(3);
            CHECK(dialog.Form_KeyDown(kKeyEscape, 0));
        };
        w.form.Command1_Click();
        CHECK(w.editors.opened.empty());
        CHECK(w.Names() == std::vector<std::string>{"Sales"});
        CHECK(w.Scripts() == before);
    }
    SUBCASE("a saved SQL Server script becomes the selected last row") {
        w.form.Form_Load("");  // no rows: the row buttons are off
        w.windows.on_select_driver = [&](Form3& dialog) {
            shown = &dialog;
            dialog.List1_Click(3);
            dialog.Command1_Click();
        };
        w.editors.on_open = [&](const std::string& driver) {
            REQUIRE(shown != nullptr);
            CHECK_FALSE(shown->Visible());  // the dialog hides while its editor is open
            SaveScript(w, "Payroll", "Monthly pay", driver);
        };
        w.form.Command1_Click();
        CHECK(w.editors.opened == std::vector<std::string>{"SQL Server"});
        REQUIRE(w.form.lvwMain().Count() == 1);
        CHECK(w.form.lvwMain().Row(1).text == "Payroll");
        CHECK(w.form.lvwMain().Row(1).description == "Monthly pay");
        CHECK(w.form.lvwMain().Row(1).driver == "SQL Server");
        CHECK(w.form.lvwMain().Selected() == 1);
        for (int number : {2, 3, 7, 4, 6}) CHECK(w.form.Command(number).enabled);
        CHECK(w.form.Label1() == "SQL Server DSN script added.");
    }
    SUBCASE("a double click on a driver acts as OK") {
        w.WriteScripts(test::SqlServerScripts({"A", "B"}));
        w.form.Form_Load("");
        w.windows.on_select_driver = [&](Form3& dialog) {
            dialog.List1_Click(2);
            dialog.List1_DblClick();
        };
        w.editors.on_open = [&](const std::string& driver) {
            SaveScript(w, "Files", "dBase files", driver);
        };
        w.form.Command1_Click();
        CHECK(w.editors.opened == std::vector<std::string>{"Microsoft dBase Driver (*.dbf)"});
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "Files"});
        CHECK(w.form.lvwMain().Selected() == 3);
    }
    SUBCASE("an editor closed without saving adds no row") {
        w.WriteScripts(test::SqlServerScripts({"A"}));
        w.form.Form_Load("");
        w.windows.on_select_driver = [](Form3& dialog) {
            dialog.List1_Click(0);
            dialog.Command1_Click();
        };
        w.form.Command1_Click();
        CHECK(w.editors.opened == std::vector<std::string>{"Adaptive Server Anywhere 6.0"});
        CHECK(w.Names() == std::vector<std::string>{"A"});
    }
    SUBCASE("a script saved under a listed name updates that row instead of doubling it") {
        w.WriteScripts(test::SqlServerScripts({"Sales", "Stock"}));
        w.form.Form_Load("");
        w.windows.on_select_driver = [](Form3& dialog) {
            dialog.List1_Click(1);
            dialog.Command1_Click();
        };
        w.editors.on_open = [&](const std::string& driver) {
            SaveScript(w, "SALES", "Now in Access", driver);
        };
        w.form.Command1_Click();
        CHECK(w.Names() == std::vector<std::string>{"Sales", "Stock"});
        CHECK(w.form.lvwMain().Row(1).description == "Now in Access");
        CHECK(w.form.lvwMain().Row(1).driver == "Microsoft Access Driver (*.mdb)");
        CHECK(w.form.lvwMain().Selected() == 1);
    }
}

TEST_CASE("Edit") {
    MainWindow w;
    w.WriteScripts(
        "[Sales]\r\nDSN_Driver=SQL Server\r\n"
        "[Stock]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n"
        "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n"
        "[Files]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n"
        "[Old]\r\nDSN_Driver=Microsoft Visual FoxPro Driver\r\n"
        "[Bare]\r\nDescription=no driver\r\n"
        "[Lower]\r\nDSN_Driver=sql server\r\n");
    w.form.Form_Load("");

    SUBCASE("the hand-over fields and the editor chosen by the exact driver name") {
        struct Row {
            int position;
            const char* name;
            const char* editor;  // nullptr: no editor opens
        };
        const std::vector<Row> rows = {
            {1, "Sales", "SQL Server"},
            {2, "Stock", "Adaptive Server Anywhere 6.0"},
            {3, "Orders", "Microsoft Access Driver (*.mdb)"},
            {4, "Files", "Microsoft dBase Driver (*.dbf)"},
            {5, "Old", nullptr},
            {6, "Bare", nullptr},
            {7, "Lower", nullptr},
        };
        for (const Row& row : rows) {
            CAPTURE(row.name);
            w.editors.opened.clear();
            w.form.lvwMain_ItemClick(row.position);
            w.form.Command2_Click();
            CHECK(w.module1.ScriptMode == kScriptModeEdit);
            CHECK(w.module1.EditRowIndex == row.position);
            CHECK(w.module1.EditDsnName == row.name);
            if (row.editor) {
                CHECK(w.editors.opened == std::vector<std::string>{row.editor});
            } else {
                CHECK(w.editors.opened.empty());
            }
        }
        CHECK(w.Calls("MessageBox").empty());
    }
    SUBCASE("a double click on the list runs Edit") {
        w.form.lvwMain_ItemClick(3);
        w.form.lvwMain_DblClick();
        CHECK(w.editors.opened == std::vector<std::string>{"Microsoft Access Driver (*.mdb)"});
        CHECK(w.module1.EditDsnName == "Orders");
    }
    SUBCASE("with no row selected nothing happens") {
        w.form.lvwMain().Select(0);
        w.form.lvwMain_DblClick();
        CHECK(w.editors.opened.empty());
        CHECK(w.module1.ScriptMode == 0);
    }
}

TEST_CASE("User DSN and System DSN") {
    MainWindow w;
    w.WriteScripts(
        "[Alpha]\r\nDSN_Driver=SQL Server\r\n"
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n");
    w.form.Form_Load("");
    w.form.SetWindowHandle(77);
    w.form.lvwMain_ItemClick(2);
    w.recording.calls.clear();

    SUBCASE("User DSN") {
        w.form.Command4_Click();
        CHECK(w.form.Label1() == "User DSN has been created.");
        CHECK(w.Calls("RegCreateKey") ==
              std::vector<std::string>{"RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\Sales",
                                       "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data "
                                       "Sources"});
        CHECK(w.Calls("ConfigDataSource") ==
              std::vector<std::string>{"ConfigDataSource 77 2 SQL Server|DSN=Sales\\0"});
        REQUIRE(w.form.LastDsnOutcome().has_value());
        CHECK(w.form.LastDsnOutcome()->writes_ok);
    }
    SUBCASE("System DSN") {
        w.form.Command6_Click();
        CHECK(w.form.Label1() == "System DSN has been created.");
        CHECK(w.Calls("RegCreateKey").size() == 2);
        CHECK(w.Calls("RegCreateKey HKLM").size() == 2);
        CHECK(w.Calls("ConfigDataSource").empty());
    }
    SUBCASE("a failed write is not reported as success") {
        w.recording.fail_prefixes = {"RegSetString"};
        w.form.Command4_Click();
        CHECK(w.form.Label1() == "User DSN could not be created.");
        w.form.Command6_Click();
        CHECK(w.form.Label1() == "System DSN could not be created.");
        CHECK(w.Calls("MessageBox").empty());
    }
}

TEST_CASE("The legacy ODBC.INI entries are left out on a platform without them") {
    test::TempDir dir;
    std::unique_ptr<Profile> real = MakeNativeProfile();
    RecordingPlatform recording(*real);
    Platform platform = recording.AsPlatform();
    ScriptStore store(recording.profile(), dir.path().string(), "vendaro.exe",
                      static_cast<char>(std::filesystem::path::preferred_separator));
    test::WriteFile(dir.path() / "vendaro.ini",
                    "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n");
    Module1 module1;
    test::ScriptedEditors editors;
    test::ScriptedWindows windows;
    // Writes to the Windows directory's ODBC.INI are stopped before they reach any file.
    recording.fail_prefixes = {"ProfileSet"};

    SUBCASE("skipped") {
        platform.legacy_odbc_ini = false;
        Form1 form(store, platform, module1, editors, windows);
        form.Form_Load("");
        form.Command4_Click();
        CHECK(form.Label1() == "User DSN has been created.");
        for (const std::string& call : recording.calls) CHECK(call.rfind("ProfileSet", 0) != 0);
    }
    SUBCASE("written") {
        Form1 form(store, platform, module1, editors, windows);
        form.Form_Load("");
        form.Command4_Click();
        int legacy = 0;
        for (const std::string& call : recording.calls) {
            if (call.rfind("ProfileSet c:\\windows\\ODBC.INI|", 0) == 0) ++legacy;
        }
        CHECK(legacy == 2);
        CHECK(form.Label1() == "User DSN could not be created.");
    }
}

}  // namespace
}  // namespace vendaro
