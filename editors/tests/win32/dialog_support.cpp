#include "editors/tests/win32/dialog_support.h"

#include <doctest/doctest.h>

#include <chrono>
#include <memory>

#include "forms/win32/form_window.h"

namespace vendaro::win32::testing {
namespace {

Watchdog*& CurrentWatchdog() {
    static Watchdog* current = nullptr;
    return current;
}

// Lets the dialog handle what the last action posted.
void Pump() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (PreTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(1);
    }
}

}  // namespace

Watchdog::Watchdog(EditorDialogs& windows, ModalDriver& driver)
    : windows_(windows), driver_(driver) {
    CurrentWatchdog() = this;
    timer_ = SetTimer(nullptr, 0, 250, &Watchdog::TimerProc);
}

Watchdog::~Watchdog() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    CurrentWatchdog() = nullptr;
}

void CALLBACK Watchdog::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    Watchdog* self = CurrentWatchdog();
    if (self == nullptr) return;
    EditorView* open = self->windows_.Open();
    // Every step has run, yet an editor stays open for two seconds: the test lost its way.
    if (open == nullptr || !self->driver_.Done()) {
        self->idle_ticks_ = 0;
        return;
    }
    if (++self->idle_ticks_ < 8) return;
    self->fired_ = true;
    self->idle_ticks_ = 0;
    PostMessageA(open->hwnd(), WM_CLOSE, 0, 0);
}

DialogFixture::DialogFixture() {
    launcher.AttachMainWindow(list, status);
}

void DialogFixture::AddMode() {
    shared.ScriptMode = kScriptModeAdd;
    shared.ScriptSaved = false;
}

int DialogFixture::EditMode(const std::string& name, const std::string& description,
                            const std::string& driver) {
    const int position = list.Add(ListRow{name, description, driver});
    list.Select(position);
    shared.ScriptMode = kScriptModeEdit;
    shared.EditDsnName = name;
    shared.EditRowIndex = static_cast<std::int16_t>(position);
    return position;
}

void DialogFixture::OnEditor(const std::string& caption, std::function<void(EditorView&)> act) {
    driver.Then([this, caption, act] {
        EditorView* view = windows.Open();
        if (view == nullptr || view->hwnd() == nullptr || !IsWindowVisible(view->hwnd()) ||
            !IsWindowEnabled(view->hwnd()) || TextOf(view->hwnd()) != caption) {
            return false;
        }
        act(*view);
        return true;
    });
}

void DialogFixture::AnswerQuestion(int button, std::string* text) {
    driver.Then([button, text] {
        HWND box = FindDialog("Vendaro!");
        if (box == nullptr) return false;
        if (text != nullptr) {
            // The message text is the box's static control with the id 0xFFFF.
            *text = TextOf(GetDlgItem(box, 0xFFFF));
        }
        PressButton(box, button);
        return true;
    });
}

void DialogFixture::AnswerOpenFile(const std::string& title, const std::string& path) {
    driver.Then([title, path] {
        HWND box = FindDialog(title.c_str());
        if (box == nullptr) return false;
        if (path.empty()) {
            PressButton(box, IDCANCEL);
            return true;
        }
        // The file name field: cmb13 in the Explorer-style dialog, edt1 in the old one.
        if (!SetDlgItemTextA(box, cmb13, path.c_str())) SetDlgItemTextA(box, edt1, path.c_str());
        PressButton(box, IDOK);
        return true;
    });
}

void DialogFixture::AnswerFolder(bool ok, std::string* title_seen) {
    auto seen = std::make_shared<std::chrono::steady_clock::time_point>();
    driver.Then([ok, title_seen, seen] {
        // The shell's folder dialog is the only standard dialog window of the editors.
        HWND box = FindDialog(nullptr);
        if (box == nullptr) return false;
        // The start folder is selected once the dialog has filled its tree: give it time.
        const auto now = std::chrono::steady_clock::now();
        if (*seen == std::chrono::steady_clock::time_point{}) *seen = now;
        if (now - *seen < std::chrono::milliseconds(500)) return false;
        if (title_seen != nullptr) {
            *title_seen = FindChildByText(box, "Select a driver path") != nullptr
                              ? "Select a driver path"
                              : "";
        }
        PressButton(box, ok ? IDOK : IDCANCEL);
        return true;
    });
}

void DialogFixture::Open(const std::string& driver_name) {
    CHECK(launcher.OpenEditor(driver_name));
    CHECK(windows.Open() == nullptr);
    CHECK(driver.Done());
    CHECK(driver.Failures().empty());
    CHECK_FALSE(watchdog.fired());
}

void Type(HWND field, const std::string& text) {
    for (char c : text) {
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void Paste(HWND field, const std::string& text) {
    SetWindowTextA(field, text.c_str());
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

void PostClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void PostKey(HWND control, int key) {
    PostMessageA(control, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
}

void SendKey(HWND control, int key) {
    SendMessageA(control, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
}

void ClickTab(HWND tab, int page) {
    RECT rect{};
    SendMessageA(tab, TCM_GETITEMRECT, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&rect));
    const LPARAM where = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONUP, 0, where);
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, where);
    Pump();
}

void SelectRow(HWND list, int index) {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::vector<std::string> TabWalk(EditorView& view, const std::vector<std::string>& names) {
    std::vector<std::string> visited;
    HWND first = GetNextDlgTabItem(view.hwnd(), nullptr, FALSE);
    HWND at = first;
    for (int step = 0; step < 60 && at != nullptr; ++step) {
        for (const std::string& name : names) {
            if (view.Control(name) == at) {
                visited.push_back(name);
                break;
            }
        }
        at = GetNextDlgTabItem(view.hwnd(), at, FALSE);
        if (at == first) break;
    }
    return visited;
}

std::string Text(HWND window) {
    return WindowText(window);
}

bool Enabled(HWND window) {
    return window != nullptr && IsWindowEnabled(window) != FALSE;
}

bool Visible(HWND window) {
    return window != nullptr && IsWindowVisible(window) != FALSE;
}

bool Checked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string row(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        row.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0));
        std::string item(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        items.push_back(item);
    }
    return items;
}

std::string ComboShown(HWND combo) {
    return WindowText(combo);
}

RECT RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Pixels(int left, int top, int width, int height) {
    return PixelRect(Twips{left, top, width, height});
}

FieldPaint PaintOf(HWND field) {
    // An enabled field asks its dialog for its colours with WM_CTLCOLOREDIT, a disabled one
    // with WM_CTLCOLORSTATIC.
    const UINT message = IsWindowEnabled(field) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    HDC dc = GetDC(field);
    SetBkColor(dc, RGB(1, 2, 3));
    const LRESULT brush = SendMessageA(GetParent(field), message, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(field));
    FieldPaint paint{GetBkColor(dc), reinterpret_cast<HBRUSH>(brush)};
    ReleaseDC(field, dc);
    return paint;
}

}  // namespace vendaro::win32::testing
