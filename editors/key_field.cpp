#include "editors/key_field.h"

#include <algorithm>

#include "forms/text_rules.h"

namespace vendaro {

bool IsChecked(CheckValue value, std::string_view stored) {
    switch (value) {
        case CheckValue::YesNo:
            return text::EqualsIgnoringCase(stored, "yes");
        case CheckValue::NoYes:
            return !text::EqualsIgnoringCase(stored, "yes");
        case CheckValue::OneZero:
            return stored == "1";
    }
    return false;
}

const char* CheckText(CheckValue value, bool checked) {
    switch (value) {
        case CheckValue::YesNo:
            return checked ? "Yes" : "No";
        case CheckValue::NoYes:
            return checked ? "No" : "Yes";
        case CheckValue::OneZero:
            return checked ? "1" : "0";
    }
    return "";
}

std::string WrittenText(const TextBox& box, TextValue value) {
    return value == TextValue::Trimmed ? text::TrimBlanks(box.text) : box.text;
}

void ShowItem(ComboBox& combo, const std::string& value) {
    if (value.empty()) return;
    auto found = std::find(combo.items.begin(), combo.items.end(), value);
    if (found == combo.items.end()) found = combo.items.insert(combo.items.end(), value);
    combo.selected = static_cast<int>(found - combo.items.begin());
}

}  // namespace vendaro
