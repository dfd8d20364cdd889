#pragma once
// A main window on a real vendaro.ini in a temporary folder, with the recording platform for
// the registry, the installer and the dialogs, and scripted stand-ins for the editors and the
// main window's own dialogs.
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "mainwin/form1.h"
#include "mainwin/form3.h"
#include "mainwin/frm_about.h"
#include "mainwin/modal_windows.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "platform/tests/test_profile.h"
#include "store/script_store.h"
#include "testing/scratch.h"

namespace vendaro::test {

// Opens the editor by running `on_open` (a test's stand-in for what the user does in it).
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

// Answers the Select Driver dialog and the about box the way a test says; by default the
// Select Driver dialog is cancelled.
class ScriptedWindows final : public ModalWindows {
  public:
    int select_driver_shown = 0;
    int about_shown = 0;
    std::function<void(Form3&)> on_select_driver;
    std::function<void(FrmAbout&)> on_about;
    void ShowSelectDriver(Form3& dialog) override {
        ++select_driver_shown;
        if (on_select_driver) {
            on_select_driver(dialog);
        } else {
            dialog.Command2_Click();
        }
    }
    void ShowAbout(FrmAbout& about) override {
        ++about_shown;
        if (on_about) on_about(about);
        about.Command1_Click();
    }
};

struct MainWindow {
    TempDir dir;
    TestProfile native;  // the platform's own profile functions
    Profile* real_profile = native.get();
    RecordingPlatform recording{*real_profile};
    Platform platform = recording.AsPlatform();
    ScriptStore store{recording.profile(), dir.path().string(), "vendaro.exe",
                      static_cast<char>(std::filesystem::path::preferred_separator)};
    Module1 module1;
    ScriptedEditors editors;
    ScriptedWindows windows;
    Form1 form{store, platform, module1, editors, windows};

    std::filesystem::path ScriptFile() const { return dir.path() / "vendaro.ini"; }
    void WriteScripts(const std::string& bytes) const { WriteFile(ScriptFile(), bytes); }
    std::string Scripts() const { return ReadFile(ScriptFile()); }

    // The rows' texts in list order.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const ListRow& row : form.lvwMain().Rows()) names.push_back(row.text);
        return names;
    }
    // The recorded calls that start with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : recording.calls) {
            if (call.rfind(prefix, 0) == 0) found.push_back(call);
        }
        return found;
    }
};

// A script file of `names`, each an SQL Server script described as "<name> figures".
inline std::string SqlServerScripts(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += "[" + name + "]\r\nDSN_Driver=SQL Server\r\nDescription=" + name +
                " figures\r\nServer=srv\r\n\r\n";
    }
    return text;
}

}  // namespace vendaro::test
