#pragma once
// The command line of an unattended or preselecting start: "name", or "name -option".
#include <string>
#include <string_view>

namespace vendaro {

struct CommandLine {
    // False for an empty text or "/p": nothing is selected and no command runs.
    bool has_name = false;
    // Lower case; compared with the lower-cased text of every row.
    std::string name;
    // "", "u", "s", "ue", "se", or one of the few other texts that pass the check and act
    // like "" (a lone "e", " u", " s").
    std::string start_mode;
};

// The text after the program's name in `command_line` as Windows gives it (GetCommandLineA):
// the name is the first word, or the quoted text when it starts with a quotation mark (a path
// with blanks); the blanks after it go too. Everything else is returned unchanged.
std::string ArgumentsAfterProgramName(std::string_view command_line);

// Splits the text after the program's name. Never fails.
CommandLine ParseCommandLine(std::string_view text);

// True for the start modes that end the program right after their DSN command.
bool IsUnattended(std::string_view start_mode);

}  // namespace vendaro
