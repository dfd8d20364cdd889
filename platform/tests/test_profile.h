#pragma once
// The platform's own profile functions for a test fixture; on POSIX the test can make their
// writes fail (`files.faults`).
#include <memory>

#include "platform/native_profile.h"
#ifndef _WIN32
#include "platform/posix/file_profile.h"
#include "platform/tests/posix/faulty_file_system.h"
#endif

namespace vendaro {

struct TestProfile {
#ifndef _WIN32
    FaultyFileSystem files;
    std::unique_ptr<Profile> profile = std::make_unique<FileProfile>(files);
#else
    std::unique_ptr<Profile> profile = MakeNativeProfile();
#endif
    Profile* get() const {
        return profile.get();
    }
};

}  // namespace vendaro
