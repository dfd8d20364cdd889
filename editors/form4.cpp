#include "editors/form4.h"

#include <utility>

#include "forms/text_rules.h"
#include "shell/pickers.h"

namespace vendaro {

Form4::Form4(const EditorContext& context) : ScriptEditor(context, DriverId::SqlServer) {}

void Form4::Text3_Change(std::string text) {
    ChangeText(Text3, std::move(text));
}
void Form4::Text4_Change(std::string text) {
    ChangeText(Text4, std::move(text));
}
void Form4::Text5_Change(std::string text) {
    ChangeText(Text5, std::move(text));
}
void Form4::Text6_Change(std::string text) {
    ChangeText(Text6, std::move(text));
}

void Form4::Command1_Click() {
    std::string folder = BrowseForFolder(context_.platform.dialogs, hWnd(), "Select a driver path",
                                         text::TrimBlanks(Text5.text));
    if (!folder.empty()) Text5_Change(std::move(folder));
}

void Form4::Command4_Click() {
    SaveScript();
}
void Form4::Command2_Click() {
    CancelScript();
}

void Form4::LoadScript(const std::string& name, const ListRow*) {
    Text2_Change(ReadKey(name, "Description"));
    LoadKeys(*this, Keys(), name);
}

void Form4::WriteOwnKeys(SectionKeys& writer) {
    WriteKeys(*this, Keys(), writer);
}

}  // namespace vendaro
