#pragma once
// The whole platform layer, as the models see it.
#include "platform/dialogs.h"
#include "platform/installer.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace vendaro {

struct Platform {
    Profile& profile;
    Registry& registry;
    Installer& installer;
    Dialogs& dialogs;
    // Whether DSN creation also writes the Windows directory's ODBC.INI entries, which only
    // Windows programs read.
    bool legacy_odbc_ini = true;
};

}  // namespace vendaro
