#include "editors/win32/form5_view.h"

#include <commctrl.h>

#include <utility>

namespace vendaro::win32 {
namespace {

// The pages' common grid, in twips: labels at the left, fields from kFieldLeft.
constexpr int kLeft = 300;
constexpr int kIndent = 600;
constexpr int kLabelWidth = 1800;
constexpr int kFieldLeft = 2200;
constexpr int kFieldWidth = 4600;
constexpr int kRight = kFieldLeft + kFieldWidth;
constexpr int kFieldHeight = 285;
constexpr int kBoxHeight = 255;

Twips Field(int top, int left = kFieldLeft, int width = kFieldWidth) {
    return {left, top, width, kFieldHeight};
}
// A label level with the field whose top is `field_top`.
Twips LabelAt(int field_top, int left = kLeft, int width = kLabelWidth) {
    return {left, field_top + 30, width, kBoxHeight};
}
Twips Box(int top, int left = kLeft, int width = kRight - kLeft) {
    return {left, top, width, kBoxHeight};
}
Twips Rule(int top) {
    return {kLeft, top, kRight - kLeft, 30};
}

}  // namespace

Form5View::Form5View(Form5& model) : EditorView(model, kClientWidth, kClientHeight), form_(model) {}

void Form5View::CreateOdbcPage() {
    Form5& m = form_;
    OnPage(0);
    AddLabel(VENDARO_CONTROL(m, Label1), LabelAt(600));
    AddText(VENDARO_CONTROL(m, Text1), Field(600),
            [&m](std::string t) { m.Text1_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label2), LabelAt(960));
    AddText(VENDARO_CONTROL(m, Text2), Field(960),
            [&m](std::string t) { m.Text2_Change(std::move(t)); });
    AddRule(Rule(1410));
    AddLabel(VENDARO_CONTROL(m, Label3), LabelAt(1560));
    AddText(VENDARO_CONTROL(m, Text3), Field(1560),
            [&m](std::string t) { m.Text3_Change(std::move(t)); });
    AddCheck(VENDARO_CONTROL(m, Check1), Box(1980), [&m] { m.Check1_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check2), Box(2280), [&m] { m.Check2_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check3), Box(2580), [&m] { m.Check3_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check4), Box(2880), [&m] { m.Check4_Click(); });
    AddFrame(VENDARO_CONTROL(m, Frame1), {kLeft, 3240, kRight - kLeft, 690});
    AddOption(VENDARO_CONTROL(m, Option1), Box(3540, 500, 1900), true, [&m] { m.Option1_Click(); });
    AddOption(VENDARO_CONTROL(m, Option2), Box(3540, 2600, 1900), false,
              [&m] { m.Option2_Click(); });
    AddOption(VENDARO_CONTROL(m, Option3), Box(3540, 4700, 1900), false,
              [&m] { m.Option3_Click(); });
}

void Form5View::CreateLoginPage() {
    Form5& m = form_;
    OnPage(1);
    AddOption(VENDARO_CONTROL(m, Option4), Box(660, kLeft, 4500), true,
              [&m] { m.Option4_Click(); });
    AddOption(VENDARO_CONTROL(m, Option5), Box(990, kLeft, 4500), false,
              [&m] { m.Option5_Click(); });
    AddLabel(VENDARO_CONTROL(m, Label4), LabelAt(1380, kIndent, 1500));
    AddText(VENDARO_CONTROL(m, Text4), Field(1380, kFieldLeft, 3000),
            [&m](std::string t) { m.Text4_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label5), LabelAt(1740, kIndent, 1500));
    AddText(VENDARO_CONTROL(m, Text5), Field(1740, kFieldLeft, 3000),
            [&m](std::string t) { m.Text5_Change(std::move(t)); });
    AddCheck(VENDARO_CONTROL(m, Check5), Box(2160, kIndent, 4500), [&m] { m.Check5_Click(); });
}

void Form5View::CreateDatabasePage() {
    Form5& m = form_;
    OnPage(2);
    AddLabel(VENDARO_CONTROL(m, Label6), LabelAt(600));
    AddText(VENDARO_CONTROL(m, Text6), Field(600),
            [&m](std::string t) { m.Text6_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label7), LabelAt(960));
    AddText(VENDARO_CONTROL(m, Text7), Field(960),
            [&m](std::string t) { m.Text7_Change(std::move(t)); });
    AddRule(Rule(1410));
    AddLabel(VENDARO_CONTROL(m, Label8), LabelAt(1560));
    AddText(VENDARO_CONTROL(m, Text8), Field(1560),
            [&m](std::string t) { m.Text8_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label9), LabelAt(1920));
    AddText(VENDARO_CONTROL(m, Text9), Field(1920),
            [&m](std::string t) { m.Text9_Change(std::move(t)); });
    // Under the right end of the file field.
    AddButton(VENDARO_CONTROL(m, Command3), {kRight - 1215, 2280, 1215, 345},
              [&m] { m.Command3_Click(); });
    AddRule(Rule(2790));
    AddCheck(VENDARO_CONTROL(m, Check6), Box(2940), [&m] { m.Check6_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check7), Box(3270), [&m] { m.Check7_Click(); });
}

void Form5View::CreateNetworkPage() {
    Form5& m = form_;
    OnPage(3);
    AddLabel(VENDARO_CONTROL(m, Label10), {kLeft, 600, kRight - kLeft, 450});
    AddCheck(VENDARO_CONTROL(m, Check8), Box(1200, kLeft, 1600), [&m] { m.Check8_Click(); });
    AddText(VENDARO_CONTROL(m, Text10), Field(1170, 2000, kRight - 2000),
            [&m](std::string t) { m.Text10_Change(std::move(t)); });
    AddCheck(VENDARO_CONTROL(m, Check9), Box(1560, kLeft, 1600), [&m] { m.Check9_Click(); });
    AddText(VENDARO_CONTROL(m, Text11), Field(1530, 2000, kRight - 2000),
            [&m](std::string t) { m.Text11_Change(std::move(t)); });
    AddCheck(VENDARO_CONTROL(m, Check10), Box(1920, kLeft, 1600), [&m] { m.Check10_Click(); });
    AddText(VENDARO_CONTROL(m, Text12), Field(1890, 2000, kRight - 2000),
            [&m](std::string t) { m.Text12_Change(std::move(t)); });
    AddRule(Rule(2340));
    AddCheck(VENDARO_CONTROL(m, Check11), Box(2490), [&m] { m.Check11_Click(); });

    // The numeric rows: the label, the field, the unit word after it.
    constexpr int kNumberLeft = 2200;
    constexpr int kNumberWidth = 1200;
    const Twips unit{kNumberLeft + kNumberWidth + 120, 0, 1500, kBoxHeight};
    AddUnitLabel(VENDARO_CONTROL(m, Label11), LabelAt(2850),
                 {unit.left, 2880, unit.width, unit.height});
    Binding& liveness = AddText(VENDARO_CONTROL(m, Text13), Field(2850, kNumberLeft, kNumberWidth),
                                [&m](std::string t) { m.Text13_Change(std::move(t)); });
    liveness.key_press = [&m](int key) { return m.Text13_KeyPress(key); };
    liveness.lost_focus = [&m] { m.Text13_LostFocus(); };
    AddUnitLabel(VENDARO_CONTROL(m, Label12), LabelAt(3210),
                 {unit.left, 3240, unit.width, unit.height});
    Binding& size = AddText(VENDARO_CONTROL(m, Text14), Field(3210, kNumberLeft, kNumberWidth),
                            [&m](std::string t) { m.Text14_Change(std::move(t)); });
    size.key_press = [&m](int key) { return m.Text14_KeyPress(key); };
    size.lost_focus = [&m] { m.Text14_LostFocus(); };
    AddUnitLabel(VENDARO_CONTROL(m, Label13), LabelAt(3570),
                 {unit.left, 3600, unit.width, unit.height});
    Binding& space = AddText(VENDARO_CONTROL(m, Text15), Field(3570, kNumberLeft, kNumberWidth),
                             [&m](std::string t) { m.Text15_Change(std::move(t)); });
    space.key_press = [&m](int key) { return m.Text15_KeyPress(key); };
    space.lost_focus = [&m] { m.Text15_LostFocus(); };
}

void Form5View::CreateAdvancedPage() {
    Form5& m = form_;
    OnPage(4);
    AddLabel(VENDARO_CONTROL(m, Label14), LabelAt(600));
    AddText(VENDARO_CONTROL(m, Text16), Field(600),
            [&m](std::string t) { m.Text16_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label15), LabelAt(960));
    AddText(VENDARO_CONTROL(m, Text17), Field(960),
            [&m](std::string t) { m.Text17_Change(std::move(t)); });
    AddRule(Rule(1410));
    AddCheck(VENDARO_CONTROL(m, Check12), Box(1560), [&m] { m.Check12_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check13), Box(1890), [&m] { m.Check13_Click(); });
    AddLabel(VENDARO_CONTROL(m, Label16), LabelAt(2250, kIndent, 1500));
    AddText(VENDARO_CONTROL(m, Text18), Field(2250),
            [&m](std::string t) { m.Text18_Change(std::move(t)); });
}

bool Form5View::CreateControls() {
    Form5& m = form_;
    tab_ = AddOther(WC_TABCONTROLA, "SSTab1", WS_TABSTOP | WS_GROUP | WS_CLIPSIBLINGS,
                    {120, 120, 6960, 4080});
    if (tab_ == nullptr) return false;
    for (std::size_t i = 0; i < Form5::kPages.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(Form5::kPages[i]);
        SendMessageA(tab_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    // Each page is a window over the tab control's display area.
    RECT display{};
    GetClientRect(tab_, &display);
    SendMessageA(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    MapWindowPoints(tab_, hwnd(), reinterpret_cast<POINT*>(&display), 2);
    for (std::size_t i = 0; i < Form5::kPages.size(); ++i) AddPage(display);

    // The controls are made in keyboard order, page after page.
    CreateOdbcPage();
    CreateLoginPage();
    CreateDatabasePage();
    CreateNetworkPage();
    CreateAdvancedPage();
    OnPage(-1);
    AddButton(VENDARO_CONTROL(m, Command4), {4560, 4350, 1200, 375}, [&m] { m.Command4_Click(); });
    AddButton(VENDARO_CONTROL(m, Command2), {5880, 4350, 1200, 375}, [&m] { m.Command2_Click(); });
    // Under the pages, and last in the keyboard order.
    SetWindowPos(tab_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void Form5View::DrawForm() {
    if (tab_ != nullptr && SendMessageA(tab_, TCM_GETCURSEL, 0, 0) != form_.active_page) {
        SendMessageA(tab_, TCM_SETCURSEL, static_cast<WPARAM>(form_.active_page), 0);
    }
}

bool Form5View::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != tab_ || header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
    form_.SSTab1_Click(static_cast<int>(SendMessageA(tab_, TCM_GETCURSEL, 0, 0)));
    return true;
}

bool Form5View::PreviewKey(int key_code, int shift) {
    if (key_code == VK_TAB && (shift & kCtrlMask) != 0 && (shift & kAltMask) == 0) {
        const int pages = static_cast<int>(Form5::kPages.size());
        const int step = (shift & kShiftMask) != 0 ? pages - 1 : 1;
        form_.SSTab1_Click((form_.active_page + step) % pages);
        Refresh();
        // The first field of the page now in front.
        HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
        if (first != nullptr) SetFocus(first);
        return true;
    }
    return EditorView::PreviewKey(key_code, shift);
}

}  // namespace vendaro::win32
