// vendaroctl.exe: a console program over the registry in its own view (the 32-bit build sees
// the 32-bit view, as vendaro.exe of the same build), the Windows directory's ODBC.INI and
// odbc32.
#include "app/guarded_main.h"
#include "app/vendaroctl_run.h"
#include "ctl/vendaroctl.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_registry.h"

int main(int argc, char** argv) {
    using namespace vendaro;
    return GuardedMain("vendaroctl", ctl::kExitFailed, [&] {
        win32::Win32Registry registry;
        win32::Win32Installer installer;
        win32::Win32Dialogs dialogs;
        return RunVendaroctl(argc, argv, registry, installer, dialogs,
                             {"\\/", "vendaroctl.exe", '\\', /*legacy_odbc_ini=*/true});
    });
}
