#include "editors/win32/form4_view.h"

#include <utility>

namespace vendaro::win32 {
namespace {

// Every label sits at the left edge on its field's row, its text level with the field's; 1545
// twips wide, up to the field, so "Data Source Name:" fits in Wine's dialog font too.
Twips LabelBeside(const Twips& field) {
    return {120, field.top + 30, 1545, 255};
}

}  // namespace

Form4View::Form4View(Form4& model)
    : EditorView(model, Form4::kClientWidth, Form4::kClientHeight), form_(model) {}

bool Form4View::CreateControls() {
    Form4& m = form_;
    const Twips text1{1680, 120, 3135, 285};
    const Twips text2{1680, 480, 3135, 285};
    const Twips text3{1680, 840, 3135, 285};
    const Twips text4{1680, 1200, 3135, 285};
    const Twips text5{1680, 1560, 2775, 285};
    const Twips text6{1680, 1920, 3135, 285};

    AddLabel(VENDARO_CONTROL(m, Label1), LabelBeside(text1));
    AddText(VENDARO_CONTROL(m, Text1), text1,
            [&m](std::string t) { m.Text1_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label2), LabelBeside(text2));
    AddText(VENDARO_CONTROL(m, Text2), text2,
            [&m](std::string t) { m.Text2_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label3), LabelBeside(text3));
    AddText(VENDARO_CONTROL(m, Text3), text3,
            [&m](std::string t) { m.Text3_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label4), LabelBeside(text4));
    AddText(VENDARO_CONTROL(m, Text4), text4,
            [&m](std::string t) { m.Text4_Change(std::move(t)); });
    AddLabel(VENDARO_CONTROL(m, Label5), LabelBeside(text5));
    AddText(VENDARO_CONTROL(m, Text5), text5,
            [&m](std::string t) { m.Text5_Change(std::move(t)); });
    AddButton(VENDARO_CONTROL(m, Command1), {4440, 1560, 375, 255}, [&m] { m.Command1_Click(); });
    AddLabel(VENDARO_CONTROL(m, Label6), LabelBeside(text6));
    AddText(VENDARO_CONTROL(m, Text6), text6,
            [&m](std::string t) { m.Text6_Change(std::move(t)); });
    AddButton(VENDARO_CONTROL(m, Command4), {120, 2640, 975, 320}, [&m] { m.Command4_Click(); });
    AddButton(VENDARO_CONTROL(m, Command2), {3840, 2640, 975, 320}, [&m] { m.Command2_Click(); });
    return true;
}

}  // namespace vendaro::win32
