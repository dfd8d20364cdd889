#include "ctl/options.h"

#include <array>
#include <charconv>
#include <string_view>

namespace vendaro::ctl {
namespace {

constexpr int kAnyNumber = -1;

struct CommandRow {
    Command command;
    const char* word;
    int min_names;
    int max_names;  // or kAnyNumber
};

constexpr std::array<CommandRow, 7> kCommands = {{
    {Command::Check, "check", 0, kAnyNumber},
    {Command::Diff, "diff", 1, 1},
    {Command::Apply, "apply", 1, kAnyNumber},
    {Command::Remove, "remove", 1, kAnyNumber},
    {Command::Export, "export", 1, 1},
    {Command::Connect, "connect", 1, 1},
    {Command::Help, "help", 0, 0},
}};

const CommandRow* FindCommand(std::string_view word) {
    for (const CommandRow& row : kCommands) {
        if (word == row.word) return &row;
    }
    return nullptr;
}

// Which commands take an option that only some take.
bool Takes(Command command, std::string_view option) {
    if (option == "--check") return command == Command::Apply || command == Command::Remove;
    if (option == "--format") return command == Command::Export;
    if (option == "--timeout") return command == Command::Connect;
    // The driver manager, not the option, decides where connect finds a data source.
    if (option == "--user" || option == "--system") return command != Command::Connect;
    return true;
}

std::string NamesProblem(const CommandRow& row, std::size_t count) {
    const std::string word = row.word;
    if (static_cast<int>(count) < row.min_names) {
        return word + " needs the name of a data source (vendaroctl " + word + " NAME" +
               (row.max_names == kAnyNumber ? "..." : "") + ")";
    }
    if (row.max_names != kAnyNumber && static_cast<int>(count) > row.max_names) {
        return row.max_names == 0 ? word + " takes no names"
                                  : word + " takes one name, not " + std::to_string(count);
    }
    return "";
}

}  // namespace

const char* CommandWord(Command command) {
    for (const CommandRow& row : kCommands) {
        if (row.command == command) return row.word;
    }
    return command == Command::Version ? "version" : "help";
}

const char* KindWord(DsnKind kind) {
    return kind == DsnKind::System ? "system" : "user";
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    ParseResult result;
    Options& o = result.options;
    const CommandRow* command = nullptr;
    bool help = false;
    bool version = false;
    bool user = false;
    bool system = false;
    std::vector<std::string> given;  // the options that some commands refuse
    std::string error;
    auto fail = [&](std::string text) {
        if (error.empty()) error = std::move(text);
    };
    bool options_end = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (options_end || arg.empty() || arg.front() != '-' || arg == "-") {
            if (command == nullptr) {
                command = FindCommand(arg);
                if (command == nullptr) fail("unknown command \"" + std::string(arg) + "\"");
            } else {
                o.names.emplace_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            options_end = true;
            continue;
        }
        // --name=value or --name value for the options that take a value.
        std::string_view name = arg;
        std::optional<std::string> value;
        if (const std::size_t eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = std::string(arg.substr(eq + 1));
        }
        const bool takes_value = name == "--library" || name == "--format" || name == "--timeout";
        if (takes_value && !value) {
            if (i + 1 >= args.size()) {
                fail(std::string(name) + " needs a value");
                continue;
            }
            value = args[++i];
        } else if (!takes_value && value) {
            fail(std::string(name) + " takes no value");
            continue;
        }
        if (name == "--json") {
            o.json = true;
        } else if (name == "--help" || name == "-h") {
            help = true;
        } else if (name == "--version") {
            version = true;
        } else if (name == "--user") {
            user = true;
            given.emplace_back(name);
        } else if (name == "--system") {
            system = true;
            given.emplace_back(name);
        } else if (name == "--check") {
            o.check_only = true;
            given.emplace_back(name);
        } else if (name == "--library") {
            if (value->empty()) fail("--library needs a file name");
            o.library = *value;
        } else if (name == "--format") {
            given.emplace_back(name);
            if (*value == "reg") {
                o.format = ExportFormat::Reg;
            } else if (*value == "odbcini") {
                o.format = ExportFormat::OdbcIni;
            } else {
                fail("--format is reg or odbcini, not \"" + *value + "\"");
            }
        } else if (name == "--timeout") {
            given.emplace_back(name);
            int seconds = -1;
            const char* end = value->data() + value->size();
            auto [at, ec] = std::from_chars(value->data(), end, seconds);
            if (ec != std::errc() || at != end || seconds < 0 || seconds > kMaxTimeout) {
                fail("--timeout is a number of seconds from 0 to " + std::to_string(kMaxTimeout) +
                     ", not \"" + *value + "\"");
            }
            o.timeout = seconds;
        } else {
            fail("unknown option " + std::string(name));
        }
    }
    if (help || version) {
        o.command = help ? Command::Help : Command::Version;
        o.names.clear();
        result.error.clear();
        return result;
    }
    if (command == nullptr) fail("no command given");
    if (user && system) fail("--user and --system exclude each other");
    o.kind = system ? DsnKind::System : DsnKind::User;
    if (command != nullptr) {
        o.command = command->command;
        for (const std::string& option : given) {
            if (!Takes(o.command, option)) {
                fail(option + " does not apply to " + std::string(command->word));
            }
        }
        const std::string names = NamesProblem(*command, o.names.size());
        if (!names.empty()) fail(names);
    }
    result.error = error;
    return result;
}

}  // namespace vendaro::ctl
