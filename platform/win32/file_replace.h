#pragma once
// Puts new bytes in a file's place as one step: they are written to a temporary file beside it,
// flushed to the disk, given the old file's security, attributes and creation time, and renamed
// over it (MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). A crash at any
// moment leaves the old file or the new one, and at worst a temporary beside it.
#include <string>
#include <string_view>

namespace vendaro::win32 {

// Replaces the file `path` by `bytes` (creates it when `exists` is false). The caller holds
// the file's mutex, so any temporary of this file that it finds was left by a writer that was
// killed, and goes. Returns false, the file as it was, with the reason noted (NoteFailure).
bool ReplaceFileBytes(const std::string& path, std::string_view bytes, bool exists);

}  // namespace vendaro::win32
