#pragma once
// The SQL Server script editor: six text fields and a folder chooser for the driver path.
#include "editors/script_editor.h"

namespace vendaro {

class Form4 final : public ScriptEditor {
  public:
    static constexpr int kClientWidth = 4995;  // twips
    static constexpr int kClientHeight = 2985;

    explicit Form4(const EditorContext& context);

    void Text3_Change(std::string text);
    void Text4_Change(std::string text);
    void Text5_Change(std::string text);
    void Text6_Change(std::string text);
    void Command1_Click();  // "...": the folder chooser for the driver path
    void Command4_Click();  // "Save"
    void Command2_Click();  // "Cancel"

    Label Label1{"Data Source Name:"};
    Label Label2{"Description:"};
    Label Label3{"Server:"};
    TextBox Text3;
    Label Label4{"Database Name:"};
    TextBox Text4;
    Label Label5{"Driver Path:"};
    TextBox Text5;
    Button Command1{"..."};
    Label Label6{"User ID:"};
    TextBox Text6;
    Button Command4{"Save", false};
    Button Command2{"Cancel"};

  private:
    Button& SaveButton() override { return Command4; }
    void LoadScript(const std::string& name, const ListRow* row) override;
    void WriteOwnKeys(SectionKeys& writer) override;

    // The keys this editor shows, in the order Save writes them.
    static std::span<const KeyField<Form4>> Keys();
};

inline std::span<const KeyField<Form4>> Form4::Keys() {
    // Each kept exactly as typed.
    static constexpr KeyField<Form4> kKeys[] = {
        {"Server", &Form4::Text3},
        {"Database", &Form4::Text4},
        {"Driver", &Form4::Text5},
        {"LastUser", &Form4::Text6},
    };
    return kKeys;
}

}  // namespace vendaro
