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
    // `browse_callback`: the folder dialog's callback (the program passes the one built on the
    // shell's decisions; the default does the same on its own).
    explicit Win32Dialogs(BFFCALLBACK browse_callback = &Win32Dialogs::BrowseCallbackProc)
        : browse_callback_(browse_callback) {}

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

    // The record SHBrowseForFolderA gets.
    static BROWSEINFOA BrowseRecord(WindowHandle owner, const std::string& title,
                                    BFFCALLBACK callback = &Win32Dialogs::BrowseCallbackProc);

    // The folder dialog's callback: selects the start folder when the dialog opens and shows
    // the path of each newly selected item in its status line. Always returns 0.
    static int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM data);

    // The start folder of the latest folder dialog, followed by one NUL.
    static const std::string& BrowseStartFolder();

  private:
    BFFCALLBACK browse_callback_;
};

// The input box's controls, for code that drives it (tests).
enum : int { kInputBoxPrompt = 100, kInputBoxText = 101 };

}  // namespace vendaro::win32
