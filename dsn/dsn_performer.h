#pragma once
// Performs a write list through the platform layer.
#include <span>

#include "dsn/write_list.h"
#include "platform/platform.h"
#include "store/script_store.h"

namespace vendaro {

struct PerformResult {
    // False when a key could not be created or a value or profile entry could not be
    // written, or the driver's step could not be run at all. Closing a key and a driver that
    // declines do not count.
    bool writes_ok = true;
};

// Runs `ops` in order; a failing operation does not stop the ones after it, except that a
// profile file that failed a write is not written again in the same run (it fails at once).
// Registry and installer calls go to `platform`, profile writes to `store` with their explicit
// file (left out, and counted as done, on a platform without the Windows directory's ODBC.INI).
PerformResult PerformWrites(std::span<const WriteOp> ops, ScriptStore& store, Platform& platform);

}  // namespace vendaro
