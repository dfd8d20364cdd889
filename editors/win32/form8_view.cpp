#include "editors/win32/form8_view.h"

#include <utility>

namespace vendaro::win32 {
namespace {

constexpr int kFieldLeft = 1680;
constexpr int kLabelWidth = 1545;  // up to the field: room for the name label in any dialog font
constexpr int kDriverFieldLeft = 1980;  // after "&Collating Sequence:"
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = 4800;
constexpr int kInside = 300;
constexpr int kButtonLeft = 5100;
constexpr int kButtonWidth = 1335;
constexpr int kButtonHeight = 375;
constexpr int kDropDownHeight = 1500;  // the open list of a drop-down

}  // namespace

Form8View::Form8View(Form8& model) : EditorView(model, kClientWidth, kClientHeight), form_(model) {}

bool Form8View::CreateControls() {
    Form8& m = form_;
    AddLabel(VENDARO_CONTROL(m, Label1), {120, 150, kLabelWidth, 255});
    AddText(VENDARO_CONTROL(m, Text1), {kFieldLeft, 120, 3240, 285},
            [&m](std::string t) { m.Text1_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label2), {120, 510, kLabelWidth, 255});
    AddText(VENDARO_CONTROL(m, Text2), {kFieldLeft, 480, 3240, 285},
            [&m](std::string t) { m.Text2_Change(std::move(t)); });

    AddFrame(VENDARO_CONTROL(m, Frame1), {kFrameLeft, 900, kFrameWidth, 1740});
    AddLabel(VENDARO_CONTROL(m, Label3), {kInside, 1230, 1200, 255});
    AddCombo(VENDARO_CONTROL(m, Combo1), {kFieldLeft, 1200, 1800, kDropDownHeight},
             [&m](int index) { m.Combo1_Click(index); });
    // The label shows a path: no access key, long paths shortened in the middle.
    AddLabel(VENDARO_CONTROL(m, Label4), {kInside, 1650, kFrameWidth - 360, 255},
             SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS);
    AddButton(VENDARO_CONTROL(m, Command4), {kInside, 2040, 1815, kButtonHeight},
              [&m] { m.Command4_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check1), {2340, 2100, 2400, 255}, [&m] { m.Check1_Click(); });

    // Below the short window's lower edge until "&Options>>".
    AddFrame(VENDARO_CONTROL(m, Frame2), {kFrameLeft, 2880, kFrameWidth, 1245});
    AddLabel(VENDARO_CONTROL(m, Label5), {kInside, 3165, kDriverFieldLeft - kInside - 15, 255});
    AddCombo(VENDARO_CONTROL(m, Combo2), {kDriverFieldLeft, 3120, 1800, kDropDownHeight},
             [&m](int index) { m.Combo2_Click(index); });
    AddLabel(VENDARO_CONTROL(m, Label6), {kInside, 3525, 1500, 255});
    Binding& timeout = AddText(VENDARO_CONTROL(m, Text3), {kDriverFieldLeft, 3495, 900, 285},
                               [&m](std::string t) { m.Text3_Change(std::move(t)); });
    timeout.key_press = [&m](int key) { return m.Text3_KeyPress(key); };
    timeout.lost_focus = [&m] { m.Text3_LostFocus(); };
    AddCheck(VENDARO_CONTROL(m, Check2), {3000, 3510, 1740, 255}, [&m] { m.Check2_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check3), {kInside, 3840, 2000, 240}, [&m] { m.Check3_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check4), {2400, 3840, 2340, 240}, [&m] { m.Check4_Click(); });

    AddButton(VENDARO_CONTROL(m, Command1), {kButtonLeft, 120, kButtonWidth, kButtonHeight},
              [&m] { m.Command1_Click(); });
    AddButton(VENDARO_CONTROL(m, Command2), {kButtonLeft, 570, kButtonWidth, kButtonHeight},
              [&m] { m.Command2_Click(); });
    AddButton(VENDARO_CONTROL(m, Command3), {kButtonLeft, 1020, kButtonWidth, kButtonHeight},
              [&m] { m.Command3_Click(); });
    return true;
}

void Form8View::DrawForm() {
    SetOuterHeight(form_.OuterHeight);
}

}  // namespace vendaro::win32
