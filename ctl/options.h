#pragma once
// vendaroctl's command line: a command, its names and its options, or why it is not one.
#include <optional>
#include <string>
#include <vector>

namespace vendaro::ctl {

enum class Command { Check, Diff, Apply, Remove, Export, Connect, Help, Version };
enum class DsnKind { User, System };
enum class ExportFormat { Reg, OdbcIni };

struct Options {
    Command command = Command::Help;
    std::vector<std::string> names;
    bool json = false;
    DsnKind kind = DsnKind::User;
    std::optional<std::string> library;  // --library FILE; none: vendaro.ini beside the program
    bool check_only = false;             // --check of apply and remove
    std::optional<ExportFormat> format;  // none: the platform's own
    int timeout = 15;                    // connect's login timeout, in seconds
};

inline constexpr int kMaxTimeout = 86400;

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is good
};

// Options may stand before or after the command and between its names; "--" ends them.
// `--json` is noted even when the line is refused, so that the refusal can be JSON too.
ParseResult ParseArguments(const std::vector<std::string>& args);

const char* CommandWord(Command command);
const char* KindWord(DsnKind kind);  // "user", "system"

}  // namespace vendaro::ctl
