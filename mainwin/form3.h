#pragma once
// The Select Driver dialog that Add opens: the user picks one of the drivers that have an
// editor (those of the driver table that have one), the dialog hides and opens that editor, and on
// closing hands a saved script back.
#include <optional>
#include <string>
#include <vector>

#include "forms/controls.h"
#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "forms/script_list.h"

namespace vendaro {

class Form3 {
  public:
    Form3(Module1& module1, EditorLauncher& editors);

    // Caption, the four drivers, ScriptSaved cleared.
    void Form_Load();
    // A click on the driver at `index` (0-based) selects it and enables "&OK".
    void List1_Click(int index);
    // Acts as "&OK" on the selected driver; does nothing when none is selected.
    void List1_DblClick();
    // "&OK": hides the dialog, opens the selected driver's editor modally, then closes.
    void Command1_Click();
    // "&Cancel": closes; no editor opens.
    void Command2_Click();
    // Escape closes like "&Cancel". Returns true when the key was used.
    bool Form_KeyDown(int key_code, int shift);
    // The window's close box.
    void Close() { closed_ = true; }

    // The closing step, whatever the way the dialog closed: the row to append to the script
    // list when the editor saved a script, nullopt otherwise.
    std::optional<ListRow> Form_Unload() const;

    const std::string& Caption() const { return caption_; }
    static constexpr int kClientWidth = 4125;
    static constexpr int kClientHeight = 2640;
    const std::string& Label1() const { return label1_; }
    static constexpr Twips kLabel1Position{120, 120, 3855, 255};
    static constexpr Twips kList1Position{120, 360, 3855, 1620};
    const std::vector<std::string>& List1() const { return items_; }
    // The selected item, -1 when none.
    int ListIndex() const { return list_index_; }
    const Button& Command1() const { return ok_; }
    const Button& Command2() const { return cancel_; }
    bool Visible() const { return visible_; }
    bool Closed() const { return closed_; }

  private:
    Module1& module1_;
    EditorLauncher& editors_;
    std::string caption_;
    std::string label1_ = "Select Driver";
    std::vector<std::string> items_;
    int list_index_ = -1;
    Button ok_{.caption = "&OK", .enabled = false, .position = {120, 2160, 1095, 375}};  // Command1
    Button cancel_{.caption = "&Cancel", .position = {2880, 2160, 1095, 375}};           // Command2
    bool visible_ = true;
    bool closed_ = false;
};

}  // namespace vendaro
