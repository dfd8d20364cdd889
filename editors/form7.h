#pragma once
// The Access advanced options ("Set Advanced Options"): a default login and twelve driver
// options shown as list rows "name" or "name<TAB>value", edited key by key through the value
// box. It reads and writes the script named in the Access editor's name field.
#include <array>

#include "dsn/drivers.h"
#include "editors/modal_form.h"

namespace vendaro {

struct AdvancedOption {
    const char* row_name;
    const char* key;            // the script key ("Driver" is kept as DriverJet)
    const char* default_value;  // shown when the script has no value; "" for none
};

inline constexpr std::array<AdvancedOption, 12> kAdvancedOptions{{
    {"DefaultDir", "DefaultDir", ""},
    {"Driver", "DriverJet", ""},
    {"ExtendedAnsiSQL", "ExtendedAnsiSQL", "0"},
    {"FIL", "FIL", kAccessDefaultFil},
    {"ImplicitCommitSync", "ImplicitCommitSync", ""},
    {"MaxBufferSize", "MaxBufferSize", kAccessDefaultMaxBufferSize},
    {"MaxScanRows", "MaxScanRows", "8"},
    {"PageTimeout", "PageTimeout", kAccessDefaultPageTimeout},
    {"ReadOnly", "ReadOnly", "0"},
    {"SafeTransactions", "SafeTransactions", "0"},
    {"Threads", "Threads", kAccessDefaultThreads},
    {"UserCommitSync", "UserCommitSync", "Yes"},
}};

class Form7 final : public ModalForm {
  public:
    static constexpr int kListTabStop = 80;  // dialog template units, LB_SETTABSTOPS

    // What the section the dialog works on is to the Access editor.
    enum class Script {
        Edited,  // the script the editor opened
        Added,   // the script the editor adds, which an earlier Save of this dialog created
        New,     // the name typed for a script being added: a section of it is another script's
    };

    // `access_name`: the name of the script the Access editor works on, read at opening and at
    // Save.
    Form7(const EditorContext& context, const std::string& access_name,
          Script script = Script::Edited);

    void Form_Load();

    void Text1_Change(std::string text);  // "&Login name:"
    void Text2_Change(std::string text);  // "&Password:"
    // A click on the row at `index` (from 0) selects it and shows its name and value.
    void List1_Click(int index);
    // The value box. KeyPress returns the code that reaches the box.
    int Text3_KeyPress(int key_ascii);
    void Text3_KeyDown(int key_code);
    void Text3_Change(std::string text);
    void Command1_Click();  // "Save"
    void Command2_Click();  // "Cancel"

    // The trimmed name of the script the dialog works on.
    std::string ScriptName() const;
    // The keys the dialog's Save wrote, in order.
    const SectionKeys& written() const { return written_; }

    Frame Frame1{"Default Authorization"};
    Label Label1{"&Login name:"};
    TextBox Text1;
    Label Label2{"&Password:"};
    TextBox Text2{"", true, true, true};
    Frame Frame2{"&Options"};
    Label Label3{"Type"};
    Label Label4{"Value"};
    ListBox List1;
    Label Label5{"&Value of"};
    Label Label6;  // the selected row's name
    TextBox Text3;
    Button Command1{"Save"};
    Button Command2{"Cancel"};

  private:
    std::string* SelectedRow();

    const std::string& access_name_;
    Script script_;
    SectionKeys written_;
};

}  // namespace vendaro
