#pragma once
// The main window's own modal dialogs, opened through this so tests can answer them and each
// platform can draw them.
namespace vendaro {

class Form3;
class FrmAbout;

class ModalWindows {
  public:
    virtual ~ModalWindows() = default;
    // Shows the loaded Select Driver dialog modally, forwarding its events to `dialog`, and
    // returns once the dialog is closed (dialog.Closed()) or its window is gone.
    virtual void ShowSelectDriver(Form3& dialog) = 0;
    // Shows the about box modally; returns once it is closed.
    virtual void ShowAbout(FrmAbout& about) = 0;
};

}  // namespace vendaro
