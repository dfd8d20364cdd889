#include "editors/script_editor_launcher.h"

#include "dsn/drivers.h"

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

namespace {

template <typename Editor, typename... Extra>
void Open(EditorWindows& windows, const EditorContext& context, Extra&... extra) {
    Editor editor(context, extra...);
    editor.Form_Load();
    windows.Show(editor);
}

}  // namespace

bool ScriptEditorLauncher::OpenEditor(const std::string& driver_name) {
    const Driver* driver = FindDriver(driver_name);
    if (!lvw_main_ || !status_line_ || driver == nullptr || !driver->has_editor) return false;
    EditorContext context{store_, platform_, module1_, *lvw_main_, *status_line_};
    switch (driver->id) {
        case DriverId::AdaptiveServer:
            Open<Form5>(windows_, context);
            return true;
        case DriverId::Access:
            Open<Form6>(windows_, context, windows_);
            return true;
        case DriverId::Dbase:
            Open<Form8>(windows_, context);
            return true;
        case DriverId::SqlServer:
            Open<Form4>(windows_, context);
            return true;
        case DriverId::FoxPro:
            break;
    }
    return false;
}

}  // namespace vendaro
