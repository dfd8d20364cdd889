#pragma once
// How the editors are shown: the Windows views draw each model as a modal dialog; tests drive
// the models instead. Each call returns once the model says it is closed.
namespace vendaro {

class ScriptEditor;
class Form7;

class EditorWindows {
  public:
    virtual ~EditorWindows() = default;
    // Each shows the loaded model modally, forwarding the dialog's events to it, and returns
    // once model.closed() (or the window is gone). A script editor is drawn by the view of its
    // own type.
    virtual void Show(ScriptEditor& editor) = 0;
    virtual void Show(Form7& dialog) = 0;
};

}  // namespace vendaro
