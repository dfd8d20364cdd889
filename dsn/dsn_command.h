#pragma once
// The User DSN and System DSN commands of the main window: one call builds the selected
// script's write list, performs it and says what the status line should read.
#include <optional>
#include <string>

#include "platform/installer.h"
#include "platform/platform.h"
#include "store/script_store.h"

namespace vendaro {

enum class DsnCommand { User, System };

struct DsnRequest {
    DsnCommand command = DsnCommand::User;
    std::string name;         // the selected row's text: the script's section name
    std::string description;  // the row's Description column
    std::string driver;       // the row's Driver column
    // An unattended run ("ue", "se"): no window is the installer's parent and no status line
    // is set.
    bool unattended = false;
    WindowHandle main_window = 0;
};

struct DsnOutcome {
    // False when any registry or profile write failed, or the platform could not run the
    // driver's step or keep what it wrote (a driver that declines does not count).
    bool writes_ok = true;
    // The status line's new text; nullopt in unattended use, where the caller turns
    // writes_ok into the exit status.
    std::optional<std::string> status_line;
    // When the DSN was not made: the sentence saying so and why ("User DSN could not be
    // created: the name contains \"\\\"."), for the status line or an unattended run's stderr.
    std::string failure;
};

// Creates the DSN: busy pointer on, every write in order (a failing one does not stop the
// rest), busy pointer off, then the installer step of a User DSN. Never throws; failures are
// in the outcome. A name that would address another data source or ODBC's own lists
// (DsnNameProblem) writes nothing and fails.
DsnOutcome CreateDsn(const DsnRequest& request, ScriptStore& store, Platform& platform);

}  // namespace vendaro
