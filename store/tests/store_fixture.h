#pragma once
// A script store on the platform's own profile functions, over a scratch directory standing
// in for the program's directory.
#include <memory>
#include <string>

#include "platform/native_profile.h"
#include "store/script_store.h"
#include "store/tests/test_support.h"

namespace vendaro::test {

struct StoreFixture {
    ScratchDir dir;
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    ScriptStore store{*profile, dir.path(), OnWindows() ? "vendaro.exe" : "vendaro", kSeparator};
    // vendaro.ini: the file of the key-level operations, the listing and the copy alike.
    std::string ini = dir.File("vendaro.ini");

    void Given(const std::string& bytes) const { WriteBytes(ini, bytes); }
    std::string Bytes() const { return ReadBytes(ini); }
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def = "") {
        return store.ReadIniString(section, key, def);
    }
};

}  // namespace vendaro::test
