#include "editors/win32/form7_view.h"

#include <utility>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {
namespace {

constexpr int kListLeft = 300;
constexpr int kListTop = 1860;
constexpr int kListWidth = 5955;
// The list's own border and margin before its text.
constexpr int kListTextInset = 3;

}  // namespace

int ListTabStopPixels(HFONT font, int tab_stop) {
    ScreenDC dc;
    if (dc.get() == nullptr) return tab_stop * 6 / 4;
    HGDIOBJ old = SelectObject(dc.get(), font);
    // The average width the list box takes: that of the 52 letters, rounded.
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), letters, 52, &size);
    SelectObject(dc.get(), old);
    const int average = (size.cx / 26 + 1) / 2;
    return MulDiv(tab_stop, average > 0 ? average : 6, 4);
}

Form7View::Form7View(Form7& model) : EditorView(model, kClientWidth, kClientHeight), form_(model) {}

bool Form7View::CreateControls() {
    Form7& m = form_;
    AddFrame(VENDARO_CONTROL(m, Frame1), {120, 120, 4800, 1080});
    AddLabel(VENDARO_CONTROL(m, Label1), {300, 450, 1335, 255});
    AddText(VENDARO_CONTROL(m, Text1), {1680, 420, 3060, 285},
            [&m](std::string t) { m.Text1_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label2), {300, 810, 1335, 255});
    AddText(VENDARO_CONTROL(m, Text2), {1680, 780, 3060, 285},
            [&m](std::string t) { m.Text2_Change(std::move(t)); });

    // The frame's access key moves to the list, the next control in the keyboard order; the
    // heads are plain labels that never take the focus.
    AddFrame(VENDARO_CONTROL(m, Frame2), {120, 1320, 6315, 3540});
    const int list_left_px = TwipsToPixelsX(kListLeft);
    const int value_left_px =
        list_left_px + kListTextInset + ListTabStopPixels(UiFont(), Form7::kListTabStop);
    const int value_left = MulDiv(value_left_px, 1440, TwipsToPixelsX(1440));
    AddLabel(VENDARO_CONTROL(m, Label3), {kListLeft + 45, 1605, 1200, 255}, SS_LEFT | SS_NOPREFIX);
    AddLabel(VENDARO_CONTROL(m, Label4), {value_left, 1605, 1200, 255}, SS_LEFT | SS_NOPREFIX);
    Binding& list = AddList(VENDARO_CONTROL(m, List1), {kListLeft, kListTop, kListWidth, 2400},
                            LBS_USETABSTOPS, [&m](int index) { m.List1_Click(index); });
    if (list.window != nullptr) {
        // One tab stop, in dialog template units.
        int stops[1] = {Form7::kListTabStop};
        SendMessageA(list.window, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops));
    }
    AddLabel(VENDARO_CONTROL(m, Label5), {300, 4470, 900, 255});
    // The selected row's name: data, not a caption with an access key.
    AddLabel(VENDARO_CONTROL(m, Label6), {1230, 4470, 1800, 255}, SS_LEFT | SS_NOPREFIX);
    Binding& value = AddText(VENDARO_CONTROL(m, Text3), {3120, 4440, 3135, 285},
                             [&m](std::string t) { m.Text3_Change(std::move(t)); });
    value.key_press = [&m](int key) { return m.Text3_KeyPress(key); };
    value.key_down = [&m](int key) { m.Text3_KeyDown(key); };

    AddButton(VENDARO_CONTROL(m, Command1), {5100, 165, 1335, 375}, [&m] { m.Command1_Click(); });
    AddButton(VENDARO_CONTROL(m, Command2), {5100, 615, 1335, 375}, [&m] { m.Command2_Click(); });
    return true;
}

}  // namespace vendaro::win32
