#pragma once
// The framework every script editor follows: add or edit mode, loading from the selected row,
// change tracking, Save enabled while the name is not blank, the Cancel question, Escape, the
// common steps of Save (rename, the editor's keys, the hand-over to the main window, the
// status line) and the description refresh when an edit closes.
#include <string>
#include <string_view>

#include "dsn/drivers.h"
#include "editors/key_field.h"
#include "editors/modal_form.h"
#include "store/script_store.h"

namespace vendaro {

class ScriptEditor : public ModalForm {
  public:
    // Loads the dialog: caption, fields (from the selected row's script in edit mode), and
    // last clears ScriptDirty and ScriptSaved.
    void Form_Load();

    bool edit_mode() const { return edit_mode_; }

    // The data source name: non-blank text sets ScriptDirty and enables Save, blank text
    // clears ScriptDirty and disables Save. Like every Change event here, it does nothing when
    // the text is the one the field already holds.
    void Text1_Change(std::string text);
    // The description.
    void Text2_Change(std::string text);

    // The Change event of a field without a rule of its own: sets `box` to `text` and marks
    // the editor dirty, when the text is new. Returns whether it changed.
    bool ChangeText(TextBox& box, std::string text);
    // The same for a box set to `checked`.
    bool ChangeCheck(CheckBox& box, bool checked);
    // The key's value in section `name`, "" when missing.
    std::string ReadKey(const std::string& name, std::string_view key);

    TextBox Text1;
    TextBox Text2;

  protected:
    // `driver`: the row of the driver table whose scripts this editor edits.
    ScriptEditor(const EditorContext& context, DriverId driver)
        : ModalForm(context), driver_(DriverOf(driver)) {}

    virtual Button& SaveButton() = 0;
    const char* DriverName() const { return driver_.name; }
    // Steps of both modes that come before the caption (window height, list items).
    virtual void LoadDesign() {}
    virtual void LoadAddMode() {}
    // Fills the fields from the script `name`; `row` is the selected row it came from (null
    // when none is selected).
    virtual void LoadScript(const std::string& name, const ListRow* row) = 0;
    // A refusal before anything is written; false keeps the editor open.
    virtual bool SaveAllowed() { return true; }
    // Adds the editor's own keys, after DSN_Driver and Description.
    virtual void WriteOwnKeys(SectionKeys& writer) = 0;

    // The Save button: the script saved and the editor closed, or a refusal said.
    void SaveScript();
    // The Cancel button.
    void CancelScript();

    // The section that holds the script this editor works on: the one opened in edit mode; in
    // add mode none until something saved the new script ahead of the editor (AdoptSection).
    const std::string& script_section() const { return script_section_; }
    void AdoptSection(std::string section) { script_section_ = std::move(section); }

    void MarkDirty() { context_.module1.ScriptDirty = true; }
    // A digits-only field left: its text becomes its number's display form.
    void NormalizeOnLeave(TextBox& box);

  private:
    void OnClosing() override;

    // In edit mode, the row of a script this Save replaced leaves the list: the script shows
    // once, under the name the file keeps for it. Returns that name.
    std::string DropReplacedRow(const std::string& name);

    const Driver& driver_;
    bool edit_mode_ = false;
    std::string script_section_;
};

}  // namespace vendaro
