#pragma once
// The temporary files a write puts beside the file it replaces, named after the file and the
// writing process, and the clean-up of those that writers killed before their rename left.
#include <optional>
#include <string>
#include <string_view>

namespace vendaro {

// The name of the `counter`th temporary file of this process for `target`:
// "<dir>/.<name>.tmp<pid>-<counter>".
std::string TempFileName(const std::string& target, unsigned counter);

// The writer's pid of a file named `name` when the name is exactly one TempFileName makes with
// `prefix` (".<name>.tmp"); nullopt for any other name.
std::optional<long> TempFileOwnerPid(std::string_view name, std::string_view prefix);

// Removes the temporary files of `target` that this user's writers left: named exactly as
// TempFileName names them, regular files of this user, of a process that no longer runs.
void RemoveOrphanedTempFiles(const std::string& target);

}  // namespace vendaro
