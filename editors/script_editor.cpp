#include "editors/script_editor.h"

#include <utility>

#include "editors/digits_field.h"
#include "forms/text_rules.h"

namespace vendaro {

void ScriptEditor::Form_Load() {
    Module1& shared = context_.module1;
    loading_ = true;
    edit_mode_ = shared.ScriptMode == kScriptModeEdit;
    LoadDesign();
    if (!edit_mode_) {
        Caption = std::string("Add DSN Script for ") + driver_.product;
        LoadAddMode();
    } else {
        SetBusy(true);
        const ScriptList& list = context_.lvwMain;
        const ListRow* row = list.Selected() > 0 && list.Selected() <= list.Count()
                                 ? &list.Row(list.Selected())
                                 : nullptr;
        std::string name = row ? row->text : shared.EditDsnName;
        Caption = std::string("Edit DSN Script for ") + driver_.product;
        Text1_Change(name);
        // Every field from one version of the file.
        const ScriptStore::OneVersion version = context_.store.ReadOneVersion();
        LoadScript(name, row);
        SetBusy(false);
    }
    shared.ScriptDirty = false;
    shared.ScriptSaved = false;
    loading_ = false;
}

void ScriptEditor::Text1_Change(std::string text) {
    if (text == Text1.text) return;
    Text1.text = std::move(text);
    bool named = !text::TrimBlanks(Text1.text).empty();
    context_.module1.ScriptDirty = named;
    SaveButton().enabled = named;
}

void ScriptEditor::Text2_Change(std::string text) {
    ChangeText(Text2, std::move(text));
}

bool ScriptEditor::ChangeText(TextBox& box, std::string text) {
    if (text == box.text) return false;
    box.text = std::move(text);
    MarkDirty();
    return true;
}

void ScriptEditor::NormalizeOnLeave(TextBox& box) {
    ChangeText(box, NormalizeDigitsField(box.text));
}

std::string ScriptEditor::ReadKey(const std::string& name, std::string_view key) {
    return context_.store.ReadIniString(name, key, "");
}

bool ScriptEditor::SaveScript() {
    const std::string name = text::TrimBlanks(Text1.text);
    if (closed() || name.empty()) return false;  // no section without a name
    if (!SaveAllowed()) return false;

    Module1& shared = context_.module1;
    const ScriptStore::OneVersion version = context_.store.ReadOneVersion();
    SetBusy(true);
    // A rename removes the old section only after the new one is complete, so a failing
    // write never leaves the user without the script they opened.
    const bool rename = edit_mode_ && !text::EqualsIgnoringCase(name, shared.EditDsnName);
    const std::string description = text::TrimBlanks(Text2.text);
    SectionKeys keys;
    keys.Write("DSN_Driver", DriverName());
    keys.Write("Description", description);
    WriteOwnKeys(keys);
    bool ok = context_.store.WriteSection(name, keys);
    if (ok && rename && !shared.EditDsnName.empty() &&
        !text::MayNameSameSection(name, shared.EditDsnName)) {
        ok = context_.store.WriteIniString(shared.EditDsnName, "", "");
    }
    if (!ok) {
        SetBusy(false);
        Refuse(kSaveFailedText);
        return false;
    }

    ScriptList& list = context_.lvwMain;
    if (rename && list.Selected() > 0 && list.Selected() <= list.Count()) {
        list.SetText(list.Selected(), name);
    }
    shared.NewDsnName = name;
    shared.NewDescription = description;
    shared.NewDriver = DriverName();
    shared.ScriptSaved = true;
    context_.status_line.SetStatusText(std::string(DriverName()) + " DSN script " +
                                       (edit_mode_ ? "edited." : "added."));
    SetBusy(false);
    Close(CloseReason::Saved);
    return true;
}

void ScriptEditor::CancelScript() {
    if (closed()) return;
    if (context_.module1.ScriptDirty && !text::TrimBlanks(Text1.text).empty()) {
        if (AskYesNo(kSaveChangesQuestion)) {
            SaveScript();
            return;
        }
    }
    Close(CloseReason::Cancelled);
}

void ScriptEditor::OnClosing() {
    const Module1& shared = context_.module1;
    if (shared.ScriptMode != kScriptModeEdit || !shared.ScriptSaved) return;
    ScriptList& list = context_.lvwMain;
    if (shared.EditRowIndex < 1 || shared.EditRowIndex > list.Count()) return;
    // Saved by the Access advanced options only, the script keeps the description it had: the
    // row shows what the file holds, not the field's unsaved text.
    const std::string description =
        close_reason() == CloseReason::Saved
            ? text::TrimBlanks(Text2.text)
            : ReadKey(list.Row(shared.EditRowIndex).text, "Description");
    list.SetDescription(shared.EditRowIndex, description);
}

}  // namespace vendaro
