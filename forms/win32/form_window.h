#pragma once
// The base of the program's top-level windows: creation in twips, a window procedure that
// lets no exception out, key preview, and the message loops (main and modal).
#include <functional>
#include <string>

#include "forms/controls.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace vendaro::win32 {

// The Shift argument of a KeyDown event from the keyboard's state now: Shift 1, Ctrl 2, Alt 4.
int ShiftState();

// A control's rectangle in pixels of its parent's client area.
RECT PixelRect(const Twips& twips);

class FormWindow {
  public:
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    HWND hwnd() const { return window_.get(); }

    // Key preview: the window sees every key before its controls. Returns true when the key
    // was used (the control then does not get it).
    virtual bool PreviewKey(int key_code, int shift) = 0;

    // The form that owns `window` (a form or one of its controls); nullptr for none.
    static FormWindow* FormOf(HWND window);

  protected:
    FormWindow() = default;

    // Creates the hidden top-level window: `client_width` x `client_height` twips of client
    // area, centred on the screen; with `dialog_frame`, a modal dialog frame and no icon.
    // Returns false when the system refused.
    bool CreateForm(const std::string& caption, DWORD style, int client_width, int client_height,
                    HWND owner, bool dialog_frame = false);
    // A control at `position` (twips) in the form; nullptr when it could not be created.
    HWND AddControl(const char* window_class, const std::string& text, DWORD style,
                    const Twips& position, int id, DWORD ex_style = 0);

    // The form's own messages; the default passes them to DefWindowProc.
    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    // Stops tracking the window (it is being destroyed by the system).
    void Forget() { window_.Release(); }

    // Gives the focus to the control that last had it, or to the first control that can
    // take it.
    void RestoreFocus();

  private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    Window window_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was deactivated
};

// Key preview and dialog keys (Tab, access keys) for a message about to be dispatched.
// Returns true when the message was used.
bool PreTranslate(MSG& message);

// Dispatches messages until `done()` holds after one, or WM_QUIT arrives (it is posted again
// for the outer loop). Returns false on WM_QUIT.
bool RunMessageLoop(const std::function<bool()>& done);

// Shows `form` modally over `owner` (disabled meanwhile) until `done()` holds, then hides it.
void RunModal(FormWindow& form, HWND owner, const std::function<bool()>& done);

}  // namespace vendaro::win32
