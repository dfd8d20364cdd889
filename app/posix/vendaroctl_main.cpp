// vendaroctl on Linux: the library's data sources in unixODBC's odbc.ini files.
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ctl/vendaroctl.h"
#include "platform/native_profile.h"
#include "platform/odbc_connector.h"
#include "platform/platform.h"
#include "platform/posix/console_dialogs.h"
#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"
#include "platform/program_path.h"
#include "vendaro_version.h"

namespace vendaro {
namespace {

int Run(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ProgramLocation program = SplitProgramPath(ProgramPath(), "/", "vendaroctl");
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    OdbcRegistry registry;
    OdbcInstaller installer;
    ConsoleDialogs dialogs(std::cerr);
    // As vendaro on Linux: no Windows directory's ODBC.INI.
    Platform platform{*profile, registry, installer, dialogs, /*legacy_odbc_ini=*/false};
    std::unique_ptr<OdbcConnector> connector = MakeOdbcConnector();
    ctl::Environment env{platform, *connector, program.directory + "/vendaro.ini", '/',
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
