#pragma once
// A main window on a real vendaro.ini in a scratch folder, with the recording platform for the
// registry, the installer and the dialogs, and scripted stand-ins for the editors and the main
// window's own dialogs.
#include <functional>

#include "mainwin/form1.h"
#include "mainwin/form3.h"
#include "mainwin/frm_about.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"

namespace vendaro::test {

// Records each editor opened and runs `on_open` (what the user does in it).
class ScriptedEditors final : public EditorLauncher {
  public:
    std::vector<std::string> opened;
    std::function<void(const std::string& driver)> on_open;
    bool OpenEditor(const std::string& driver_name) override {
        opened.push_back(driver_name);
        if (on_open) on_open(driver_name);
        return true;
    }
};

// Its own dialogs run the test's events in the Select Driver dialog (Cancel by default) and
// OK the about box.
struct MainWindow final : ModalWindows {
    std::function<void(Form3&)> on_select_driver = [](Form3& dialog) { dialog.Command2_Click(); };
    int about_shown = 0;
    void ShowSelectDriver(Form3& dialog) override { on_select_driver(dialog); }
    void ShowAbout(FrmAbout& a) override { a.Command1_Click(), about_shown += a.Closed(); }

    TempDir dir;
    std::unique_ptr<Profile> real_profile = MakeNativeProfile();
    RecordingPlatform recording{*real_profile};
    Platform platform = recording.AsPlatform();
    ScriptStore store{recording.profile(), dir.path().string(), "vendaro.exe",
                      static_cast<char>(std::filesystem::path::preferred_separator)};
    Module1 module1;
    ScriptedEditors editors;
    Form1 form{store, platform, module1, editors, *this};

    explicit MainWindow(const std::string& scripts = "") {
        if (!scripts.empty()) WriteFile(dir.path() / "vendaro.ini", scripts);
    }
    std::string Scripts() const { return ReadFile(dir.path() / "vendaro.ini"); }
    // The rows' names ("*" before the selected one) | the status line | the buttons in tab
    // order ("+" enabled), then each effect recorded since the last dump, the folder as "~/".
    std::string Dump() {
        std::string out;
        for (int position = 1; position <= form.lvwMain().Count(); ++position) {
            if (position == form.lvwMain().Selected()) out += "*";
            out += form.lvwMain().Row(position).text + " ";
        }
        out += "| " + form.Label1() + " | ";
        for (const Button& button : form.Buttons()) out += button.enabled ? '+' : '-';
        for (std::string call : recording.calls) {
            const auto at = call.find(store.AppDir());
            if (at != std::string::npos) call.replace(at, store.AppDir().size(), "~/");
            out += "\n" + call;
        }
        recording.calls.clear();
        return out;
    }
};

}  // namespace vendaro::test
