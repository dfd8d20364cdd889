#pragma once
// A main window on a real vendaro.ini in a scratch folder, with the recording platform for the
// registry, the installer and the dialogs, and scripted stand-ins for the editors and the main
// window's own dialogs.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "mainwin/form1.h"
#include "mainwin/form3.h"
#include "mainwin/frm_about.h"
#include "mainwin/modal_windows.h"
#include "mainwin/window_text.h"
#include "platform/native_profile.h"
#include "store/script_store.h"
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

// Runs the test's events in the Select Driver dialog (Cancel by default); records the about box.
class ScriptedWindows final : public ModalWindows {
  public:
    std::function<void(Form3&)> on_select_driver = [](Form3& dialog) { dialog.Command2_Click(); };
    std::string about;
    void ShowSelectDriver(Form3& dialog) override { on_select_driver(dialog); }
    void ShowAbout(FrmAbout& about_box) override {
        about += about_box.Caption() + "|" + about_box.ProductName() + "|" +
                 about_box.VersionText() + "|" + about_box.Description();
        about_box.Command1_Click();
    }
};

struct MainWindow {
    TempDir dir;
    std::unique_ptr<Profile> real_profile = MakeNativeProfile();
    RecordingPlatform recording{*real_profile};
    Platform platform = recording.AsPlatform();
    ScriptStore store{recording.profile(), dir.path().string(), "vendaro.exe", '/'};
    Module1 module1;
    ScriptedEditors editors;
    ScriptedWindows windows;
    Form1 form{store, platform, module1, editors, windows};

    explicit MainWindow(const std::string& scripts = "") {
        if (!scripts.empty()) WriteFile(dir.path() / "vendaro.ini", scripts);
    }
    std::string Scripts() const { return ReadFile(dir.path() / "vendaro.ini"); }
    // The whole window as text, the buttons in tab order ('+' enabled), then every effect
    // recorded since the last dump (the scratch folder shown as "~").
    std::string Dump() {
        std::string out = WindowText(form);
        for (const ButtonControl& button : form.Buttons()) out += button.enabled ? '+' : '-';
        out += '\n';
        for (std::string call : recording.calls) {
            for (auto at = call.find(store.AppDir()); at != std::string::npos;
                 at = call.find(store.AppDir())) {
                call.replace(at, store.AppDir().size(), "~/");
            }
            out += call + '\n';
        }
        recording.calls.clear();
        return out;
    }
};

}  // namespace vendaro::test
