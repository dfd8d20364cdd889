// The Windows program: the main window over the script file, the registry, the ODBC installer
// and the common dialogs.
#include <memory>
#include <string>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "forms/module1.h"
#include "forms/status_line.h"
#include "forms/win32/form_window.h"
#include "mainwin/command_line.h"
#include "mainwin/win32/main_window.h"
#include "platform/native_profile.h"
#include "platform/platform.h"
#include "platform/program_path.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/windows_api.h"
#include "store/script_store.h"

namespace vendaro::win32 {
namespace {

// The editors' closing messages go to the main window's status line.
class MainStatusLine final : public StatusLine {
  public:
    explicit MainStatusLine(MainWindow& main) : main_(main) {}
    void SetStatusText(const std::string& text) override { main_.SetStatusText(text); }

  private:
    MainWindow& main_;
};

// An unattended run's one line on its error output: the handle a caller redirected, or else
// the console of the command prompt that started the program.
void WriteErrorLine(const std::string& line) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if ((err == nullptr || err == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        err = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int RunProgram(const std::string& command_line, int show_command) {
    const ProgramLocation program = SplitProgramPath(ProgramPath(), "\\/", "vendaro.exe");

    std::unique_ptr<Profile> profile = MakeNativeProfile();
    Win32Registry registry;
    Win32Installer installer;
    Win32Dialogs dialogs;
    Platform platform{*profile, registry, installer, dialogs};
    ScriptStore store(*profile, program.directory, program.file_name, '\\');
    Module1 module1;
    // The editors open over the main window, which is made after their launcher.
    MainWindow* main_window = nullptr;
    EditorDialogs editor_windows(
        [&main_window] { return main_window != nullptr ? main_window->view().hwnd() : nullptr; });
    ScriptEditorLauncher editors(store, platform, module1, editor_windows);
    MainWindow main(store, platform, module1, editors, /*quit_on_close=*/true);
    main_window = &main;
    MainStatusLine status_line(main);
    editors.AttachMainWindow(main.model().lvwMain(), status_line);

    const StartupResult started = main.Start(command_line, show_command);
    if (!started.show_window) {
        if (!started.error_line.empty()) WriteErrorLine(started.error_line);
        return started.exit_status;
    }
    RunMessageLoop([] { return false; });
    return kExitCreated;
}

}  // namespace
}  // namespace vendaro::win32

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    // The common dialogs and the shell's folder tree want COM on this thread.
    const HRESULT ole = OleInitialize(nullptr);
    int status = vendaro::kExitNoWindow;
    try {
        status = vendaro::win32::RunProgram(vendaro::ArgumentsAfterProgramName(GetCommandLineA()),
                                            show_command);
    } catch (...) {
        // An unexpected failure ends the program with a status of its own, not a crash.
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return status;
}
