#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "mainwin/command_line.h"
#include "mainwin/tests/test_support.h"

namespace vendaro {
namespace {

using test::MainWindow;

TEST_CASE("Splitting the command line") {
    struct Row {
        const char* text;
        bool has_name;
        const char* name;
        const char* start_mode;
    };
    const std::vector<Row> rows = {
        {"", false, "", ""},
        {"    ", false, "", ""},
        {"/p", false, "", ""},
        {"/P", false, "", ""},
        {"  /p  ", false, "", ""},
        {"SALES -ue", true, "sales", "ue"},
        {"sales  -ue", true, "sales ", "ue"},
        {"sales -se   ", true, "sales", "se"},
        {"sales -u", true, "sales", "u"},
        {"sales -s", true, "sales", "s"},
        {"sales -x", true, "sales", ""},
        {"sales -e", true, "sales", "e"},
        {"sales", true, "sales", ""},
        {"\"sales\" -u", true, "\"sales\"", "u"},
        {"other -se", true, "other", "se"},
        {"-ue", true, "-ue", ""},
        // The option's checks: one or two characters found inside "u s ue se".
        {"sales -use", true, "sales", ""},
        {"sales -", true, "sales", ""},
        {"sales - u", true, "sales", " u"},
        {"sales -es", true, "sales", ""},
        {"sales -ue -s", true, "sales", ""},
        {"my sales -u", true, "my sales", "u"},
        {"a -b -u", true, "a", ""},
    };
    for (const Row& row : rows) {
        CAPTURE(row.text);
        CommandLine line = ParseCommandLine(row.text);
        CHECK(line.has_name == row.has_name);
        CHECK(line.name == row.name);
        CHECK(line.start_mode == row.start_mode);
    }
}

TEST_CASE("Only \"ue\" and \"se\" end the program") {
    CHECK(IsUnattended("ue"));
    CHECK(IsUnattended("se"));
    for (const char* mode : {"", "u", "s", "e", " u", "UE"}) CHECK_FALSE(IsUnattended(mode));
}

// Against a list that holds a script named Sales (not first, so a normal start can be told
// apart from a selection).
TEST_CASE("Command lines against a list with Sales") {
    enum class Dsn { None, UserInteractive, UserUnattended, System };
    struct Row {
        const char* text;
        bool shows_window;
        int exit_status;
        const char* selected;
        Dsn dsn;
        const char* status;
    };
    const char* welcome = kWelcomeText;
    const std::vector<Row> rows = {
        {"    ", true, 0, "Alpha", Dsn::None, welcome},
        {"/P", true, 0, "Alpha", Dsn::None, welcome},
        {"SALES -ue", false, 0, "Sales", Dsn::UserUnattended, welcome},
        {"sales  -ue", false, 2, "Alpha", Dsn::None, welcome},
        {"sales -se   ", false, 0, "Sales", Dsn::System, welcome},
        {"sales -u", true, 0, "Sales", Dsn::UserInteractive, "User DSN has been created."},
        {"sales -s", true, 0, "Sales", Dsn::System, "System DSN has been created."},
        {"sales -x", true, 0, "Sales", Dsn::None, welcome},
        {"sales -e", true, 0, "Sales", Dsn::None, welcome},
        {"sales", true, 0, "Sales", Dsn::None, welcome},
        {"\"sales\" -u", true, 0, "Alpha", Dsn::None, welcome},
        {"other -se", false, 2, "Alpha", Dsn::None, welcome},
        {"-ue", true, 0, "Alpha", Dsn::None, welcome},
    };
    for (const Row& row : rows) {
        CAPTURE(row.text);
        MainWindow w;
        w.WriteScripts(test::SqlServerScripts({"Alpha", "Sales", "Zeta"}));
        StartupResult started = w.form.Form_Load(row.text);
        CHECK(started.show_window == row.shows_window);
        CHECK(started.exit_status == row.exit_status);
        const ScriptList& list = w.form.lvwMain();
        REQUIRE(list.Selected() != 0);
        CHECK(list.Row(list.Selected()).text == row.selected);
        CHECK(w.form.Label1() == row.status);

        const auto created = w.Calls("RegCreateKey");
        const auto installer = w.Calls("ConfigDataSource");
        switch (row.dsn) {
            case Dsn::None:
                CHECK(created.empty());
                CHECK(installer.empty());
                break;
            case Dsn::UserInteractive:
                CHECK(w.Calls("RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\Sales").size() == 1);
                CHECK(installer ==
                      std::vector<std::string>{"ConfigDataSource 0 2 SQL Server|DSN=Sales\\0"});
                break;
            case Dsn::UserUnattended:
                CHECK(w.Calls("RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\Sales").size() == 1);
                CHECK(installer ==
                      std::vector<std::string>{"ConfigDataSource 0 1 SQL Server|DSN=Sales\\0"});
                break;
            case Dsn::System:
                CHECK(w.Calls("RegCreateKey HKLM SOFTWARE\\ODBC\\ODBC.INI\\Sales").size() == 1);
                CHECK(w.Calls("RegCreateKey HKCU").empty());
                CHECK(installer.empty());
                break;
        }
        CHECK(w.Calls("MessageBox").empty());
    }
}

TEST_CASE("The start mode stays for the rest of the run") {
    MainWindow w;
    w.WriteScripts(test::SqlServerScripts({"Sales"}));
    w.form.Form_Load("Sales -u");
    CHECK(w.form.StartMode() == "u");
    w.recording.calls.clear();
    w.form.Command4_Click();  // a later click is an ordinary interactive one
    CHECK(w.Calls("ConfigDataSource") ==
          std::vector<std::string>{"ConfigDataSource 0 2 SQL Server|DSN=Sales\\0"});
}

TEST_CASE("The last row of the name stays selected") {
    MainWindow w;
    w.WriteScripts(test::SqlServerScripts({"Sales", "Other", "SALES"}));
    w.form.Form_Load("sales");
    CHECK(w.form.lvwMain().Selected() == 3);
}

TEST_CASE("Exit statuses of unattended runs") {
    MainWindow w;

    SUBCASE("created") {
        w.WriteScripts(test::SqlServerScripts({"Sales"}));
        CHECK(w.form.Form_Load("sales -ue").exit_status == kExitCreated);
    }
    SUBCASE("a registry write failed") {
        w.WriteScripts(test::SqlServerScripts({"Sales"}));
        w.recording.fail_prefixes = {"RegSetString"};
        StartupResult started = w.form.Form_Load("sales -ue");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == kExitWriteFailed);
        // Every later write still ran.
        CHECK(w.Calls("RegCreateKey").size() == 2);
    }
    SUBCASE("a key could not be created") {
        w.WriteScripts(test::SqlServerScripts({"Sales"}));
        w.recording.fail_prefixes = {"RegCreateKey HKLM"};
        CHECK(w.form.Form_Load("sales -se").exit_status == kExitWriteFailed);
    }
    SUBCASE("a failure shown as the status line when the window opens") {
        w.WriteScripts(test::SqlServerScripts({"Sales"}));
        w.recording.fail_prefixes = {"RegCreateKey HKLM"};
        StartupResult started = w.form.Form_Load("sales -s");
        CHECK(started.show_window);
        CHECK(started.exit_status == 0);
        CHECK(w.form.Label1() == "System DSN could not be created.");
    }
    SUBCASE("no script of that name: silent, nothing written") {
        w.WriteScripts(test::SqlServerScripts({"Sales"}));
        StartupResult started = w.form.Form_Load("nobody -se");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == kExitNoScript);
        CHECK(w.Calls("Reg").empty());
        CHECK(w.Calls("MessageBox").empty());
    }
    SUBCASE("no script file at all") {
        StartupResult started = w.form.Form_Load("sales -ue");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == kExitNoScript);
        CHECK(w.Calls("Reg").empty());
    }
}

}  // namespace
}  // namespace vendaro
