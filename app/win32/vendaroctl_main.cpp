// vendaroctl.exe: a console program over the registry in its own view (the 32-bit build sees
// the 32-bit view, as vendaro.exe of the same build), the Windows directory's ODBC.INI and
// odbc32.
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ctl/vendaroctl.h"
#include "platform/native_profile.h"
#include "platform/odbc_connector.h"
#include "platform/platform.h"
#include "platform/program_path.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_registry.h"
#include "vendaro_version.h"

namespace vendaro {
namespace {

int Run(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ProgramLocation program = SplitProgramPath(ProgramPath(), "\\/", "vendaroctl.exe");
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    win32::Win32Registry registry;
    win32::Win32Installer installer;
    win32::Win32Dialogs dialogs;
    Platform platform{*profile, registry, installer, dialogs};
    std::unique_ptr<OdbcConnector> connector = MakeOdbcConnector();
    ctl::Environment env{platform, *connector, program.directory + "\\vendaro.ini", '\\',
                         VENDARO_VERSION};
    return ctl::Run(args, env, std::cout, std::cerr);
}

}  // namespace
}  // namespace vendaro

int main(int argc, char** argv) {
    try {
        return vendaro::Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "vendaroctl: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "vendaroctl: unexpected failure\n";
    }
    return vendaro::ctl::kExitFailed;
}
