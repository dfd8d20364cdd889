#include "editors/form7.h"

#include <utility>

#include "dsn/drivers.h"
#include "forms/text_rules.h"
#include "store/cipher.h"

namespace vendaro {

Form7::Form7(const EditorContext& context, const std::string& access_name, Script script)
    : ModalForm(context), access_name_(access_name), script_(script) {}

std::string Form7::ScriptName() const {
    return text::TrimBlanks(access_name_);
}

void Form7::Form_Load() {
    loading_ = true;
    SetBusy(true);
    Caption = "Set Advanced Options";
    List1.items.clear();
    for (const AdvancedOption& option : kAdvancedOptions) List1.items.emplace_back(option.row_name);
    List1.selected = -1;

    // Without a name there is no section to read: the dialog shows what a new script has.
    const std::string name = ScriptName();
    ScriptStore& store = context_.store;
    // Every option from one version of the file.
    const ScriptStore::OneVersion version = store.ReadOneVersion();
    if (!name.empty()) {
        Text1_Change(store.ReadIniString(name, "UID", ""));
        Text2_Change(DecipherText(store.ReadIniString(name, "PWD", ""), kCipherKey));
    }
    for (std::size_t i = 0; i < kAdvancedOptions.size(); ++i) {
        const AdvancedOption& option = kAdvancedOptions[i];
        std::string value = name.empty()
                                ? std::string(option.default_value)
                                : store.ReadIniString(name, option.key, option.default_value);
        if (!value.empty()) List1.items[i] = std::string(option.row_name) + '\t' + value;
    }
    context_.module1.ScriptDirty = false;
    SetBusy(false);
    loading_ = false;
}

void Form7::Text1_Change(std::string text) {
    if (text == Text1.text) return;
    Text1.text = std::move(text);
    context_.module1.ScriptDirty = true;
}

void Form7::Text2_Change(std::string text) {
    if (text == Text2.text) return;
    Text2.text = std::move(text);
    context_.module1.ScriptDirty = true;
}

std::string* Form7::SelectedRow() {
    if (List1.selected < 0 || List1.selected >= static_cast<int>(List1.items.size())) {
        return nullptr;
    }
    return &List1.items[static_cast<std::size_t>(List1.selected)];
}

void Form7::List1_Click(int index) {
    if (closed() || index < 0 || index >= static_cast<int>(List1.items.size())) return;
    List1.selected = index;
    const std::string row = List1.items[static_cast<std::size_t>(index)];
    std::size_t tab = row.find('\t');
    Label6.caption = row.substr(0, tab);
    Text3_Change(tab == std::string::npos ? std::string() : row.substr(tab + 1));
}

int Form7::Text3_KeyPress(int key_ascii) {
    std::string* row = SelectedRow();
    if (closed() || !row) return key_ascii;
    const bool has_tab = row->find('\t') != std::string::npos;
    if (key_ascii == kKeyAsciiBackspace) {
        if (has_tab) {
            row->pop_back();
        } else {
            *row += '\t';
        }
    } else if (!text::IsControlCharacter(key_ascii)) {
        // Control characters still act in the box (copy, paste) but would be stored invisibly.
        if (!has_tab) *row += '\t';
        *row += static_cast<char>(key_ascii);
    }
    return key_ascii;
}

void Form7::Text3_KeyDown(int key_code) {
    std::string* row = SelectedRow();
    if (closed() || !row || key_code != kKeyCodeDelete) return;
    std::size_t tab = row->find('\t');
    if (tab != std::string::npos) {
        row->erase(tab + 1);
    } else {
        *row += '\t';
    }
}

void Form7::Text3_Change(std::string text) {
    if (text == Text3.text) return;
    Text3.text = std::move(text);
    context_.module1.ScriptDirty = true;
    std::string* row = SelectedRow();
    if (!row || Text3.text.size() != 1) return;
    if (text::IsControlCharacter(static_cast<unsigned char>(Text3.text[0]))) return;
    std::size_t tab = row->find('\t');
    if (tab != std::string::npos && tab + 1 < row->size())
        *row = row->substr(0, tab + 1) + Text3.text;
}

void Form7::Command1_Click() {
    if (closed()) return;
    const std::string name = ScriptName();
    if (name.empty()) {
        // No section without a name: nothing to write.
        Close(CloseReason::Saved);
        return;
    }
    const std::string password = text::TrimBlanks(Text2.text);
    if (!IsStorablePassword(password, kCipherKey)) {
        Refuse(kUnstorablePasswordText);
        return;
    }

    ScriptStore& store = context_.store;
    const ScriptStore::OneVersion version = store.ReadOneVersion();
    // A script being added is not another script's section: answered Yes, that script goes
    // whole.
    const bool replace = script_ == Script::New && store.HasSection(name);
    if (replace && !AskYesNo(ReplaceScriptQuestion(name))) return;

    SetBusy(true);
    SectionKeys writer;
    // What a script being added creates is a script of the Access driver, listed and editable
    // even when the editor is not saved.
    if (script_ != Script::Edited &&
        (replace || store.ReadIniString(name, "DSN_Driver", "").empty())) {
        writer.Write("DSN_Driver", DriverOf(DriverId::Access).name);
    }
    writer.Write("UID", text::TrimBlanks(Text1.text));
    writer.Write("PWD", EncipherText(password, kCipherKey));
    // Each row with a value, under its option's script key.
    for (const std::string& row : List1.items) {
        const std::size_t tab = row.find('\t');
        if (tab == std::string::npos) continue;
        for (const AdvancedOption& option : kAdvancedOptions) {
            if (row.compare(0, tab, option.row_name) == 0)
                writer.Write(option.key, row.substr(tab + 1));
        }
    }
    if (!store.WriteScript(name, writer, "", replace)) {
        SetBusy(false);
        Refuse(kSaveFailedText);
        return;
    }
    written_ = writer;

    Module1& shared = context_.module1;
    shared.ScriptSaved = true;
    // Should the Access editor now close unsaved in add mode, the row the Select Driver
    // dialog appends is this section as the file holds it, not an earlier script's.
    shared.NewDsnName = name;
    shared.NewDescription = store.ReadIniString(name, "Description", "");
    shared.NewDriver = store.ReadIniString(name, "DSN_Driver", "");
    SetBusy(false);
    Close(CloseReason::Saved);
}

void Form7::Command2_Click() {
    if (closed()) return;
    if (context_.module1.ScriptDirty) {
        if (AskYesNo(kSaveChangesQuestion)) {
            VENDARO_MOVE_FOCUS(Command1);
            return;
        }
    }
    Close(CloseReason::Cancelled);
}

}  // namespace vendaro
