#pragma once
// The temporary files a write puts beside the file it replaces, named after the file and the
// writing process, and the clean-up of those that writers killed before their rename left.
#include <string>

namespace vendaro {

// The name of the `counter`th temporary file of this process for `target`:
// "<dir>/.<name>.tmp<pid>-<counter>".
std::string TempFileName(const std::string& target, unsigned counter);

// Removes the temporary files of `target` whose process no longer runs.
void RemoveOrphanedTempFiles(const std::string& target);

}  // namespace vendaro
