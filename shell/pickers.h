#pragma once
// The file and folder choosers the script editors use. Everything around the dialogs (the
// filter's platform form, the result's cutting) is plain logic here; the dialogs themselves,
// the folder dialog's callback included, are the platform's.
#include <string>
#include <string_view>

#include "platform/dialogs.h"

namespace vendaro {

// `filter` ("Text (*.txt)|*.txt|All Files (*.*)|*.*", the last bar optional) in the form the
// open dialog takes: every bar a NUL, ending in two NULs (the last bar's and the terminator).
std::string PlatformFilter(std::string filter);

// The open dialog's answer: the file buffer's text before its first NUL, blanks trimmed.
std::string OpenDialogResult(std::string_view file_buffer);

// The folder dialog's answer: the path buffer's text before its first NUL.
std::string FolderDialogResult(std::string_view path_buffer);

// Asks for an existing file. Returns its full path, or "" when the user cancelled or the
// dialog failed.
std::string ShowOpenDialog(Dialogs& dialogs, WindowHandle owner, std::string filter,
                           const std::string& title, const std::string& start_folder);

// Asks for a folder, `start_folder` preselected (it may be empty). Returns its path, or ""
// when the user cancelled.
std::string BrowseForFolder(Dialogs& dialogs, WindowHandle owner, const std::string& title,
                            const std::string& start_folder);

}  // namespace vendaro
