#pragma once
// The folder dialog's callback for the script editors' folder chooser: it acts on what the
// chooser logic decides (select the start folder, show the selected path).
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {

// Sends the dialog what BrowseCallbackAction says for `message`. Always returns 0.
int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM data);

}  // namespace vendaro::win32
