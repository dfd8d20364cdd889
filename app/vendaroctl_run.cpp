#include "app/vendaroctl_run.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ctl/vendaroctl.h"
#include "platform/native_profile.h"
#include "platform/odbc_connector.h"
#include "platform/program_path.h"
#include "vendaro_version.h"

namespace vendaro {

int RunVendaroctl(int argc, char** argv, Registry& registry, Installer& installer, Dialogs& dialogs,
                  const ConsoleSystem& system) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ProgramLocation program =
        SplitProgramPath(ProgramPath(), system.path_separators, system.program_name);
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    Platform platform{*profile, registry, installer, dialogs, system.legacy_odbc_ini};
    std::unique_ptr<OdbcConnector> connector = MakeOdbcConnector();
    ctl::Environment env{platform, *connector, program.directory + system.separator + "vendaro.ini",
                         system.separator, VENDARO_VERSION};
    return ctl::Run(args, env, std::cout, std::cerr);
}

}  // namespace vendaro
