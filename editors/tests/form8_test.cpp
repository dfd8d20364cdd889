// The dBase editor: version and collating sequence, the directory label and "&Use Current
// Directory", the folder of the picked file, and the heights.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "editors/form8.h"
#include "editors/tests/test_support.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::KeyLines;

constexpr const char* kDbase = "Microsoft dBase Driver (*.dbf)";

struct AddFixture : EditorFixture {
    AddFixture() {
        AddMode();
        form.Form_Load();
    }
    Form8 form{context};
};

struct EditFixture : EditorFixture {
    explicit EditFixture(const std::vector<std::string>& keys) {
        std::string bytes = "[S]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\n";
        for (const std::string& key : keys) bytes += key + "\r\n";
        Given(bytes);
        EditMode("S", "Listed", kDbase);
        form.Form_Load();
    }
    Form8 form{context};
};

TEST_CASE("Form8 opens in add mode as designed") {
    AddFixture f;
    Form8& e = f.form;
    CHECK(e.Caption == "Add DSN Script for dBase");
    CHECK(e.OuterHeight == 3250);
    CHECK(e.Combo1.items == std::vector<std::string>{"dBase III", "dBase IV", "dBase 5.0"});
    CHECK(e.Combo1.text() == "dBase 5.0");
    CHECK(e.Combo2.items == std::vector<std::string>{"ASCII", "International", "Norwegian-Danish",
                                                     "Swedish-Finnish"});
    CHECK(e.Combo2.text() == "ASCII");
    // The program's own directory, without its trailing separator.
    std::string app_dir = f.store.AppDir();
    app_dir.pop_back();
    CHECK(e.Label4.caption == "Directory: " + app_dir);
    CHECK(e.ShownDirectory() == app_dir);
    CHECK(e.Check1.checked);
    CHECK_FALSE(e.Command4.enabled);
    CHECK(e.Text3.text == "600");
    CHECK_FALSE(e.Check2.checked);
    CHECK_FALSE(e.Check3.checked);
    CHECK_FALSE(e.Check4.checked);
    CHECK_FALSE(e.Command1.enabled);
    CHECK(e.Command3.enabled);
    CHECK_FALSE(f.shared.ScriptDirty);
}

TEST_CASE("Form8: a name alone, saved, names no directory") {
    AddFixture f;
    f.form.Text1_Change("D");
    f.form.Command1_Click();
    REQUIRE(f.form.closed());
    CHECK(f.Section("D") == KeyLines{"DSN_Driver=Microsoft dBase Driver (*.dbf)", "FIL=dBase 5.0",
                                     "CollatingSequence=ASCII", "PageTimeout=600", "Exclusive=0",
                                     "Deleted=0", "Statistics=0"});
    CHECK(f.status.text == "Microsoft dBase Driver (*.dbf) DSN script added.");
}

TEST_CASE("Form8: unchecking the box without choosing saves the program's own directory") {
    AddFixture f;
    f.form.Text1_Change("D");
    f.shared.ScriptDirty = false;
    f.form.Check1_Click();
    CHECK_FALSE(f.form.Check1.checked);
    CHECK(f.form.Command4.enabled);
    CHECK_FALSE(f.shared.ScriptDirty);
    f.form.Command1_Click();
    std::string app_dir = f.store.AppDir();
    app_dir.pop_back();
    CHECK(f.Read("D", "DefaultDir") == app_dir);
}

TEST_CASE("Form8: choosing the directory by picking a file in it") {
    AddFixture f;
    Form8& e = f.form;
    e.Text1_Change("D");
    e.Check1_Click();
    f.shared.ScriptDirty = false;
    const std::string start = e.ShownDirectory();

    struct Row {
        const char* picked;
        const char* caption;
    };
    const Row rows[] = {
        {"C:\\dbase\\tables\\people.dbf", "Directory: C:\\dbase\\tables"},
        {"C:\\people.dbf", "Directory: C:"},
        {"D:\\x\\y\\z.txt", "Directory: D:\\x\\y"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.picked);
        f.recording.open_file_answers.push_back(row.picked);
        e.Command4_Click();
        CHECK(e.Label4.caption == row.caption);
    }
    // Each chooser starts in the directory shown at that moment.
    const std::string open_file =
        "OpenFile Select Directory|dBase Files (*.dbf)\\0*.dbf\\0All Files (*.*)\\0*.*\\0\\0|";
    CHECK(f.recording.calls == std::vector<std::string>{open_file + start,
                                                        open_file + "C:\\dbase\\tables",
                                                        open_file + "C:"});
    // Choosing a directory is no change of the script.
    CHECK_FALSE(f.shared.ScriptDirty);

    SUBCASE("cancelled: the directory stays") {
        e.Command4_Click();
        CHECK(e.Label4.caption == "Directory: D:\\x\\y");
    }
    SUBCASE("saved") {
        e.Command1_Click();
        CHECK(f.Read("D", "DefaultDir") == "D:\\x\\y");
    }
    SUBCASE("checked again: the directory is shown but not saved") {
        e.Check1_Click();
        CHECK_FALSE(e.Command4.enabled);
        CHECK(e.Label4.caption == "Directory: D:\\x\\y");
        e.Command1_Click();
        CHECK(f.Read("D", "DefaultDir") == "");
    }
}

TEST_CASE("Form8: the directory button works only while the box is unchecked") {
    AddFixture f;
    f.recording.open_file_answers.push_back("C:\\a\\b.dbf");
    f.form.Command4_Click();
    CHECK(f.recording.calls.empty());
}

TEST_CASE("Form8 in edit mode") {
    SUBCASE("loads every key") {
        EditFixture f({"Description=From file", "FIL=dBase III", "DefaultDir=C:\\tables",
                       "CollatingSequence=Swedish-Finnish", "PageTimeout=30", "Exclusive=1",
                       "Deleted=1", "Statistics=1"});
        Form8& e = f.form;
        CHECK(e.Caption == "Edit DSN Script for dBase");
        CHECK(e.OuterHeight == 3250);
        CHECK(e.Text1.text == "S");
        CHECK(e.Text2.text == "From file");
        CHECK(e.Combo1.text() == "dBase III");
        CHECK(e.Label4.caption == "Directory: C:\\tables");
        CHECK_FALSE(e.Check1.checked);
        CHECK(e.Command4.enabled);
        CHECK(e.Combo2.text() == "Swedish-Finnish");
        CHECK(e.Text3.text == "30");
        CHECK(e.Check2.checked);
        CHECK(e.Check3.checked);
        CHECK(e.Check4.checked);
        CHECK_FALSE(f.shared.ScriptDirty);
        e.Command1_Click();
        CHECK(f.Section("S") == KeyLines{"DSN_Driver=Microsoft dBase Driver (*.dbf)",
                                         "Description=From file", "FIL=dBase III",
                                         "DefaultDir=C:\\tables",
                                         "CollatingSequence=Swedish-Finnish", "PageTimeout=30",
                                         "Exclusive=1", "Deleted=1", "Statistics=1"});
        CHECK(f.status.text == "Microsoft dBase Driver (*.dbf) DSN script edited.");
    }
    SUBCASE("a script without DefaultDir: box checked, label without a directory") {
        EditFixture f({});
        CHECK(f.form.Check1.checked);
        CHECK(f.form.Label4.caption == "Directory:");
        CHECK(f.form.ShownDirectory().empty());
        // Unchecked without a choice: an empty DefaultDir; the chooser starts nowhere.
        f.form.Check1_Click();
        f.form.Command4_Click();
        CHECK(f.recording.calls.back().substr(f.recording.calls.back().size() - 1) == "|");
        f.form.Command1_Click();
        CHECK(f.Read("S", "DefaultDir") == "");
    }
    SUBCASE("a missing page timeout opens empty and is removed unless the field is left") {
        EditFixture f({});
        CHECK(f.form.Text3.text.empty());
        f.form.Command1_Click();
        CHECK(f.Read("S", "PageTimeout") == "");
        EditFixture g({});
        g.form.Text3_LostFocus();
        CHECK(g.form.Text3.text == "0");
        g.form.Command1_Click();
        CHECK(g.Read("S", "PageTimeout") == "0");
    }
    SUBCASE("check values other than \"1\" open unchecked and are saved as \"0\"") {
        EditFixture f({"Exclusive=Yes", "Deleted=true", "Statistics=-1"});
        CHECK_FALSE(f.form.Check2.checked);
        CHECK_FALSE(f.form.Check3.checked);
        CHECK_FALSE(f.form.Check4.checked);
        f.form.Command1_Click();
        CHECK(f.Read("S", "Exclusive") == "0");
        CHECK(f.Read("S", "Deleted") == "0");
        CHECK(f.Read("S", "Statistics") == "0");
    }
    SUBCASE("a stored version or collating sequence that is no item is shown and kept") {
        EditFixture f({"FIL=DBASE IV", "CollatingSequence=Klingon"});
        Form8& e = f.form;
        CHECK(e.Combo1.items ==
              std::vector<std::string>{"dBase III", "dBase IV", "dBase 5.0", "DBASE IV"});
        CHECK(e.Combo1.text() == "DBASE IV");
        CHECK(e.Combo2.items.size() == 5);
        CHECK(e.Combo2.text() == "Klingon");
        CHECK_FALSE(f.shared.ScriptDirty);
        SUBCASE("Save writes both back unchanged") {}
        SUBCASE("another item picked is saved; the other value stays") {
            e.Combo1_Click(1);
        }
        e.Command1_Click();
        CHECK(f.Read("S", "FIL") == e.Combo1.text());
        CHECK(f.Read("S", "CollatingSequence") == "Klingon");
    }
    SUBCASE("no stored version or collating sequence: the design items stay") {
        EditFixture f({});
        CHECK(f.form.Combo1.items.size() == 3);
        CHECK(f.form.Combo1.text() == "dBase 5.0");
        CHECK(f.form.Combo2.text() == "ASCII");
    }
}

TEST_CASE("Form8: changes that set ScriptDirty, and those that do not") {
    AddFixture f;
    Form8& e = f.form;
    e.Command3_Click();  // the driver options within reach
    auto dirty_after = [&](auto action) {
        f.shared.ScriptDirty = false;
        action();
        return f.shared.ScriptDirty;
    };
    CHECK(dirty_after([&] { e.Text2_Change("d"); }));
    CHECK(dirty_after([&] { e.Text3_Change("60"); }));
    CHECK(dirty_after([&] { e.Combo1_Click(0); }));
    CHECK(dirty_after([&] { e.Combo2_Click(3); }));
    CHECK(dirty_after([&] { e.Check2_Click(); }));
    CHECK(dirty_after([&] { e.Check3_Click(); }));
    CHECK(dirty_after([&] { e.Check4_Click(); }));
    CHECK_FALSE(dirty_after([&] { e.Check1_Click(); }));
    CHECK(e.Combo1.text() == "dBase III");
    CHECK(e.Combo2.text() == "Swedish-Finnish");

    SUBCASE("a directory change alone lets Cancel close without the question") {
        EditFixture g({});
        g.form.Check1_Click();
        g.form.Command2_Click();
        CHECK(g.form.closed());
        CHECK(g.MessageBoxes().empty());
    }
}

TEST_CASE("Form8: the digits-only page timeout") {
    AddFixture f;
    CHECK(f.form.Text3_KeyPress('9') == '9');
    CHECK(f.form.Text3_KeyPress('e') == 0);
    f.form.Text3_Change("2e3");
    f.form.Text3_LostFocus();
    CHECK(f.form.Text3.text == "2000");
}

TEST_CASE("Form8: &Options>> lengthens the form once; till then the frame Driver is out of reach") {
    AddFixture f;
    Form8& e = f.form;
    const std::vector<const bool*> driver = {
        &e.Frame2.visible, &e.Label5.visible, &e.Combo2.visible, &e.Label6.visible,
        &e.Text3.visible,  &e.Check2.visible, &e.Check3.visible, &e.Check4.visible};
    for (const bool* shown : driver) CHECK_FALSE(*shown);
    CHECK((e.Frame1.visible && e.Combo1.visible && e.Check1.visible && e.Command3.visible));
    f.shared.ScriptDirty = false;
    e.Combo2_Click(2);
    e.Check2_Click();
    e.Check3_Click();
    e.Check4_Click();
    CHECK_FALSE((e.Check2.checked || e.Check3.checked || e.Check4.checked || f.shared.ScriptDirty));
    CHECK(e.Combo2.text() == "ASCII");
    e.Command3_Click();
    for (const bool* shown : driver) CHECK(*shown);
    CHECK(e.Text3.text == "600");
    e.Check3_Click();
    CHECK(e.Check3.checked);
    CHECK(f.form.OuterHeight == 4590);
    CHECK_FALSE(f.form.Command3.enabled);
    f.form.Command3_Click();
    CHECK(f.form.OuterHeight == 4590);
}

}  // namespace
}  // namespace vendaro
