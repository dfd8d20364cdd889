#pragma once
// Message box, input box, open-file and folder dialogs, busy pointer and program launch on
// user32, comdlg32, shell32 and kernel32 (the ANSI functions).
#include "platform/win32/windows_api.h"

#include <commdlg.h>
#include <shlobj.h>

#include "platform/dialogs.h"

namespace vendaro::win32 {

class Win32Dialogs final : public Dialogs {
  public:
    MsgAnswer MessageBox(const MessageBoxRequest& request) override;
    std::string InputBox(WindowHandle owner, const std::string& prompt,
                         const std::string& title) override;
    bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) override;
    bool BrowseFolder(WindowHandle owner, const std::string& title, const std::string& start_folder,
                      std::string& folder) override;
    void SetBusy(bool busy) override;
    bool Launch(const std::string& command_line) override;

    // True between SetBusy(true) and SetBusy(false): windows show the hourglass meanwhile.
    static bool Busy();

    // The flags MessageBoxA gets for `request`.
    static UINT MessageBoxFlags(const MessageBoxRequest& request);

    // The record GetOpenFileNameA gets for `request`; `file` and `file_title` are the
    // caller's 255-character buffers, which this fills with 254 blanks and a NUL.
    static OPENFILENAMEA OpenFileRecord(const OpenFileRequest& request, char (&file)[255],
                                        char (&file_title)[255]);

    // The record SHBrowseForFolderA gets; its callback data is `start_folder`, which must
    // outlive the dialog.
    static BROWSEINFOA BrowseRecord(WindowHandle owner, const std::string& title,
                                    const std::string& start_folder);

    // The folder dialog's callback: selects the start folder (`data`, a C string) when the
    // dialog opens and shows the path of each newly selected item in its status line. Always
    // returns 0.
    static int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM data);
};

// The input box's controls, for code that drives it (tests).
enum : int { kInputBoxPrompt = 100, kInputBoxText = 101 };

}  // namespace vendaro::win32
