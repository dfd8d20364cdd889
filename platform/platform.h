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
};

}  // namespace vendaro
