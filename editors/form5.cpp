#include "editors/form5.h"

#include <utility>

#include "editors/digits_field.h"
#include "forms/text_rules.h"
#include "shell/pickers.h"
#include "store/cipher.h"

namespace vendaro {
namespace {

using text::EqualsIgnoringCase;
using text::TrimBlanks;

}  // namespace

Form5::Form5(const EditorContext& context) : ScriptEditor(context, DriverId::AdaptiveServer) {}

void Form5::SSTab1_Click(int page) {
    if (page >= 0 && page < static_cast<int>(kPages.size())) active_page = page;
}

// --- rules ---

void Form5::UserIdRule() {
    bool user_id = Option5.selected;
    Label4.enabled = user_id;
    Label5.enabled = user_id;
    Text4.enabled = user_id;
    Text5.enabled = user_id;
    if (user_id) VENDARO_MOVE_FOCUS(Text4);
}

void Form5::DatabaseFileRule() {
    Check6.enabled = !Text9.text.empty();
}

void Form5::LivenessRule() {
    if (!Check8.checked && !Check9.checked) Text13.enabled = false;
}

void Form5::TcpIpRule() {
    if (Check8.checked) {
        Text10.enabled = true;
        Text13.enabled = true;
        VENDARO_MOVE_FOCUS(Text10);
    } else {
        Text10.enabled = false;
        LivenessRule();
    }
}

void Form5::IpxRule() {
    if (Check9.checked) {
        Text11.enabled = true;
        Text13.enabled = true;
        VENDARO_MOVE_FOCUS(Text11);
    } else {
        Text11.enabled = false;
        LivenessRule();
    }
}

void Form5::NetBiosRule() {
    Text12.enabled = Check10.checked;
    if (Check10.checked) VENDARO_MOVE_FOCUS(Text12);
}

void Form5::DebugRule() {
    Label16.enabled = Check13.checked;
    Text18.enabled = Check13.checked;
    if (Check13.checked) VENDARO_MOVE_FOCUS(Text18);
}

void Form5::SetCheck(CheckBox& box, bool checked, void (Form5::*rule)()) {
    if (ChangeCheck(box, checked)) (this->*rule)();
}

void Form5::ClickCheck(CheckBox& box, void (Form5::*rule)()) {
    if (closed() || !box.enabled) return;
    SetCheck(box, !box.checked, rule);
}

void Form5::SelectOption(OptionButton& option) {
    OptionButton* group[3] = {&Option1, &Option2, &Option3};
    if (&option == &Option4 || &option == &Option5) {
        group[0] = &Option4;
        group[1] = &Option5;
        group[2] = nullptr;
    }
    for (OptionButton* member : group) {
        if (member) member->selected = member == &option;
    }
    MarkDirty();
    if (&option == &Option4 || &option == &Option5) UserIdRule();
}

void Form5::ClickOption(OptionButton& option) {
    if (closed() || !option.enabled) return;
    SelectOption(option);
}

// --- events ---

void Form5::Text3_Change(std::string text) {
    ChangeText(Text3, std::move(text));
}
void Form5::Check1_Click() {
    ClickCheck(Check1, &Form5::NoRule);
}
void Form5::Check2_Click() {
    ClickCheck(Check2, &Form5::NoRule);
}
void Form5::Check3_Click() {
    ClickCheck(Check3, &Form5::NoRule);
}
void Form5::Check4_Click() {
    ClickCheck(Check4, &Form5::NoRule);
}
void Form5::Option1_Click() {
    ClickOption(Option1);
}
void Form5::Option2_Click() {
    ClickOption(Option2);
}
void Form5::Option3_Click() {
    ClickOption(Option3);
}
void Form5::Option4_Click() {
    ClickOption(Option4);
}
void Form5::Option5_Click() {
    ClickOption(Option5);
}
void Form5::Text4_Change(std::string text) {
    ChangeText(Text4, std::move(text));
}
void Form5::Text5_Change(std::string text) {
    ChangeText(Text5, std::move(text));
}
void Form5::Check5_Click() {
    ClickCheck(Check5, &Form5::NoRule);
}
void Form5::Text6_Change(std::string text) {
    ChangeText(Text6, std::move(text));
}
void Form5::Text7_Change(std::string text) {
    ChangeText(Text7, std::move(text));
}
void Form5::Text8_Change(std::string text) {
    ChangeText(Text8, std::move(text));
}

void Form5::Text9_Change(std::string text) {
    if (ChangeText(Text9, std::move(text))) DatabaseFileRule();
}

void Form5::Command3_Click() {
    if (closed()) return;
    std::string file =
        ShowOpenDialog(context_.platform.dialogs, hWnd(),
                       "Databases (*.db)|*.db|Write Files (*.wrt)|*.wrt|All Files (*.*)|*.*",
                       "Select a Database File", "C:\\");
    if (!file.empty()) Text9_Change(std::move(file));
}

void Form5::Check6_Click() {
    ClickCheck(Check6, &Form5::NoRule);
}
void Form5::Check7_Click() {
    ClickCheck(Check7, &Form5::NoRule);
}
void Form5::Check8_Click() {
    ClickCheck(Check8, &Form5::TcpIpRule);
}
void Form5::Text10_Change(std::string text) {
    ChangeText(Text10, std::move(text));
}
void Form5::Check9_Click() {
    ClickCheck(Check9, &Form5::IpxRule);
}
void Form5::Text11_Change(std::string text) {
    ChangeText(Text11, std::move(text));
}
void Form5::Check10_Click() {
    ClickCheck(Check10, &Form5::NetBiosRule);
}
void Form5::Text12_Change(std::string text) {
    ChangeText(Text12, std::move(text));
}
void Form5::Check11_Click() {
    ClickCheck(Check11, &Form5::NoRule);
}
void Form5::Text13_Change(std::string text) {
    ChangeText(Text13, std::move(text));
}
void Form5::Text14_Change(std::string text) {
    ChangeText(Text14, std::move(text));
}
void Form5::Text15_Change(std::string text) {
    ChangeText(Text15, std::move(text));
}
int Form5::Text13_KeyPress(int key_ascii) {
    return DigitsOnlyKeyPress(key_ascii);
}
int Form5::Text14_KeyPress(int key_ascii) {
    return DigitsOnlyKeyPress(key_ascii);
}
int Form5::Text15_KeyPress(int key_ascii) {
    return DigitsOnlyKeyPress(key_ascii);
}
void Form5::Text13_LostFocus() {
    NormalizeOnLeave(Text13);
}
void Form5::Text14_LostFocus() {
    NormalizeOnLeave(Text14);
}
void Form5::Text15_LostFocus() {
    NormalizeOnLeave(Text15);
}
void Form5::Text16_Change(std::string text) {
    ChangeText(Text16, std::move(text));
}
void Form5::Text17_Change(std::string text) {
    ChangeText(Text17, std::move(text));
}
void Form5::Check12_Click() {
    ClickCheck(Check12, &Form5::NoRule);
}
void Form5::Check13_Click() {
    ClickCheck(Check13, &Form5::DebugRule);
}
void Form5::Text18_Change(std::string text) {
    ChangeText(Text18, std::move(text));
}

void Form5::Command4_Click() {
    SaveScript();
}
void Form5::Command2_Click() {
    CancelScript();
}

CommLinksBoxes Form5::NetworkBoxes() const {
    return CommLinksBoxes{Check8.checked, Text10.text,     Check9.checked,
                          Text11.text,    Check10.checked, Text12.text};
}

// --- load and save ---

void Form5::LoadScript(const std::string& name, const ListRow* row) {
    // The description is the list's, not the file's.
    Text2_Change(row ? row->description : ReadKey(name, "Description"));
    LoadKeys(*this, Keys(), name);
}

void Form5::LoadDescribeCursor(const std::string& section) {
    std::string cursor = ReadKey(section, "DescribeCursor");
    if (EqualsIgnoringCase(cursor, "no")) {
        SelectOption(Option1);
    } else if (EqualsIgnoringCase(cursor, "yes")) {
        SelectOption(Option2);
    } else if (EqualsIgnoringCase(cursor, "always")) {
        SelectOption(Option3);
    }
}

void Form5::SaveDescribeCursor(SectionKeys& writer) {
    writer.Write("DescribeCursor", Option1.selected ? "No" : Option3.selected ? "Always" : "Yes");
}

void Form5::LoadLogin(const std::string& section) {
    if (IsChecked(CheckValue::YesNo, ReadKey(section, "Integrated"))) {
        SelectOption(Option4);
    } else {
        if (!Option5.selected) SelectOption(Option5);
        Text4_Change(ReadKey(section, "UID"));
        Text5_Change(DecipherText(ReadKey(section, "PWD"), kCipherKey));
    }
}

void Form5::SaveLogin(SectionKeys& writer) {
    if (Option5.selected) {
        writer.Write("UID", TrimBlanks(Text4.text));
        writer.Write("PWD", EncipherText(TrimBlanks(Text5.text), kCipherKey));
    }
    writer.Write("Integrated", CheckText(CheckValue::YesNo, Option4.selected));
}

void Form5::LoadCommLinks(const std::string& section) {
    CommLinksBoxes links = ParseCommLinks(ReadKey(section, "CommLinks"));
    if (links.tcpip) {
        SetCheck(Check8, true, &Form5::TcpIpRule);
        if (!links.tcpip_options.empty()) Text10_Change(links.tcpip_options);
    }
    if (links.ipx) {
        SetCheck(Check9, true, &Form5::IpxRule);
        if (!links.ipx_options.empty()) Text11_Change(links.ipx_options);
    }
    if (links.netbios) {
        SetCheck(Check10, true, &Form5::NetBiosRule);
        if (!links.netbios_options.empty()) Text12_Change(links.netbios_options);
    }
}

void Form5::SaveCommLinks(SectionKeys& writer) {
    writer.Write("CommLinks", BuildCommLinks(NetworkBoxes()));
}

void Form5::LoadLogFile(const std::string& section) {
    SetCheck(Check13, IsChecked(CheckValue::YesNo, ReadKey(section, "Debug")), &Form5::DebugRule);
    if (Check13.checked) Text18_Change(ReadKey(section, "LogFile"));
}

void Form5::SaveLogFile(SectionKeys& writer) {
    if (Check13.checked) writer.Write("LogFile", TrimBlanks(Text18.text));
    writer.Write("Debug", CheckText(CheckValue::YesNo, Check13.checked));
}

bool Form5::SaveAllowed() {
    // The password is written only with the user-ID option; only then can it be refused.
    if (Option5.selected && !IsStorablePassword(TrimBlanks(Text5.text), kCipherKey)) {
        Refuse(kUnstorablePasswordText);
        return false;
    }
    return true;
}

void Form5::WriteOwnKeys(SectionKeys& writer) {
    WriteKeys(*this, Keys(), writer);
}

}  // namespace vendaro
