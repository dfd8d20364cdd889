#pragma once
// vendaroctl over the platform its entry point makes: the library beside the program, the
// platform's profile and driver manager.
#include "platform/platform.h"

namespace vendaro {

// Where the program's platform differs: how its path is split and what its library is read by.
struct ConsoleSystem {
    const char* path_separators;  // of the program's own path
    const char* program_name;     // when the path gives none
    char separator;               // joins the library's path
    bool legacy_odbc_ini;         // the Windows directory's ODBC.INI is written (Windows)
};

// Runs vendaroctl with the arguments after the program's name; its exit status.
int RunVendaroctl(int argc, char** argv, Registry& registry, Installer& installer, Dialogs& dialogs,
                  const ConsoleSystem& system);

}  // namespace vendaro
