#pragma once
// What a dialog's view needs of its model: the caption, the focus its rules ask for, the
// window handed over, and the two ways the window itself closes the dialog.
#include <string>

#include "platform/installer.h"

namespace vendaro {

class DialogForm {
  public:
    virtual ~DialogForm() = default;

    // The view hands over the dialog's window once it exists (the owner of its choosers).
    virtual void SetWindowHandle(WindowHandle hwnd) = 0;
    // The dialog sees every key press before its controls. Returns true when the key was
    // used here.
    virtual bool Form_KeyPress(int key_ascii) = 0;
    // The window's close box.
    virtual void Form_Unload() = 0;

    std::string Caption;
    // The control ("Text10", "Command1", ...) a rule last moved the keyboard focus to; the
    // view moves the focus there and clears this.
    std::string focus_request;
};

}  // namespace vendaro
