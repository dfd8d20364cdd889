#pragma once
// The file and folder choosers the script editors use. Everything around the dialogs (the
// filter's platform form, the result's cutting, the folder dialog's start folder and its
// callback's decisions) is plain logic here; the dialogs themselves are the platform's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialogs.h"

namespace vendaro {

// What the Windows views pass to the dialogs.
inline constexpr unsigned kOpenFileFlags = 0x1000;  // OFN_FILEMUSTEXIST and nothing else
inline constexpr int kOpenFileBufferSize = 255;     // 254 blanks and the terminator
inline constexpr unsigned kBrowseFolderFlags = 7;   // RETURNONLYFSDIRS|DONTGOBELOWDOMAIN|STATUSTEXT
inline constexpr int kFolderPathBufferSize = 1024;

// The folder dialog's callback messages and the messages it sends back.
inline constexpr unsigned kBffmInitialized = 1;
inline constexpr unsigned kBffmSelChanged = 2;
inline constexpr unsigned kBffmSetStatusTextA = 0x464;
inline constexpr unsigned kBffmSetSelectionA = 0x466;

// `filter` ("Text (*.txt)|*.txt|All Files (*.*)|*.*", the last bar optional) in the form the
// open dialog takes: every bar a NUL, ending in two NULs (the last bar's and the terminator).
std::string PlatformFilter(std::string filter);

// The open dialog's answer: the file buffer's text before its first NUL, blanks trimmed.
std::string OpenDialogResult(std::string_view file_buffer);

// The folder dialog's answer: the path buffer's text before its first NUL.
std::string FolderDialogResult(std::string_view path_buffer);

// The start folder of the most recent BrowseForFolder call followed by one NUL; kept after
// the call. The folder dialog's callback reads it.
std::string& BrowseStartFolder();

// A message the folder dialog's callback sends to the dialog window.
struct BrowseCallbackMessage {
    unsigned message = 0;
    std::uintptr_t wparam = 0;
    std::string text;  // what lParam points at
    bool operator==(const BrowseCallbackMessage&) const = default;
};

// What the callback sends for `message`: on BFFM_INITIALIZED the start folder's selection; on
// BFFM_SELCHANGED, when SHGetPathFromIDList returned exactly 1 (`path_result`) with
// `path_buffer`, that path as the status text. nullopt: nothing is sent.
std::optional<BrowseCallbackMessage> BrowseCallbackAction(unsigned message, int path_result,
                                                          std::string_view path_buffer);

// Asks for an existing file. Returns its full path, or "" when the user cancelled or the
// dialog failed.
std::string ShowOpenDialog(Dialogs& dialogs, WindowHandle owner, std::string filter,
                           const std::string& title, const std::string& start_folder);

// Asks for a folder, `start_folder` preselected (it may be empty). Returns its path, or ""
// when the user cancelled.
std::string BrowseForFolder(Dialogs& dialogs, WindowHandle owner, const std::string& title,
                            const std::string& start_folder);

}  // namespace vendaro
