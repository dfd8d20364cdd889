#pragma once
// How the editors are shown: the Windows views draw each model as a modal dialog; tests drive
// the models instead. Each call returns once the model says it is closed.
namespace vendaro {

class Form4;
class Form5;
class Form6;
class Form7;
class Form8;

class EditorWindows {
  public:
    virtual ~EditorWindows() = default;
    // Each shows the loaded model modally, forwarding the dialog's events to it, and returns
    // once model.closed() (or the window is gone).
    virtual void Show(Form4& editor) = 0;
    virtual void Show(Form5& editor) = 0;
    virtual void Show(Form6& editor) = 0;
    virtual void Show(Form7& dialog) = 0;
    virtual void Show(Form8& editor) = 0;
};

}  // namespace vendaro
