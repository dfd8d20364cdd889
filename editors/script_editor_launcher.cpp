#include "editors/script_editor_launcher.h"

#include <memory>
#include <type_traits>

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

template <typename Editor>
std::unique_ptr<ScriptEditor> Make(const EditorContext& context, EditorWindows& windows) {
    if constexpr (std::is_constructible_v<Editor, const EditorContext&, EditorWindows&>) {
        return std::make_unique<Editor>(context, windows);
    } else {
        return std::make_unique<Editor>(context);
    }
}

// The editor of each driver that has one.
struct EditorRow {
    DriverId driver;
    std::unique_ptr<ScriptEditor> (*make)(const EditorContext& context, EditorWindows& windows);
};
constexpr EditorRow kEditors[] = {
    {DriverId::AdaptiveServer, &Make<Form5>},
    {DriverId::Access, &Make<Form6>},
    {DriverId::Dbase, &Make<Form8>},
    {DriverId::SqlServer, &Make<Form4>},
};

}  // namespace

bool ScriptEditorLauncher::OpenEditor(const std::string& driver_name) {
    const Driver* driver = FindDriver(driver_name);
    if (!lvw_main_ || !status_line_ || driver == nullptr) return false;
    for (const EditorRow& row : kEditors) {
        if (row.driver != driver->id) continue;
        std::unique_ptr<ScriptEditor> editor =
            row.make({store_, platform_, module1_, *lvw_main_, *status_line_}, windows_);
        editor->Form_Load();
        windows_.Show(*editor);
        return true;
    }
    return false;
}

}  // namespace vendaro
