#include "editors/script_editor_launcher.h"

#include "editors/form4.h"
#include "editors/form5.h"
#include "editors/form6.h"
#include "editors/form8.h"

namespace vendaro {

ScriptEditorLauncher::ScriptEditorLauncher(ScriptStore& store, Platform& platform, Module1& module1,
                                           EditorWindows& windows)
    : store_(store), platform_(platform), module1_(module1), windows_(windows) {}

void ScriptEditorLauncher::AttachMainWindow(ScriptList& lvwMain, StatusLine& status_line) {
    lvw_main_ = &lvwMain;
    status_line_ = &status_line;
}

bool ScriptEditorLauncher::OpenEditor(const std::string& driver_name) {
    if (!lvw_main_ || !status_line_) return false;
    EditorContext context{store_, platform_, module1_, *lvw_main_, *status_line_};
    if (driver_name == Form5::kDriverName) {
        Form5 editor(context);
        editor.Form_Load();
        windows_.Show(editor);
    } else if (driver_name == Form4::kDriverName) {
        Form4 editor(context);
        editor.Form_Load();
        windows_.Show(editor);
    } else if (driver_name == Form6::kDriverName) {
        Form6 editor(context, windows_);
        editor.Form_Load();
        windows_.Show(editor);
    } else if (driver_name == Form8::kDriverName) {
        Form8 editor(context);
        editor.Form_Load();
        windows_.Show(editor);
    } else {
        return false;
    }
    return true;
}

}  // namespace vendaro
