#include "platform/win32/win32_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/win32_dialog_template.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {
namespace {

bool g_busy = false;

struct InputBoxState {
    const std::string* prompt;
    const std::string* title;
    std::string answer;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        switch (message) {
            case WM_INITDIALOG: {
                auto* state = reinterpret_cast<InputBoxState*>(lparam);
                SetWindowLongPtrA(dialog, DWLP_USER, lparam);
                SetWindowTextA(dialog, state->title->c_str());
                SetDlgItemTextA(dialog, kInputBoxPrompt, state->prompt->c_str());
                return TRUE;  // the focus goes to the text field, the first tab stop
            }
            case WM_COMMAND: {
                auto* state =
                    reinterpret_cast<InputBoxState*>(GetWindowLongPtrA(dialog, DWLP_USER));
                WORD id = LOWORD(wparam);
                if (id == IDOK && state != nullptr) {
                    state->answer = WindowText(GetDlgItem(dialog, kInputBoxText));
                    EndDialog(dialog, IDOK);
                    return TRUE;
                }
                if (id == IDCANCEL) {
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                }
                return FALSE;
            }
            default:
                return FALSE;
        }
    } catch (...) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
}

// The classic input box: the prompt at the top left, OK and Cancel at the right, the text
// field along the bottom.
DialogTemplate InputBoxTemplate() {
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 246,
                          84);
    dialog.AddControl(ControlClass::Static, kInputBoxPrompt, SS_LEFT | SS_NOPREFIX, 7, 7, 174, 46);
    dialog.AddControl(ControlClass::Edit, kInputBoxText,
                      WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, 7, 62, 232, 13);
    dialog.AddControl(ControlClass::Button, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 189, 7, 50, 14,
                      "OK");
    dialog.AddControl(ControlClass::Button, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 189, 25, 50, 14,
                      "Cancel");
    return dialog;
}

}  // namespace

UINT Win32Dialogs::MessageBoxFlags(const MessageBoxRequest& request) {
    UINT flags = request.buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    flags |= request.icon == MsgIcon::Question ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
    flags |= request.default_button == MsgDefault::Second ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    // Without an owner the box still keeps the program's other windows waiting.
    if (request.owner == 0) flags |= MB_TASKMODAL;
    return flags;
}

MsgAnswer Win32Dialogs::MessageBox(const MessageBoxRequest& request) {
    int answer = MessageBoxA(ToHwnd(request.owner), request.text.c_str(), request.title.c_str(),
                             MessageBoxFlags(request));
    switch (answer) {
        case IDYES:
            return MsgAnswer::Yes;
        case IDOK:
            return MsgAnswer::Ok;
        default:
            // No, or a box that could not be shown: never taken as consent.
            return request.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
}

std::string Win32Dialogs::InputBox(WindowHandle owner, const std::string& prompt,
                                   const std::string& title) {
    static const DialogTemplate dialog = InputBoxTemplate();
    InputBoxState state{&prompt, &title, {}};
    INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), ToHwnd(owner),
                                             InputBoxProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? state.answer : std::string();
}

OPENFILENAMEA Win32Dialogs::OpenFileRecord(const OpenFileRequest& request, char (&file)[255],
                                           char (&file_title)[255]) {
    for (char* buffer : {file, file_title}) {
        std::fill(buffer, buffer + 254, ' ');
        buffer[254] = '\0';
    }
    OPENFILENAMEA record{};
    // The classic record size (76 bytes on 32-bit Windows): every field used lies within it.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = ToHwnd(request.owner);
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpstrFilter = request.platform_filter.c_str();
    record.lpstrCustomFilter = nullptr;
    record.nMaxCustFilter = 0;
    record.nFilterIndex = 0;
    record.lpstrFile = file;
    record.nMaxFile = sizeof file;
    record.lpstrFileTitle = file_title;
    record.nMaxFileTitle = sizeof file_title;
    record.lpstrInitialDir = request.start_folder.c_str();
    record.lpstrTitle = request.title.c_str();
    record.Flags = OFN_FILEMUSTEXIST;
    return record;
}

bool Win32Dialogs::OpenFile(const OpenFileRequest& request, std::string& file_buffer) {
    char file[255];
    char file_title[255];
    OPENFILENAMEA record = OpenFileRecord(request, file, file_title);
    if (!GetOpenFileNameA(&record)) {
        file_buffer.clear();
        return false;
    }
    file[254] = '\0';
    file_buffer = file;
    return true;
}

int CALLBACK Win32Dialogs::BrowseCallbackProc(HWND dialog, UINT message, LPARAM param,
                                              LPARAM data) {
    try {
        if (message == BFFM_INITIALIZED && data != 0) {
            SendMessageA(dialog, BFFM_SETSELECTIONA, 1, data);
        } else if (message == BFFM_SELCHANGED) {
            std::vector<char> path(1024, '\0');
            // Items without a file-system path (printers, the control panel) leave the
            // status line as it was.
            if (SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path.data()) ==
                1) {
                path.back() = '\0';
                SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path.data()));
            }
        }
    } catch (...) {
    }
    return 0;
}

BROWSEINFOA Win32Dialogs::BrowseRecord(WindowHandle owner, const std::string& title,
                                       const std::string& start_folder) {
    BROWSEINFOA record{};
    record.hwndOwner = ToHwnd(owner);
    record.pidlRoot = nullptr;
    record.pszDisplayName = nullptr;
    record.lpszTitle = title.c_str();
    record.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT;
    record.lpfn = &Win32Dialogs::BrowseCallbackProc;
    record.lParam = reinterpret_cast<LPARAM>(start_folder.c_str());
    return record;
}

bool Win32Dialogs::BrowseFolder(WindowHandle owner, const std::string& title,
                                const std::string& start_folder, std::string& folder) {
    folder.clear();
    // The shell's folder tree needs COM on this thread; balanced when this call set it up.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    bool chosen = false;
    {
        BROWSEINFOA record = BrowseRecord(owner, title, start_folder);
        TaskMem<ITEMIDLIST> item(SHBrowseForFolderA(&record));
        if (item.get() != nullptr) {
            std::vector<char> path(1024, ' ');
            path.back() = '\0';
            // A chosen item without a file-system path gives no folder rather than the
            // buffer's blanks.
            if (SHGetPathFromIDListA(item.get(), path.data())) {
                path.back() = '\0';
                folder = path.data();
                chosen = true;
            }
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

bool Win32Dialogs::Busy() {
    return g_busy;
}

void Win32Dialogs::SetBusy(bool busy) {
    g_busy = busy;
    SetCursor(LoadCursorA(
        nullptr, busy ? reinterpret_cast<LPCSTR>(IDC_WAIT) : reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

bool Win32Dialogs::Launch(const std::string& command_line) {
    std::vector<char> mutable_line(command_line.begin(), command_line.end());
    mutable_line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    // The program runs on its own; nothing waits for it.
    KernelHandle process_handle(process.hProcess);
    KernelHandle thread_handle(process.hThread);
    return true;
}

}  // namespace vendaro::win32
