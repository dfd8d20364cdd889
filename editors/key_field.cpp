#include "editors/key_field.h"

#include <algorithm>

#include "forms/text_rules.h"

namespace vendaro {

bool IsChecked(CheckValue value, std::string_view stored) {
    if (value == CheckValue::OneZero) return stored == "1";
    return text::EqualsIgnoringCase(stored, "yes") == (value == CheckValue::YesNo);
}

const char* CheckText(CheckValue value, bool checked) {
    if (value == CheckValue::OneZero) return checked ? "1" : "0";
    return checked == (value == CheckValue::YesNo) ? "Yes" : "No";
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
