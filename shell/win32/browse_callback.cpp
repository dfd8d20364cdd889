#include "shell/win32/browse_callback.h"

#include <shlobj.h>

#include <string>

#include "shell/pickers.h"

namespace vendaro::win32 {

int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM /*data*/) {
    try {
        std::string path(kFolderPathBufferSize, '\0');
        int path_result = 0;
        if (message == BFFM_SELCHANGED && param != 0) {
            path_result =
                SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path.data());
        }
        auto action = BrowseCallbackAction(message, path_result, path);
        if (action) {
            SendMessageA(dialog, action->message, static_cast<WPARAM>(action->wparam),
                         reinterpret_cast<LPARAM>(action->text.c_str()));
        }
    } catch (...) {
        // The shell's dialog goes on without the selection or the status text.
    }
    return 0;
}

}  // namespace vendaro::win32
