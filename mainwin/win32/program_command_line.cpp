#include "mainwin/win32/program_command_line.h"

namespace vendaro::win32 {

std::string ArgumentsAfterProgramName(std::string_view command_line) {
    std::size_t end = 0;
    if (!command_line.empty() && command_line.front() == '"') {
        std::size_t close = command_line.find('"', 1);
        end = close == std::string_view::npos ? command_line.size() : close + 1;
    } else {
        end = command_line.find_first_of(" \t");
        if (end == std::string_view::npos) end = command_line.size();
    }
    std::size_t start = command_line.find_first_not_of(" \t", end);
    if (start == std::string_view::npos) return {};
    return std::string(command_line.substr(start));
}

}  // namespace vendaro::win32
