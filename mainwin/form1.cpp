#include "mainwin/form1.h"

#include <algorithm>
#include <limits>
#include <new>

#include "dsn/drivers.h"
#include "dsn/dsn_name.h"
#include "forms/messages.h"
#include "forms/text_rules.h"
#include "mainwin/command_line.h"
#include "mainwin/form3.h"
#include "mainwin/frm_about.h"
#include "platform/failure.h"

namespace vendaro {
namespace {

// The buttons in tab order: each one's click handler, caption, whether it acts on the selected
// row (such a button is enabled only while a row is), tool tip and place.
struct ButtonRow {
    Form1::Click click;
    const char* caption;
    bool acts_on_row;
    const char* tool_tip;
    Twips position;
};
// clang-format off
constexpr std::array<ButtonRow, 8> kButtons = {{
    {&Form1::Command1_Click, "&Add",        false, " Create a new DSN script ",          {120, 2880, 615, 495}},
    {&Form1::Command2_Click, "&Edit",       true,  " Modify an existing DSN script ",    {840, 2880, 615, 495}},
    {&Form1::Command3_Click, "&Delete",     true,  " Remove an existing DSN script ",    {1560, 2880, 735, 495}},
    {&Form1::Command7_Click, "&Clone",      true,  " Duplicate an existing DSN script ", {2400, 2880, 615, 495}},
    {&Form1::Command4_Click, "&User DSN",   true,  " Create a user DSN ",                {3120, 2880, 975, 495}},
    {&Form1::Command6_Click, "&System DSN", true,  " Create a system DSN ",              {4200, 2880, 1215, 495}},
    {&Form1::Command8_Click, "A&bout",      false, " Help and Info about Vendaro! ",     {5520, 2880, 855, 495}},
    {&Form1::Command5_Click, "E&xit",       false, " Exit the System ",                  {6480, 2880, 735, 495}},
}};
// clang-format on

std::array<Button, 8> InitialButtons() {
    std::array<Button, 8> buttons;
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonRow& row = kButtons[i];
        buttons[i] = Button{row.caption, !row.acts_on_row, true, row.tool_tip, row.position};
    }
    return buttons;
}

constexpr const char* kCopyFailedText = "The DSN script could not be copied.";

// EditRowIndex is 16 bits wide; a position it cannot hold is handed over as 0 (no row), so an
// editor never works on a row other than the one selected.
std::int16_t RowIndexField(int position) {
    if (position < 1 || position > std::numeric_limits<std::int16_t>::max()) return 0;
    return static_cast<std::int16_t>(position);
}

}  // namespace

Form1::Form1(ScriptStore& store, Platform& platform, Module1& module1, EditorLauncher& editors,
             ModalWindows& windows)
    : store_(store),
      platform_(platform),
      module1_(module1),
      editors_(editors),
      windows_(windows),
      buttons_(InitialButtons()) {}

std::size_t Form1::PositionOf(Click click) {
    return static_cast<std::size_t>(
        std::find_if(kButtons.begin(), kButtons.end(),
                     [click](const ButtonRow& row) { return row.click == click; }) -
        kButtons.begin());
}

void Form1::ButtonClick(std::size_t position) {
    if (position < kButtons.size()) (this->*kButtons[position].click)();
}

void Form1::SetRowButtons(bool enabled) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (kButtons[i].acts_on_row) buttons_[i].enabled = enabled;
    }
}

StartupResult Form1::Form_Load(const std::string& command_line) {
    try {
        return LoadAndRun(command_line);
    } catch (const std::bad_alloc&) {
        platform_.dialogs.SetBusy(false);
        const std::string text = store_.ScriptFile() +
                                 " is too large for the memory of this program; nothing was "
                                 "read or written.";
        StartupResult ended{false, kExitWriteFailed, {}};
        if (IsUnattended(ParseCommandLine(command_line).start_mode)) {
            ended.error_line = text;
        } else {
            ShowRefusal(platform_.dialogs, hwnd_, text);
        }
        return ended;
    }
}

StartupResult Form1::LoadAndRun(const std::string& command_line) {
    // AppDir was fixed when the store was made, before anything else. The list and a DSN the
    // command line creates come from one version of the file.
    platform_.dialogs.SetBusy(true);
    const ScriptStore::OneVersion version = store_.ReadOneVersion();
    caption_ = kMessageTitle;
    label1_ = kWelcomeText;
    columns_ = {{"DSN", 2000}, {"Description", 2000}, {"Driver", 2000}};

    for (ScriptRow& row : store_.ListScripts()) {
        list_.Add(ListRow{std::move(row.name), std::move(row.description), std::move(row.driver)});
    }
    if (list_.Count() > 0) {
        SetRowButtons(true);
        list_.Select(1);
    }
    full_row_select_ = true;

    const CommandLine line = ParseCommandLine(command_line);
    if (line.has_name) {
        start_mode_ = line.start_mode;
        bool matched = false;
        for (int position = 1; position <= list_.Count(); ++position) {
            if (text::LowerAnsi(list_.Row(position).text) == line.name) {
                list_.Select(position);
                matched = true;
            }
        }
        if (matched) {
            if (start_mode_ == "u" || start_mode_ == "ue") Command4_Click();
            if (start_mode_ == "s" || start_mode_ == "se") Command6_Click();
            if (IsUnattended(start_mode_)) {
                if (last_outcome_ && last_outcome_->writes_ok) return {false, kExitCreated, ""};
                return {false, kExitWriteFailed, last_outcome_ ? last_outcome_->failure : ""};
            }
        } else if (IsUnattended(start_mode_)) {
            return {false, kExitNoScript,
                    "No script named \"" + line.name + "\" in " + store_.ScriptFile() +
                        "; nothing was created."};
        }
    }

    platform_.dialogs.SetBusy(false);
    return {};
}

void Form1::lvwMain_ItemClick(int position) {
    if (position < 1 || position > list_.Count()) return;
    list_.Select(position);
}

void Form1::lvwMain_ColumnClick(int column) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    // One direction flag for the whole list, whichever column is clicked.
    sort_flag_ = sort_flag_ != 0 ? 0 : 1;
    list_.Sort(column, sort_flag_ == 1);
}

void Form1::lvwMain_DblClick() {
    Command2_Click();
}

bool Form1::Form_KeyDown(int key_code, int shift) {
    if (key_code == kKeyF1 && (shift & (kShiftMask | kCtrlMask | kAltMask)) == 0) {
        // A missing viewer or help file is the viewer's business: nothing is shown.
        platform_.dialogs.Launch("notepad.exe " + store_.AppDir() + "faq.fil");
        return true;
    }
    if (key_code == kKeyEscape) {
        closed_ = true;
        return true;
    }
    return false;
}

void Form1::Command1_Click() {
    module1_.ScriptMode = kScriptModeAdd;
    Form3 dialog(module1_, editors_);
    dialog.Form_Load();
    windows_.ShowSelectDriver(dialog);
    std::optional<ListRow> saved = dialog.Form_Unload();
    if (!saved) return;
    // A script saved under the name of a listed one went into that script's section: its row
    // is brought up to date instead of showing the script twice.
    for (int position = 1; position <= list_.Count(); ++position) {
        if (text::EqualsIgnoringCase(list_.Row(position).text, saved->text)) {
            list_.SetDescription(position, saved->description);
            list_.SetDriver(position, saved->driver);
            SetRowButtons(true);
            list_.Select(position);
            return;
        }
    }
    AppendRow(std::move(*saved));
}

int Form1::AppendRow(ListRow row) {
    const int position = list_.Add(std::move(row));
    SetRowButtons(true);
    // The new row, wherever a sorted list placed it.
    list_.Select(position);
    return position;
}

void Form1::Command2_Click() {
    const int position = list_.Selected();
    if (position == 0) return;
    const ListRow& row = list_.Row(position);
    module1_.EditRowIndex = RowIndexField(position);
    module1_.ScriptMode = kScriptModeEdit;
    module1_.EditDsnName = row.text;
    const std::string driver = row.driver;  // the editor may change the row
    if (!HasEditor(driver)) return;
    editors_.OpenEditor(driver);
}

void Form1::Command3_Click() {
    if (list_.Selected() == 0) return;
    if (!AskQuestion(platform_.dialogs, hwnd_,
                     "Are you sure you want to delete the selected DSN script?",
                     MsgDefault::Second)) {
        return;
    }

    const int position = list_.Selected();
    if (position == 0) return;
    module1_.EditRowIndex = RowIndexField(position);
    const std::string name = list_.Row(position).text;
    // Deleted means the section was there and is gone: a row whose name finds no section (its
    // header read otherwise) deletes nothing, and a failed write leaves the section.
    ClearFailure();
    const bool deleted =
        store_.HasSection(name) && store_.WriteIniString(name, "", "") && !store_.HasSection(name);
    if (!deleted) {
        // The script is still in the file, so its row stays.
        ShowRefusal(platform_.dialogs, hwnd_,
                    WithReason("The DSN script could not be deleted.", TakeFailure()));
        return;
    }
    list_.Remove(position);
    if (list_.Count() == 0) {
        SetRowButtons(false);
    } else {
        list_.Select(std::min(position, list_.Count()));
    }
    label1_ = "DSN script deleted.";
}

void Form1::Command7_Click() {
    const int position = list_.Selected();
    if (position == 0) return;
    const ListRow source = list_.Row(position);
    const std::string title = "Clone DSN script '" + source.text + "'";
    for (;;) {
        const std::string name =
            text::TrimBlanks(platform_.dialogs.InputBox(hwnd_, "New DSN Name", title));
        if (name.empty()) return;
        const bool taken = std::any_of(
            list_.Rows().begin(), list_.Rows().end(),
            [&](const ListRow& row) { return text::EqualsIgnoringCase(row.text, name); });
        if (taken) {
            ShowRefusal(platform_.dialogs, hwnd_, "DSN already exists.");
            continue;
        }
        const std::string problem = DsnNameProblem(name);
        if (!problem.empty()) {
            ShowRefusal(platform_.dialogs, hwnd_, WithReason(kCopyFailedText, problem));
            continue;
        }
        if (!store_.FileExists(store_.ScriptFile())) continue;
        // A pasted control character would not read back as the same name.
        ClearFailure();
        CopyResult result = text::HoldsControlBelowSpace(name)
                                ? CopyResult::WriteFailed
                                : store_.CopySection(source.text, name);
        if (result == CopyResult::Copied) {
            AppendRow(ListRow{name, source.description, source.driver});
        } else if (result == CopyResult::WriteFailed) {
            ShowRefusal(platform_.dialogs, hwnd_, WithReason(kCopyFailedText, TakeFailure()));
        }
    }
}

void Form1::RunDsnCommand(DsnCommand command) {
    const int position = list_.Selected();
    if (position == 0) return;
    const ListRow& row = list_.Row(position);
    DsnRequest request;
    request.command = command;
    request.name = row.text;
    request.description = row.description;
    request.driver = row.driver;
    request.unattended = IsUnattended(start_mode_);
    request.main_window = hwnd_;
    // Every key of the data source from one version of the file.
    const ScriptStore::OneVersion version = store_.ReadOneVersion();
    DsnOutcome outcome = CreateDsn(request, store_, platform_);
    if (outcome.status_line) label1_ = *outcome.status_line;
    last_outcome_ = std::move(outcome);
}

void Form1::Command4_Click() {
    RunDsnCommand(DsnCommand::User);
}

void Form1::Command6_Click() {
    RunDsnCommand(DsnCommand::System);
}

void Form1::Command8_Click() {
    FrmAbout about;
    windows_.ShowAbout(about);
}

void Form1::Command5_Click() {
    closed_ = true;
}

}  // namespace vendaro
