// The Linux program: the main window's logic on unixODBC. Where Windows would open the main
// window, the window is printed as text and the program ends.
#include <iostream>
#include <memory>
#include <string>

#include "app/guarded_main.h"
#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "mainwin/command_line.h"
#include "mainwin/form1.h"
#include "mainwin/form3.h"
#include "mainwin/frm_about.h"
#include "mainwin/modal_windows.h"
#include "mainwin/window_text.h"
#include "platform/failure.h"
#include "platform/native_profile.h"
#include "platform/platform.h"
#include "platform/posix/console_dialogs.h"
#include "platform/posix/odbc_installer.h"
#include "platform/posix/odbc_registry.h"
#include "platform/program_path.h"
#include "store/script_store.h"

namespace vendaro {
namespace {

// The editors are windows; without a screen none opens.
class NoEditors final : public EditorLauncher {
  public:
    bool OpenEditor(const std::string& driver_name) override {
        std::cerr << "No editor without a window: " << driver_name << "\n";
        return false;
    }
};

// The main window's dialogs without a screen: each says what it is; nothing is chosen in it,
// as when it is cancelled.
class ConsoleWindows final : public ModalWindows {
  public:
    void ShowSelectDriver(Form3& dialog) override {
        std::cerr << dialog.Caption() << " (cancelled: no window)\n";
    }
    void ShowAbout(FrmAbout& about) override {
        std::cerr << about.ProductName() << " " << about.VersionText() << "\n"
                  << about.Description() << "\n";
    }
};

int Run(int argc, char** argv) {
    // `vendaro sales -ue` and `vendaro "sales -ue"` are the same command line.
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i != 1) command_line += ' ';
        command_line += argv[i];
    }

    // Without its own folder the program would read the current folder's vendaro.ini.
    const std::string program_path = ProgramPath();
    if (program_path.empty()) {
        std::cerr << "vendaro: " << TakeFailure() << "; no script was read.\n";
        return kExitWriteFailed;
    }
    const ProgramLocation program = SplitProgramPath(program_path, "/", "vendaro");

    std::unique_ptr<Profile> profile = MakeNativeProfile();
    OdbcRegistry registry;
    OdbcInstaller installer;
    ConsoleDialogs dialogs(std::cerr);
    // The ODBC.INI of a Windows directory only serves Windows programs.
    Platform platform{*profile, registry, installer, dialogs, /*legacy_odbc_ini=*/false};
    ScriptStore store(*profile, program.directory, program.file_name, '/');
    Module1 module1;
    NoEditors editors;
    ConsoleWindows windows;

    Form1 form(store, platform, module1, editors, windows);
    ClearFailure();
    StartupResult started = form.Form_Load(command_line);
    if (!started.show_window) {
        if (!started.error_line.empty()) std::cerr << Printable(started.error_line) << "\n";
        return started.exit_status;
    }
    // The printed window is the run's answer: one that could not be written is no success.
    if (!(std::cout << WindowText(form) << std::flush)) {
        std::cerr << "vendaro: the window could not be printed (a full disk or a closed pipe)\n";
        return kExitWriteFailed;
    }
    return kExitCreated;
}

}  // namespace
}  // namespace vendaro

int main(int argc, char** argv) {
    return vendaro::GuardedMain("vendaro", vendaro::kExitNoWindow,
                                [&] { return vendaro::Run(argc, argv); });
}
