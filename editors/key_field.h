#pragma once
// One key of a script as an editor shows it: the control bound to the key, and how the
// control's state is read from and written as the key's value. An editor lists its keys in the
// order its Save writes them; loading walks the same list.
#include <string>
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
    };
    struct Check {
        CheckBox Form::*box;
        CheckValue value;
        Rule rule;
    };
    // The stored value is shown as an item, added when the list lacks it.
    struct Combo {
        ComboBox Form::*box;
    };
    // Keys whose controls are not one box (a path in a caption, option groups, keys written
    // only in some states): the editor's own load and save.
    struct Own {
        Load load;
        Save save;
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

}  // namespace vendaro
