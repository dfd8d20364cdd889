#pragma once
// The profile implementation of the platform the program was built for: kernel32's on
// Windows, the project's own file-backed reader and writer elsewhere.
#include <memory>

#include "platform/profile.h"

namespace vendaro {

std::unique_ptr<Profile> MakeNativeProfile();

}  // namespace vendaro
