#include "mainwin/win32/main_window.h"

#include "mainwin/command_line.h"

namespace vendaro::win32 {

MsgAnswer MainWindow::RefreshingDialogs::MessageBox(const MessageBoxRequest& request) {
    owner_.RefreshAll();
    return real_.MessageBox(request);
}

std::string MainWindow::RefreshingDialogs::InputBox(WindowHandle owner, const std::string& prompt,
                                                    const std::string& title) {
    owner_.RefreshAll();
    return real_.InputBox(owner, prompt, title);
}

bool MainWindow::RefreshingDialogs::OpenFile(const OpenFileRequest& request,
                                             std::string& file_buffer) {
    owner_.RefreshAll();
    return real_.OpenFile(request, file_buffer);
}

bool MainWindow::RefreshingDialogs::BrowseFolder(WindowHandle owner, const std::string& title,
                                                 const std::string& start_folder,
                                                 std::string& folder) {
    owner_.RefreshAll();
    return real_.BrowseFolder(owner, title, start_folder, folder);
}

bool MainWindow::EditorGate::OpenEditor(const std::string& driver_name) {
    owner_.RefreshAll();
    return real_.OpenEditor(driver_name);
}

MainWindow::MainWindow(ScriptStore& store, Platform& platform, Module1& module1,
                       EditorLauncher& editors, bool quit_on_close)
    : dialogs_(platform.dialogs, *this),
      editors_(editors, *this),
      platform_{platform.profile, platform.registry, platform.installer, dialogs_},
      model_(store, platform_, module1, editors_, *this),
      view_(model_, quit_on_close) {}

void MainWindow::RefreshAll() {
    view_.Refresh();
    if (select_driver_ != nullptr) select_driver_->Refresh();
}

StartupResult MainWindow::Start(const std::string& command_line, int show_command) {
    if (IsUnattended(ParseCommandLine(command_line).start_mode)) {
        return model_.Form_Load(command_line);
    }
    if (!view_.Create()) return {false, kExitNoWindow, ""};
    StartupResult result = model_.Form_Load(command_line);
    if (!result.show_window) return result;
    view_.Refresh();
    view_.Show(show_command);
    return result;
}

void MainWindow::SetStatusText(const std::string& text) {
    model_.SetLabel1(text);
    view_.Refresh();
}

void MainWindow::ShowSelectDriver(Form3& dialog) {
    Form3View view(dialog);
    if (!view.Create(view_.hwnd())) {
        dialog.Command2_Click();
        return;
    }
    select_driver_ = &view;
    RunModal(view, view_.hwnd(), [&] { return dialog.Closed(); });
    select_driver_ = nullptr;
    if (!dialog.Closed()) dialog.Close();
}

void MainWindow::ShowAbout(FrmAbout& about) {
    AboutView view(about);
    if (!view.Create(view_.hwnd())) {
        about.Close();
        return;
    }
    RunModal(view, view_.hwnd(), [&] { return about.Closed(); });
    if (!about.Closed()) about.Close();
}

}  // namespace vendaro::win32
