#include "mainwin/win32/form3_view.h"

#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {

Form3View::Form3View(Form3& model) : model_(model) {}

bool Form3View::Create(HWND owner) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    if (!CreateForm(model_.Caption(), style, Form3::kClientWidth, Form3::kClientHeight, owner)) {
        return false;
    }
    label_ = AddControl("STATIC", model_.Label1(), SS_LEFT, Form3::kLabel1Position, kLabelId);
    list_ = AddControl("LISTBOX", "",
                       WS_TABSTOP | WS_VSCROLL | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                       Form3::kList1Position, kListId, WS_EX_CLIENTEDGE);
    ok_ = AddControl("BUTTON", model_.Command1().caption, WS_TABSTOP | BS_PUSHBUTTON,
                     model_.Command1().position, kOkId);
    cancel_ = AddControl("BUTTON", model_.Command2().caption, WS_TABSTOP | BS_PUSHBUTTON,
                         model_.Command2().position, kCancelId);
    Refresh();
    return true;
}

void Form3View::Refresh() {
    if (hwnd() == nullptr) return;
    if (WindowText(hwnd()) != model_.Caption()) SetWindowTextA(hwnd(), model_.Caption().c_str());
    if (!items_drawn_) {
        // The list box sorts what it is given.
        for (const std::string& item : model_.List1()) {
            SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        items_drawn_ = true;
    }
    if ((IsWindowEnabled(ok_) != FALSE) != model_.Command1().enabled) {
        EnableWindow(ok_, model_.Command1().enabled ? TRUE : FALSE);
    }
    if ((IsWindowEnabled(cancel_) != FALSE) != model_.Command2().enabled) {
        EnableWindow(cancel_, model_.Command2().enabled ? TRUE : FALSE);
    }
    if (!model_.Visible() && IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_HIDE);
}

int Form3View::ModelIndexOfSelection() const {
    LRESULT index = SendMessageA(list_, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return -1;
    LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return -1;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    const auto& items = model_.List1();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) return static_cast<int>(i);
    }
    return -1;
}

bool Form3View::PreviewKey(int key_code, int shift) {
    if (!model_.Form_KeyDown(key_code, shift)) return false;
    Refresh();
    return true;
}

LRESULT Form3View::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            const int code = HIWORD(wparam);
            if (id == kListId && code == LBN_SELCHANGE) {
                model_.List1_Click(ModelIndexOfSelection());
            } else if (id == kListId && code == LBN_DBLCLK) {
                model_.List1_Click(ModelIndexOfSelection());
                model_.List1_DblClick();
            } else if (id == kOkId && code == BN_CLICKED && IsWindowEnabled(ok_)) {
                model_.Command1_Click();
            } else if (id == kCancelId && code == BN_CLICKED) {
                model_.Command2_Click();
            } else {
                return 0;
            }
            Refresh();
            return 0;
        }
        case WM_CLOSE:
            model_.Close();
            return 0;
        default:
            return FormWindow::HandleMessage(message, wparam, lparam);
    }
}

}  // namespace vendaro::win32
