// The Access editor: database and system database captions, driver options, heights, and the
// advanced options dialog it opens.
#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editors/form6.h"
#include "editors/form7.h"
#include "editors/tests/test_support.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::KeyLines;
using test::QuestionLine;

constexpr const char* kAccess = "Microsoft Access Driver (*.mdb)";
constexpr const char* kQuestion = "Do you want to save your changes before closing this screen?";

struct AddFixture : EditorFixture {
    AddFixture() {
        AddMode();
        form.Form_Load();
    }
    Form6 form{context, windows};
};

struct EditFixture : EditorFixture {
    explicit EditFixture(const std::vector<std::string>& keys) {
        std::string bytes = "[S]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\n";
        for (const std::string& key : keys) bytes += key + "\r\n";
        Given(bytes);
        EditMode("S", "Listed", kAccess);
        form.Form_Load();
    }
    Form6 form{context, windows};
};

TEST_CASE("Form6 opens in add mode as designed") {
    AddFixture f;
    Form6& e = f.form;
    CHECK(e.Caption == "Add DSN Script for Microsoft Access");
    CHECK(e.OuterHeight == 4695);
    CHECK(e.Label3.caption == "Database:");
    CHECK(e.Option1.selected);
    CHECK_FALSE(e.Option2.selected);
    CHECK(e.Option2.caption == "Da&tabase:");
    CHECK_FALSE(e.Command5.enabled);
    CHECK(e.Text3.text == "5");
    CHECK(e.Text4.text == "2048");
    CHECK_FALSE(e.Check1.checked);
    CHECK_FALSE(e.Check2.checked);
    CHECK_FALSE(e.Command4.enabled);
    CHECK(e.Command6.enabled);
    CHECK(e.Command7.enabled);
    CHECK(e.Command7.caption == "&Options>>");
}

TEST_CASE("Form6: a name alone, saved") {
    AddFixture f;
    f.form.Text1_Change("A");
    f.form.Command4_Click();
    REQUIRE(f.form.closed());
    CHECK(f.Section("A") == KeyLines{"DSN_Driver=Microsoft Access Driver (*.mdb)", "PageTimeout=5",
                                     "MaxBufferSize=2048", "Exclusive=0", "ReadOnly=0"});
    // No DBQ was tried at all; SystemDB was removed (it was never there).
    for (const std::string& write : f.ProfileWrites())
        CHECK(write.find("|DBQ") == std::string::npos);
    CHECK(f.status.text == "Microsoft Access Driver (*.mdb) DSN script added.");
}

TEST_CASE("Form6: choosing the database") {
    AddFixture f;
    Form6& e = f.form;
    e.Text1_Change("A");
    f.shared.ScriptDirty = false;

    SUBCASE("cancelled: nothing changes") {
        e.Command3_Click();
        CHECK(e.Label3.caption == "Database:");
        CHECK_FALSE(f.shared.ScriptDirty);
    }
    SUBCASE("a chosen file shows in the label and is saved as DBQ") {
        f.recording.open_file_answers.push_back("C:\\data\\sales.mdb");
        e.Command3_Click();
        CHECK(e.Label3.caption == "Database: C:\\data\\sales.mdb");
        CHECK(f.shared.ScriptDirty);
        e.Command4_Click();
        CHECK(f.Read("A", "DBQ") == "C:\\data\\sales.mdb");
        CHECK(f.Section("A").at(1) == "DBQ=C:\\data\\sales.mdb");
    }
    const std::string open_file =
        "OpenFile Select Database|Access Databases (*.mdb)\\0*.mdb\\0All Files (*.*)\\0*.*"
        "\\0\\0|C:\\";
    CHECK(std::count(f.recording.calls.begin(), f.recording.calls.end(), open_file) == 1);
}

TEST_CASE("Form6: the system database") {
    AddFixture f;
    Form6& e = f.form;
    e.Text1_Change("A");
    f.shared.ScriptDirty = false;

    e.Option2_Click();
    CHECK(f.shared.ScriptDirty);
    CHECK(e.Option2.selected);
    CHECK_FALSE(e.Option1.selected);
    CHECK(e.Command5.enabled);

    SUBCASE("selected but no file ever chosen: SystemDB is removed") {
        e.Command4_Click();
        CHECK(f.Read("A", "SystemDB") == "");
    }
    SUBCASE("a chosen file, then Non&e, then Da&tabase: again") {
        f.recording.open_file_answers.push_back("C:\\sys\\system.mdw");
        f.shared.ScriptDirty = false;
        e.Command5_Click();
        CHECK(f.recording.calls.back() ==
              "OpenFile Select System Database|System Databases (*.mda;*.mdw)\\0*.mda;*.mdw\\0"
              "All Files (*.*)\\0*.*\\0\\0|C:\\");
        CHECK(f.shared.ScriptDirty);
        CHECK(e.Option2.caption == "Da&tabase: C:\\sys\\system.mdw");

        e.Option1_Click();
        CHECK_FALSE(e.Command5.enabled);
        CHECK(e.Option2.caption == "Da&tabase: C:\\sys\\system.mdw");

        SUBCASE("saved with Non&e: SystemDB removed") {
            e.Command4_Click();
            CHECK(f.Read("A", "SystemDB") == "");
        }
        SUBCASE("Da&tabase: again: the same path comes back into use") {
            e.Option2_Click();
            e.Command4_Click();
            CHECK(f.Read("A", "SystemDB") == "C:\\sys\\system.mdw");
        }
    }
    SUBCASE("the chooser cancelled changes nothing") {
        f.shared.ScriptDirty = false;
        e.Command5_Click();
        CHECK(e.Option2.caption == "Da&tabase:");
        CHECK_FALSE(f.shared.ScriptDirty);
    }
}

TEST_CASE("Form6: the system database button works only while Da&tabase: is selected") {
    AddFixture f;
    f.recording.open_file_answers.push_back("C:\\x.mdw");
    f.form.Command5_Click();
    CHECK(f.recording.calls.empty());
    CHECK(f.form.Option2.caption == "Da&tabase:");
}

TEST_CASE("Form6 in edit mode") {
    SUBCASE("loads every key") {
        EditFixture f({"Description=From file", "DBQ=C:\\a.mdb", "SystemDB=C:\\s.mdw",
                       "PageTimeout=10", "MaxBufferSize=4096", "Exclusive=1", "ReadOnly=1"});
        Form6& e = f.form;
        CHECK(e.Caption == "Edit DSN Script for Microsoft Access");
        CHECK(e.OuterHeight == 4695);
        CHECK(e.Text1.text == "S");
        CHECK(e.Text2.text == "From file");
        CHECK(e.Label3.caption == "Database: C:\\a.mdb");
        CHECK(e.Option2.selected);
        CHECK(e.Option2.caption == "Da&tabase: C:\\s.mdw");
        CHECK(e.Command5.enabled);
        CHECK(e.Text3.text == "10");
        CHECK(e.Text4.text == "4096");
        CHECK(e.Check1.checked);
        CHECK(e.Check2.checked);
        CHECK_FALSE(f.shared.ScriptDirty);
        e.Command4_Click();
        CHECK(f.Section("S") == KeyLines{"DSN_Driver=Microsoft Access Driver (*.mdb)",
                                         "Description=From file", "DBQ=C:\\a.mdb",
                                         "SystemDB=C:\\s.mdw", "PageTimeout=10",
                                         "MaxBufferSize=4096", "Exclusive=1", "ReadOnly=1"});
    }
    SUBCASE("a script without DBQ shows \"Database: \" and saves an empty DBQ") {
        EditFixture f({});
        CHECK(f.form.Label3.caption == "Database: ");
        CHECK(f.form.Option1.selected);
        CHECK_FALSE(f.form.Command5.enabled);
        f.form.Command4_Click();
        const std::vector<std::string> writes = f.ProfileWrites();
        CHECK(std::find(writes.begin(), writes.end(), "ProfileDeleteKey " + f.ini + "|S|DBQ") !=
              writes.end());
    }
    SUBCASE("missing numbers open empty and are removed unless the field is left") {
        EditFixture f({"PageTimeout=10"});
        CHECK(f.form.Text4.text.empty());
        f.form.Text3_Change("");
        f.form.Text3_LostFocus();
        CHECK(f.form.Text3.text == "0");
        f.form.Command4_Click();
        CHECK(f.Read("S", "PageTimeout") == "0");
        CHECK(f.Read("S", "MaxBufferSize") == "");
    }
    SUBCASE("Exclusive and ReadOnly other than \"1\" open unchecked and are saved as \"0\"") {
        EditFixture f({"Exclusive=Yes", "ReadOnly=true"});
        CHECK_FALSE(f.form.Check1.checked);
        CHECK_FALSE(f.form.Check2.checked);
        f.form.Command4_Click();
        CHECK(f.Read("S", "Exclusive") == "0");
        CHECK(f.Read("S", "ReadOnly") == "0");
    }
}

TEST_CASE("Form6: changes that set ScriptDirty") {
    AddFixture f;
    Form6& e = f.form;
    e.Command7_Click();  // the driver options within reach
    auto dirty_after = [&](auto action) {
        f.shared.ScriptDirty = false;
        action();
        return f.shared.ScriptDirty;
    };
    CHECK(dirty_after([&] { e.Text2_Change("d"); }));
    CHECK(dirty_after([&] { e.Text3_Change("7"); }));
    CHECK(dirty_after([&] { e.Text4_Change("7"); }));
    CHECK(dirty_after([&] { e.Check1_Click(); }));
    CHECK(dirty_after([&] { e.Check2_Click(); }));
    CHECK(dirty_after([&] { e.Option1_Click(); }));
    CHECK(e.Check1.checked);
    CHECK(e.Check2.checked);
}

TEST_CASE("Form6: the digits-only fields") {
    AddFixture f;
    CHECK(f.form.Text3_KeyPress('4') == '4');
    CHECK(f.form.Text3_KeyPress('.') == 0);
    CHECK(f.form.Text4_KeyPress(22) == 0);  // Ctrl+V
    f.form.Text4_Change("0042abc");
    f.form.Text4_LostFocus();
    CHECK(f.form.Text4.text == "42");
}

TEST_CASE("Form6: &Options>> lengthens the form once; till then the frame Driver is out of reach") {
    AddFixture f;
    Form6& e = f.form;
    const std::vector<const bool*> driver = {
        &e.Frame3.visible, &e.Label4.visible, &e.Text3.visible, &e.Label5.visible,
        &e.Text4.visible,  &e.Check1.visible, &e.Check2.visible};
    for (const bool* shown : driver) CHECK_FALSE(*shown);
    CHECK((e.Frame2.visible && e.Option2.visible && e.Command5.visible && e.Command7.visible));
    e.Text1_Change("A");
    f.shared.ScriptDirty = false;
    e.Check1_Click();
    e.Check2_Click();
    CHECK_FALSE((e.Check1.checked || e.Check2.checked || f.shared.ScriptDirty));
    e.Command7_Click();
    CHECK(e.OuterHeight == 6180);
    CHECK_FALSE(e.Command7.enabled);
    for (const bool* shown : driver) CHECK(*shown);
    CHECK((e.Text3.text == "5" && e.Text4.text == "2048"));
    e.Check1_Click();
    CHECK(e.Check1.checked);
    e.Command7_Click();
    CHECK(e.OuterHeight == 6180);
    // The next opening starts short again.
    Form6 next(f.context, f.windows);
    next.Form_Load();
    CHECK(next.OuterHeight == 4695);
    CHECK(next.Command7.enabled);
}

TEST_CASE("Form6: &Advanced... and the editor's own changes") {
    SUBCASE("an earlier change still makes Cancel ask after an untouched advanced dialog") {
        AddFixture f;
        f.form.Text1_Change("A");
        f.form.Text2_Change("typed");
        f.windows.form7 = [](Form7& d) { d.Command2_Click(); };
        f.form.Command6_Click();
        CHECK(f.windows.shown == std::vector<std::string>{"Form7"});
        CHECK(f.shared.ScriptDirty);
        f.recording.message_answers.push_back(MsgAnswer::No);
        f.form.Command2_Click();
        CHECK(f.MessageBoxes() == std::vector<std::string>{QuestionLine(kQuestion)});
        CHECK(f.form.closed());
    }
    SUBCASE("no change anywhere: Cancel closes without the question") {
        EditFixture f({});
        f.windows.form7 = [](Form7& d) { d.Command2_Click(); };
        f.form.Command6_Click();
        CHECK_FALSE(f.shared.ScriptDirty);
        f.form.Command2_Click();
        CHECK(f.MessageBoxes().empty());
        CHECK(f.form.closed());
    }
    SUBCASE("a change in the advanced dialog counts") {
        EditFixture f({});
        f.windows.form7 = [](Form7& d) {
            d.Text1_Change("user");
            d.Form_KeyPress(kKeyAsciiEscape);
        };
        f.form.Command6_Click();
        CHECK(f.shared.ScriptDirty);
    }
}

TEST_CASE("Form6: the advanced dialog works on the name typed at that moment") {
    EditFixture f({"UID=old"});
    f.form.Text1_Change("  Renamed ");
    std::string seen_name;
    std::string seen_uid;
    f.windows.form7 = [&](Form7& d) {
        seen_name = d.ScriptName();
        seen_uid = d.Text1.text;
        d.Text1_Change("new");
        d.Command1_Click();
    };
    f.form.Command6_Click();
    CHECK(seen_name == "Renamed");
    CHECK(seen_uid.empty());
    CHECK(f.Read("Renamed", "UID") == "new");
    CHECK(f.Read("S", "UID") == "old");
}

TEST_CASE("Form6: after the advanced dialog saved, the row shows the description the file holds") {
    const char* ways[] = {"Escape", "Cancel, No", "close box", "Save"};
    for (const char* way : ways) {
        CAPTURE(way);
        EditFixture f({"Description=Stored"});
        f.form.Text2_Change("Typed");
        f.windows.form7 = [](Form7& d) { d.Command1_Click(); };
        f.form.Command6_Click();
        CHECK(f.shared.ScriptSaved);
        f.recording.message_answers.push_back(MsgAnswer::No);
        const std::string w = way;
        if (w == "Escape") f.form.Form_KeyPress(kKeyAsciiEscape);
        if (w == "Cancel, No") f.form.Command2_Click();
        if (w == "close box") f.form.Form_Unload();
        if (w == "Save") f.form.Command4_Click();
        REQUIRE(f.form.closed());
        const std::string held = w == "Save" ? "Typed" : "Stored";
        CHECK(f.Read("S", "Description") == held);
        CHECK(f.list.Row(1).description == held);
    }
}

TEST_CASE("Form6: its own Save comes last, so its driver fields win") {
    EditFixture f({});
    f.form.Command7_Click();
    f.form.Text3_Change("30");
    f.form.Check2_Click();
    f.windows.form7 = [](Form7& d) { d.Command1_Click(); };
    f.form.Command6_Click();
    CHECK(f.Read("S", "PageTimeout") == "5");
    CHECK(f.Read("S", "ReadOnly") == "0");
    f.form.Command4_Click();
    CHECK(f.Read("S", "PageTimeout") == "30");
    CHECK(f.Read("S", "ReadOnly") == "1");
    CHECK(f.Read("S", "MaxScanRows") == "8");
}

}  // namespace
}  // namespace vendaro
