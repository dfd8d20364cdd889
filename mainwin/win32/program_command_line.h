#pragma once
// The command-line text the main window works with: what follows the program's own name in
// the process's command line.
#include <string>
#include <string_view>

namespace vendaro::win32 {

// `command_line` as GetCommandLineA gives it. The program's name is the first word, or the
// quoted text when it starts with a quotation mark (a path with blanks); the blanks after it
// go too. Everything else is returned unchanged.
std::string ArgumentsAfterProgramName(std::string_view command_line);

}  // namespace vendaro::win32
