#include "mainwin/command_line.h"

#include <algorithm>

#include "forms/text_rules.h"

namespace vendaro {

CommandLine ParseCommandLine(std::string_view text) {
    CommandLine result;
    const std::string t = text::LowerAnsi(text::TrimBlanks(text));
    if (t.empty() || t == "/p") return result;

    result.has_name = true;
    const std::size_t p = t.find(" -");
    if (p == std::string::npos) {
        result.name = t;
        return result;
    }
    // Blanks before the " -" pair stay in the name: they are part of what the user typed.
    result.name = t.substr(0, p);
    std::string option = text::TrimTrailingBlanks(std::string_view(t).substr(p + 2));
    if (option.size() != 1 && option.size() != 2) {
        option.clear();
    } else if (std::string_view("u s ue se").find(option) == std::string_view::npos) {
        option.clear();
    }
    result.start_mode = option;
    return result;
}

std::string ArgumentsAfterProgramName(std::string_view command_line) {
    std::size_t end = 0;
    if (!command_line.empty() && command_line.front() == '"') {
        const std::size_t close = command_line.find('"', 1);
        end = close == std::string_view::npos ? command_line.size() : close + 1;
    } else {
        end = std::min(command_line.find_first_of(" \t"), command_line.size());
    }
    const std::size_t start = command_line.find_first_not_of(" \t", end);
    if (start == std::string_view::npos) return {};
    return std::string(command_line.substr(start));
}

bool IsUnattended(std::string_view start_mode) {
    return start_mode == "ue" || start_mode == "se";
}

}  // namespace vendaro
