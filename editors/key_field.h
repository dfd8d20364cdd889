#pragma once
// One key of a script as an editor shows it: the control bound to the key, and how the
// control's state is read from and written as the key's value. An editor lists its keys in the
// order its Save writes them; loading walks the same list.
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "forms/controls.h"
#include "store/script_store.h"

namespace vendaro {

enum class TextValue {
    AsTyped,  // the text exactly as typed
    Trimmed,  // without leading and trailing blanks
};

enum class CheckValue {
    YesNo,    // checked: "Yes"; read back as yes in any letter case
    NoYes,    // checked: "No"; a box that stands for the key's opposite
    OneZero,  // checked: "1"; read back as exactly "1"
};

bool IsChecked(CheckValue value, std::string_view stored);
const char* CheckText(CheckValue value, bool checked);
std::string WrittenText(const TextBox& box, TextValue value);
// Shows the stored `value`, added as an item when the list lacks it (exactly, letter case
// included), so that Save writes back what the script holds until the user picks another
// item. An empty value leaves the item shown before.
void ShowItem(ComboBox& combo, const std::string& value);

// `Form` is the editor: its ChangeText, ChangeCheck and ReadKey set and read the bound controls.
template <class Form>
class KeyField {
  public:
    using Rule = void (Form::*)();  // the box's enable rule, run when loading changes the box
    using Load = void (Form::*)(const std::string& section);
    using Save = void (Form::*)(SectionKeys& writer);

    struct Text {
        TextBox Form::*box;
        TextValue value;
        Rule rule;
        void Show(Form& form, const char* key, const std::string& section) const {
            if (form.ChangeText(form.*box, form.ReadKey(section, key)) && rule) (form.*rule)();
        }
        void Write(Form& form, const char* key, SectionKeys& writer) const {
            writer.Write(key, WrittenText(form.*box, value));
        }
    };
    struct Check {
        CheckBox Form::*box;
        CheckValue value;
        Rule rule;
        void Show(Form& form, const char* key, const std::string& section) const {
            const bool checked = IsChecked(value, form.ReadKey(section, key));
            if (form.ChangeCheck(form.*box, checked) && rule) (form.*rule)();
        }
        void Write(Form& form, const char* key, SectionKeys& writer) const {
            writer.Write(key, CheckText(value, (form.*box).checked));
        }
    };
    struct Combo {
        ComboBox Form::*box;
        void Show(Form& form, const char* key, const std::string& section) const {
            ShowItem(form.*box, form.ReadKey(section, key));
        }
        void Write(Form& form, const char* key, SectionKeys& writer) const {
            writer.Write(key, (form.*box).text());
        }
    };
    // Keys whose controls are not one box (a path in a caption, option groups, keys written
    // only in some states): the editor's own load and save.
    struct Own {
        Load load;
        Save save;
        void Show(Form& form, const char*, const std::string& section) const {
            (form.*load)(section);
        }
        void Write(Form& form, const char*, SectionKeys& writer) const { (form.*save)(writer); }
    };

    constexpr KeyField(const char* key, TextBox Form::*box, TextValue value = TextValue::AsTyped,
                       Rule rule = nullptr)
        : key(key), control(Text{box, value, rule}) {}
    constexpr KeyField(const char* key, CheckBox Form::*box, CheckValue value, Rule rule = nullptr)
        : key(key), control(Check{box, value, rule}) {}
    constexpr KeyField(const char* key, ComboBox Form::*box) : key(key), control(Combo{box}) {}
    // `key` names the first key the pair reads, for the reader of the list.
    constexpr KeyField(const char* key, Load load, Save save)
        : key(key), control(Own{load, save}) {}

    const char* key;
    std::variant<Text, Check, Combo, Own> control;
};

// Fills each key's control from the script `section`, in the order of `keys`.
template <class Form>
void LoadKeys(Form& form, std::span<const KeyField<Form>> keys, const std::string& section) {
    for (const KeyField<Form>& field : keys) {
        std::visit([&](const auto& bound) { bound.Show(form, field.key, section); }, field.control);
    }
}

// Shows `stored`, just written for `key` by another dialog, in the text or check box bound to
// that key, without counting it as a change; other keys are left alone.
template <class Form>
void ShowWritten(Form& form, std::span<const KeyField<Form>> keys, std::string_view key,
                 const std::string& stored) {
    for (const KeyField<Form>& field : keys) {
        if (key != field.key) continue;
        if (const auto* text = std::get_if<typename KeyField<Form>::Text>(&field.control)) {
            (form.*text->box).text = stored;
        } else if (const auto* check =
                       std::get_if<typename KeyField<Form>::Check>(&field.control)) {
            (form.*check->box).checked = IsChecked(check->value, stored);
        }
    }
}

// Writes each key's value from its control, in the order of `keys`.
template <class Form>
void WriteKeys(Form& form, std::span<const KeyField<Form>> keys, SectionKeys& writer) {
    for (const KeyField<Form>& field : keys) {
        std::visit([&](const auto& bound) { bound.Write(form, field.key, writer); }, field.control);
    }
}

}  // namespace vendaro
