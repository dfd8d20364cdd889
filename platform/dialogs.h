#pragma once
// Message box, input box, the common file dialogs, the busy pointer and program launch.
#include <string>

#include "platform/installer.h"

namespace vendaro {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { Exclamation, Question };
enum class MsgDefault { First, Second };  // Second = No on a Yes/No box
enum class MsgAnswer { Ok, Yes, No };

struct MessageBoxRequest {
    WindowHandle owner = 0;
    std::string text;
    std::string title;  // always "Vendaro!" in this program
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::Exclamation;
    MsgDefault default_button = MsgDefault::First;
};

// The open-file dialog (GetOpenFileNameA). `platform_filter` is already in the platform's
// NUL-separated form, ending in two NULs.
struct OpenFileRequest {
    WindowHandle owner = 0;
    std::string platform_filter;
    std::string title;
    std::string start_folder;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MsgAnswer MessageBox(const MessageBoxRequest& request) = 0;
    // The classic input box: prompt, title, one empty text field, OK and Cancel.
    // Returns the text, or "" on Cancel.
    virtual std::string InputBox(WindowHandle owner, const std::string& prompt,
                                 const std::string& title) = 0;
    // GetOpenFileNameA with a 255-character file buffer of blanks. Returns false on Cancel
    // or failure; on OK `file_buffer` is the buffer's text up to its first NUL.
    virtual bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) = 0;
    // SHBrowseForFolder with the start folder preselected. Returns false on Cancel; on OK
    // `folder` is the chosen folder's file-system path.
    virtual bool BrowseFolder(WindowHandle owner, const std::string& title,
                              const std::string& start_folder, std::string& folder) = 0;
    // The hourglass (true) or the default pointer (false).
    virtual void SetBusy(bool busy) = 0;
    // Starts a program without waiting for it. Returns false when it could not be started.
    virtual bool Launch(const std::string& command_line) = 0;
};

}  // namespace vendaro
