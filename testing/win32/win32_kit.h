#pragma once
// Driving this thread's Win32 windows as a user does, under Wine: modal windows answered from
// a timer, the messages that keys and clicks send, and what the controls show.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <deque>
#include <functional>

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32::testing {

// Runs queued steps from a thread timer while a modal loop waits, one per tick; a step returns
// false until its window shows, and posts (never sends) a click that opens a modal window; it
// throws nothing. A step that waits 20 s, or a modal loop still running 5 s after the last step,
// is a failure: the active window is closed, so that the test ends.
class ModalDriver {
  public:
    using Step = std::function<bool()>;
    ModalDriver() : timer_(SetTimer(nullptr, 0, 30, &Tick)) { current_ = this; }
    ~ModalDriver() { KillTimer(nullptr, timer_), current_ = nullptr; }
    void Then(Step step) { steps_.push_back(std::move(step)), ticks_ = 0; }
    // Every step ran and nothing timed out.
    bool Ok() const { return steps_.empty() && !failed_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalDriver* self = current_;
        const bool done = !self->steps_.empty() && self->steps_.front()();
        if (!done && ++self->ticks_ < (self->steps_.empty() ? 5000 : 20000) / 30) return;
        if (!done) self->failed_ = true, PostMessageA(GetActiveWindow(), WM_CLOSE, 0, 0);
        if (!self->steps_.empty()) self->steps_.pop_front();
        self->ticks_ = 0;
    }
    static inline ModalDriver* current_ = nullptr;
    UINT_PTR timer_;
    std::deque<Step> steps_;
    int ticks_ = 0;  // of 30 ms since the last step ran or was queued
    bool failed_ = false;
};

// A shown dialog-class window of this thread captioned `title` (any caption when null).
inline HWND FindDialog(const char* title) {
    HWND found = nullptr;
    do found = FindWindowExA(nullptr, found, "#32770", title);
    while (found != nullptr && (GetWindowThreadProcessId(found, nullptr) != GetCurrentThreadId() ||
                                !IsWindowVisible(found)));
    return found;
}

// A step: once the dialog `title` shows, notes its message in `message`, puts `text` in its
// field `field` (the input box's by default) and presses `button`.
inline ModalDriver::Step Answer(const char* title, int button, std::string* message = nullptr,
                                std::string text = {}, int field = kInputBoxText) {
    return [=] {
        HWND box = FindDialog(title);
        if (box == nullptr) return false;
        if (message != nullptr) *message = WindowText(GetDlgItem(box, 0xFFFF));
        if (!text.empty()) SetDlgItemTextA(box, field, text.c_str());
        return PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0) != FALSE;
    };
}

inline void Type(HWND field, const std::string& text) {
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}
inline void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}
inline bool IsClass(HWND control, const char* name) {
    char actual[32] = {};
    GetClassNameA(control, actual, sizeof actual);
    return lstrcmpiA(actual, name) == 0;
}
// The user picks item `index` of a drop-down list or list box, or page `index` of a tab control;
// the control tells its window as Windows does.
inline void Pick(HWND control, int index) {
    const bool combo = IsClass(control, "ComboBox"), tab = IsClass(control, WC_TABCONTROLA);
    SendMessageA(control, combo ? CB_SETCURSEL : tab ? TCM_SETCURSEL : LB_SETCURSEL, index, 0);
    NMHDR note{control, static_cast<UINT_PTR>(GetDlgCtrlID(control)),
               static_cast<UINT>(TCN_SELCHANGE)};
    const WPARAM code = MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    SendMessageA(GetAncestor(control, GA_ROOT), tab ? WM_NOTIFY : WM_COMMAND, tab ? 0 : code,
                 tab ? reinterpret_cast<LPARAM>(&note) : reinterpret_cast<LPARAM>(control));
}

// The control as drawn: its text (a list box's: its selected row), then "[off]" when disabled,
// "[x]" when checked, "[hidden]" when not on screen.
inline std::string Shows(HWND control) {
    char row[512] = {};
    if (IsClass(control, "ListBox"))
        SendMessageA(control, LB_GETTEXT, SendMessageA(control, LB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(row));
    return WindowText(control) + row + (IsWindowEnabled(control) ? "" : " [off]") +
           (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? " [x]" : "") +
           (IsWindowVisible(control) ? "" : " [hidden]");
}

}  // namespace vendaro::win32::testing
