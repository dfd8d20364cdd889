#include "editors/form6.h"

#include <cstring>
#include <utility>

#include "editors/digits_field.h"
#include "editors/form7.h"
#include "shell/pickers.h"

namespace vendaro {
namespace {

// The text after `prefix` when `caption` is longer than the prefix, else "".
std::string AfterPrefix(const std::string& caption, const char* prefix) {
    std::size_t length = std::strlen(prefix);
    return caption.size() > length ? caption.substr(length) : std::string();
}

}  // namespace

Form6::Form6(const EditorContext& context, EditorWindows& windows)
    : ScriptEditor(context, DriverId::Access), windows_(windows) {}

void Form6::LoadDesign() {
    SetLong(false);
}

void Form6::SetLong(bool long_form) {
    OuterHeight = long_form ? kFullHeight : kShortHeight;
    for (bool* visible : {&Frame3.visible, &Label4.visible, &Text3.visible, &Label5.visible,
                          &Text4.visible, &Check1.visible, &Check2.visible}) {
        *visible = long_form;
    }
}

std::string Form6::DatabasePath() const {
    return AfterPrefix(Label3.caption, kDatabasePrefix);
}

std::string Form6::SystemDatabasePath() const {
    return AfterPrefix(Option2.caption, kSystemDatabasePrefix);
}

void Form6::SetDatabaseLabel(std::string caption) {
    if (caption == Label3.caption) return;
    Label3.caption = std::move(caption);
    MarkDirty();
}

void Form6::SelectOption(OptionButton& option) {
    Option1.selected = &option == &Option1;
    Option2.selected = &option == &Option2;
    MarkDirty();
    Command5.enabled = Option2.selected;
}

void Form6::Command3_Click() {
    if (closed()) return;
    std::string file = ShowOpenDialog(context_.platform.dialogs, hWnd(),
                                      "Access Databases (*.mdb)|*.mdb|All Files (*.*)|*.*",
                                      "Select Database", "C:\\");
    if (!file.empty()) SetDatabaseLabel(kDatabasePrefix + file);
}

void Form6::Option1_Click() {
    if (!closed()) SelectOption(Option1);
}

void Form6::Option2_Click() {
    if (!closed()) SelectOption(Option2);
}

void Form6::Command5_Click() {
    if (closed() || !Command5.enabled) return;
    std::string file =
        ShowOpenDialog(context_.platform.dialogs, hWnd(),
                       "System Databases (*.mda;*.mdw)|*.mda;*.mdw|All Files (*.*)|*.*",
                       "Select System Database", "C:\\");
    if (file.empty()) return;
    MarkDirty();
    Option2.caption = kSystemDatabasePrefix + file;
}

void Form6::Text3_Change(std::string text) {
    ChangeText(Text3, std::move(text));
}
void Form6::Text4_Change(std::string text) {
    ChangeText(Text4, std::move(text));
}
int Form6::Text3_KeyPress(int key_ascii) {
    return DigitsOnlyKeyPress(key_ascii);
}
int Form6::Text4_KeyPress(int key_ascii) {
    return DigitsOnlyKeyPress(key_ascii);
}
void Form6::Text3_LostFocus() {
    NormalizeOnLeave(Text3);
}
void Form6::Text4_LostFocus() {
    NormalizeOnLeave(Text4);
}

void Form6::Check1_Click() {
    if (closed() || !Check1.visible) return;
    Check1.checked = !Check1.checked;
    MarkDirty();
}

void Form6::Check2_Click() {
    if (closed() || !Check2.visible) return;
    Check2.checked = !Check2.checked;
    MarkDirty();
}

void Form6::Command4_Click() {
    SaveScript();
}
void Form6::Command2_Click() {
    CancelScript();
}

void Form6::Command6_Click() {
    if (closed()) return;
    // The advanced options clear ScriptDirty when they open; the editor's own unsaved
    // changes must still make Cancel ask afterwards.
    const bool dirty_before = context_.module1.ScriptDirty;
    // They work on the script this editor works on: the one it opened until its Save renames
    // it, so a name typed but not saved never makes a section of its own.
    const bool known = !script_section().empty();
    const std::string name = known ? script_section() : Text1.text;
    Form7 advanced(context_, name,
                   edit_mode() ? Form7::Script::Edited
                   : known     ? Form7::Script::Added
                               : Form7::Script::New);
    advanced.Form_Load();
    windows_.Show(advanced);
    if (dirty_before) context_.module1.ScriptDirty = true;
    if (advanced.written().keys().empty()) return;
    if (!known) AdoptSection(advanced.ScriptName());
    // The values chosen last stay: the editor's later Save writes what the dialog wrote for
    // the keys both own, not what the editor's fields held before.
    for (const auto& [key, value] : advanced.written().keys())
        ShowWritten(*this, Keys(), key, value);
}

void Form6::Command7_Click() {
    if (closed() || !Command7.enabled) return;
    SetLong(true);
    Command7.enabled = false;
}

void Form6::LoadScript(const std::string& name, const ListRow*) {
    Text2_Change(ReadKey(name, "Description"));
    LoadKeys(*this, Keys(), name);
}

void Form6::WriteOwnKeys(SectionKeys& writer) {
    WriteKeys(*this, Keys(), writer);
}

void Form6::LoadDatabase(const std::string& section) {
    SetDatabaseLabel(kDatabasePrefix + ReadKey(section, "DBQ"));
}

void Form6::SaveDatabase(SectionKeys& writer) {
    if (Label3.caption != "Database:") writer.Write("DBQ", DatabasePath());
}

void Form6::LoadSystemDatabase(const std::string& section) {
    std::string system_database = ReadKey(section, "SystemDB");
    if (!system_database.empty()) {
        SelectOption(Option2);
        Option2.caption = kSystemDatabasePrefix + system_database;
    }
}

void Form6::SaveSystemDatabase(SectionKeys& writer) {
    writer.Write("SystemDB", Option1.selected ? std::string() : SystemDatabasePath());
}

}  // namespace vendaro
