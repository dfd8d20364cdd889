#include "mainwin/win32/form1_view.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "forms/text_rules.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {
namespace {

// The list control's extended style messages and full-row selection, by number.
constexpr UINT kGetExtendedListStyle = 4151;  // LVM_GETEXTENDEDLISTVIEWSTYLE
constexpr UINT kSetExtendedListStyle = 4150;  // LVM_SETEXTENDEDLISTVIEWSTYLE
constexpr LPARAM kFullRowSelect = 32;         // LVS_EX_FULLROWSELECT
static_assert(kGetExtendedListStyle == LVM_GETEXTENDEDLISTVIEWSTYLE);
static_assert(kSetExtendedListStyle == LVM_SETEXTENDEDLISTVIEWSTYLE);
static_assert(kFullRowSelect == LVS_EX_FULLROWSELECT);

// Posted when the list lost its selection to a click on empty space: the model's selected
// row is shown again, since the commands act on it.
constexpr UINT kReselect = WM_APP + 1;

void SetTextIfChanged(HWND window, const std::string& text) {
    if (window != nullptr && WindowText(window) != text) SetWindowTextA(window, text.c_str());
}

}  // namespace

Form1View::Form1View(Form1& model, bool quit_on_close)
    : model_(model), quit_on_close_(quit_on_close) {}

bool Form1View::Create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (!CreateForm(model_.Caption(), style, Form1::kClientWidth, Form1::kClientHeight, nullptr)) {
        return false;
    }
    // Controls are created in tab order.
    list_ = AddControl(WC_LISTVIEWA, "",
                       WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                       Form1::kListPosition, kListId, WS_EX_CLIENTEDGE);
    for (const Button& button : model_.Buttons()) {
        buttons_.push_back(AddControl("BUTTON", button.caption, WS_TABSTOP | BS_PUSHBUTTON,
                                      button.position, ButtonId(buttons_.size())));
    }
    // One line: a long closing message is cut with an ellipsis rather than wrapped out of sight.
    label_ = AddControl("STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS,
                        Form1::kLabel1Position, kLabelId);
    AddToolTips();
    model_.SetWindowHandle(FromHwnd(hwnd()));
    Refresh();
    return true;
}

void Form1View::AddToolTips() {
    tool_tip_.Attach(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                     GetModuleHandleA(nullptr), nullptr));
    if (!tool_tip_) return;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        TTTOOLINFOA tool{};
        // The size every version of the common controls accepts.
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(buttons_[i]);
        tool.lpszText = const_cast<char*>(model_.Buttons()[i].tool_tip.c_str());
        SendMessageA(tool_tip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Form1View::Show(int show_command) {
    if (hwnd() == nullptr) return;
    ShowWindow(hwnd(), show_command);
    UpdateWindow(hwnd());
    SetFocus(list_);
}

void Form1View::DrawColumns() {
    if (columns_drawn_ || model_.Columns().empty()) return;
    int index = 0;
    for (const ColumnHeader& header : model_.Columns()) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = TwipsToPixelsX(header.width);
        column.pszText = const_cast<char*>(header.text.c_str());
        column.iSubItem = index;
        SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&column));
        ++index;
    }
    columns_drawn_ = true;
}

// The list holds no rows of its own (LVS_OWNERDATA): it asks for the text of the rows it shows
// (CellText), so a library of any size costs the control nothing per row, and the rows are
// never copied.
void Form1View::DrawRows() {
    const auto count = static_cast<WPARAM>(model_.lvwMain().Count());
    if (SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0) != static_cast<LRESULT>(count)) {
        SendMessageA(list_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
    }
    // A row's text may have changed (an edit, a sort): the shown rows are asked for again.
    InvalidateRect(list_, nullptr, FALSE);
}

const std::string* Form1View::CellText(int item, int column) const {
    const ScriptList& list = model_.lvwMain();
    if (item < 0 || item >= list.Count()) return nullptr;
    const ListRow& row = list.Row(item + 1);
    switch (column) {
        case 0:
            return &row.text;
        case 1:
            return &row.description;
        case 2:
            return &row.driver;
        default:
            return nullptr;
    }
}

// Typing in the list selects the next row whose name begins with what was typed.
LRESULT Form1View::FindRow(const NMHDR& header) const {
    // The A and W forms differ only in the type of the text.
    const auto& find = reinterpret_cast<const NMLVFINDITEMA&>(header);
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) {
        return -1;
    }
    std::string typed = find.lvfi.psz;
    if (header.code == LVN_ODFINDITEMW) {
        char ansi[256] = {};
        WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const NMLVFINDITEMW&>(header).lvfi.psz, -1,
                            ansi, sizeof ansi - 1, nullptr, nullptr);
        typed = ansi;
    }
    typed = text::LowerAnsi(typed);
    const int count = model_.lvwMain().Count();
    for (int step = 0; step < count; ++step) {
        const int item = (std::max(find.iStart, 0) + step) % count;
        if (text::LowerAnsi(*CellText(item, 0)).starts_with(typed)) return item;
    }
    return -1;
}

void Form1View::AnswerDisplayInfo(NMHDR& header) {
    if (header.code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
        const std::string* text = CellText(item.iItem, item.iSubItem);
        if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
        lstrcpynA(item.pszText, text ? text->c_str() : "", item.cchTextMax);
        return;
    }
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
    const std::string* text = CellText(item.iItem, item.iSubItem);
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const int n = text == nullptr || text->empty()
                      ? 0
                      : MultiByteToWideChar(CP_ACP, 0, text->data(), static_cast<int>(text->size()),
                                            item.pszText, item.cchTextMax - 1);
    item.pszText[n] = L'\0';
}

void Form1View::DrawSelection() {
    const int selected = model_.lvwMain().Selected();
    const int shown = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                    LVNI_SELECTED)) +
                      1;
    if (shown == selected) return;
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    clear.state = 0;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&clear));
    if (selected > 0) {
        LVITEMA select{};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(selected - 1),
                     reinterpret_cast<LPARAM>(&select));
        SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected - 1), FALSE);
    }
}

void Form1View::Refresh() {
    if (hwnd() == nullptr) return;
    if (model_.Closed()) {
        DestroyWindow(hwnd());
        return;
    }
    ++syncing_;
    SetTextIfChanged(hwnd(), model_.Caption());
    DrawColumns();
    if (model_.FullRowSelect() && !full_row_drawn_) {
        LRESULT style = SendMessageA(list_, kGetExtendedListStyle, 0, 0);
        SendMessageA(list_, kSetExtendedListStyle, 0, style | kFullRowSelect);
        full_row_drawn_ = true;
    }
    DrawRows();
    DrawSelection();
    const HWND focus = GetFocus();
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const bool enabled = model_.Buttons()[i].enabled;
        if ((IsWindowEnabled(buttons_[i]) != FALSE) != enabled) {
            EnableWindow(buttons_[i], enabled ? TRUE : FALSE);
        }
    }
    // A button that was just disabled lost the focus (the system leaves it nowhere): the
    // list takes it.
    if (focus != nullptr && GetParent(focus) == hwnd() && !IsWindowEnabled(focus)) {
        SetFocus(list_);
    }
    SetTextIfChanged(label_, model_.Label1());
    --syncing_;
}

bool Form1View::PreviewKey(int key_code, int shift) {
    if (!model_.Form_KeyDown(key_code, shift)) return false;
    Refresh();
    return true;
}

void Form1View::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_ || syncing_ > 0) return;
    switch (header.code) {
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) == 0) return;
            const bool now = (change.uNewState & LVIS_SELECTED) != 0;
            const bool before = (change.uOldState & LVIS_SELECTED) != 0;
            if (now && !before) {
                model_.lvwMain_ItemClick(change.iItem + 1);
            } else if (before && !now) {
                PostMessageA(hwnd(), kReselect, 0, 0);
            }
            return;
        }
        case LVN_COLUMNCLICK: {
            const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
            model_.lvwMain_ColumnClick(click.iSubItem);
            Refresh();
            return;
        }
        case NM_DBLCLK:
            model_.lvwMain_DblClick();
            Refresh();
            return;
        default:
            return;
    }
}

LRESULT Form1View::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED && lparam != 0) {
                const int id = LOWORD(wparam);
                for (std::size_t i = 0; i < buttons_.size(); ++i) {
                    if (ButtonId(i) == id && IsWindowEnabled(buttons_[i])) {
                        model_.ButtonClick(i);
                        Refresh();
                    }
                }
            }
            return 0;
        case WM_NOTIFY:
            if (lparam == 0) return 0;
            if (auto* header = reinterpret_cast<NMHDR*>(lparam);
                header->hwndFrom == list_ &&
                (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW)) {
                AnswerDisplayInfo(*header);  // also while the view itself changes the list
                return 0;
            }
            if (auto* header = reinterpret_cast<NMHDR*>(lparam);
                header->hwndFrom == list_ &&
                (header->code == LVN_ODFINDITEMA || header->code == LVN_ODFINDITEMW)) {
                return FindRow(*header);
            }
            OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
            return 0;
        case kReselect:
            if (SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) < 0) {
                ++syncing_;
                DrawSelection();
                --syncing_;
            }
            return 0;
        case WM_CLOSE:
            // Closing the main window ends the program; nothing is saved at exit.
            DestroyWindow(hwnd());
            return 0;
        case WM_DESTROY:
            // The system has destroyed the tool tip with its owner.
            tool_tip_.Release();
            if (quit_on_close_) PostQuitMessage(0);
            return 0;
        default:
            return FormWindow::HandleMessage(message, wparam, lparam);
    }
}

}  // namespace vendaro::win32
