// The Adaptive Server Anywhere editor: its pages, enable rules, load rules and key table.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "editors/form5.h"
#include "editors/tests/test_support.h"
#include "store/cipher.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::KeyLines;
using test::RefusalLine;

constexpr const char* kAsa = "Adaptive Server Anywhere 6.0";

struct AddFixture : EditorFixture {
    AddFixture() {
        AddMode();
        form.Form_Load();
    }
    Form5 form{context};
};

// Edit mode on a script "S" whose section holds `keys` (lines "key=value").
struct EditFixture : EditorFixture {
    explicit EditFixture(const std::vector<std::string>& keys,
                         const std::string& description = "From the list") {
        std::string bytes = "[S]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n";
        for (const std::string& key : keys) bytes += key + "\r\n";
        Given(bytes);
        EditMode("S", description, kAsa);
        form.Form_Load();
    }
    Form5 form{context};
};

TEST_CASE("Form5 opens in add mode as designed") {
    AddFixture f;
    Form5& e = f.form;
    CHECK(e.Caption == "Add DSN Script for Adaptive Server Anywhere");
    CHECK(e.active_page == 2);
    CHECK(std::string(Form5::kPages[e.active_page]) == "Database");
    // "ODBC"
    CHECK(e.Text1.text.empty());
    CHECK(e.Text3.text.empty());
    for (const CheckBox* box : {&e.Check1, &e.Check2, &e.Check3, &e.Check4}) {
        CHECK_FALSE(box->checked);
    }
    CHECK_FALSE(e.Option1.selected);
    CHECK(e.Option2.selected);
    CHECK_FALSE(e.Option3.selected);
    // "Login"
    CHECK_FALSE(e.Option4.selected);
    CHECK(e.Option5.selected);
    CHECK(e.Text4.enabled);
    CHECK(e.Text5.enabled);
    CHECK(e.Text5.password);
    CHECK_FALSE(e.Check5.checked);
    CHECK_FALSE(e.Check5.enabled);
    // "Database"
    CHECK(e.Check6.checked);
    CHECK_FALSE(e.Check6.enabled);
    CHECK(e.Check7.checked);
    CHECK(e.Command3.enabled);
    // "Network"
    for (const CheckBox* box : {&e.Check8, &e.Check9, &e.Check10, &e.Check11}) {
        CHECK_FALSE(box->checked);
    }
    for (const TextBox* field : {&e.Text10, &e.Text11, &e.Text12}) {
        CHECK(field->text.empty());
        CHECK_FALSE(field->enabled);
        CHECK(field->background() == FieldBackground::ButtonFace);
    }
    CHECK(e.Text13.text == "120");
    CHECK_FALSE(e.Text13.enabled);
    CHECK(e.Text14.text == "512");
    CHECK(e.Text14.enabled);
    CHECK(e.Text14.background() == FieldBackground::Window);
    CHECK(e.Text15.text == "5");
    CHECK(e.Label11.caption == "&Liveness timeout:" + std::string(27, ' ') + "seconds");
    CHECK(e.Label12.caption == "Buffer &size:" + std::string(37, ' ') + "bytes");
    CHECK(e.Label13.caption == "B&uffer space:" + std::string(34, ' ') + "KB");
    // "Advanced"
    CHECK(e.Check12.checked);
    CHECK_FALSE(e.Check13.checked);
    CHECK_FALSE(e.Label16.enabled);
    CHECK_FALSE(e.Text18.enabled);
    CHECK(e.Text18.background() == FieldBackground::ButtonFace);
    CHECK_FALSE(e.Command4.enabled);
    CHECK(e.Command2.enabled);
}

TEST_CASE("Form5: a name alone, saved, writes exactly the default keys in order") {
    AddFixture f;
    f.form.Text1_Change("N");
    f.form.Command4_Click();
    REQUIRE(f.form.closed());
    CHECK(f.Bytes() ==
          "[N]\r\n"
          "DSN_Driver=Adaptive Server Anywhere 6.0\r\n"
          "KeysInSQLStatistics=No\r\n"
          "Delphi=No\r\n"
          "PreventNotCapable=No\r\n"
          "LazyAutoCommit=No\r\n"
          "DescribeCursor=Yes\r\n"
          "Integrated=No\r\n"
          "AutoStart=Yes\r\n"
          "AutoStop=Yes\r\n"
          "Encryption=No\r\n"
          "LivenessTimeout=120\r\n"
          "CommBufferSize=512\r\n"
          "CommBufferSpace=5\r\n"
          "DisableMultiRowFetch=No\r\n"
          "Debug=No\r\n");
    CHECK(f.status.text == "Adaptive Server Anywhere 6.0 DSN script added.");
}

TEST_CASE("Form5: every field saved under its key, in the table's order") {
    AddFixture f;
    Form5& e = f.form;
    e.Text1_Change("Full");
    e.Text2_Change(" Desc ");
    e.Text3_Change(" 1 ");
    e.Check1_Click();
    e.Check2_Click();
    e.Check3_Click();
    e.Check4_Click();
    e.Option3_Click();
    e.Text4_Change(" dba ");
    e.Text5_Change(" sql ");
    e.Text6_Change(" eng ");
    e.Text7_Change(" dbeng6 ");
    e.Text8_Change(" db ");
    e.Text9_Change(" C:\\a.db ");
    e.Check7_Click();
    e.Check8_Click();
    e.Text10_Change(" host=x ");
    e.Check10_Click();
    e.Check11_Click();
    e.Text14_Change("1024");
    e.Text16_Change(" conn ");
    e.Text17_Change(" cp1252 ");
    e.Check12_Click();
    e.Check13_Click();
    e.Text18_Change(" C:\\log.txt ");
    e.Command4_Click();
    REQUIRE(e.closed());
    CHECK(f.Section("Full") == KeyLines{"DSN_Driver=Adaptive Server Anywhere 6.0",
                                        "Description=Desc",
                                        "IsolationLevel=1",
                                        "KeysInSQLStatistics=Yes",
                                        "Delphi=Yes",
                                        "PreventNotCapable=Yes",
                                        "LazyAutoCommit=Yes",
                                        "DescribeCursor=Always",
                                        "UID=dba",
                                        "PWD=" + EncipherText("sql", "marigold"),
                                        "Integrated=No",
                                        "Database=db",
                                        "Start=dbeng6",
                                        "EngineName=eng",
                                        "DatabaseFile=C:\\a.db",
                                        "AutoStart=Yes",
                                        "AutoStop=No",
                                        "CommLinks=TCPIP{host=x},NetBIOS{}",
                                        "Encryption=Yes",
                                        "LivenessTimeout=120",
                                        "CommBufferSize=1024",
                                        "CommBufferSpace=5",
                                        "ConnectionName=conn",
                                        "Charset=cp1252",
                                        "DisableMultiRowFetch=Yes",
                                        "LogFile=C:\\log.txt",
                                        "Debug=Yes"});
}

TEST_CASE("Form5: the cursor options are stored as No, Yes and Always") {
    struct Row {
        void (Form5::*click)();
        const char* stored;
    };
    const Row rows[] = {{&Form5::Option1_Click, "DescribeCursor=No"},
                        {&Form5::Option2_Click, "DescribeCursor=Yes"},
                        {&Form5::Option3_Click, "DescribeCursor=Always"}};
    for (const Row& row : rows) {
        AddFixture f;
        f.form.Text1_Change("C");
        (f.form.*row.click)();
        CHECK(f.shared.ScriptDirty);
        f.form.Command4_Click();
        CHECK(f.Section("C").at(5) == row.stored);
    }
}

TEST_CASE("Form5: integrated login and the user ID fields") {
    AddFixture f;
    Form5& e = f.form;
    e.Text1_Change("I");
    e.Text4_Change("dba");
    f.shared.ScriptDirty = false;

    e.Option4_Click();
    CHECK(f.shared.ScriptDirty);
    CHECK(e.Option4.selected);
    CHECK_FALSE(e.Option5.selected);
    for (bool enabled : {e.Label4.enabled, e.Label5.enabled, e.Text4.enabled, e.Text5.enabled}) {
        CHECK_FALSE(enabled);
    }
    CHECK(e.Text4.background() == FieldBackground::ButtonFace);
    CHECK(e.Text4.text == "dba");
    CHECK_FALSE(e.Check5.enabled);
    CHECK(e.focus_request.empty());

    e.Option5_Click();
    for (bool enabled : {e.Label4.enabled, e.Label5.enabled, e.Text4.enabled, e.Text5.enabled}) {
        CHECK(enabled);
    }
    CHECK(e.focus_request == "Text4");
    CHECK(e.Text4.text == "dba");
    CHECK_FALSE(e.Check5.enabled);
}

TEST_CASE("Form5: the database file enables the autostart box") {
    AddFixture f;
    Form5& e = f.form;
    e.Text1_Change("D");
    e.Text9_Change("C");
    CHECK(e.Check6.enabled);
    e.Text9_Change("");
    CHECK_FALSE(e.Check6.enabled);
    CHECK(e.Check6.checked);
    e.Text9_Change(" ");  // blanks count as text
    CHECK(e.Check6.enabled);
    e.Text9_Change("");
    e.Command4_Click();
    CHECK(f.Read("D", "AutoStart") == "Yes");
    CHECK(f.Read("D", "DatabaseFile") == "");
}

TEST_CASE("Form5: the protocols enable their option fields and the liveness timeout") {
    AddFixture f;
    Form5& e = f.form;
    e.Text1_Change("P");

    SUBCASE("TCP/IP") {
        f.shared.ScriptDirty = false;
        e.Check8_Click();
        CHECK(f.shared.ScriptDirty);
        CHECK(e.Text10.enabled);
        CHECK(e.Text10.background() == FieldBackground::Window);
        CHECK(e.Text13.enabled);
        CHECK(e.focus_request == "Text10");
        e.Check8_Click();
        CHECK_FALSE(e.Text10.enabled);
        CHECK_FALSE(e.Text13.enabled);
    }
    SUBCASE("IPX") {
        e.Check9_Click();
        CHECK(e.Text11.enabled);
        CHECK(e.Text13.enabled);
        CHECK(e.focus_request == "Text11");
        e.Check9_Click();
        CHECK_FALSE(e.Text11.enabled);
        CHECK_FALSE(e.Text13.enabled);
    }
    SUBCASE("unchecking TCP/IP while IPX is checked keeps the liveness timeout") {
        e.Check8_Click();
        e.Check9_Click();
        e.Check8_Click();
        CHECK(e.Text13.enabled);
        e.Check9_Click();
        CHECK_FALSE(e.Text13.enabled);
    }
    SUBCASE("NetBIOS has no bearing on the liveness timeout") {
        e.Check10_Click();
        CHECK(e.Text12.enabled);
        CHECK(e.focus_request == "Text12");
        CHECK_FALSE(e.Text13.enabled);
        e.Check8_Click();
        e.Check10_Click();
        CHECK_FALSE(e.Text12.enabled);
        CHECK(e.Text13.enabled);
    }
    SUBCASE("an unchecked protocol keeps its option text; Save writes it only while checked") {
        e.Check8_Click();
        e.Text10_Change("abc");
        e.Check8_Click();
        CHECK(e.Text10.text == "abc");
        CHECK_FALSE(e.Text10.enabled);
        e.Check9_Click();
        e.Command4_Click();
        CHECK(f.Read("P", "CommLinks") == "IPX{}");
    }
    SUBCASE("checking it again brings the old text back into use") {
        e.Check8_Click();
        e.Text10_Change("abc");
        e.Check8_Click();
        e.Check8_Click();
        e.Command4_Click();
        CHECK(f.Read("P", "CommLinks") == "TCPIP{abc}");
    }
}

TEST_CASE("Form5: the debug box enables the log file") {
    AddFixture f;
    Form5& e = f.form;
    e.Check13_Click();
    CHECK(e.Label16.enabled);
    CHECK(e.Text18.enabled);
    CHECK(e.focus_request == "Text18");
    e.Text18_Change("C:\\log");
    e.Check13_Click();
    CHECK_FALSE(e.Label16.enabled);
    CHECK_FALSE(e.Text18.enabled);
    CHECK(e.Text18.text == "C:\\log");
}

TEST_CASE("Form5: the digits-only fields") {
    AddFixture f;
    Form5& e = f.form;
    e.Text1_Change("Num");
    CHECK(e.Text13_KeyPress('7') == '7');
    CHECK(e.Text14_KeyPress('x') == 0);
    CHECK(e.Text15_KeyPress(8) == 8);
    CHECK(e.Text15_KeyPress('-') == 0);

    e.Text13_Change("");
    e.Text13_LostFocus();
    CHECK(e.Text13.text == "0");
    e.Text14_Change("0042");
    e.Text14_LostFocus();
    CHECK(e.Text14.text == "42");
    e.Text15_Change("1000000000000000");
    e.Text15_LostFocus();
    CHECK(e.Text15.text == "1E+15");
    e.Command4_Click();
    CHECK(f.Read("Num", "LivenessTimeout") == "0");
    CHECK(f.Read("Num", "CommBufferSize") == "42");
    CHECK(f.Read("Num", "CommBufferSpace") == "1E+15");
}

TEST_CASE("Form5: leaving an unchanged numeric field counts as no change") {
    AddFixture f;
    f.form.Text14_LostFocus();
    CHECK(f.form.Text14.text == "512");
    CHECK_FALSE(f.shared.ScriptDirty);
    f.form.Text14_Change("0512");
    f.form.Text14_LostFocus();
    CHECK(f.shared.ScriptDirty);
}

TEST_CASE("Form5: the Browse button") {
    AddFixture f;
    Form5& e = f.form;
    e.SetWindowHandle(42);
    e.Text9_Change("C:\\old.db");
    f.shared.ScriptDirty = false;

    SUBCASE("cancelled: the field keeps its text") {
        e.Command3_Click();
        CHECK(e.Text9.text == "C:\\old.db");
        CHECK_FALSE(f.shared.ScriptDirty);
    }
    SUBCASE("a chosen file replaces the text") {
        f.recording.open_file_answers.push_back("D:\\new.db");
        e.Command3_Click();
        CHECK(e.Text9.text == "D:\\new.db");
        CHECK(f.shared.ScriptDirty);
        CHECK(e.Check6.enabled);
    }
    CHECK(f.recording.calls.back().rfind("OpenFile Select a Database File|Databases (*.db)\\0*.db"
                                         "\\0Write Files (*.wrt)\\0*.wrt\\0All Files (*.*)\\0*.*"
                                         "\\0\\0|C:\\",
                                         0) == 0);
}

TEST_CASE("Form5 in edit mode loads every key") {
    EditFixture f({"IsolationLevel=2",
                   "KeysInSQLStatistics=yes",
                   "Delphi=Yes",
                   "PreventNotCapable=no",
                   "LazyAutoCommit=YES",
                   "DescribeCursor=no",
                   "Integrated=No",
                   "UID=dba",
                   "PWD=" + EncipherText("sql", "marigold"),
                   "EngineName=eng",
                   "Start=dbeng6",
                   "Database=db",
                   "DatabaseFile=C:\\a.db",
                   "AutoStart=No",
                   "AutoStop=no",
                   "CommLinks=TCPIP{host=x},NetBIOS{lana=1}",
                   "Encryption=yes",
                   "LivenessTimeout=60",
                   "CommBufferSize=1024",
                   "CommBufferSpace=7",
                   "ConnectionName=conn",
                   "Charset=cp1252",
                   "DisableMultiRowFetch=No",
                   "Debug=yes",
                   "LogFile=C:\\log.txt",
                   "Description=From the file"});
    Form5& e = f.form;
    CHECK(e.Caption == "Edit DSN Script for Adaptive Server Anywhere");
    CHECK(e.active_page == 2);
    CHECK(e.Text1.text == "S");
    CHECK(e.Text2.text == "From the list");
    CHECK(e.Text3.text == "2");
    CHECK(e.Check1.checked);
    CHECK(e.Check2.checked);
    CHECK_FALSE(e.Check3.checked);
    CHECK(e.Check4.checked);
    CHECK(e.Option1.selected);
    CHECK_FALSE(e.Option2.selected);
    CHECK(e.Option5.selected);
    CHECK(e.Text4.text == "dba");
    CHECK(e.Text5.text == "sql");
    CHECK(e.Text6.text == "eng");
    CHECK(e.Text7.text == "dbeng6");
    CHECK(e.Text8.text == "db");
    CHECK(e.Text9.text == "C:\\a.db");
    CHECK(e.Check6.enabled);
    CHECK_FALSE(e.Check6.checked);
    CHECK_FALSE(e.Check7.checked);
    CHECK(e.Check8.checked);
    CHECK(e.Text10.text == "host=x");
    CHECK(e.Text10.enabled);
    CHECK_FALSE(e.Check9.checked);
    CHECK(e.Check10.checked);
    CHECK(e.Text12.text == "lana=1");
    CHECK(e.Text13.enabled);
    CHECK(e.Check11.checked);
    CHECK(e.Text13.text == "60");
    CHECK(e.Text14.text == "1024");
    CHECK(e.Text15.text == "7");
    CHECK(e.Text16.text == "conn");
    CHECK(e.Text17.text == "cp1252");
    CHECK(e.Check12.checked);
    CHECK(e.Check13.checked);
    CHECK(e.Text18.enabled);
    CHECK(e.Text18.text == "C:\\log.txt");
    CHECK_FALSE(f.shared.ScriptDirty);
    CHECK_FALSE(f.shared.ScriptSaved);
    // Rules that ran during the load moved no focus.
    CHECK(e.focus_request.empty());

    SUBCASE("saved untouched, the keys come back as they were written") {
        e.Command4_Click();
        CHECK(f.Section("S") == KeyLines{"DSN_Driver=Adaptive Server Anywhere 6.0",
                                         "IsolationLevel=2",
                                         "KeysInSQLStatistics=Yes",
                                         "Delphi=Yes",
                                         "PreventNotCapable=No",
                                         "LazyAutoCommit=Yes",
                                         "DescribeCursor=No",
                                         "Integrated=No",
                                         "UID=dba",
                                         "PWD=" + EncipherText("sql", "marigold"),
                                         "EngineName=eng",
                                         "Start=dbeng6",
                                         "Database=db",
                                         "DatabaseFile=C:\\a.db",
                                         "AutoStart=No",
                                         "AutoStop=No",
                                         "CommLinks=TCPIP{host=x},NetBIOS{lana=1}",
                                         "Encryption=Yes",
                                         "LivenessTimeout=60",
                                         "CommBufferSize=1024",
                                         "CommBufferSpace=7",
                                         "ConnectionName=conn",
                                         "Charset=cp1252",
                                         "DisableMultiRowFetch=No",
                                         "Debug=Yes",
                                         "LogFile=C:\\log.txt",
                                         "Description=From the list"});
    }
}

TEST_CASE("Form5: odd stored values load as the table says") {
    struct Row {
        const char* key_line;
        bool checked;
    };
    SUBCASE("yes/no boxes: only \"yes\", in any case, checks") {
        const Row rows[] = {{"KeysInSQLStatistics=YES", true},   {"KeysInSQLStatistics=yes", true},
                            {"KeysInSQLStatistics=true", false}, {"KeysInSQLStatistics=1", false},
                            {"KeysInSQLStatistics=No", false},   {"Other=1", false}};
        for (const Row& row : rows) {
            CAPTURE(row.key_line);
            EditFixture f({row.key_line});
            CHECK(f.form.Check1.checked == row.checked);
        }
    }
    SUBCASE("multiple record fetching is checked unless DisableMultiRowFetch is \"yes\"") {
        const Row rows[] = {{"DisableMultiRowFetch=YES", false},
                            {"DisableMultiRowFetch=no", true},
                            {"DisableMultiRowFetch=1", true},
                            {"Other=1", true}};
        for (const Row& row : rows) {
            CAPTURE(row.key_line);
            EditFixture f({row.key_line});
            CHECK(f.form.Check12.checked == row.checked);
        }
    }
    SUBCASE("the cursor options") {
        struct CursorRow {
            const char* key_line;
            int selected;  // 1, 2 or 3
        };
        const CursorRow rows[] = {{"DescribeCursor=ALWAYS", 3}, {"DescribeCursor=always", 3},
                                  {"DescribeCursor=NO", 1},     {"DescribeCursor=Yes", 2},
                                  {"DescribeCursor=never", 2},  {"Other=1", 2}};
        for (const CursorRow& row : rows) {
            CAPTURE(row.key_line);
            EditFixture f({row.key_line});
            CHECK(f.form.Option1.selected == (row.selected == 1));
            CHECK(f.form.Option2.selected == (row.selected == 2));
            CHECK(f.form.Option3.selected == (row.selected == 3));
        }
    }
}

TEST_CASE("Form5: integrated login stored as YES") {
    const std::string pwd = "PWD=" + EncipherText("kept", "marigold");
    EditFixture f({"Integrated=YES", "UID=stored", pwd});
    Form5& e = f.form;
    CHECK(e.Option4.selected);
    CHECK(e.Text4.text.empty());
    CHECK(e.Text5.text.empty());
    CHECK_FALSE(e.Text4.enabled);
    CHECK_FALSE(e.Text5.enabled);
    e.Command4_Click();
    CHECK(f.Read("S", "Integrated") == "Yes");
    CHECK(f.Read("S", "UID") == "stored");
    CHECK(f.Read("S", "PWD") == EncipherText("kept", "marigold"));
}

TEST_CASE("Form5: a rename carries over only the keys Save writes") {
    const std::string pwd = "PWD=" + EncipherText("kept", "marigold");
    EditorFixture f;
    f.Given("[a]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nIntegrated=yes\r\nUID=u\r\n" + pwd +
            "\r\n");
    f.EditMode("a", "", kAsa);
    Form5 form(f.context);
    form.Form_Load();
    form.Text1_Change("b");
    form.Command4_Click();
    CHECK(test::Headers(f.Bytes()) == std::vector<std::string>{"b"});
    CHECK(f.Read("b", "Integrated") == "Yes");
    CHECK(f.Read("b", "UID") == "");
    CHECK(f.Read("b", "PWD") == "");
    CHECK(f.list.Row(1).text == "b");
}

TEST_CASE("Form5: what Save keeps and removes") {
    SUBCASE("an emptied isolation level is removed") {
        EditFixture f({"IsolationLevel=2"});
        f.form.Text3_Change("");
        f.form.Command4_Click();
        for (const std::string& line : f.Section("S")) CHECK(line.rfind("IsolationLevel", 0) != 0);
        CHECK(f.Read("S", "IsolationLevel") == "");
    }
    SUBCASE("with debugging off, a stored log file stays and is not shown") {
        EditFixture f({"Debug=no", "LogFile=C:\\old.log"});
        CHECK_FALSE(f.form.Check13.checked);
        CHECK(f.form.Text18.text.empty());
        CHECK_FALSE(f.form.Text18.enabled);
        f.form.Command4_Click();
        CHECK(f.Read("S", "LogFile") == "C:\\old.log");
        CHECK(f.Read("S", "Debug") == "No");
    }
    SUBCASE("a missing numeric key opens empty and is removed again unless the field is left") {
        EditFixture f({});
        CHECK(f.form.Text13.text.empty());
        CHECK(f.form.Text14.text.empty());
        CHECK(f.form.Text15.text.empty());
        f.form.Text15_LostFocus();
        f.form.Command4_Click();
        CHECK(f.Read("S", "LivenessTimeout") == "");
        CHECK(f.Read("S", "CommBufferSize") == "");
        CHECK(f.Read("S", "CommBufferSpace") == "0");
    }
    SUBCASE("an empty database file keeps the autostart box disabled, showing its value") {
        EditFixture f({"AutoStart=no"});
        CHECK_FALSE(f.form.Check6.enabled);
        CHECK_FALSE(f.form.Check6.checked);
        EditFixture g({"AutoStart=yes"});
        CHECK_FALSE(g.form.Check6.enabled);
        CHECK(g.form.Check6.checked);
    }
}

TEST_CASE("Form5: CommLinks loads into the Network page") {
    SUBCASE("TCPIP{},IPX{}") {
        EditFixture f({"CommLinks=TCPIP{},IPX{}"});
        CHECK(f.form.Check8.checked);
        CHECK(f.form.Check9.checked);
        CHECK_FALSE(f.form.Check10.checked);
        CHECK(f.form.Text10.enabled);
        CHECK(f.form.Text11.enabled);
        CHECK(f.form.Text10.text.empty());
        CHECK(f.form.Text11.text.empty());
        CHECK(f.form.Text13.enabled);
    }
    SUBCASE("netbios{}") {
        EditFixture f({"CommLinks=netbios{}"});
        CHECK_FALSE(f.form.Check8.checked);
        CHECK_FALSE(f.form.Check9.checked);
        CHECK(f.form.Check10.checked);
        CHECK(f.form.Text12.enabled);
        CHECK_FALSE(f.form.Text13.enabled);
    }
    SUBCASE("option texts come back in lower case and are saved so") {
        EditFixture f({"CommLinks=TCPIP{Abc=XY}"});
        CHECK(f.form.Text10.text == "abc=xy");
        f.form.Command4_Click();
        CHECK(f.Read("S", "CommLinks") == "TCPIP{abc=xy}");
    }
    SUBCASE("a value longer than 255 characters") {
        const std::string options(280, 'h');
        EditFixture f({"CommLinks=TCPIP{" + options + "},IPX{b}"});
        CHECK(f.form.Text10.text == options);
        CHECK(f.form.Check9.checked);
        CHECK(f.form.Text11.text == "b");
    }
    SUBCASE("an untouched add writes no CommLinks") {
        AddFixture f;
        f.form.Text1_Change("A");
        f.form.Command4_Click();
        CHECK(f.Read("A", "CommLinks") == "");
    }
}

TEST_CASE("Form5: passwords") {
    SUBCASE("blanks around a password are not enciphered") {
        AddFixture f;
        f.form.Text1_Change("P");
        f.form.Text5_Change("  secret  ");
        f.form.Command4_Click();
        CHECK(f.Read("P", "PWD") == EncipherText("secret", "marigold"));
        // And it reads back as typed, without the blanks.
        f.EditMode("P", "", kAsa);
        Form5 again(f.context);
        again.Form_Load();
        CHECK(again.Text5.text == "secret");
    }
    SUBCASE("a password of blanks removes PWD") {
        EditFixture f({"PWD=" + EncipherText("old", "marigold")});
        f.form.Text5_Change("   ");
        f.form.Command4_Click();
        CHECK(f.Read("S", "PWD") == "");
    }
    SUBCASE("a password the file cannot keep is refused; nothing is written") {
        EditFixture f({"PWD=" + EncipherText("old", "marigold")});
        const std::string before = f.Bytes();
        f.form.Text5_Change("\xFA");
        REQUIRE_FALSE(IsStorablePassword("\xFA", "marigold"));
        f.form.Command4_Click();
        CHECK_FALSE(f.form.closed());
        CHECK(f.MessageBoxes() == std::vector<std::string>{RefusalLine(
                                      "The password contains characters that cannot be stored.")});
        CHECK(f.ProfileWrites().empty());
        CHECK(f.Bytes() == before);
        CHECK_FALSE(f.shared.ScriptSaved);
        CHECK(f.status.text.empty());
        CHECK(f.form.Text5.text == "\xFA");
        // A password that can be kept then saves.
        f.form.Text5_Change("ok");
        f.form.Command4_Click();
        CHECK(f.form.closed());
    }
    SUBCASE("under integrated login the password is not written, so not refused") {
        AddFixture f;
        f.form.Text1_Change("I");
        f.form.Text5_Change("\xFA");
        f.form.Option4_Click();
        f.form.Command4_Click();
        CHECK(f.form.closed());
        CHECK(f.Read("I", "PWD") == "");
    }
}

TEST_CASE("Form5: the tab control changes only the page") {
    AddFixture f;
    f.form.SSTab1_Click(4);
    CHECK(f.form.active_page == 4);
    f.form.SSTab1_Click(7);
    CHECK(f.form.active_page == 4);
    CHECK_FALSE(f.shared.ScriptDirty);
}

TEST_CASE("Form5: the disabled encrypt-password box cannot be clicked") {
    AddFixture f;
    f.form.Check5_Click();
    CHECK_FALSE(f.form.Check5.checked);
    CHECK_FALSE(f.shared.ScriptDirty);
}

}  // namespace
}  // namespace vendaro
