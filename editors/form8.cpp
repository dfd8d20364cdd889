#include "editors/form8.h"

#include <cstring>
#include <utility>

#include "editors/digits_field.h"
#include "shell/pickers.h"

namespace vendaro {

Form8::Form8(const EditorContext& context) : ScriptEditor(context, DriverId::Dbase) {}

void Form8::LoadDesign() {
    SetLong(false);
    Combo1.items = {"dBase III", "dBase IV", "dBase 5.0"};
    Combo1.selected = 2;
    Combo2.items = {"ASCII", "International", "Norwegian-Danish", "Swedish-Finnish"};
    Combo2.selected = 0;
}

void Form8::SetLong(bool long_form) {
    OuterHeight = long_form ? kFullHeight : kShortHeight;
    for (bool* visible : {&Frame2.visible, &Label5.visible, &Combo2.visible, &Label6.visible,
                          &Text3.visible, &Check2.visible, &Check3.visible, &Check4.visible}) {
        *visible = long_form;
    }
}

void Form8::LoadAddMode() {
    std::string directory = context_.store.AppDir();
    if (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) {
        directory.pop_back();
    }
    Label4.caption = kDirectoryPrefix + directory;
}

std::string Form8::ShownDirectory() const {
    std::size_t length = std::strlen(kDirectoryPrefix);
    return Label4.caption.size() > length ? Label4.caption.substr(length) : std::string();
}

void Form8::SetUseCurrentDirectory(bool checked) {
    Check1.checked = checked;
    Command4.enabled = !checked;
}

void Form8::Check1_Click() {
    if (closed() || !Check1.enabled) return;
    // The directory does not count as a change of the script.
    SetUseCurrentDirectory(!Check1.checked);
}

void Form8::Command4_Click() {
    if (closed() || !Command4.enabled) return;
    std::string file = ShowOpenDialog(context_.platform.dialogs, hWnd(),
                                      "dBase Files (*.dbf)|*.dbf|All Files (*.*)|*.*",
                                      "Select Directory", ShownDirectory());
    // The folder of the picked file, without its trailing separator ("C:" for a file in the
    // root of drive C).
    std::size_t separator = file.find_last_of("\\/");
    if (file.empty() || separator == std::string::npos) return;
    Label4.caption = kDirectoryPrefix + file.substr(0, separator);
}

void Form8::ClickCombo(ComboBox& combo, int index) {
    if (closed() || !combo.enabled || !combo.visible) return;
    if (index < 0 || index >= static_cast<int>(combo.items.size())) return;
    combo.selected = index;
    MarkDirty();
}

void Form8::Combo1_Click(int index) {
    ClickCombo(Combo1, index);
}
void Form8::Combo2_Click(int index) {
    ClickCombo(Combo2, index);
}

void Form8::ClickCheck(CheckBox& box) {
    if (closed() || !box.enabled || !box.visible) return;
    box.checked = !box.checked;
    MarkDirty();
}

void Form8::Check2_Click() {
    ClickCheck(Check2);
}
void Form8::Check3_Click() {
    ClickCheck(Check3);
}
void Form8::Check4_Click() {
    ClickCheck(Check4);
}

void Form8::Text3_Change(std::string text) {
    ChangeText(Text3, std::move(text));
}
int Form8::Text3_KeyPress(int key_ascii) {
    return DigitsOnlyKeyPress(key_ascii);
}
void Form8::Text3_LostFocus() {
    NormalizeOnLeave(Text3);
}

void Form8::Command1_Click() {
    SaveScript();
}
void Form8::Command2_Click() {
    CancelScript();
}

void Form8::Command3_Click() {
    if (closed() || !Command3.enabled) return;
    SetLong(true);
    Command3.enabled = false;
}

void Form8::LoadScript(const std::string& name, const ListRow*) {
    Text2_Change(ReadKey(name, "Description"));
    LoadKeys(*this, Keys(), name);
}

void Form8::WriteOwnKeys(SectionKeys& writer) {
    WriteKeys(*this, Keys(), writer);
}

void Form8::LoadDirectory(const std::string& section) {
    std::string directory = ReadKey(section, "DefaultDir");
    if (!directory.empty()) {
        Label4.caption = kDirectoryPrefix + directory;
        SetUseCurrentDirectory(false);
    }
}

void Form8::SaveDirectory(SectionKeys& writer) {
    writer.Write("DefaultDir", Check1.checked ? std::string() : ShownDirectory());
}

}  // namespace vendaro
