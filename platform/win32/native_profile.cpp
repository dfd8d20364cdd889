#include "platform/native_profile.h"

#include "platform/win32/kernel32_profile.h"

namespace vendaro {

std::unique_ptr<Profile> MakeNativeProfile() {
    return std::make_unique<win32::Kernel32Profile>();
}

}  // namespace vendaro
