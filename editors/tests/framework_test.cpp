// What every editor shares, told on the SQL Server editor, and the launcher opening each editor.
#include "editors/script_editor_launcher.h"
#include "editors/tests/test_support.h"

namespace vendaro::test {
namespace {

const Actions<Form4> kForm4 = {TEXT(Text1),
                               TEXT(Text2),
                               TEXT(Text3),
                               TEXT(Text4),
                               TEXT(Text5),
                               TEXT(Text6),
                               CLICK(Command1),
                               ACT("Save", e.Command4_Click()),
                               ACT("Cancel", e.Command2_Click())};
const std::string kSales =
    "[Sales]\nDSN_Driver=SQL Server\nDescription=Sales figures\nServer=alpha\nDatabase=sales\n"
    "Driver=C:\\Drivers\nLastUser=ann\n";
const std::string kEdited =
    " saved*S SQL Server DSN script edited. {Sales|Sales figures|SQL Server} Sales:Sales figures";
const std::string kAdded = " saved*S SQL Server DSN script added. {";

TEST_CASE("SQL Server editor stories") {
    Tell<Form4>(
        kForm4, kSales + "[Other]\nDSN_Driver=SQL Server\nDescription=Untouched\n",
        {{"Sales", "Save", "()()" + With(kEdited, "*", "")},
         {nullptr,
          "Text1= New ;Text2= A new one ;Text3=beta;Text4=db2;Text5= C:\\Old "
          ";folder=D:\\Drv;Command1;Text6=sa;Save;Esc",
          "+[New]\n+DSN_Driver=SQL Server\n+Description=A new "
          "one\n+Server=beta\n+Database=db2\n+Driver=D:\\Drv\n+LastUser=sa\n<BrowseFolder Select a "
          "driver path|C:\\Old>()" +
              kAdded + "New|A new one|SQL Server}"},
         {"Sales", "Command1;Text3=beta;Save",
          "-Server=alpha\n+Server=beta\n()<BrowseFolder Select a driver path|C:\\Drivers>()" +
              kEdited},
         {"Sales", "Text1= SALES ;Text6=;Save",
          "-LastUser=ann\n()()" + With(kEdited, "{Sales", "{SALES")},
         {"Sales", "Text1=Sales2;Save",
          "-[Sales]\n+[Other]\n+Description=Untouched\n+[Sales2]\n+DSN_Driver=SQL "
          "Server\n-[Other]\n-DSN_Driver=SQL Server\n-Description=Untouched\n()()" +
              With(With(kEdited, "{Sales", "{Sales2"), " Sales:", " Sales2:")},
         {nullptr, "Text1=sales;Text3=beta;Save",
          "-Description=Sales "
          "figures\n-Server=alpha\n-Database=sales\n-Driver=C:\\Drivers\n-LastUser=ann\n+Server="
          "beta\n()" +
              kAdded + "sales||SQL Server}"},
         {"Sales", "Cancel", "() cancelled  {||} Sales:Listed"},
         {"Sales", "Text3=gamma;Cancel", "()" + kQuestion + " cancelled*  {||} Sales:Listed"},
         {"Sales", "Text2=New figures ;Yes;Cancel",
          "-Description=Sales figures\n+Description=New figures\n()" + kQuestion + "()" +
              With(With(kEdited, "|Sales figures|", "|New figures|"), ":Sales figures",
                   ":New figures")},
         {"Sales", "Text3=gamma;KeyA;Esc;Esc", "() escaped*  {||} Sales:Listed"},
         {"Sales", "Close", "() closebox  {||} Sales:Listed"},
         {nullptr, "Text1= ;Text2=only a description;Save;Cancel;Save", " cancelled*  {||}"},
         {"Sales", "Text1=Renamed;Fail;Save", "()()" + kSaveFailed + " open*  {||} Sales:Listed"}});
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
        {"", ""}};
    for (const auto& row : rows) {
        CAPTURE(row[0]);
        EditorFixture f;
        ScriptEditorLauncher launcher(f.store, f.platform, f.shared, f.windows);
        CHECK_FALSE(launcher.OpenEditor(row[0]));
        launcher.AttachMainWindow(f.list, f.status);
        f.Given(kSales);
        f.Open(nullptr);
        f.recording.fail_prefixes = {"Profile"};
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
        CHECK(outcome == (row[1][0] ? "()" + kSaveFailed + " open*  {||}" : ""));
    }
}

TEST_CASE("an edit opened without a selected row reads the script Edit named") {
    EditorFixture f;
    f.Given("[S]\nDSN_Driver=Adaptive Server Anywhere 6.0\nDescription=From the file\n");
    f.Open("S");
    for (int selected : {0, 1}) {
        f.list.Select(selected);
        Form5 form(f.context);
        form.Form_Load();
        CHECK(form.Caption + "|" + form.Text1.text + "|" + form.Text2.text ==
              std::string("Edit DSN Script for Adaptive Server Anywhere|S|") +
                  (selected ? "Listed" : "From the file"));
    }
}

}  // namespace
}  // namespace vendaro::test
