#pragma once
// What every editor dialog shares: its context, its caption, how it closes (Escape at once),
// the keyboard focus its rules move, and the message boxes it shows.
#include <string>

#include "editors/editor_context.h"
#include "forms/controls.h"
#include "forms/dialog_form.h"

// Asks for the focus on the form's control member `control`: a misspelt control does not compile.
#define VENDARO_MOVE_FOCUS(control) MoveFocus((static_cast<void>(control), #control))

namespace vendaro {

enum class CloseReason {
    Open,       // still open
    Saved,      // Save wrote the script (or, in the advanced options, had nothing to write)
    Cancelled,  // Cancel, with no question or the question answered No
    Escaped,    // Escape
    CloseBox,   // the window's close box
};

inline constexpr const char* kSaveChangesQuestion =
    "Do you want to save your changes before closing this screen?";
inline constexpr const char* kUnstorablePasswordText =
    "The password contains characters that cannot be stored.";
inline constexpr const char* kSaveFailedText = "The DSN script could not be saved.";
// The question before a Save writes over another script.
inline std::string ReplaceScriptQuestion(const std::string& name) {
    return "A DSN script named " + name + " already exists. Do you want to replace it?";
}

class ModalForm : public DialogForm {
  public:
    explicit ModalForm(const EditorContext& context) : context_(context) {}
    virtual ~ModalForm() = default;
    ModalForm(const ModalForm&) = delete;
    ModalForm& operator=(const ModalForm&) = delete;

    void SetWindowHandle(WindowHandle hwnd) override { context_.window = hwnd; }
    WindowHandle hWnd() const { return context_.window; }

    bool closed() const { return close_reason_ != CloseReason::Open; }
    CloseReason close_reason() const { return close_reason_; }

    // Escape closes the dialog at once, without a question and without saving.
    bool Form_KeyPress(int key_ascii) override;
    void Form_Unload() override;

  protected:
    // Closes the dialog (once) and runs OnClosing.
    void Close(CloseReason reason);
    virtual void OnClosing() {}
    // Asks the view for the focus on the control named `control` once the event is over; a form
    // names its own control with VENDARO_MOVE_FOCUS, which the compiler checks.
    void MoveFocus(const char* control);

    bool AskYesNo(const std::string& question);
    // Shows `text` with the reason the failing platform call noted, if one did.
    void Refuse(const std::string& text);
    void SetBusy(bool busy) { context_.platform.dialogs.SetBusy(busy); }

    EditorContext context_;
    bool loading_ = false;

  private:
    CloseReason close_reason_ = CloseReason::Open;
};

}  // namespace vendaro
