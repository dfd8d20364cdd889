#pragma once
// The dBase script editor: version, the directory of the tables (or the current directory),
// and the driver options behind "&Options>>". The directory is kept in the label that shows
// it.
#include "editors/script_editor.h"

namespace vendaro {

class Form8 final : public ScriptEditor {
  public:
    static constexpr int kShortHeight = 3250;  // outer height, frame "Driver" cut off
    static constexpr int kFullHeight = 4590;
    static constexpr const char* kDirectoryPrefix = "Directory: ";  // Label4

    explicit Form8(const EditorContext& context);

    // A click on the item at `index` (from 0) of the drop-down list.
    void Combo1_Click(int index);  // "&Version:"
    void Combo2_Click(int index);  // "&Collating Sequence:"
    void Check1_Click();           // "&Use Current Directory"
    void Command4_Click();         // "&Select Directory..."
    void Text3_Change(std::string text);
    int Text3_KeyPress(int key_ascii);  // the code that reaches the field (0: discarded)
    void Text3_LostFocus();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Command1_Click();  // "Save"
    void Command2_Click();  // "Cancel"
    void Command3_Click();  // "&Options>>"

    // The directory the label shows ("" while it reads "Directory:").
    std::string ShownDirectory() const;

    int OuterHeight = kShortHeight;

    Label Label1{"Data Source &Name:"};
    Label Label2{"&Description:"};
    Frame Frame1{"Database"};
    Label Label3{"&Version:"};
    ComboBox Combo1;
    Label Label4{"Directory:"};
    Button Command4{"&Select Directory...", false};
    CheckBox Check1{"&Use Current Directory", true};
    Frame Frame2{"Driver"};
    Label Label5{"&Collating Sequence:"};
    ComboBox Combo2;
    Label Label6{"&Page Timeout:"};
    TextBox Text3{"600"};
    CheckBox Check2{"E&xclusive"};
    CheckBox Check3{"Show Deleted &Rows"};
    CheckBox Check4{"&Approximate Row Count"};
    Button Command1{"Save", false};
    Button Command2{"Cancel"};
    Button Command3{"&Options>>"};

  private:
    Button& SaveButton() override { return Command1; }
    void LoadDesign() override;
    void LoadAddMode() override;
    void LoadScript(const std::string& name, const ListRow* row) override;
    void WriteOwnKeys(SectionKeys& writer) override;

    // Long: the frame "Driver" and its controls shown; short: all of them hidden, so that no
    // key reaches a control the window's edge cuts off.
    void SetLong(bool long_form);
    void SetUseCurrentDirectory(bool checked);
    void ClickCheck(CheckBox& box);
    void ClickCombo(ComboBox& combo, int index);
    void LoadDirectory(const std::string& section);
    void SaveDirectory(SectionKeys& writer);

    // The keys this editor shows, in the order Save writes them.
    static std::span<const KeyField<Form8>> Keys();
};

inline std::span<const KeyField<Form8>> Form8::Keys() {
    static constexpr KeyField<Form8> kKeys[] = {
        {"FIL", &Form8::Combo1},
        {"DefaultDir", &Form8::LoadDirectory, &Form8::SaveDirectory},
        {"CollatingSequence", &Form8::Combo2},
        {"PageTimeout", &Form8::Text3},
        {"Exclusive", &Form8::Check2, CheckValue::OneZero},
        {"Deleted", &Form8::Check3, CheckValue::OneZero},
        {"Statistics", &Form8::Check4, CheckValue::OneZero},
    };
    return kKeys;
}

}  // namespace vendaro
