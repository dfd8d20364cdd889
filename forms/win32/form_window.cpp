#include "forms/win32/form_window.h"

#include <algorithm>
#include <vector>

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {
namespace {

constexpr const char* kFormClass = "VendaroForm";
// The class of the windows with a modal dialog frame: no icon.
constexpr const char* kDialogClass = "VendaroDialog";

std::vector<FormWindow*>& LiveForms() {
    static std::vector<FormWindow*> forms;
    return forms;
}

bool RegisterOne(WNDPROC procedure, const char* name, bool with_icon) {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    if (with_icon) {
        window_class.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        if (window_class.hIcon == nullptr) {
            window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        }
    }
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = name;
    return RegisterClassExA(&window_class) != 0;
}

bool RegisterFormClasses(WNDPROC procedure) {
    static const bool registered =
        RegisterOne(procedure, kFormClass, true) && RegisterOne(procedure, kDialogClass, false);
    return registered;
}

}  // namespace

int ShiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
    if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
    return shift;
}

RECT PixelRect(const Twips& twips) {
    RECT rect;
    rect.left = TwipsToPixelsX(twips.left);
    rect.top = TwipsToPixelsY(twips.top);
    rect.right = rect.left + TwipsToPixelsX(twips.width);
    rect.bottom = rect.top + TwipsToPixelsY(twips.height);
    return rect;
}

FormWindow::~FormWindow() {
    auto& forms = LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

FormWindow* FormWindow::FormOf(HWND window) {
    if (window == nullptr) return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    for (FormWindow* form : LiveForms()) {
        if (form->hwnd() != nullptr && form->hwnd() == root) return form;
    }
    return nullptr;
}

bool FormWindow::CreateForm(const std::string& caption, DWORD style, int client_width,
                            int client_height, HWND owner, bool dialog_frame) {
    if (!RegisterFormClasses(&FormWindow::WndProc)) return false;
    // A window gets the modal dialog frame from its extended style (DS_MODALFRAME belongs to
    // dialog templates), and goes without an icon as a dialog does.
    const DWORD ex_style = WS_EX_CONTROLPARENT | (dialog_frame ? WS_EX_DLGMODALFRAME : 0);
    RECT frame{0, 0, TwipsToPixelsX(client_width), TwipsToPixelsY(client_height)};
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    HWND window =
        CreateWindowExA(ex_style, dialog_frame ? kDialogClass : kFormClass, caption.c_str(), style,
                        0, 0, frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                        GetModuleHandleA(nullptr), this);
    if (window == nullptr) return false;
    if (window_.get() != window) window_.Attach(window);
    LiveForms().push_back(this);
    CenterOnScreen(window);
    return true;
}

HWND FormWindow::AddControl(const char* window_class, const std::string& text, DWORD style,
                            const Twips& position, int id, DWORD ex_style) {
    RECT rect = PixelRect(position);
    HWND control = CreateWindowExA(
        ex_style, window_class, text.c_str(), style | WS_CHILD | WS_VISIBLE, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (control != nullptr) ApplyUiFont(control);
    return control;
}

void FormWindow::RestoreFocus() {
    HWND target = focus_;
    if (target == nullptr || !IsWindow(target) || GetParent(target) != hwnd() ||
        !IsWindowEnabled(target) || !IsWindowVisible(target)) {
        target = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
    }
    if (target != nullptr) SetFocus(target);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back when the window is
            // activated again (after a message box, say), instead of the window itself.
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && GetParent(focus) == hwnd()) focus_ = focus;
            } else if (HIWORD(wparam) == 0) {
                RestoreFocus();
            }
            return 0;
        case WM_SETFOCUS:
            RestoreFocus();
            return 0;
        default:
            return DefWindowProcA(hwnd(), message, wparam, lparam);
    }
}

LRESULT CALLBACK FormWindow::WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
            auto* created = static_cast<FormWindow*>(create->lpCreateParams);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            // Known from the first message on, so WM_CREATE handlers see their window.
            if (created != nullptr) created->window_.Attach(window);
        }
        auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_SETCURSOR && Win32Dialogs::Busy()) {
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
            return TRUE;
        }
        if (form == nullptr) return DefWindowProcA(window, message, wparam, lparam);
        LRESULT result = form->HandleMessage(message, wparam, lparam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            form->Forget();
        }
        return result;
    } catch (...) {
        // A failing handler leaves the window as it was; the program goes on.
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

bool PreTranslate(MSG& message) {
    FormWindow* form = FormWindow::FormOf(message.hwnd);
    if (form == nullptr || !IsWindowEnabled(form->hwnd())) return false;
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        if (form->PreviewKey(static_cast<int>(message.wParam), ShiftState())) return true;
    }
    // A form whose key handler closed it has no window left for dialog keys.
    return form->hwnd() != nullptr && IsDialogMessageA(form->hwnd(), &message);
}

bool RunMessageLoop(const std::function<bool()>& done) {
    while (!done()) {
        MSG message;
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void RunModal(FormWindow& form, HWND owner, const std::function<bool()>& done) {
    HWND window = form.hwnd();
    if (window == nullptr) return;
    const bool disable_owner = owner != nullptr && IsWindowEnabled(owner);
    if (disable_owner) EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    RunMessageLoop([&] { return done() || form.hwnd() == nullptr; });
    // The owner is enabled before the dialog goes, so that it gets the activation back.
    if (disable_owner) EnableWindow(owner, TRUE);
    if (form.hwnd() != nullptr) ShowWindow(form.hwnd(), SW_HIDE);
    if (owner != nullptr && IsWindowVisible(owner)) SetActiveWindow(owner);
}

}  // namespace vendaro::win32
