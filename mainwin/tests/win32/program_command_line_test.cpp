// What the main window gets of the process's command line.
#include <doctest/doctest.h>

#include "mainwin/win32/program_command_line.h"

namespace vendaro::win32 {

TEST_CASE("the text after the program's own name") {
    struct Row {
        const char* command_line;
        const char* arguments;
    };
    const Row rows[] = {
        {"vendaro.exe", ""},
        {"vendaro.exe sales -ue", "sales -ue"},
        {"C:\\Tools\\vendaro.exe   /p", "/p"},
        {"\"C:\\Program Files\\Vendaro\\vendaro.exe\" sales -u", "sales -u"},
        {"\"C:\\Program Files\\Vendaro\\vendaro.exe\"", ""},
        {"\"C:\\Program Files\\Vendaro\\vendaro.exe\"sales", "sales"},
        {"vendaro.exe\tsales -se", "sales -se"},
        // Blanks inside and at the end belong to the text: the command line's grammar works
        // on them.
        {"vendaro.exe sales  -ue", "sales  -ue"},
        {"vendaro.exe sales -se   ", "sales -se   "},
        {"vendaro.exe \"sales\" -u", "\"sales\" -u"},
        {"\"unterminated path", ""},
        {"", ""},
    };
    for (const Row& row : rows) {
        CAPTURE(row.command_line);
        CHECK(ArgumentsAfterProgramName(row.command_line) == row.arguments);
    }
}

}  // namespace vendaro::win32
