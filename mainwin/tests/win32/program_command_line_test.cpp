// What the main window gets of the process's command line.
#include <doctest/doctest.h>

#include "mainwin/win32/program_command_line.h"

namespace vendaro::win32 {

TEST_CASE("the text after the program's own name") {
    const char* rows[][2] = {
        {"vendaro.exe", ""},
        {"\"C:\\Program Files\\Vendaro\\vendaro.exe\" sales -u", "sales -u"},
        {"\"C:\\Program Files\\Vendaro\\vendaro.exe\"sales", "sales"},
        {"vendaro.exe\tsales -se", "sales -se"},
        // Blanks inside and at the end, and quotes, belong to the text the grammar reads.
        {"vendaro.exe \"sales\"  -ue  ", "\"sales\"  -ue  "},
        {"\"unterminated path", ""},
    };
    for (const auto& [command_line, arguments] : rows) {
        CAPTURE(command_line);
        CHECK(ArgumentsAfterProgramName(command_line) == arguments);
    }
}

}  // namespace vendaro::win32
