#include <doctest/doctest.h>

#include <sstream>

#include "mainwin/command_line.h"
#include "mainwin/tests/test_support.h"

namespace vendaro {
namespace {

// Each command line is split, then given to a start-up over a list whose Sales is neither the
// first nor the last row of that name (the last one wins). The outcome: the window or the exit
// status, the selected row, the registry root of the DSN made and the installer's request.
TEST_CASE("Command lines") {
    struct Row {
        std::string text, name, start_mode, outcome;  // name "": nothing selected, no command
    };
    const Row rows[] = {
        {"", "", "", "window Alpha"},
        {"  /P  ", "", "", "window Alpha"},
        {"SALES -ue", "sales", "ue", "exit 0 sales HKCU installer 1"},
        {"sales -se   ", "sales", "se", "exit 0 sales HKLM"},
        {"sales -u", "sales", "u", "window sales HKCU installer 2"},
        {"sales -s", "sales", "s", "window sales HKLM"},
        {"Sales", "sales", "", "window sales"},
        {"sales  -ue", "sales ", "ue", "exit 2 Alpha"},
        {"other -se", "other", "se", "exit 2 Alpha"},
        {"\"sales\" -u", "\"sales\"", "u", "window Alpha"},
        {"-ue", "-ue", "", "window Alpha"},
        {"sales -e", "sales", "e", "window sales"},
        {"sales - u", "sales", " u", "window sales"},
        // The option is one or two characters found inside "u s ue se".
        {"sales -es", "sales", "", "window sales"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.text);
        const CommandLine line = ParseCommandLine(row.text);
        CHECK(line.has_name == !row.name.empty());
        CHECK(line.name == row.name);
        CHECK(line.start_mode == row.start_mode);

        test::MainWindow w(
            "[Alpha]\r\nDSN_Driver=SQL Server\r\n[Sales]\r\nDSN_Driver=SQL Server\r\n"
            "[Zeta]\r\nDSN_Driver=SQL Server\r\n[sales]\r\nDSN_Driver=SQL Server\r\n");
        const StartupResult started = w.form.Form_Load(row.text);
        std::string outcome =
            started.show_window ? "window" : "exit " + std::to_string(started.exit_status);
        outcome += " " + w.form.lvwMain().Row(w.form.lvwMain().Selected()).text;
        const std::vector<std::string>& calls = w.recording.calls;
        // "RegCreateKey <root> <path>" after two "Busy on"; "ConfigDataSource 0 <request> ...".
        for (std::size_t i = 0; i < calls.size(); ++i) {
            std::string verb, first, second;
            std::istringstream(calls[i]) >> verb >> first >> second;
            if (i == 2) outcome += " " + (verb == "RegCreateKey" ? first : calls[i]);
            if (verb == "ConfigDataSource" && first == "0") outcome += " installer " + second;
        }
        CHECK(outcome == row.outcome);
    }
}

TEST_CASE("Windows' command line: the arguments after the program's name") {
    const std::pair<std::string, std::string> rows[] = {
        {"\"C:\\Program Files\\V\\vendaro.exe\"  Sales -ue", "Sales -ue"},
        {"vendaro.exe \"Sales -ue\"", "\"Sales -ue\""},  // the quotes are part of the name
        {"vendaro.exe\tSales", "Sales"},
        {"vendaro.exe   ", ""},
        {"\"C:\\no closing quote Sales", ""},
        {"", ""},
    };
    for (const auto& [line, arguments] : rows)
        CHECK_MESSAGE(ArgumentsAfterProgramName(line) == arguments, line);
}

}  // namespace
}  // namespace vendaro
