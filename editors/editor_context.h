#pragma once
// What a script editor works with: the script file, the platform, the shared fields, and the
// main window's list and status line.
#include "forms/module1.h"
#include "forms/script_list.h"
#include "forms/status_line.h"
#include "platform/platform.h"
#include "store/script_store.h"

namespace vendaro {

struct EditorContext {
    ScriptStore& store;
    Platform& platform;
    Module1& module1;
    ScriptList& lvwMain;
    StatusLine& status_line;
    // The editor's own window once the view has created it; the owner of its choosers and
    // message boxes. 0 before that.
    WindowHandle window = 0;
};

}  // namespace vendaro
