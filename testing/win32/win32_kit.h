#pragma once
// Driving this thread's Win32 windows as a user does, under Wine: modal windows answered from
// a timer, the messages that keys and clicks send, and what the controls show.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32::testing {

// Runs queued steps from a thread timer while a modal loop waits, one per tick; a step returns
// false until its window shows. A step that waits 20 s, or a modal loop left running 5 s after
// the last step, counts as a failure and the thread's enabled windows are closed, so that a
// broken test ends instead of hanging.
class ModalDriver {
  public:
    using Step = std::function<bool()>;
    ModalDriver() : timer_(SetTimer(nullptr, 0, 30, &Tick)) { Current() = this; }
    ~ModalDriver() { KillTimer(nullptr, timer_), Current() = nullptr; }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;
    void Then(Step step) {
        if (steps_.empty()) since_ = std::chrono::steady_clock::now();
        steps_.push_back(std::move(step));
    }
    // Every step ran and nothing timed out.
    bool Ok() const { return steps_.empty() && !failed_; }

  private:
    static ModalDriver*& Current() {
        static ModalDriver* current = nullptr;
        return current;
    }
    static BOOL CALLBACK Close(HWND window, LPARAM) {
        if (IsWindowVisible(window) && IsWindowEnabled(window))
            PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalDriver* self = Current();
        if (self == nullptr || self->busy_) return;
        const auto now = std::chrono::steady_clock::now();
        bool done = false;
        if (!self->steps_.empty()) {
            self->busy_ = true;
            try {
                done = self->steps_.front()();
            } catch (...) {
                self->failed_ = done = true;  // nothing may cross into the modal loop
            }
            self->busy_ = false;
        }
        if (done) {
            self->steps_.pop_front();
            self->since_ = now;
        } else if (now - self->since_ > std::chrono::seconds(self->steps_.empty() ? 5 : 20)) {
            self->failed_ = true;
            if (!self->steps_.empty()) self->steps_.pop_front();
            self->since_ = now;
            EnumThreadWindows(GetCurrentThreadId(), &Close, 0);
        }
    }
    UINT_PTR timer_;
    std::deque<Step> steps_;
    std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
    bool busy_ = false;
    bool failed_ = false;
};

// A visible dialog-class window of this thread captioned `title` (any caption when null).
inline HWND FindDialog(const char* title) {
    struct Search {
        const char* title;
        HWND found;
    } search{title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (!IsWindowVisible(window) || std::string(name) != "#32770" ||
                (s->title != nullptr && WindowText(window) != s->title)) {
                return TRUE;
            }
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A step: once the dialog `title` shows, notes its message in `message`, puts `text` in the
// input box's field and presses `button`.
inline ModalDriver::Step Answer(const char* title, int button, std::string* message = nullptr,
                                const char* text = nullptr) {
    return [=] {
        HWND box = FindDialog(title);
        if (box == nullptr) return false;
        if (message != nullptr) *message = WindowText(GetDlgItem(box, 0xFFFF));
        if (text != nullptr) SetDlgItemTextA(box, kInputBoxText, text);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

inline void Type(HWND field, const std::string& text) {
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}
inline void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}
inline bool IsCombo(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0;
}
// The user picks item `index` of a drop-down list or list box.
inline void Pick(HWND control, int index) {
    const bool combo = IsCombo(control);
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const WPARAM code = MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    SendMessageA(GetAncestor(control, GA_ROOT), WM_COMMAND, code,
                 reinterpret_cast<LPARAM>(control));
}
// What a control sends its window: a tab page chosen, a list view's column clicked...
inline void Notify(HWND control, UINT code, int sub_item = 0) {
    NMLISTVIEW note{};
    note.hdr = {control, static_cast<UINT_PTR>(GetDlgCtrlID(control)), code};
    note.iSubItem = sub_item;
    SendMessageA(GetAncestor(control, GA_ROOT), WM_NOTIFY, note.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&note));
}
inline void SelectTab(HWND tab, int page) {
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    Notify(tab, static_cast<UINT>(TCN_SELCHANGE));
}
// A click on row `index` (from 0) of a list view: the control notifies its window itself.
inline void SelectRow(HWND list, int index) {
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

// The control as drawn: its text, then "[off]" when disabled, "[x]" when checked, "[hidden]"
// when not on screen.
inline std::string Shows(HWND control) {
    return WindowText(control) + (IsWindowEnabled(control) ? "" : " [off]") +
           (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? " [x]" : "") +
           (IsWindowVisible(control) ? "" : " [hidden]");
}
// The rows of a list box or drop-down list, or of a list view ("text|column 2|column 3").
inline std::vector<std::string> Items(HWND control) {
    char class_name[32] = {};
    GetClassNameA(control, class_name, sizeof class_name);
    std::vector<std::string> items;
    char text[512];
    if (lstrcmpiA(class_name, WC_LISTVIEWA) == 0) {
        for (int i = 0; i < SendMessageA(control, LVM_GETITEMCOUNT, 0, 0); ++i) {
            std::string row;
            for (int column = 0; column < 3; ++column) {
                LVITEMA item{};
                item.iSubItem = column, item.pszText = text, item.cchTextMax = sizeof text;
                SendMessageA(control, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
                row += (column > 0 ? "|" : "") + std::string(text);
            }
            items.push_back(row);
        }
        return items;
    }
    const bool combo = IsCombo(control);
    for (int i = 0; i < SendMessageA(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0); ++i) {
        SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}
// The background colour the form gives a field (asked as the field asks when drawn).
inline COLORREF Background(HWND field) {
    HDC dc = GetDC(field);
    const UINT message = IsWindowEnabled(field) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    SendMessageA(GetParent(field), message, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(field));
    const COLORREF colour = GetBkColor(dc);
    ReleaseDC(field, dc);
    return colour;
}

}  // namespace vendaro::win32::testing
