// The rules every script editor shares, told as user stories, mostly on the SQL Server
// editor (the smallest), and across all four editors where each has its own names.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "editors/form4.h"
#include "editors/form5.h"
#include "editors/form6.h"
#include "editors/form8.h"
#include "editors/script_editor_launcher.h"
#include "editors/tests/test_support.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::KeyLines;
using test::QuestionLine;
using test::RefusalLine;

const char* const kSales =
    "[Sales]\r\n"
    "DSN_Driver=SQL Server\r\n"
    "Description=Sales figures\r\n"
    "Server=alpha\r\n"
    "Database=sales\r\n"
    "Driver=C:\\Drivers\r\n"
    "LastUser=ann\r\n"
    "\r\n"
    "[Other]\r\n"
    "DSN_Driver=SQL Server\r\n"
    "Description=Untouched\r\n";

struct SalesFixture : EditorFixture {
    SalesFixture() { Given(kSales); }
    // Opens the SQL Server editor on Sales in edit mode.
    Form4& EditSales() {
        EditMode("Other", "Untouched", "SQL Server");
        EditMode("Sales", "Sales figures", "SQL Server");
        form.Form_Load();
        return form;
    }
    Form4 form{context};
};

TEST_CASE("an editor opened to add a script") {
    EditorFixture f;
    f.AddMode();
    f.shared.ScriptSaved = true;  // from an earlier editor
    f.shared.ScriptDirty = true;
    Form4 form(f.context);
    form.Form_Load();

    CHECK(form.Caption == "Add DSN Script for SQL Server");
    CHECK_FALSE(form.edit_mode());
    CHECK(form.Text1.text.empty());
    CHECK(form.Text2.text.empty());
    CHECK_FALSE(form.Command4.enabled);
    CHECK(form.Command2.enabled);
    CHECK_FALSE(f.shared.ScriptDirty);
    CHECK_FALSE(f.shared.ScriptSaved);
    CHECK_FALSE(form.closed());
    // Nothing is read or written for an add.
    CHECK(f.recording.calls.empty());
}

TEST_CASE("Save is enabled exactly while the trimmed name is not empty") {
    EditorFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();

    form.Text1_Change(" ");
    CHECK_FALSE(form.Command4.enabled);
    CHECK_FALSE(f.shared.ScriptDirty);

    form.Text1_Change(" N");
    CHECK(form.Command4.enabled);
    CHECK(f.shared.ScriptDirty);

    form.Text2_Change("something");
    CHECK(f.shared.ScriptDirty);

    // Emptying the name forgets the earlier changes too.
    form.Text1_Change("   ");
    CHECK_FALSE(form.Command4.enabled);
    CHECK_FALSE(f.shared.ScriptDirty);

    // A Save that reaches a blank-named editor writes nothing.
    form.Command4_Click();
    CHECK_FALSE(form.closed());
    CHECK(f.Bytes() == "<missing>");
}

TEST_CASE("adding a script: the section, the hand-over fields and the status line") {
    EditorFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();
    form.Text1_Change("  New  ");
    form.Text2_Change("  A new one ");
    form.Command4_Click();

    CHECK(form.closed());
    CHECK(form.close_reason() == CloseReason::Saved);
    CHECK(test::Headers(f.Bytes()) == std::vector<std::string>{"New"});
    CHECK(f.Section("New") == KeyLines{"DSN_Driver=SQL Server", "Description=A new one"});
    CHECK(f.shared.NewDsnName == "New");
    CHECK(f.shared.NewDescription == "A new one");
    CHECK(f.shared.NewDriver == "SQL Server");
    CHECK(f.shared.ScriptSaved);
    CHECK(f.status.text == "SQL Server DSN script added.");
    // The Select Driver dialog appends the row, not the editor.
    CHECK(f.list.Count() == 0);
    // The hourglass is shown while saving and taken away again.
    CHECK(f.recording.calls.front() == "Busy on");
    CHECK(f.recording.calls.back() == "Busy off");
    CHECK_FALSE(f.recording.busy);
}

TEST_CASE("editing a script") {
    SalesFixture f;
    Form4& form = f.EditSales();

    SUBCASE("it opens with the selected row's name and the script's keys") {
        CHECK(form.Caption == "Edit DSN Script for SQL Server");
        CHECK(form.edit_mode());
        CHECK(form.Text1.text == "Sales");
        CHECK(form.Text2.text == "Sales figures");
        CHECK(form.Text3.text == "alpha");
        CHECK(form.Text4.text == "sales");
        CHECK(form.Text5.text == "C:\\Drivers");
        CHECK(form.Text6.text == "ann");
        CHECK(form.Command4.enabled);
        CHECK_FALSE(f.shared.ScriptDirty);
        CHECK_FALSE(f.shared.ScriptSaved);
        CHECK(f.recording.calls == std::vector<std::string>{"Busy on", "Busy off"});
    }
    SUBCASE("a saved edit updates the file, the row's description and the status line") {
        form.Text2_Change("New figures ");
        form.Command4_Click();
        CHECK(form.closed());
        CHECK(f.Read("Sales", "Description") == "New figures");
        CHECK(f.list.Row(2).text == "Sales");
        CHECK(f.list.Row(2).description == "New figures");
        CHECK(f.list.Row(1).description == "Untouched");
        CHECK(f.status.text == "SQL Server DSN script edited.");
    }
    SUBCASE("closing at once asks nothing and changes neither the file nor the list") {
        const std::string before = f.Bytes();
        SUBCASE("Cancel") {
            form.Command2_Click();
        }
        SUBCASE("Escape") {
            CHECK(form.Form_KeyPress(kKeyAsciiEscape));
        }
        SUBCASE("the close box") {
            form.Form_Unload();
        }
        CHECK(form.closed());
        CHECK(f.MessageBoxes().empty());
        CHECK(f.Bytes() == before);
        CHECK(f.list.Row(2).description == "Sales figures");
        CHECK(f.status.text.empty());
    }
    SUBCASE("a cancelled edit leaves the row's old description") {
        form.Text2_Change("Changed");
        f.recording.message_answers.push_back(MsgAnswer::No);
        form.Command2_Click();
        CHECK(form.closed());
        CHECK(form.close_reason() == CloseReason::Cancelled);
        CHECK(f.list.Row(2).description == "Sales figures");
        CHECK(f.Read("Sales", "Description") == "Sales figures");
    }
}

TEST_CASE("renaming a script") {
    SalesFixture f;
    Form4& form = f.EditSales();

    SUBCASE("a new name removes the old section, writes the new one and renames the row") {
        form.Text1_Change("Sales2");
        form.Command4_Click();
        CHECK(form.closed());
        CHECK(test::Headers(f.Bytes()) == std::vector<std::string>{"Other", "Sales2"});
        CHECK(f.Section("Sales2") == KeyLines{"DSN_Driver=SQL Server", "Description=Sales figures",
                                              "Server=alpha", "Database=sales",
                                              "Driver=C:\\Drivers", "LastUser=ann"});
        CHECK(f.list.Row(2).text == "Sales2");
        CHECK(f.list.Row(1).text == "Other");
        CHECK(f.shared.NewDsnName == "Sales2");
    }
    SUBCASE("a change of letter case alone is no rename") {
        form.Text1_Change("SALES");
        form.Command4_Click();
        CHECK(form.closed());
        CHECK(test::Headers(f.Bytes()) == std::vector<std::string>{"Sales", "Other"});
        CHECK(f.list.Row(2).text == "Sales");
        CHECK(f.Read("Sales", "Server") == "alpha");
    }
    SUBCASE("blanks around the new name do not make a rename") {
        form.Text1_Change("  Sales ");
        form.Command4_Click();
        CHECK(test::Headers(f.Bytes()) == std::vector<std::string>{"Sales", "Other"});
        CHECK(f.list.Row(2).text == "Sales");
    }
}

TEST_CASE("a row whose name the file trims is saved without losing its section") {
    // The listing takes "[Sales ]" literally; the profile functions trim the name.
    EditorFixture f;
    f.Given("[Sales ]\r\nDSN_Driver=SQL Server\r\nServer=alpha\r\n");
    f.EditMode("Sales ", "", "SQL Server");
    Form4 form(f.context);
    form.Form_Load();
    CHECK(form.Text3.text == "alpha");
    form.Text3_Change("beta");
    form.Command4_Click();
    CHECK(form.closed());
    CHECK(f.Read("Sales", "Server") == "beta");
    CHECK(f.Read("Sales", "DSN_Driver") == "SQL Server");
    CHECK(f.list.Row(1).text == "Sales");
}

TEST_CASE("adding a script right after an edit leaves the edited script alone") {
    SalesFixture f;
    Form4& first = f.EditSales();
    first.Command4_Click();
    const KeyLines sales = f.Section("Sales");

    f.AddMode();
    Form4 second(f.context);
    second.Form_Load();
    second.Text1_Change("New");
    second.Command4_Click();
    CHECK(f.Section("Sales") == sales);
    CHECK(f.Section("New") == KeyLines{"DSN_Driver=SQL Server"});
    CHECK(f.status.text == "SQL Server DSN script added.");
    // The add does not touch the rows of the list.
    CHECK(f.list.Row(2).text == "Sales");
}

TEST_CASE("adding under an existing name writes into that section") {
    SalesFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();
    form.Text1_Change("sales");
    form.Text3_Change("beta");
    form.Command4_Click();
    // The same section (names match without regard to case); Server, Database, Driver and
    // LastUser are written (empty ones removed), Description removed as empty.
    CHECK(test::Headers(f.Bytes()) == std::vector<std::string>{"Sales", "Other"});
    CHECK(f.Section("Sales") == KeyLines{"DSN_Driver=SQL Server", "Server=beta"});
}

TEST_CASE("Cancel asks when something changed and the name is not blank") {
    SalesFixture f;
    Form4& form = f.EditSales();
    form.Text3_Change("gamma");

    SUBCASE("No closes without saving") {
        f.recording.message_answers.push_back(MsgAnswer::No);
        form.Command2_Click();
        CHECK(f.MessageBoxes() ==
              std::vector<std::string>{
                  QuestionLine("Do you want to save your changes before closing this screen?")});
        CHECK(form.closed());
        CHECK(f.Read("Sales", "Server") == "alpha");
        CHECK_FALSE(f.shared.ScriptSaved);
    }
    SUBCASE("Yes saves and closes") {
        f.recording.message_answers.push_back(MsgAnswer::Yes);
        form.Command2_Click();
        CHECK(form.closed());
        CHECK(form.close_reason() == CloseReason::Saved);
        CHECK(f.Read("Sales", "Server") == "gamma");
        CHECK(f.status.text == "SQL Server DSN script edited.");
    }
    SUBCASE("Escape closes at once, without the question and without saving") {
        CHECK(form.Form_KeyPress(kKeyAsciiEscape));
        CHECK(form.closed());
        CHECK(form.close_reason() == CloseReason::Escaped);
        CHECK(f.MessageBoxes().empty());
        CHECK(f.Read("Sales", "Server") == "alpha");
    }
    SUBCASE("other keys do not close") {
        CHECK_FALSE(form.Form_KeyPress('a'));
        CHECK_FALSE(form.Form_KeyPress(13));
        CHECK_FALSE(form.closed());
    }
}

TEST_CASE("typing a description while the name is blank, then Cancel, closes without a prompt") {
    EditorFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();
    form.Text2_Change("only a description");
    CHECK(f.shared.ScriptDirty);
    form.Command2_Click();
    CHECK(form.closed());
    CHECK(f.MessageBoxes().empty());
    CHECK(f.Bytes() == "<missing>");
}

TEST_CASE("a Save whose writes fail keeps the editor open and changes nothing else") {
    SalesFixture f;
    Form4& form = f.EditSales();
    const std::string before = f.Bytes();
    form.Text2_Change("Typed description");
    form.Text3_Change("typed server");
    f.shared.NewDsnName = "earlier";
    f.recording.fail_prefixes.push_back("ProfileSet");

    SUBCASE("an edit") {
        form.Command4_Click();
        CHECK_FALSE(form.closed());
        CHECK(f.MessageBoxes() ==
              std::vector<std::string>{RefusalLine("The DSN script could not be saved.")});
        CHECK(f.Bytes() == before);
        CHECK(form.Text2.text == "Typed description");
        CHECK(form.Text3.text == "typed server");
        CHECK(f.list.Row(2).description == "Sales figures");
        CHECK(f.status.text.empty());
        CHECK(f.shared.NewDsnName == "earlier");
        CHECK_FALSE(f.shared.ScriptSaved);
        CHECK(f.shared.ScriptDirty);
        CHECK_FALSE(f.recording.busy);
        // The first failing write is the last one tried.
        CHECK(f.ProfileWrites() == std::vector<std::string>{"ProfileSet " + f.ini +
                                                            "|Sales|DSN_Driver=SQL Server FAILED"});

        // Once the file takes writes again, the same editor saves.
        f.recording.fail_prefixes.clear();
        form.Command4_Click();
        CHECK(form.closed());
        CHECK(f.Read("Sales", "Server") == "typed server");
        CHECK(f.list.Row(2).description == "Typed description");
    }
    SUBCASE("a rename keeps the old section") {
        form.Text1_Change("Renamed");
        form.Command4_Click();
        CHECK_FALSE(form.closed());
        CHECK(f.Bytes() == before);
        CHECK(f.list.Row(2).text == "Sales");
        // Closing now is a cancel: the row keeps its description.
        form.Form_Unload();
        CHECK(f.list.Row(2).description == "Sales figures");
    }
    SUBCASE("the Cancel question's Yes") {
        f.recording.message_answers.push_back(MsgAnswer::Yes);
        form.Command2_Click();
        CHECK_FALSE(form.closed());
        CHECK(f.MessageBoxes().back() == RefusalLine("The DSN script could not be saved."));
    }
}

TEST_CASE("a Save that fails half-way stops at the failing write") {
    SalesFixture f;
    Form4& form = f.EditSales();
    form.Text3_Change("new server");
    form.Text4_Change("new database");
    f.recording.fail_prefixes.push_back("ProfileSet " + f.ini + "|Sales|Database=");
    form.Command4_Click();
    CHECK_FALSE(form.closed());
    CHECK(f.MessageBoxes().size() == 1);
    // What landed before the failure stays; nothing after it was tried.
    CHECK(f.Read("Sales", "Server") == "new server");
    CHECK(f.Read("Sales", "Database") == "sales");
    CHECK(f.ProfileWrites().back() ==
          "ProfileSet " + f.ini + "|Sales|Database=new database FAILED");
}

TEST_CASE("a Save into a directory that does not exist reports the failure") {
    test::ScratchDir dir;
    std::unique_ptr<Profile> real = MakeNativeProfile();
    RecordingPlatform recording(*real);
    ScriptStore store(recording.profile(), dir.File("missing"), "vendaro.exe", test::kSeparator);
    Platform platform = recording.AsPlatform();
    Module1 shared;
    shared.ScriptMode = kScriptModeAdd;
    ScriptList list;
    test::TextStatusLine status;
    EditorContext context{store, platform, shared, list, status};
    Form4 form(context);
    form.Form_Load();
    form.Text1_Change("New");
    form.Command4_Click();
    CHECK_FALSE(form.closed());
    CHECK(recording.calls.back() ==
          "MessageBox Vendaro!|The DSN script could not be saved.|Ok|Exclamation|1");
    CHECK_FALSE(shared.ScriptSaved);
    CHECK(status.text.empty());
}

// --- the same rules in every editor ---

struct EditorCase {
    const char* driver;
    const char* product;
    const char* form;
};

const EditorCase kEditors[] = {
    {"Adaptive Server Anywhere 6.0", "Adaptive Server Anywhere", "Form5"},
    {"SQL Server", "SQL Server", "Form4"},
    {"Microsoft Access Driver (*.mdb)", "Microsoft Access", "Form6"},
    {"Microsoft dBase Driver (*.dbf)", "dBase", "Form8"},
};

// Runs `story` (editor, save, cancel) on whichever editor the launcher opens.
template <typename Story>
void OnEveryEditor(EditorFixture& f, Story story) {
    f.windows.form4 = [=](Form4& e) {
        story(
            e, [&] { e.Command4_Click(); }, [&] { e.Command2_Click(); });
    };
    f.windows.form5 = [=](Form5& e) {
        story(
            e, [&] { e.Command4_Click(); }, [&] { e.Command2_Click(); });
    };
    f.windows.form6 = [=](Form6& e) {
        story(
            e, [&] { e.Command4_Click(); }, [&] { e.Command2_Click(); });
    };
    f.windows.form8 = [=](Form8& e) {
        story(
            e, [&] { e.Command1_Click(); }, [&] { e.Command2_Click(); });
    };
}

TEST_CASE("every editor: caption, Save, status line and hand-over") {
    for (const EditorCase& editor : kEditors) {
        CAPTURE(editor.driver);
        EditorFixture f;
        ScriptEditorLauncher launcher(f.store, f.platform, f.shared, f.windows);
        launcher.AttachMainWindow(f.list, f.status);

        f.AddMode();
        std::string caption;
        OnEveryEditor(f, [&](ScriptEditor& e, auto save, auto) {
            caption = e.Caption;
            e.Text1_Change("Script");
            e.Text2_Change(" Described ");
            save();
        });
        REQUIRE(launcher.OpenEditor(editor.driver));
        CHECK(f.windows.shown == std::vector<std::string>{editor.form});
        CHECK(caption == std::string("Add DSN Script for ") + editor.product);
        CHECK(f.status.text == std::string(editor.driver) + " DSN script added.");
        CHECK(f.Read("Script", "DSN_Driver") == editor.driver);
        CHECK(f.Read("Script", "Description") == "Described");
        CHECK(f.shared.NewDsnName == "Script");
        CHECK(f.shared.NewDescription == "Described");
        CHECK(f.shared.NewDriver == editor.driver);
        CHECK(f.shared.ScriptSaved);
        CHECK(test::SectionLines(f.Bytes(), "Script").at(0) ==
              std::string("DSN_Driver=") + editor.driver);
        CHECK(test::SectionLines(f.Bytes(), "Script").at(1) == "Description=Described");

        // Edit it, answering the Cancel question with Yes.
        f.EditMode("Script", "Described", editor.driver);
        f.recording.message_answers.push_back(MsgAnswer::Yes);
        OnEveryEditor(f, [&](ScriptEditor& e, auto, auto cancel) {
            caption = e.Caption;
            CHECK(e.Text1.text == "Script");
            e.Text2_Change("Edited");
            cancel();
        });
        REQUIRE(launcher.OpenEditor(editor.driver));
        CHECK(caption == std::string("Edit DSN Script for ") + editor.product);
        CHECK(f.status.text == std::string(editor.driver) + " DSN script edited.");
        CHECK(f.list.Row(1).description == "Edited");
        CHECK(f.Read("Script", "Description") == "Edited");
    }
}

TEST_CASE("the launcher opens an editor only for the exact driver name") {
    EditorFixture f;
    ScriptEditorLauncher launcher(f.store, f.platform, f.shared, f.windows);
    SUBCASE("not before the main window is attached") {
        CHECK_FALSE(launcher.OpenEditor("SQL Server"));
    }
    launcher.AttachMainWindow(f.list, f.status);
    for (const char* name : {"Microsoft Visual FoxPro Driver", "", "sql server", "SQL Server ",
                             "Adaptive Server Anywhere 6.0 "}) {
        CAPTURE(name);
        CHECK_FALSE(launcher.OpenEditor(name));
    }
    CHECK(f.windows.shown.empty());
    CHECK(f.recording.calls.empty());
}

}  // namespace
}  // namespace vendaro
