#include "editors/script_editor.h"

#include <utility>

#include "dsn/dsn_name.h"
#include "editors/digits_field.h"
#include "forms/text_rules.h"
#include "platform/failure.h"

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
        script_section_ = name;
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

bool ScriptEditor::ChangeCheck(CheckBox& box, bool checked) {
    if (box.checked == checked) return false;
    box.checked = checked;
    MarkDirty();
    return true;
}

void ScriptEditor::NormalizeOnLeave(TextBox& box) {
    ChangeText(box, NormalizeDigitsField(box.text));
}

std::string ScriptEditor::ReadKey(const std::string& name, std::string_view key) {
    return context_.store.ReadIniString(name, key, "");
}

void ScriptEditor::SaveScript() {
    const std::string name = text::TrimBlanks(Text1.text);
    if (closed() || name.empty()) return;  // no section without a name
    ClearFailure();                        // a refusal below says only why this Save failed
    if (!SaveAllowed()) return;
    if (const std::string problem = DsnNameProblem(name); !problem.empty()) {
        Refuse(WithReason(kSaveFailedText, problem));  // told while the name can be changed
        return;
    }

    Module1& shared = context_.module1;
    const ScriptStore::OneVersion version = context_.store.ReadOneVersion();
    // A change of letter case alone is no rename: the script keeps its section and its row.
    const std::string& opened = script_section_;
    const bool same_section = !opened.empty() && text::MayNameSameSection(name, opened);
    const std::string section = same_section ? opened : name;
    const std::string moved_from = opened.empty() || same_section ? std::string() : opened;
    // Save never writes into another script unasked; answered Yes, that script is replaced
    // whole, so no key of it mixes with this one.
    const bool replace = !same_section && context_.store.HasSection(name);
    if (replace && !AskYesNo(ReplaceScriptQuestion(name))) {
        MoveFocus("Text1");
        return;
    }

    SetBusy(true);
    const std::string description = text::TrimBlanks(Text2.text);
    SectionKeys keys;
    keys.Write("DSN_Driver", DriverName());
    keys.Write("Description", description);
    WriteOwnKeys(keys);
    // A rename carries every key of the old section and removes it in the same change of the
    // file, so neither a failing write nor a crash leaves the script half moved.
    if (!context_.store.WriteScript(section, keys, moved_from, replace)) {
        SetBusy(false);
        Refuse(kSaveFailedText);
        return;
    }

    std::string shown = name;
    if (replace && edit_mode_) shown = DropReplacedRow(name);
    ScriptList& list = context_.lvwMain;
    const bool rename = edit_mode_ && !same_section;
    if (rename && list.Selected() > 0 && list.Selected() <= list.Count()) {
        list.SetText(list.Selected(), shown);
    }
    shared.NewDsnName = shown;
    shared.NewDescription = description;
    shared.NewDriver = DriverName();
    shared.ScriptSaved = true;
    context_.status_line.SetStatusText(std::string(DriverName()) + " DSN script " +
                                       (edit_mode_ ? "edited." : "added."));
    SetBusy(false);
    Close(CloseReason::Saved);
}

std::string ScriptEditor::DropReplacedRow(const std::string& name) {
    Module1& shared = context_.module1;
    ScriptList& list = context_.lvwMain;
    for (int position = 1; position <= list.Count(); ++position) {
        if (position == shared.EditRowIndex ||
            !text::MayNameSameSection(list.Row(position).text, name)) {
            continue;
        }
        std::string spelled = list.Row(position).text;
        list.Remove(position);
        if (position < shared.EditRowIndex) --shared.EditRowIndex;
        return spelled;
    }
    return name;
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
