#pragma once
// The main window: the script list, its status line and the buttons of every command. The
// model holds every control's state; a view creates the controls, forwards their events here
// and draws what the model says.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dsn/dsn_command.h"
#include "forms/controls.h"
#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "forms/script_list.h"
#include "mainwin/modal_windows.h"
#include "platform/platform.h"
#include "store/script_store.h"

namespace vendaro {

// Exit statuses of the program.
enum : int {
    kExitCreated = 0,      // the DSN was written (also every run that opens the window)
    kExitWriteFailed = 1,  // a registry or profile write failed, the library was unreadable, or
                           // the printed window could not be written
    kExitNoScript = 2,     // no script has the given name; nothing was written
    kExitNoWindow = 3,     // no window could be made, or an unexpected failure ended the run
};

struct StartupResult {
    bool show_window = true;  // false: the program ends now, without any window
    int exit_status = kExitCreated;
    // An unattended run that failed: the one line it writes to its error output.
    std::string error_line;
};

inline constexpr const char* kWelcomeText = "Welcome to Vendaro! Press the F1 key for help.";

class Form1 {
  public:
    Form1(ScriptStore& store, Platform& platform, Module1& module1, EditorLauncher& editors,
          ModalWindows& windows);

    // The window's handle, once the view has created it (0 before and without a view).
    void SetWindowHandle(WindowHandle hwnd) { hwnd_ = hwnd; }
    WindowHandle hWnd() const { return hwnd_; }

    // Start-up: fills the list from the script file and handles `command_line` (the text
    // after the program's name). Says whether the window is to show, or the exit status.
    // A library too large for the program's memory ends the program with a message box (or,
    // unattended, with `failure`) instead of without a word.
    StartupResult Form_Load(const std::string& command_line);

    // A click on the row at `position` (from 1) selects it.
    void lvwMain_ItemClick(int position);
    // A click on the header of `column` (0 DSN, 1 Description, 2 Driver) sorts by it.
    void lvwMain_ColumnClick(int column);
    // Runs Edit.
    void lvwMain_DblClick();
    // F1 (no Shift, Ctrl or Alt) opens the help file; Escape closes the window. Returns true
    // when the key was used.
    bool Form_KeyDown(int key_code, int shift);

    void Command1_Click();  // "&Add"
    void Command2_Click();  // "&Edit"
    void Command3_Click();  // "&Delete"
    void Command7_Click();  // "&Clone"
    void Command4_Click();  // "&User DSN"
    void Command6_Click();  // "&System DSN"
    void Command8_Click();  // "A&bout"
    void Command5_Click();  // "E&xit"

    // Appends a row, enables the row buttons and selects the new row; returns its position.
    int AppendRow(ListRow row);

    // --- state for views, editors and tests ---
    const std::string& Caption() const { return caption_; }
    static constexpr int kClientWidth = 7365;
    static constexpr int kClientHeight = 3510;

    static constexpr Twips kListPosition{120, 120, 7095, 2415};
    ScriptList& lvwMain() { return list_; }
    const ScriptList& lvwMain() const { return list_; }
    const std::vector<ColumnHeader>& Columns() const { return columns_; }
    bool FullRowSelect() const { return full_row_select_; }

    // A button's click handler, by which a button is named to the code.
    using Click = void (Form1::*)();
    // The buttons in tab order: Command1, 2, 3, 7, 4, 6, 8, 5.
    const std::array<Button, 8>& Buttons() const { return buttons_; }
    // Runs the click handler of the button at `position` in tab order; nothing for another.
    void ButtonClick(std::size_t position);
    // The position in tab order of the button whose click runs `click`; Buttons().size() for
    // a handler no button runs.
    static std::size_t PositionOf(Click click);
    // The button whose click runs `click` (a handler of one of them).
    const Button& ButtonOf(Click click) const { return buttons_.at(PositionOf(click)); }

    static constexpr Twips kLabel1Position{120, 2600, 4935, 255};
    const std::string& Label1() const { return label1_; }
    void SetLabel1(std::string text) { label1_ = std::move(text); }

    bool Closed() const { return closed_; }

  private:
    StartupResult LoadAndRun(const std::string& command_line);
    void SetRowButtons(bool enabled);
    void RunDsnCommand(DsnCommand command);

    ScriptStore& store_;
    Platform& platform_;
    Module1& module1_;
    EditorLauncher& editors_;
    ModalWindows& windows_;
    WindowHandle hwnd_ = 0;

    std::string caption_;
    ScriptList list_;
    std::vector<ColumnHeader> columns_;
    bool full_row_select_ = false;
    std::uint8_t sort_flag_ = 0;
    std::array<Button, 8> buttons_;
    std::string label1_;
    std::string start_mode_;
    std::optional<DsnOutcome> last_outcome_;
    bool closed_ = false;
};

}  // namespace vendaro
