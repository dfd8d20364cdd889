#pragma once
// A file another program holds: how long a write waits for it, and what the failure says.
#include <chrono>
#include <string>

#include "platform/failure.h"

namespace vendaro {

// A holder that keeps a file longer than this is stuck or busy for good: an unattended run
// must end, and a user must learn why, rather than wait without limit.
inline constexpr std::chrono::seconds kFileInUseWait{10};

// Notes that `file` could not be had within kFileInUseWait.
inline void NoteFileInUse(const std::string& file) {
    NoteFailure(file + " is in use by another program.");
}

}  // namespace vendaro
