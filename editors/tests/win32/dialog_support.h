#pragma once
// The editors as real dialogs in this process: the launcher opens them through EditorDialogs
// over a real vendaro.ini in a scratch folder; real message boxes and file and folder choosers
// are answered from a timer (ModalDriver), and the steps act on the open dialog's controls as
// the user's keys and clicks would.
#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <dlgs.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editors/script_editor_launcher.h"
#include "editors/tests/test_support.h"
#include "editors/win32/editor_dialogs.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "platform/tests/win32/modal_driver.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32::testing {

// Real dialogs that also note each message box's text and each chooser's title.
class NotingDialogs final : public Dialogs {
  public:
    MsgAnswer MessageBox(const MessageBoxRequest& request) override {
        shown.push_back("MessageBox " + request.title + "|" + request.text);
        return real_.MessageBox(request);
    }
    std::string InputBox(WindowHandle owner, const std::string& prompt,
                         const std::string& title) override {
        return real_.InputBox(owner, prompt, title);
    }
    bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) override {
        shown.push_back("OpenFile " + request.title);
        return real_.OpenFile(request, file_buffer);
    }
    bool BrowseFolder(WindowHandle owner, const std::string& title, const std::string& start_folder,
                      std::string& folder) override {
        shown.push_back("BrowseFolder " + title);
        return real_.BrowseFolder(owner, title, start_folder, folder);
    }
    void SetBusy(bool busy) override { real_.SetBusy(busy); }
    bool Launch(const std::string&) override { return false; }

    std::vector<std::string> shown;

  private:
    Win32Dialogs real_;
};

// Closes an editor left open by a failed test (with its close box), so the run ends.
class Watchdog {
  public:
    explicit Watchdog(EditorDialogs& windows, ModalDriver& driver);
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog();
    bool fired() const { return fired_; }

  private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    EditorDialogs& windows_;
    ModalDriver& driver_;
    UINT_PTR timer_ = 0;
    int idle_ticks_ = 0;
    bool fired_ = false;
};

struct DialogFixture {
    DialogFixture();
    DialogFixture(const DialogFixture&) = delete;
    DialogFixture& operator=(const DialogFixture&) = delete;

    test::ScratchDir dir;
    std::unique_ptr<Profile> real_profile = MakeNativeProfile();
    RecordingPlatform recording{*real_profile};  // registry and installer: not used here
    NotingDialogs dialogs;
    Platform platform{*real_profile, recording, recording, dialogs};
    ScriptStore store{*real_profile, dir.path(), "vendaro.exe", '\\'};
    Module1 shared;
    ScriptList list;
    test::TextStatusLine status;
    EditorDialogs windows{[] { return static_cast<HWND>(nullptr); }};
    ScriptEditorLauncher launcher{store, platform, shared, windows};
    ModalDriver driver;
    Watchdog watchdog{windows, driver};
    std::string ini = dir.File("vendaro.ini");

    void Given(const std::string& bytes) const { test::WriteBytes(ini, bytes); }
    std::string Bytes() const { return test::ReadBytes(ini); }
    test::KeyLines Section(const std::string& name) const {
        return test::SectionLines(Bytes(), name);
    }

    // Add mode, as the Select Driver dialog leaves it.
    void AddMode();
    // Edit mode on a new selected row, as Edit leaves it. Returns the row's position.
    int EditMode(const std::string& name, const std::string& description,
                 const std::string& driver);

    // Queues `act` for the open editor captioned `caption`, once it shows.
    void OnEditor(const std::string& caption, std::function<void(EditorView&)> act);
    // Queues the answer to the question box: `button` is IDYES or IDNO; the box's text goes
    // to `text` when given.
    void AnswerQuestion(int button, std::string* text = nullptr);
    // Queues the answer to the open-file dialog captioned `title`: `path` and OK, or Cancel
    // when `path` is empty.
    void AnswerOpenFile(const std::string& title, const std::string& path);
    // Queues the answer to the folder dialog: OK on its preselected folder, or Cancel.
    void AnswerFolder(bool ok, std::string* title_seen = nullptr);

    // Opens the editor of `driver` and returns once it has closed; then every queued step
    // has run and none timed out.
    void Open(const std::string& driver);
};

// ---- acting on controls as the user does ----

// Types `text` into `field`, character by character, as the keyboard delivers it.
void Type(HWND field, const std::string& text);
// Replaces the text of `field` as a paste would (no key presses).
void Paste(HWND field, const std::string& text);
// A click on a button, check box or option button, handled before this returns.
void Click(HWND button);
// A click posted to the dialog's queue: for buttons that open a modal window.
void PostClick(HWND button);
// A key going down on `control`, through the dialog's message loop (key preview included).
void PostKey(HWND control, int key);
// A key going down on `control`, straight to the control.
void SendKey(HWND control, int key);
// A click on the tab of `page` of the tab control.
void ClickTab(HWND tab, int page);
// The list box selects row `index` as a click on it would.
void SelectRow(HWND list, int index);

// ---- reading what the controls show ----

// Those of `names` that Tab visits, in its order, from the first control until the walk comes
// back to it.
std::vector<std::string> TabWalk(EditorView& view, const std::vector<std::string>& names);

std::string Text(HWND window);
bool Enabled(HWND window);
// Shown on screen: visible, and so is its page.
bool Visible(HWND window);
bool Checked(HWND button);
std::vector<std::string> ListRows(HWND list);
std::vector<std::string> ComboItems(HWND combo);
std::string ComboShown(HWND combo);
// The control's rectangle in its parent's client area, in pixels.
RECT RectInParent(HWND control);
// `twips` in pixels, as the views place controls.
RECT Pixels(int left, int top, int width, int height);
// What the field is drawn with: the background colour and the brush the dialog gives it.
struct FieldPaint {
    COLORREF background;
    HBRUSH brush;
};
FieldPaint PaintOf(HWND field);

}  // namespace vendaro::win32::testing
