// What every editor shares, told on the SQL Server editor, and the launcher opening each editor.
#include "editors/script_editor_launcher.h"
#include "editors/tests/stories.h"

namespace vendaro::test {
namespace {

const std::string kSales =
    "[Sales]\nDSN_Driver=SQL Server\nDescription=Sales figures\nServer=alpha\nDatabase=sales\n"
    "Driver=C:\\Drivers\nLastUser=ann\n";
const std::string kOther = "[Other]\nDSN_Driver=SQL Server\nDescription=Untouched\n";
const std::string kEdited = "\nsaved*S SQL Server DSN script edited. {";

TEST_CASE("SQL Server editor stories") {
    Tell<Form4>(
        kSales + kOther,
        {
            {"loads every key: saved untouched, the file keeps every byte", "Sales",
             [](Form4& e, auto&) { e.Command4_Click(); },
             kSales + kOther + "()()" + With(kEdited, "*", "") +
                 "Sales|Sales figures|SQL Server} Sales:Sales figures"},
            {"every field saved", nullptr,
             [](Form4& e, EditorFixture& f) {
                 e.Text1_Change(" New ");
                 e.Text2_Change(" A new one ");
                 e.Text3_Change("beta");
                 e.Text4_Change("db2");
                 e.Text5_Change(" C:\\Old ");
                 f.recording.folder_answers.push_back("D:\\Drv");
                 e.Command1_Click();
                 e.Text6_Change("sa");
                 e.Command4_Click();
                 CHECK_FALSE(e.Form_KeyPress(kKeyAsciiEscape));
             },
             kSales + kOther +
                 "[New]\nDSN_Driver=SQL Server\nDescription=A new one\nServer=beta\nDatabase=db2\n"
                 "Driver=D:\\Drv\nLastUser=sa\n<BrowseFolder Select a driver path|C:\\Old>()\n"
                 "saved*S SQL Server DSN script added. {New|A new one|SQL Server}"},
            {"one change writes only that change", "Sales",
             [](Form4& e, EditorFixture& f) {
                 e.Command1_Click();  // the folder chooser cancelled
                 e.Text3_Change("beta");
                 CHECK(f.shared.ScriptDirty);
                 e.Command4_Click();
             },
             With(kSales, "alpha", "beta") + kOther +
                 "()<BrowseFolder Select a driver path|C:\\Drivers>()" + kEdited +
                 "Sales|Sales figures|SQL Server} Sales:Sales figures"},
            {"letter case is no rename; an emptied field removes its key", "Sales",
             [](Form4& e, auto&) {
                 e.Text1_Change(" SALES ");
                 e.Text6_Change("");
                 e.Command4_Click();
             },
             With(kSales, "LastUser=ann\n", "") + kOther + "()()" + kEdited +
                 "SALES|Sales figures|SQL Server} Sales:Sales figures"},
            {"a rename writes the new section and then removes the old one", "Sales",
             [](Form4& e, auto&) {
                 e.Text1_Change("Sales2");
                 e.Command4_Click();
             },
             kOther + With(kSales, "[Sales]", "[Sales2]") + "()()" + kEdited +
                 "Sales2|Sales figures|SQL Server} Sales2:Sales figures"},
            {"adding under an existing name writes into that section", nullptr,
             [](Form4& e, auto&) {
                 e.Text1_Change("sales");
                 e.Text3_Change("beta");
                 e.Command4_Click();
             },
             "[Sales]\nDSN_Driver=SQL Server\nServer=beta\n" + kOther +
                 "()\nsaved*S SQL Server DSN script added. {sales||SQL Server}"},
            {"Cancel untouched asks nothing", "Sales", [](Form4& e, auto&) { e.Command2_Click(); },
             kSales + kOther + "()\ncancelled  {||} Sales:Listed"},
            {"Cancel answered No writes nothing", "Sales",
             [](Form4& e, auto&) {
                 e.Text3_Change("gamma");
                 e.Command2_Click();
             },
             kSales + kOther + "()" + kQuestion + "\ncancelled*  {||} Sales:Listed"},
            {"Cancel answered Yes saves", "Sales",
             [](Form4& e, EditorFixture& f) {
                 e.Text2_Change("New figures ");
                 f.recording.message_answers.push_back(MsgAnswer::Yes);
                 e.Command2_Click();
             },
             With(kSales, "Sales figures", "New figures") + kOther + "()" + kQuestion + "()" +
                 kEdited + "Sales|New figures|SQL Server} Sales:New figures"},
            {"Escape closes at once; other keys do not", "Sales",
             [](Form4& e, auto&) {
                 e.Text3_Change("gamma");
                 CHECK_FALSE(e.Form_KeyPress('a'));
                 CHECK_FALSE(e.closed());
                 CHECK(e.Form_KeyPress(kKeyAsciiEscape));
             },
             kSales + kOther + "()\nescaped*  {||} Sales:Listed"},
            {"the close box", "Sales", [](Form4& e, auto&) { e.Form_Unload(); },
             kSales + kOther + "()\nclosebox  {||} Sales:Listed"},
            {"a blank name: Save writes nothing, Cancel asks nothing", nullptr,
             [](Form4& e, auto&) {
                 e.Text1_Change(" ");
                 e.Text2_Change("only a description");
                 e.Command4_Click();
                 e.Command2_Click();
                 e.Command4_Click();
             },
             kSales + kOther + "\ncancelled*  {||}"},
            {"a Save whose write fails: the refusal, nothing saved, the file as it was", "Sales",
             [](Form4& e, EditorFixture& f) {
                 e.Text1_Change("Renamed");
                 f.recording.fail_prefixes.push_back("Profile");
                 e.Command4_Click();
             },
             kSales + kOther + "()()" + kSaveFailed + "\nopen*  {||} Sales:Listed"},
        });
}

TEST_CASE("the launcher opens the editor of exactly a driver's name; a failing Save of each") {
    const char* const rows[][2] = {
        {"Adaptive Server Anywhere 6.0", "Form5 Adaptive Server Anywhere"},
        {"SQL Server", "Form4 SQL Server"},
        {"Microsoft Access Driver (*.mdb)", "Form6 Microsoft Access"},
        {"Microsoft dBase Driver (*.dbf)", "Form8 dBase"},
        {"Microsoft Visual FoxPro Driver", ""},
        {"sql server", ""},
        {"SQL Server ", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        CAPTURE(row[0]);
        EditorFixture f;
        ScriptEditorLauncher launcher(f.store, f.platform, f.shared, f.windows);
        CHECK_FALSE(launcher.OpenEditor(row[0]));
        launcher.AttachMainWindow(f.list, f.status);
        f.Given(kSales);
        f.Open(nullptr);
        f.recording.fail_prefixes.push_back("Profile");
        std::string seen, outcome;
        f.windows.editor = [&](ScriptEditor& e) {
            seen = f.windows.shown.at(0) + " " + With(e.Caption, "Add DSN Script for ", "");
            e.Text1_Change("New");
            if (auto* form = dynamic_cast<Form4*>(&e)) form->Command4_Click();
            if (auto* form = dynamic_cast<Form5*>(&e)) form->Command4_Click();
            if (auto* form = dynamic_cast<Form6*>(&e)) form->Command4_Click();
            if (auto* form = dynamic_cast<Form8*>(&e)) form->Command1_Click();
            outcome = f.Outcome(e);
        };
        CHECK(launcher.OpenEditor(row[0]) == (row[1][0] != 0));
        CHECK(seen == row[1]);
        CHECK(outcome == (row[1][0] ? kSales + "()" + kSaveFailed + "\nopen*  {||}" : ""));
    }
}

TEST_CASE("an edit opened without a selected row reads the script Edit named") {
    EditorFixture f;
    f.Given("[S]\nDSN_Driver=Adaptive Server Anywhere 6.0\nDescription=From the file\n");
    f.Open("S", "Listed");
    f.list.Select(0);
    Form5 form(f.context);
    form.Form_Load();
    CHECK(form.Caption == "Edit DSN Script for Adaptive Server Anywhere");
    CHECK(form.Text1.text + "|" + form.Text2.text == "S|From the file");
    f.list.Select(1);
    Form5 selected(f.context);
    selected.Form_Load();
    CHECK(selected.Text2.text == "Listed");
}

}  // namespace
}  // namespace vendaro::test
