#pragma once
// What every editor dialog shares: its context, its caption, how it closes (Escape at once),
// the keyboard focus its rules move, and the message boxes it shows.
#include <string>

#include "editors/controls.h"
#include "editors/editor_context.h"

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

class ModalForm {
  public:
    explicit ModalForm(const EditorContext& context) : context_(context) {}
    virtual ~ModalForm() = default;
    ModalForm(const ModalForm&) = delete;
    ModalForm& operator=(const ModalForm&) = delete;

    // The view hands over the dialog's window once it exists (the owner of its choosers).
    void SetWindowHandle(WindowHandle hwnd) { context_.window = hwnd; }
    WindowHandle hWnd() const { return context_.window; }

    bool closed() const { return close_reason_ != CloseReason::Open; }
    CloseReason close_reason() const { return close_reason_; }

    // The dialog sees every key press before its controls. Escape closes it at once, without
    // a question and without saving. Returns true when the key was used here.
    bool Form_KeyPress(int key_ascii);
    // The window's close box.
    void Form_Unload();

    std::string Caption;
    // The control ("Text10", "Command1", ...) a rule last moved the keyboard focus to; the
    // view moves the focus there and clears this. Rules that run while the dialog loads leave
    // it alone.
    std::string focus_request;

  protected:
    // Closes the dialog (once) and runs OnClosing.
    void Close(CloseReason reason);
    virtual void OnClosing() {}
    void MoveFocus(const char* control);

    bool AskYesNo(const std::string& question);
    void Refuse(const std::string& text);
    void SetBusy(bool busy) { context_.platform.dialogs.SetBusy(busy); }

    EditorContext context_;
    bool loading_ = false;

  private:
    CloseReason close_reason_ = CloseReason::Open;
};

}  // namespace vendaro
