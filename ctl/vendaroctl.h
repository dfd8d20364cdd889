#pragma once
// vendaroctl: checks, diffs, applies, removes, exports and test-connects the data sources of
// a script library. One call runs one command line and says, by its exit status and its
// output, what it found and did; nothing here touches a console.
#include <ostream>
#include <string>
#include <vector>

#include "platform/odbc_connector.h"
#include "platform/platform.h"

namespace vendaro::ctl {

// The exit statuses.
enum : int {
    kExitOk = 0,       // in sync, done, nothing to do, connected
    kExitFailed = 1,   // could not read, a write failed, no connection
    kExitUsage = 2,    // bad command line, no such script, unreadable library, unusable name
    kExitPending = 3,  // absent or drifted; with --check: something to do
};

struct Environment {
    Platform& platform;
    OdbcConnector& connector;
    // The library used without --library: vendaro.ini beside the program.
    std::string default_library;
    char separator = '/';
    std::string version;
};

// Runs the command line `args` (the arguments after the program's name). The result goes to
// `out` (plain text, or one JSON document with --json), every failure also as one line to
// `err`. Returns the exit status: kExitFailed, whatever the command found, when `out` could not
// take the output.
int Run(const std::vector<std::string>& args, Environment& env, std::ostream& out,
        std::ostream& err);

// The text of --help.
std::string HelpText();

}  // namespace vendaro::ctl
