// The SQL Server editor's own rules: untrimmed values and the driver path's folder chooser.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "editors/form4.h"
#include "editors/tests/test_support.h"
#include "shell/pickers.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::KeyLines;

TEST_CASE("Form4: server, database, driver path and user ID are stored as typed") {
    EditorFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();
    form.Text1_Change("Q");
    form.Text2_Change(" Described ");
    form.Text3_Change("alpha ");
    form.Text4_Change(" db");
    form.Text5_Change(" C:\\Drivers ");
    form.Text6_Change("sa ");
    form.Command4_Click();
    const std::string set = "ProfileSet " + f.ini + "|Q|";
    CHECK(f.ProfileWrites() ==
          std::vector<std::string>{set + "DSN_Driver=SQL Server", set + "Description=Described",
                                   set + "Server=alpha ", set + "Database= db",
                                   set + "Driver= C:\\Drivers ", set + "LastUser=sa "});
#ifndef _WIN32
    // The profile functions trim values as they read them, so the file's bytes tell. (Wine's
    // kernel32 drops blanks around values it rewrites; Windows and this project's own profile
    // keep them.)
    CHECK(f.Section("Q") == KeyLines{"DSN_Driver=SQL Server", "Description=Described",
                                     "Server=alpha ", "Database= db", "Driver= C:\\Drivers ",
                                     "LastUser=sa "});
#endif
}

TEST_CASE("Form4: clearing the user ID in edit mode removes LastUser") {
    EditorFixture f;
    f.Given("[Q]\r\nDSN_Driver=SQL Server\r\nLastUser=sa\r\nServer=s\r\n");
    f.EditMode("Q", "", "SQL Server");
    Form4 form(f.context);
    form.Form_Load();
    CHECK(form.Text6.text == "sa");
    form.Text6_Change("");
    form.Command4_Click();
    CHECK(f.Section("Q") == KeyLines{"DSN_Driver=SQL Server", "Server=s"});
}

TEST_CASE("Form4: a missing key shows an empty field") {
    EditorFixture f;
    f.Given("[Q]\r\nDSN_Driver=SQL Server\r\n");
    f.EditMode("Q", "listed", "SQL Server");
    Form4 form(f.context);
    form.Form_Load();
    CHECK(form.Text2.text.empty());
    for (const TextBox* box : {&form.Text3, &form.Text4, &form.Text5, &form.Text6}) {
        CHECK(box->text.empty());
    }
}

TEST_CASE("Form4: the driver path's folder chooser") {
    EditorFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();
    form.SetWindowHandle(77);
    form.Text1_Change("Q");
    form.Text5_Change("  C:\\Old\\file.dll ");
    f.shared.ScriptDirty = false;

    SUBCASE("cancelled: the field stays as it was") {
        form.Command1_Click();
        CHECK(form.Text5.text == "  C:\\Old\\file.dll ");
        CHECK_FALSE(f.shared.ScriptDirty);
    }
    SUBCASE("a chosen folder replaces the whole field") {
        f.recording.folder_answers.push_back("D:\\Drivers");
        form.Command1_Click();
        CHECK(form.Text5.text == "D:\\Drivers");
        CHECK(f.shared.ScriptDirty);
    }
    // The start folder is the field's text without the blanks around it.
    CHECK(f.recording.calls.back() == "BrowseFolder Select a driver path|C:\\Old\\file.dll");
}

TEST_CASE("Form4: the first non-blank character of the name enables Save") {
    EditorFixture f;
    f.AddMode();
    Form4 form(f.context);
    form.Form_Load();
    CHECK_FALSE(form.Command4.enabled);
    form.Text1_Change(" ");
    CHECK_FALSE(form.Command4.enabled);
    form.Text1_Change(" x");
    CHECK(form.Command4.enabled);
}

}  // namespace
}  // namespace vendaro
