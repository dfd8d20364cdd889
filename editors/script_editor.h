#pragma once
// The framework every script editor follows: add or edit mode, loading from the selected row,
// change tracking, Save enabled while the name is not blank, the Cancel question, Escape, the
// common steps of Save (rename, the editor's keys, the hand-over to the main window, the
// status line) and the description refresh when an edit closes.
#include <string>
#include <string_view>

#include <span>
#include <type_traits>

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

    // The Save button. Returns true when the script was saved and the editor closed.
    bool SaveScript();
    // The Cancel button.
    void CancelScript();

    // The section that holds the script this editor works on: the one opened in edit mode; in
    // add mode none until something saved the new script ahead of the editor (AdoptSection).
    const std::string& script_section() const { return script_section_; }
    void AdoptSection(std::string section) { script_section_ = std::move(section); }

    void MarkDirty() { context_.module1.ScriptDirty = true; }
    // The key's value in section `name`, "" when missing.
    std::string ReadKey(const std::string& name, std::string_view key);
    // Sets `box` to `checked` and marks the editor dirty, when that is new. Returns whether it
    // changed.
    bool ChangeCheck(CheckBox& box, bool checked);

    // Fills each key's control from the script `section`, in the order of `keys`.
    template <class Form>
    void LoadKeys(Form& form, std::span<const KeyField<Form>> keys, const std::string& section);
    // Writes each key's value from its control, in the order of `keys`.
    template <class Form>
    void WriteKeys(Form& form, std::span<const KeyField<Form>> keys, SectionKeys& writer);
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

// How a bound control shows a stored value and what it writes.
bool IsChecked(CheckValue value, std::string_view stored);
const char* CheckText(CheckValue value, bool checked);
std::string WrittenText(const TextBox& box, TextValue value);
// Shows the stored `value`, added as an item when the list lacks it (exactly, letter case
// included), so that Save writes back what the script holds until the user picks another
// item. An empty value leaves the item shown before.
void ShowItem(ComboBox& combo, const std::string& value);

template <class Form>
void ScriptEditor::LoadKeys(Form& form, std::span<const KeyField<Form>> keys,
                            const std::string& section) {
    using Field = KeyField<Form>;
    for (const Field& field : keys) {
        std::visit(
            [&](const auto& bound) {
                using Bound = std::decay_t<decltype(bound)>;
                if constexpr (std::is_same_v<Bound, typename Field::Own>) {
                    (form.*bound.load)(section);
                } else if constexpr (std::is_same_v<Bound, typename Field::Combo>) {
                    ShowItem(form.*bound.box, ReadKey(section, field.key));
                } else {
                    const std::string stored = ReadKey(section, field.key);
                    bool changed;
                    if constexpr (std::is_same_v<Bound, typename Field::Text>) {
                        changed = ChangeText(form.*bound.box, stored);
                    } else {
                        changed = ChangeCheck(form.*bound.box, IsChecked(bound.value, stored));
                    }
                    if (changed && bound.rule) (form.*bound.rule)();
                }
            },
            field.control);
    }
}

template <class Form>
void ScriptEditor::WriteKeys(Form& form, std::span<const KeyField<Form>> keys,
                             SectionKeys& writer) {
    using Field = KeyField<Form>;
    for (const Field& field : keys) {
        std::visit(
            [&](const auto& bound) {
                using Bound = std::decay_t<decltype(bound)>;
                if constexpr (std::is_same_v<Bound, typename Field::Own>) {
                    (form.*bound.save)(writer);
                } else if constexpr (std::is_same_v<Bound, typename Field::Combo>) {
                    writer.Write(field.key, (form.*bound.box).text());
                } else if constexpr (std::is_same_v<Bound, typename Field::Text>) {
                    writer.Write(field.key, WrittenText(form.*bound.box, bound.value));
                } else {
                    writer.Write(field.key, CheckText(bound.value, (form.*bound.box).checked));
                }
            },
            field.control);
    }
}

}  // namespace vendaro
