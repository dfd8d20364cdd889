// The Access advanced options: the twelve rows, editing a row through the value box, Save,
// Cancel, and the dialog's decided refusals.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "editors/form7.h"
#include "editors/tests/test_support.h"
#include "store/cipher.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::KeyLines;
using test::QuestionLine;
using test::RefusalLine;

constexpr const char* kQuestion = "Do you want to save your changes before closing this screen?";

const std::vector<std::string> kNewScriptRows = {"DefaultDir",         "Driver",
                                                 "ExtendedAnsiSQL\t0", "FIL\tMS Access;",
                                                 "ImplicitCommitSync", "MaxBufferSize\t2048",
                                                 "MaxScanRows\t8",     "PageTimeout\t5",
                                                 "ReadOnly\t0",        "SafeTransactions\t0",
                                                 "Threads\t3",         "UserCommitSync\tYes"};

// The advanced dialog over the script `name` (as the Access editor's name field holds it).
struct AdvancedFixture : EditorFixture {
    explicit AdvancedFixture(const std::string& bytes = "", const std::string& name = "S")
        : access_name(name) {
        if (!bytes.empty()) Given(bytes);
        shared.ScriptDirty = true;  // the Access editor's, cleared by the dialog's opening
        dialog.Form_Load();
    }
    // The value box as a user types into it: the key press, then the box's new text.
    void Type(char c) {
        int key = dialog.Text3_KeyPress(static_cast<unsigned char>(c));
        if (key != 0) dialog.Text3_Change(dialog.Text3.text + static_cast<char>(key));
    }
    void Backspace() {
        dialog.Text3_KeyPress(kKeyAsciiBackspace);
        std::string text = dialog.Text3.text;
        if (!text.empty()) text.pop_back();
        dialog.Text3_Change(text);
    }
    // The Delete key with the caret at the start of the box: the first character goes.
    void DeleteKey() {
        dialog.Text3_KeyDown(kKeyCodeDelete);
        std::string text = dialog.Text3.text;
        if (!text.empty()) text.erase(0, 1);
        dialog.Text3_Change(text);
    }
    const std::string& Row(int index) const {
        return dialog.List1.items.at(static_cast<std::size_t>(index));
    }

    std::string access_name;
    Form7 dialog{context, access_name};
};

TEST_CASE("Form7 opens on a script without keys") {
    AdvancedFixture f;
    CHECK(f.dialog.Caption == "Set Advanced Options");
    CHECK(f.dialog.List1.items == kNewScriptRows);
    CHECK(f.dialog.List1.selected == -1);
    CHECK(f.dialog.Label6.caption.empty());
    CHECK(f.dialog.Text3.text.empty());
    CHECK(f.dialog.Text1.text.empty());
    CHECK(f.dialog.Text2.text.empty());
    CHECK(f.dialog.Text2.password);
    CHECK(Form7::kListTabStop == 80);
    CHECK_FALSE(f.shared.ScriptDirty);
    CHECK(f.recording.calls == std::vector<std::string>{"Busy on", "Busy off"});

    SUBCASE("Save writes the nine defaults and leaves the three bare keys absent") {
        f.dialog.Command1_Click();
        CHECK(f.dialog.closed());
        CHECK(f.Section("S") == KeyLines{"ExtendedAnsiSQL=0", "FIL=MS Access;",
                                         "MaxBufferSize=2048", "MaxScanRows=8", "PageTimeout=5",
                                         "ReadOnly=0", "SafeTransactions=0", "Threads=3",
                                         "UserCommitSync=Yes"});
        CHECK(f.shared.ScriptSaved);
        // Saving the advanced options is no saved script of the editor's: no status line.
        CHECK(f.status.text.empty());
    }
}

TEST_CASE("Form7 opens on a script with keys") {
    AdvancedFixture f("[S]\r\nUID=dba\r\nPWD=" + EncipherText("pass", "marigold") +
                      "\r\nDriverJet=C:\\jet.dll\r\nDriver=never read\r\nThreads=5\r\n"
                      "DefaultDir=C:\\db\r\n");
    CHECK(f.dialog.Text1.text == "dba");
    CHECK(f.dialog.Text2.text == "pass");
    CHECK(f.Row(0) == "DefaultDir\tC:\\db");
    CHECK(f.Row(1) == "Driver\tC:\\jet.dll");
    CHECK(f.Row(10) == "Threads\t5");
    CHECK(f.Row(4) == "ImplicitCommitSync");
    CHECK_FALSE(f.shared.ScriptDirty);

    f.dialog.Text1_Change(" admin ");
    f.dialog.Text2_Change(" secret ");
    f.dialog.Command1_Click();
    CHECK(f.Read("S", "UID") == "admin");
    CHECK(f.Read("S", "PWD") == EncipherText("secret", "marigold"));
    CHECK(f.Read("S", "DriverJet") == "C:\\jet.dll");
    CHECK(f.Read("S", "Driver") == "never read");
    CHECK(f.Read("S", "Threads") == "5");
}

TEST_CASE("Form7: selecting a row shows its name and value") {
    AdvancedFixture f;
    f.dialog.List1_Click(6);
    CHECK(f.dialog.Label6.caption == "MaxScanRows");
    CHECK(f.dialog.Text3.text == "8");
    // Showing the value changed the box, so Cancel asks.
    CHECK(f.shared.ScriptDirty);
    CHECK(f.Row(6) == "MaxScanRows\t8");

    f.dialog.List1_Click(0);
    CHECK(f.dialog.Label6.caption == "DefaultDir");
    CHECK(f.dialog.Text3.text.empty());
    CHECK(f.Row(6) == "MaxScanRows\t8");
}

TEST_CASE("Form7: selecting a bare row when the box is empty is no change") {
    AdvancedFixture f;
    f.dialog.List1_Click(0);
    CHECK_FALSE(f.shared.ScriptDirty);
    f.dialog.Command2_Click();
    CHECK(f.MessageBoxes().empty());
    CHECK(f.dialog.closed());
}

TEST_CASE("Form7: editing a row through the value box") {
    AdvancedFixture f;

    SUBCASE("typed characters are appended to the value") {
        f.dialog.List1_Click(6);  // MaxScanRows 8
        f.Type('0');
        CHECK(f.Row(6) == "MaxScanRows\t80");
        CHECK(f.dialog.Text3.text == "80");
    }
    SUBCASE("a typed character on a bare row adds the TAB first") {
        f.dialog.List1_Click(0);
        f.Type('C');
        f.Type(':');
        CHECK(f.Row(0) == "DefaultDir\tC:");
    }
    SUBCASE("Backspace erases from the end; past the value it takes the TAB") {
        f.dialog.List1_Click(6);
        f.Backspace();
        CHECK(f.Row(6) == "MaxScanRows\t");
        CHECK(f.dialog.Text3.text.empty());
        SUBCASE("Save then removes the key") {
            f.Given("[S]\r\nMaxScanRows=99\r\n");
            f.dialog.Command1_Click();
            CHECK(f.Read("S", "MaxScanRows") == "");
        }
        SUBCASE("one more Backspace: Save leaves the key as it was") {
            f.Backspace();
            CHECK(f.Row(6) == "MaxScanRows");
            f.Given("[S]\r\nMaxScanRows=99\r\n");
            f.dialog.Command1_Click();
            CHECK(f.Read("S", "MaxScanRows") == "99");
        }
    }
    SUBCASE("Backspace on a bare row adds a TAB") {
        f.dialog.List1_Click(4);
        f.Backspace();
        CHECK(f.Row(4) == "ImplicitCommitSync\t");
    }
    SUBCASE("the Delete key clears the whole value, even with text left in the box") {
        f.dialog.List1_Click(3);  // FIL  MS Access;
        f.DeleteKey();
        CHECK(f.Row(3) == "FIL\t");
        CHECK(f.dialog.Text3.text == "S Access;");
        f.Type('x');
        CHECK(f.Row(3) == "FIL\tx");
    }
    SUBCASE("the Delete key on a bare row adds a TAB") {
        f.dialog.List1_Click(1);
        f.DeleteKey();
        CHECK(f.Row(1) == "Driver\t");
    }
    SUBCASE("typing over the whole value makes the row that one character") {
        f.dialog.List1_Click(11);  // UserCommitSync Yes
        // The selection is typed over: the key press, then the box holds just "N".
        int key = f.dialog.Text3_KeyPress('N');
        CHECK(key == 'N');
        f.dialog.Text3_Change("N");
        CHECK(f.Row(11) == "UserCommitSync\tN");
        f.Type('o');
        CHECK(f.Row(11) == "UserCommitSync\tNo");
        f.dialog.Command1_Click();
        CHECK(f.Read("S", "UserCommitSync") == "No");
    }
    SUBCASE("a one-character box on an emptied value changes nothing") {
        f.dialog.List1_Click(6);
        f.Backspace();
        f.dialog.Text3_Change("7");
        CHECK(f.Row(6) == "MaxScanRows\t");
    }
    SUBCASE("typing while no row is selected changes no row") {
        f.Type('z');
        f.Backspace();
        f.dialog.Text3_KeyDown(kKeyCodeDelete);
        CHECK(f.dialog.List1.items == kNewScriptRows);
    }
    SUBCASE("other keys going down do nothing to the row") {
        f.dialog.List1_Click(6);
        f.dialog.Text3_KeyDown(0x25);  // left arrow
        CHECK(f.Row(6) == "MaxScanRows\t8");
    }
}

TEST_CASE("Form7: control characters typed into the value box do not reach the row") {
    AdvancedFixture f;
    f.dialog.List1_Click(6);
    for (int code : {1, 3, 9, 13, 22, 24, 26, 31, 127}) {
        CAPTURE(code);
        // The box still gets them (copy, paste and the like work as in any text box).
        CHECK(f.dialog.Text3_KeyPress(code) == code);
        CHECK(f.Row(6) == "MaxScanRows\t8");
    }
    // Pasted, a control character alone in the box does not replace the value either.
    f.dialog.Text3_Change("\x01");
    CHECK(f.Row(6) == "MaxScanRows\t8");
    f.dialog.Command1_Click();
    CHECK(f.Read("S", "MaxScanRows") == "8");
}

TEST_CASE("Form7: changes of the login and password set ScriptDirty") {
    AdvancedFixture f;
    f.dialog.Text1_Change("u");
    CHECK(f.shared.ScriptDirty);
    f.shared.ScriptDirty = false;
    f.dialog.Text2_Change("p");
    CHECK(f.shared.ScriptDirty);
}

TEST_CASE("Form7: Cancel") {
    AdvancedFixture f("[S]\r\nUID=dba\r\n");
    SUBCASE("with nothing changed it closes at once") {
        f.dialog.Command2_Click();
        CHECK(f.dialog.closed());
        CHECK(f.dialog.close_reason() == CloseReason::Cancelled);
        CHECK(f.MessageBoxes().empty());
    }
    f.dialog.Text1_Change("other");
    SUBCASE("Yes moves the focus to Save and writes nothing") {
        f.recording.message_answers.push_back(MsgAnswer::Yes);
        f.dialog.Command2_Click();
        CHECK(f.MessageBoxes() == std::vector<std::string>{QuestionLine(kQuestion)});
        CHECK_FALSE(f.dialog.closed());
        CHECK(f.dialog.focus_request == "Command1");
        CHECK(f.ProfileWrites().empty());
        CHECK(f.Read("S", "UID") == "dba");
    }
    SUBCASE("No closes without writing") {
        f.recording.message_answers.push_back(MsgAnswer::No);
        f.dialog.Command2_Click();
        CHECK(f.dialog.closed());
        CHECK(f.ProfileWrites().empty());
        CHECK_FALSE(f.shared.ScriptSaved);
    }
    SUBCASE("Escape closes without the question") {
        CHECK(f.dialog.Form_KeyPress(kKeyAsciiEscape));
        CHECK(f.dialog.closed());
        CHECK(f.MessageBoxes().empty());
        CHECK(f.ProfileWrites().empty());
    }
}

TEST_CASE("Form7: passwords") {
    SUBCASE("a password of blanks removes PWD") {
        AdvancedFixture f("[S]\r\nPWD=" + EncipherText("old", "marigold") + "\r\n");
        f.dialog.Text2_Change("    ");
        f.dialog.Command1_Click();
        CHECK(f.Read("S", "PWD") == "");
    }
    SUBCASE("a password the file cannot keep is refused and nothing is written") {
        AdvancedFixture f("[S]\r\nUID=dba\r\n");
        const std::string before = f.Bytes();
        f.dialog.Text1_Change("changed");
        f.dialog.Text2_Change("\xFA");
        f.dialog.Command1_Click();
        CHECK_FALSE(f.dialog.closed());
        CHECK(f.MessageBoxes() == std::vector<std::string>{RefusalLine(
                                      "The password contains characters that cannot be stored.")});
        CHECK(f.ProfileWrites().empty());
        CHECK(f.Bytes() == before);
        CHECK_FALSE(f.shared.ScriptSaved);
        CHECK(f.dialog.Text2.text == "\xFA");
    }
}

TEST_CASE("Form7: a Save whose writes fail keeps the dialog open") {
    AdvancedFixture f("[S]\r\nUID=dba\r\n");
    const std::string before = f.Bytes();
    f.shared.NewDsnName = "earlier";
    f.dialog.Text1_Change("typed");
    f.recording.fail_prefixes.push_back("ProfileSet");
    f.dialog.Command1_Click();
    CHECK_FALSE(f.dialog.closed());
    CHECK(f.MessageBoxes() ==
          std::vector<std::string>{RefusalLine("The DSN script could not be saved.")});
    CHECK(f.Bytes() == before);
    CHECK(f.dialog.Text1.text == "typed");
    CHECK_FALSE(f.shared.ScriptSaved);
    CHECK(f.shared.NewDsnName == "earlier");
    CHECK_FALSE(f.recording.busy);
}

TEST_CASE("Form7 with a blank data source name") {
    AdvancedFixture f("[S]\r\nUID=dba\r\nThreads=9\r\n", "   ");
    CHECK(f.dialog.List1.items == kNewScriptRows);
    CHECK(f.dialog.Text1.text.empty());
    f.dialog.Text1_Change("someone");
    f.dialog.List1_Click(10);
    f.Type('1');
    const std::string before = f.Bytes();
    f.dialog.Command1_Click();
    CHECK(f.dialog.closed());
    CHECK(f.ProfileWrites().empty());
    CHECK(f.Bytes() == before);
    CHECK_FALSE(f.shared.ScriptSaved);
    CHECK(f.MessageBoxes().empty());
}

TEST_CASE("Form7: its Save hands over the section as the file holds it") {
    AdvancedFixture f("[Old]\r\nDSN_Driver=SQL Server\r\n", " New ");
    f.shared.NewDsnName = "Old";
    f.shared.NewDriver = "SQL Server";
    f.dialog.Command1_Click();
    CHECK(f.shared.ScriptSaved);
    CHECK(f.shared.NewDsnName == "New");
    CHECK(f.shared.NewDescription.empty());
    CHECK(f.shared.NewDriver.empty());
}

}  // namespace
}  // namespace vendaro
