#include "mainwin/form3.h"

#include "dsn/drivers.h"

namespace vendaro {

Form3::Form3(Module1& module1, EditorLauncher& editors) : module1_(module1), editors_(editors) {}

void Form3::Form_Load() {
    caption_ = "Vendaro! - Add DSN Script";
    items_.clear();
    for (const Driver& driver : kDrivers) {
        if (driver.has_editor) items_.emplace_back(driver.name);
    }
    list_index_ = -1;
    ok_.enabled = false;
    module1_.ScriptSaved = false;
}

void Form3::List1_Click(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    list_index_ = index;
    ok_.enabled = true;
}

void Form3::List1_DblClick() {
    if (list_index_ < 0) return;
    Command1_Click();
}

void Form3::Command1_Click() {
    if (closed_ || list_index_ < 0) return;
    visible_ = false;
    editors_.OpenEditor(items_[static_cast<std::size_t>(list_index_)]);
    closed_ = true;
}

void Form3::Command2_Click() {
    closed_ = true;
}

bool Form3::Form_KeyDown(int key_code, int) {
    if (key_code != kKeyEscape) return false;
    closed_ = true;
    return true;
}

std::optional<ListRow> Form3::Form_Unload() const {
    if (!module1_.ScriptSaved) return std::nullopt;
    return ListRow{module1_.NewDsnName, module1_.NewDescription, module1_.NewDriver};
}

}  // namespace vendaro
