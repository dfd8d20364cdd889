// vendaroctl on Linux: the library's data sources in unixODBC's odbc.ini files.
#include <iostream>

#include "app/guarded_main.h"
#include "app/vendaroctl_run.h"
#include "ctl/vendaroctl.h"
#include "platform/posix/console_dialogs.h"
#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"

int main(int argc, char** argv) {
    using namespace vendaro;
    return GuardedMain("vendaroctl", ctl::kExitFailed, [&] {
        OdbcRegistry registry;
        OdbcInstaller installer;
        ConsoleDialogs dialogs(std::cerr);
        // As vendaro on Linux: no Windows directory's ODBC.INI.
        return RunVendaroctl(argc, argv, registry, installer, dialogs,
                             {"/", "vendaroctl", '/', /*legacy_odbc_ini=*/false});
    });
}
