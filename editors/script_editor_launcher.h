#pragma once
// Opens the script editor of a driver name for the main window: builds the editor's model,
// loads it and shows it modally through the views.
#include <string>

#include "editors/editor_context.h"
#include "editors/editor_windows.h"
#include "forms/editor_launcher.h"

namespace vendaro {

class ScriptEditorLauncher final : public EditorLauncher {
  public:
    // The main window's list and status line are attached once the main window exists.
    ScriptEditorLauncher(ScriptStore& store, Platform& platform, Module1& module1,
                         EditorWindows& windows);

    void AttachMainWindow(ScriptList& lvwMain, StatusLine& status_line);

    // Opens the editor of exactly `driver_name` (case and blanks count) and returns once it
    // has closed. False, opening nothing, for any other name or before AttachMainWindow.
    bool OpenEditor(const std::string& driver_name) override;

  private:
    ScriptStore& store_;
    Platform& platform_;
    Module1& module1_;
    EditorWindows& windows_;
    ScriptList* lvw_main_ = nullptr;
    StatusLine* status_line_ = nullptr;
};

}  // namespace vendaro
