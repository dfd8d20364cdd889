#pragma once
// The Access script editor: the database and system database chosen with the file chooser
// (their paths kept in the captions that show them), four driver options behind
// "&Options>>", and the advanced options dialog behind "&Advanced...".
#include "editors/editor_windows.h"
#include "editors/script_editor.h"

namespace vendaro {

class Form6 final : public ScriptEditor {
  public:
    static constexpr int kShortHeight = 4695;  // outer height, frame "Driver" cut off
    static constexpr int kFullHeight = 6180;
    static constexpr const char* kDatabasePrefix = "Database: ";         // Label3
    static constexpr const char* kSystemDatabasePrefix = "Da&tabase: ";  // Option2

    Form6(const EditorContext& context, EditorWindows& windows);

    void Command3_Click();  // "&Select...": the database
    void Option1_Click();   // "Non&e"
    void Option2_Click();   // "Da&tabase:"
    void Command5_Click();  // "S&ystem Database:": the system database
    void Text3_Change(std::string text);
    void Text4_Change(std::string text);
    int Text3_KeyPress(int key_ascii);  // the code that reaches the field (0: discarded)
    int Text4_KeyPress(int key_ascii);
    void Text3_LostFocus();
    void Text4_LostFocus();
    void Check1_Click();
    void Check2_Click();
    void Command4_Click();  // "Save"
    void Command2_Click();  // "Cancel"
    void Command6_Click();  // "&Advanced..."
    void Command7_Click();  // "&Options>>"

    // The database path ("" while the label reads "Database:"), and the system database path
    // the second option's caption holds.
    std::string DatabasePath() const;
    std::string SystemDatabasePath() const;

    int OuterHeight = kShortHeight;

    Label Label1{"Data Source &Name:"};
    Label Label2{"&Description:"};
    Frame Frame1{"Database"};
    Label Label3{"Database:"};
    Button Command3{"&Select..."};
    Frame Frame2{"System Database"};
    OptionButton Option1{"Non&e", true};
    OptionButton Option2{"Da&tabase:"};
    Button Command5{"S&ystem Database:", false};
    Frame Frame3{"Driver"};
    Label Label4{"&Page Timeout:"};
    TextBox Text3{kAccessDefaultPageTimeout};
    Label Label5{"&Buffer Size:"};
    TextBox Text4{kAccessDefaultMaxBufferSize};
    CheckBox Check1{"E&xclusive"};
    CheckBox Check2{"Read On&ly"};
    Button Command4{"Save", false};
    Button Command2{"Cancel"};
    Button Command6{"&Advanced..."};
    Button Command7{"&Options>>"};

  private:
    Button& SaveButton() override { return Command4; }
    void LoadDesign() override;
    void LoadScript(const std::string& name, const ListRow* row) override;
    void WriteOwnKeys(SectionKeys& writer) override;

    // Long: the frame "Driver" and its controls shown; short: all of them hidden, so that no
    // key reaches a control the window's edge cuts off.
    void SetLong(bool long_form);
    void SetDatabaseLabel(std::string caption);
    void SelectOption(OptionButton& option);
    void LoadDatabase(const std::string& section);
    void SaveDatabase(SectionKeys& writer);
    void LoadSystemDatabase(const std::string& section);
    void SaveSystemDatabase(SectionKeys& writer);

    // The keys this editor shows, in the order Save writes them.
    static std::span<const KeyField<Form6>> Keys();

    EditorWindows& windows_;
};

inline std::span<const KeyField<Form6>> Form6::Keys() {
    static constexpr KeyField<Form6> kKeys[] = {
        {"DBQ", &Form6::LoadDatabase, &Form6::SaveDatabase},
        {"SystemDB", &Form6::LoadSystemDatabase, &Form6::SaveSystemDatabase},
        {"PageTimeout", &Form6::Text3},
        {"MaxBufferSize", &Form6::Text4},
        {"Exclusive", &Form6::Check1, CheckValue::OneZero},
        {"ReadOnly", &Form6::Check2, CheckValue::OneZero},
    };
    return kKeys;
}

}  // namespace vendaro
