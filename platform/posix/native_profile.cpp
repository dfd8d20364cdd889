#include "platform/native_profile.h"

#include "platform/posix/file_profile.h"

namespace vendaro {

std::unique_ptr<Profile> MakeNativeProfile() {
    return std::make_unique<FileProfile>();
}

}  // namespace vendaro
