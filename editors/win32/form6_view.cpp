#include "editors/win32/form6_view.h"

#include <cstring>
#include <utility>

namespace vendaro::win32 {
namespace {

constexpr int kFieldLeft = 1680;
constexpr int kLabelWidth = 1545;  // up to the field: room for the name label in any dialog font
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = 4800;
constexpr int kInside = 300;  // left edge of a frame's controls
constexpr int kButtonLeft = 5100;
constexpr int kButtonWidth = 1335;
constexpr int kButtonHeight = 375;

}  // namespace

Form6View::Form6View(Form6& model) : EditorView(model, kClientWidth, kClientHeight), form_(model) {}

bool Form6View::CreateControls() {
    Form6& m = form_;
    AddLabel(VENDARO_CONTROL(m, Label1), {120, 150, kLabelWidth, 255});
    AddText(VENDARO_CONTROL(m, Text1), {kFieldLeft, 120, 3240, 285},
            [&m](std::string t) { m.Text1_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label2), {120, 510, kLabelWidth, 255});
    AddText(VENDARO_CONTROL(m, Text2), {kFieldLeft, 480, 3240, 285},
            [&m](std::string t) { m.Text2_Change(std::move(t)); });

    AddFrame(VENDARO_CONTROL(m, Frame1), {kFrameLeft, 960, kFrameWidth, 1260});
    // The label shows a path: no access key, long paths shortened in the middle.
    AddLabel(VENDARO_CONTROL(m, Label3), {kInside, 1305, kFrameWidth - 360, 255},
             SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS);
    AddButton(VENDARO_CONTROL(m, Command3), {kInside, 1680, kButtonWidth, kButtonHeight},
              [&m] { m.Command3_Click(); });

    AddFrame(VENDARO_CONTROL(m, Frame2), {kFrameLeft, 2400, kFrameWidth, 1740});
    AddOption(VENDARO_CONTROL(m, Option1), {kInside, 2760, kFrameWidth - 360, 255}, true,
              [&m] { m.Option1_Click(); });
    AddOption(VENDARO_CONTROL(m, Option2), {kInside, 3120, kFrameWidth - 360, 255}, false, [&m] {
        m.Option2_Click();
    }).path_from = std::strlen(Form6::kSystemDatabasePrefix);
    AddButton(VENDARO_CONTROL(m, Command5), {kInside, 3540, 1800, kButtonHeight},
              [&m] { m.Command5_Click(); });

    // Below the short window's lower edge until "&Options>>".
    AddFrame(VENDARO_CONTROL(m, Frame3), {kFrameLeft, 4380, kFrameWidth, 1200});
    AddLabel(VENDARO_CONTROL(m, Label4), {kInside, 4710, 1335, 255});
    Binding& timeout = AddText(VENDARO_CONTROL(m, Text3), {kFieldLeft, 4680, 900, 285},
                               [&m](std::string t) { m.Text3_Change(std::move(t)); });
    timeout.key_press = [&m](int key) { return m.Text3_KeyPress(key); };
    timeout.lost_focus = [&m] { m.Text3_LostFocus(); };
    AddLabel(VENDARO_CONTROL(m, Label5), {kInside, 5070, 1335, 255});
    Binding& size = AddText(VENDARO_CONTROL(m, Text4), {kFieldLeft, 5040, 900, 285},
                            [&m](std::string t) { m.Text4_Change(std::move(t)); });
    size.key_press = [&m](int key) { return m.Text4_KeyPress(key); };
    size.lost_focus = [&m] { m.Text4_LostFocus(); };
    AddCheck(VENDARO_CONTROL(m, Check1), {3000, 4710, 1740, 255}, [&m] { m.Check1_Click(); });
    AddCheck(VENDARO_CONTROL(m, Check2), {3000, 5070, 1740, 255}, [&m] { m.Check2_Click(); });

    AddButton(VENDARO_CONTROL(m, Command4), {kButtonLeft, 120, kButtonWidth, kButtonHeight},
              [&m] { m.Command4_Click(); });
    AddButton(VENDARO_CONTROL(m, Command2), {kButtonLeft, 570, kButtonWidth, kButtonHeight},
              [&m] { m.Command2_Click(); });
    AddButton(VENDARO_CONTROL(m, Command6), {kButtonLeft, 1020, kButtonWidth, kButtonHeight},
              [&m] { m.Command6_Click(); });
    AddButton(VENDARO_CONTROL(m, Command7), {kButtonLeft, 1470, kButtonWidth, kButtonHeight},
              [&m] { m.Command7_Click(); });
    return true;
}

void Form6View::DrawForm() {
    SetOuterHeight(form_.OuterHeight);
}

}  // namespace vendaro::win32
