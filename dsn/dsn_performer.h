#pragma once
// Performs a write list through the platform layer.
#include <cstddef>
#include <span>

#include "dsn/write_list.h"
#include "platform/platform.h"
#include "store/script_store.h"

namespace vendaro {

struct PerformOptions {
    // Leaves out every profile write (the Windows directory's ODBC.INI entries, which only
    // Windows programs read); a left-out write counts as done.
    bool skip_profile_writes = false;
};

struct PerformResult {
    // False when a key could not be created or a value or profile entry could not be
    // written. Closing a key and the installer's answer do not count.
    bool writes_ok = true;
    std::size_t failed_writes = 0;
};

// Runs `ops` in order; a failing operation does not stop the ones after it. Registry and
// installer calls go to `platform`, profile writes to `store` with their explicit file.
PerformResult PerformWrites(std::span<const WriteOp> ops, ScriptStore& store, Platform& platform,
                            const PerformOptions& options = {});

}  // namespace vendaro
