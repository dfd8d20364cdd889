#include "forms/win32/editor_view.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {
namespace {

// One visitor made of lambdas, one per kind of model control.
template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};

constexpr const char* kPageClass = "VendaroTabPage";

void SetTextIfChanged(HWND window, const std::string& text) {
    if (window != nullptr && WindowText(window) != text) SetWindowTextA(window, text.c_str());
}

// Before `window` is disabled or hidden, a focus it holds moves on to the next control in tab
// order: a disabled or hidden window drops the focus, after which keys reach no control.
void PassFocusOn(HWND form, HWND window) {
    const HWND focus = GetFocus();
    if (form == nullptr || focus == nullptr || (focus != window && !IsChild(window, focus))) {
        return;
    }
    const HWND next = GetNextDlgTabItem(form, window, FALSE);
    SetFocus(next != nullptr && next != window && !IsChild(window, next) ? next : form);
}

// `form`: the window whose tab order a focus leaving `window` follows; null for none.
void EnableIfChanged(HWND form, HWND window, bool enabled) {
    if (window != nullptr && (IsWindowEnabled(window) != FALSE) != enabled) {
        if (!enabled) PassFocusOn(form, window);
        EnableWindow(window, enabled ? TRUE : FALSE);
    }
}

void ShowIfChanged(HWND form, HWND window, bool shown) {
    if (window == nullptr) return;
    const bool now = (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (now == shown) return;
    if (!shown) PassFocusOn(form, window);
    ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
}

void CheckIfChanged(HWND window, bool checked) {
    const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageA(window, BM_GETCHECK, 0, 0)) != state) {
        SendMessageA(window, BM_SETCHECK, state, 0);
    }
}

// An option's caption whose text from `path_from` on is a path: the path shortened in the middle
// with an ellipsis so that the caption fits the control, as the path labels' SS_PATHELLIPSIS
// shortens theirs, and its "&" shown as itself.
std::string FittedCaption(HWND window, const std::string& caption, std::size_t path_from) {
    if (caption.size() <= path_from) return caption;
    std::string path = caption.substr(path_from);
    std::string prefix = caption.substr(0, path_from);
    std::string drawn_prefix = prefix;
    if (const std::size_t amp = drawn_prefix.find('&'); amp != std::string::npos) {
        drawn_prefix.erase(amp, 1);
    }
    RECT box{};
    GetClientRect(window, &box);
    const HDC screen = GetDC(window);
    const HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(window, screen);
    if (dc == nullptr) return caption;
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
    const HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
    SIZE used{};
    GetTextExtentPoint32A(dc, drawn_prefix.c_str(), static_cast<int>(drawn_prefix.size()), &used);
    // The round button and the gap before the text.
    const int glyph = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    RECT room{0, 0, std::max<LONG>(box.right - glyph - used.cx, 1), box.bottom};
    std::string buffer = path + std::string(5, '\0');  // DT_MODIFYSTRING may add 4 characters
    DrawTextA(dc, buffer.data(), static_cast<int>(path.size()), &room,
              DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
    buffer.resize(std::strlen(buffer.c_str()));
    if (old_font != nullptr) SelectObject(dc, old_font);
    DeleteDC(dc);
    std::string shown = prefix;
    for (char c : buffer) shown += c == '&' ? std::string("&&") : std::string(1, c);
    return shown;
}

// True when `window` belongs to the top-level window `form`.
bool InForm(HWND form, HWND window) {
    return window != nullptr && form != nullptr && GetAncestor(window, GA_ROOT) == form;
}

}  // namespace

EditorView::EditorView(DialogForm& model, int client_width, int client_height)
    : model_(model), client_width_(client_width), client_height_(client_height) {}

EditorView::~EditorView() {
    // The fields' procedures point at the bindings, which go before the window would.
    for (const auto& binding : bindings_) {
        if (binding->original_procedure != nullptr && IsWindow(binding->window)) {
            SetWindowLongPtrA(binding->window, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(binding->original_procedure));
            SetWindowLongPtrA(binding->window, GWLP_USERDATA, 0);
        }
    }
    if (hwnd() != nullptr) DestroyWindow(hwnd());
}

bool EditorView::Create(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Not clipping its children: the frames are transparent, the form paints under them.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (!CreateForm(model_.Caption, style, client_width_, client_height_, owner,
                    /*dialog_frame=*/true)) {
        return false;
    }
    if (!CreateControls() || !created_ok_) return false;
    for (const auto& binding : bindings_) {
        if (binding->key_press || binding->key_down || binding->lost_focus) Subclass(*binding);
    }
    model_.SetWindowHandle(FromHwnd(hwnd()));
    Refresh();
    // A form that set its own height is centred as it first shows.
    CenterOnScreen(hwnd());
    return true;
}

EditorView::Binding& EditorView::Add(std::unique_ptr<Binding> binding, const char* window_class,
                                     const std::string& text, DWORD style, const Twips& at,
                                     DWORD ex_style) {
    binding->id = next_id_++;
    binding->view = this;
    binding->window = CreateChild(window_class, text, style, at, binding->id, ex_style);
    if (binding->window == nullptr) created_ok_ = false;
    bindings_.push_back(std::move(binding));
    return *bindings_.back();
}

EditorView::Binding& EditorView::AddText(const char* name, TextBox& box, const Twips& at,
                                         Change change) {
    auto binding = std::make_unique<Binding>();
    binding->control = &box;
    binding->name = name;
    binding->change = std::move(change);
    DWORD style = WS_TABSTOP | WS_GROUP | ES_LEFT | ES_AUTOHSCROLL;
    if (box.password) style |= ES_PASSWORD;
    Binding& added = Add(std::move(binding), "EDIT", "", style, at, WS_EX_CLIENTEDGE);
    // No length limit but the control's own maximum.
    if (added.window != nullptr) SendMessageA(added.window, EM_SETLIMITTEXT, 0, 0);
    // The common controls would show a dot; these fields show "*".
    if (box.password && added.window != nullptr) {
        SendMessageA(added.window, EM_SETPASSWORDCHAR, '*', 0);
    }
    return added;
}

EditorView::Binding& EditorView::AddLabel(const char* name, vendaro::Label& label, const Twips& at,
                                          DWORD style) {
    auto binding = std::make_unique<Binding>();
    binding->control = &label;
    binding->name = name;
    return Add(std::move(binding), "STATIC", "", style | WS_GROUP, at);
}

EditorView::Binding& EditorView::AddUnitLabel(const char* name, vendaro::Label& label,
                                              const Twips& label_at, const Twips& unit_at) {
    Binding& caption = AddLabel(name, label, label_at);
    // The unit is the field's neighbour on screen, not in the keyboard order: it is created
    // with the label, so that the label's access key still moves to the field.
    auto unit = std::make_unique<Binding>();
    unit->control = UnitWord{&label};
    unit->name = std::string(name) + ".Unit";
    Add(std::move(unit), "STATIC", "", SS_LEFT | SS_NOPREFIX | WS_GROUP, unit_at);
    return caption;
}

EditorView::Binding& EditorView::AddButton(const char* name, vendaro::Button& button,
                                           const Twips& at, Click click) {
    auto binding = std::make_unique<Binding>();
    binding->control = &button;
    binding->name = name;
    binding->click = std::move(click);
    return Add(std::move(binding), "BUTTON", "", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, at);
}

EditorView::Binding& EditorView::AddCheck(const char* name, CheckBox& box, const Twips& at,
                                          Click click) {
    auto binding = std::make_unique<Binding>();
    binding->control = &box;
    binding->name = name;
    binding->click = std::move(click);
    // Not an automatic box: the model decides whether a click checks it.
    return Add(std::move(binding), "BUTTON", "", WS_TABSTOP | WS_GROUP | BS_CHECKBOX, at);
}

EditorView::Binding& EditorView::AddOption(const char* name, OptionButton& option, const Twips& at,
                                           bool first, Click click) {
    auto binding = std::make_unique<Binding>();
    binding->control = &option;
    binding->name = name;
    binding->click = std::move(click);
    const DWORD style = WS_TABSTOP | BS_RADIOBUTTON | (first ? WS_GROUP : 0);
    return Add(std::move(binding), "BUTTON", "", style, at);
}

EditorView::Binding& EditorView::AddFrame(const char* name, Frame& frame, const Twips& at) {
    auto binding = std::make_unique<Binding>();
    binding->control = &frame;
    binding->name = name;
    return Add(std::move(binding), "BUTTON", "", WS_GROUP | BS_GROUPBOX, at);
}

EditorView::Binding& EditorView::AddRule(const Twips& at) {
    auto binding = std::make_unique<Binding>();
    binding->control = Separator{};
    return Add(std::move(binding), "STATIC", "", WS_GROUP | SS_ETCHEDHORZ, at);
}

EditorView::Binding& EditorView::AddCombo(const char* name, ComboBox& combo, const Twips& at,
                                          Select select) {
    auto binding = std::make_unique<Binding>();
    binding->control = &combo;
    binding->name = name;
    binding->select = std::move(select);
    return Add(std::move(binding), "COMBOBOX", "",
               WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, at);
}

EditorView::Binding& EditorView::AddList(const char* name, ListBox& list, const Twips& at,
                                         DWORD style, Select select) {
    auto binding = std::make_unique<Binding>();
    binding->control = &list;
    binding->name = name;
    binding->select = std::move(select);
    return Add(std::move(binding), "LISTBOX", "",
               style | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, at,
               WS_EX_CLIENTEDGE);
}

HWND EditorView::CreateChild(const char* window_class, const std::string& text, DWORD style,
                             const Twips& at, int id, DWORD ex_style) {
    if (adding_page_ < 0) return AddControl(window_class, text, style, at, id, ex_style);
    if (adding_page_ >= static_cast<int>(pages_.size())) return nullptr;
    const Page& page = pages_[static_cast<std::size_t>(adding_page_)];
    RECT rect = PixelRect(at);
    OffsetRect(&rect, -page.origin.x, -page.origin.y);
    HWND control = CreateWindowExA(
        ex_style, window_class, text.c_str(), style | WS_CHILD | WS_VISIBLE, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, page.window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (control != nullptr) ApplyUiFont(control);
    return control;
}

int EditorView::AddPage(const RECT& pixels) {
    static const bool registered = [] {
        WNDCLASSEXA page_class{};
        page_class.cbSize = sizeof page_class;
        page_class.lpfnWndProc = &EditorView::PageProc;
        page_class.hInstance = GetModuleHandleA(nullptr);
        page_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        page_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        page_class.lpszClassName = kPageClass;
        return RegisterClassExA(&page_class) != 0;
    }();
    HWND page = nullptr;
    if (registered) {
        // A control parent: Tab and the access keys reach into the page's controls.
        page = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS,
                               pixels.left, pixels.top, pixels.right - pixels.left,
                               pixels.bottom - pixels.top, hwnd(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    if (page == nullptr) created_ok_ = false;
    pages_.push_back(Page{page, POINT{pixels.left, pixels.top}});
    return static_cast<int>(pages_.size()) - 1;
}

LRESULT CALLBACK EditorView::PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            // The page's controls belong to the form: it handles and colours them.
            return SendMessageA(GetParent(window), message, wparam, lparam);
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

HWND EditorView::AddOther(const char* window_class, const char* name, DWORD style,
                          const Twips& at) {
    HWND window = CreateChild(window_class, "", style, at, next_id_++, 0);
    if (window == nullptr) created_ok_ = false;
    others_.emplace_back(name, window);
    return window;
}

HWND EditorView::Control(const std::string& name) const {
    for (const auto& binding : bindings_) {
        if (binding->name == name) return binding->window;
    }
    for (const auto& [other, window] : others_) {
        if (other == name) return window;
    }
    return nullptr;
}

EditorView::Binding* EditorView::Find(HWND window) const {
    for (const auto& binding : bindings_) {
        if (binding->window == window) return binding.get();
    }
    return nullptr;
}

EditorView::Binding* EditorView::FindId(int id) const {
    for (const auto& binding : bindings_) {
        if (binding->id == id) return binding.get();
    }
    return nullptr;
}

void EditorView::SetOuterHeight(int twips) {
    RECT rect{};
    if (hwnd() == nullptr || !GetWindowRect(hwnd(), &rect)) return;
    const int height = TwipsToPixelsY(twips);
    if (rect.bottom - rect.top == height) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, rect.right - rect.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool EditorView::Shown(const Binding& binding) const {
    return std::visit(Overloaded{[](const UnitWord& unit) { return unit.label->visible; },
                                 [](const Separator&) { return true; },
                                 [](const auto* control) { return control->visible; }},
                      binding.control);
}

void EditorView::DrawList(Binding& binding, const std::vector<std::string>& items, int selected,
                          bool enabled, bool combo) {
    const UINT add = combo ? CB_ADDSTRING : LB_ADDSTRING;
    const UINT insert = combo ? CB_INSERTSTRING : LB_INSERTSTRING;
    const UINT remove = combo ? CB_DELETESTRING : LB_DELETESTRING;
    const UINT reset = combo ? CB_RESETCONTENT : LB_RESETCONTENT;
    const UINT get_selection = combo ? CB_GETCURSEL : LB_GETCURSEL;
    const UINT set_selection = combo ? CB_SETCURSEL : LB_SETCURSEL;
    std::vector<std::string>& drawn = binding.drawn_items;
    if (items.size() != drawn.size()) {
        SendMessageA(binding.window, reset, 0, 0);
        for (const std::string& item : items) {
            SendMessageA(binding.window, add, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        drawn = items;
    }
    // Rows change one at a time as the user types; only those are redrawn.
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == drawn[i]) continue;
        SendMessageA(binding.window, remove, i, 0);
        SendMessageA(binding.window, insert, i, reinterpret_cast<LPARAM>(items[i].c_str()));
        drawn[i] = items[i];
    }
    if (SendMessageA(binding.window, get_selection, 0, 0) != selected) {
        SendMessageA(binding.window, set_selection, static_cast<WPARAM>(selected), 0);
    }
    EnableIfChanged(hwnd(), binding.window, enabled);
}

void EditorView::Draw(Binding& binding) {
    HWND window = binding.window;
    if (window == nullptr) return;
    const HWND form = hwnd();
    std::visit(
        Overloaded{[&](const TextBox* text) {
                       SetTextIfChanged(window, text->text);
                       EnableIfChanged(form, window, text->enabled);
                   },
                   [&](const vendaro::Label* label) {
                       SetTextIfChanged(window, SplitUnitCaption(label->caption).label);
                       EnableIfChanged(form, window, label->enabled);
                   },
                   [&](const UnitWord& unit) {
                       SetTextIfChanged(window, SplitUnitCaption(unit.label->caption).unit);
                       EnableIfChanged(form, window, unit.label->enabled);
                   },
                   [&](const vendaro::Button* button) {
                       SetTextIfChanged(window, button->caption);
                       EnableIfChanged(form, window, button->enabled);
                   },
                   [&](const CheckBox* check) {
                       SetTextIfChanged(window, check->caption);
                       CheckIfChanged(window, check->checked);
                       EnableIfChanged(form, window, check->enabled);
                   },
                   [&](const OptionButton* option) {
                       SetTextIfChanged(
                           window, binding.path_from == 0
                                       ? option->caption
                                       : FittedCaption(window, option->caption, binding.path_from));
                       CheckIfChanged(window, option->selected);
                       EnableIfChanged(form, window, option->enabled);
                   },
                   [&](const Frame* frame) { SetTextIfChanged(window, frame->caption); },
                   [](const Separator&) {},
                   [&](const ComboBox* combo) {
                       DrawList(binding, combo->items, combo->selected, combo->enabled, true);
                   },
                   [&](const ListBox* list) {
                       DrawList(binding, list->items, list->selected, list->enabled, false);
                   }},
        binding.control);
    ShowIfChanged(hwnd(), window, Shown(binding));
}

void EditorView::Refresh() {
    if (hwnd() == nullptr) return;
    ++syncing_;
    SetTextIfChanged(hwnd(), model_.Caption);
    for (const auto& binding : bindings_) Draw(*binding);
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        ShowIfChanged(nullptr, pages_[i].window, static_cast<int>(i) == ActivePage());
    }
    DrawForm();
    --syncing_;
    MoveRequestedFocus();
}

void EditorView::MoveRequestedFocus() {
    if (!model_.focus_request.empty()) {
        HWND wanted = Control(model_.focus_request);
        model_.focus_request.clear();
        if (wanted != nullptr && IsWindowVisible(wanted) && IsWindowEnabled(wanted)) {
            SetFocus(wanted);
            return;
        }
    }
    // A control that was just disabled or hidden cannot keep the focus.
    HWND focus = GetFocus();
    if (focus != hwnd() && InForm(hwnd(), focus) &&
        (!IsWindowEnabled(focus) || !IsWindowVisible(focus))) {
        HWND next = GetNextDlgTabItem(hwnd(), focus, FALSE);
        SetFocus(next != nullptr ? next : hwnd());
    }
}

bool EditorView::PreviewKey(int key_code, int shift) {
    // Escape goes down as the character it types; other characters reach the model through
    // the fields' own key handling. Alt+Escape belongs to the system.
    if (key_code != VK_ESCAPE || (shift & kAltMask) != 0) return false;
    const bool used = model_.Form_KeyPress(kKeyAsciiEscape);
    Refresh();
    return used;
}

void EditorView::OnCommand(int id, int code) {
    Binding* binding = FindId(id);
    if (binding == nullptr) return;
    const HWND window = binding->window;
    const bool handled = std::visit(
        Overloaded{[&](TextBox*) {
                       if (code != EN_CHANGE || syncing_ > 0 || !binding->change) return false;
                       binding->change(WindowText(window));
                       return true;
                   },
                   [&](ComboBox*) {
                       if (code != CBN_SELCHANGE || syncing_ > 0 || !binding->select) return false;
                       binding->select(static_cast<int>(SendMessageA(window, CB_GETCURSEL, 0, 0)));
                       return true;
                   },
                   [&](ListBox*) {
                       if (code != LBN_SELCHANGE || syncing_ > 0 || !binding->select) return false;
                       binding->select(static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0)));
                       return true;
                   },
                   [&](const auto& other) {
                       using Other = std::decay_t<decltype(other)>;
                       constexpr bool clicked = std::is_same_v<Other, vendaro::Button*> ||
                                                std::is_same_v<Other, CheckBox*> ||
                                                std::is_same_v<Other, OptionButton*>;
                       if (!clicked || code != BN_CLICKED || !binding->click ||
                           !IsWindowEnabled(window))
                           return false;
                       binding->click();
                       return true;
                   }},
        binding->control);
    if (!handled) return;
    Refresh();
}

LRESULT EditorView::FieldColours(HDC dc, HWND field, UINT message) {
    Binding* binding = Find(field);
    TextBox* const* text = binding != nullptr ? std::get_if<TextBox*>(&binding->control) : nullptr;
    if (text == nullptr) {
        return DefWindowProcA(hwnd(), message, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(field));
    }
    const bool window_colour = (*text)->background() == FieldBackground::Window;
    const int background = window_colour ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(background));
    SetTextColor(dc, GetSysColor((*text)->enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT EditorView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_NOTIFY:
            if (lparam != 0 && OnNotify(*reinterpret_cast<const NMHDR*>(lparam))) {
                Refresh();
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return FieldColours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam),
                                message);
        case WM_ACTIVATE:
            // The focus comes back to where it was, or to the first field, as in a dialog;
            // here for the controls on tab pages too, which are not the form's children.
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (InForm(hwnd(), focus) && focus != hwnd()) saved_focus_ = focus;
            } else {
                HWND focus = saved_focus_;
                if (focus == nullptr || !IsWindow(focus) || !IsWindowVisible(focus) ||
                    !IsWindowEnabled(focus)) {
                    focus = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
                }
                if (focus != nullptr) SetFocus(focus);
            }
            return 0;
        case WM_NEXTDLGCTL: {
            // As a dialog moves the focus: to the given control, or to the next (previous)
            // one in the keyboard order. An access key on a label comes this way.
            HWND target = nullptr;
            if (LOWORD(lparam) != 0) {
                target = reinterpret_cast<HWND>(wparam);
            } else {
                HWND focus = GetFocus();
                target =
                    GetNextDlgTabItem(hwnd(), InForm(hwnd(), focus) ? focus : nullptr, wparam != 0);
            }
            if (target != nullptr && InForm(hwnd(), target)) SetFocus(target);
            return 0;
        }
        case WM_CLOSE:
            model_.Form_Unload();
            Refresh();
            return 0;
        default:
            return FormWindow::HandleMessage(message, wparam, lparam);
    }
}

void EditorView::Subclass(Binding& binding) {
    if (binding.window == nullptr) return;
    SetWindowLongPtrA(binding.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&binding));
    binding.original_procedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        binding.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorView::FieldProc)));
}

LRESULT CALLBACK EditorView::FieldProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (binding == nullptr || binding->original_procedure == nullptr) {
        return DefWindowProcA(window, message, wparam, lparam);
    }
    try {
        return binding->view->FieldMessage(*binding, message, wparam, lparam);
    } catch (...) {
        // A failing handler leaves the field as it was.
        return CallWindowProcA(binding->original_procedure, window, message, wparam, lparam);
    }
}

LRESULT EditorView::FieldMessage(Binding& binding, UINT message, WPARAM wparam, LPARAM lparam) {
    const WNDPROC original = binding.original_procedure;
    HWND window = binding.window;
    switch (message) {
        case WM_CHAR:
            if (binding.key_press && syncing_ == 0) {
                const int typed = static_cast<int>(wparam & 0xFF);
                const int reaching = binding.key_press(typed);
                Refresh();
                if (reaching == 0) return 0;
                wparam = static_cast<WPARAM>(reaching);
            }
            break;
        case WM_KEYDOWN:
            if (binding.key_down && syncing_ == 0) {
                binding.key_down(static_cast<int>(wparam));
                Refresh();
            }
            break;
        case WM_KILLFOCUS: {
            // Leaving the field for another control of this form; a window that opens over
            // the form takes the focus without the field being left.
            LRESULT result = CallWindowProcA(original, window, message, wparam, lparam);
            if (binding.lost_focus && syncing_ == 0 &&
                InForm(hwnd(), reinterpret_cast<HWND>(wparam))) {
                binding.lost_focus();
                Refresh();
            }
            return result;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            binding.original_procedure = nullptr;
            return CallWindowProcA(original, window, message, wparam, lparam);
        default:
            break;
    }
    return CallWindowProcA(original, window, message, wparam, lparam);
}

}  // namespace vendaro::win32
