#pragma once
// The main window with its own modal dialogs, as the program and the window tests put it
// together: the Form1 model drawn by Form1View, the Select Driver dialog and the about box
// drawn by their views, and dialogs that bring the main window up to date before they open.
#include <string>

#include "forms/editor_launcher.h"
#include "mainwin/form1.h"
#include "mainwin/modal_windows.h"
#include "mainwin/win32/about_view.h"
#include "mainwin/win32/form1_view.h"
#include "mainwin/win32/form3_view.h"

namespace vendaro::win32 {

class MainWindow final : public ModalWindows {
  public:
    // `quit_on_close`: closing the window ends the message loop (the program; not tests).
    MainWindow(ScriptStore& store, Platform& platform, Module1& module1, EditorLauncher& editors,
               bool quit_on_close);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Start-up with the text after the program's name. An unattended command line ("ue",
    // "se") runs without ever creating a window. Otherwise the window is created hidden, the
    // model starts (a "u" or "s" command runs then, with the window as owner), and the window
    // shows unless the model says the program ends.
    StartupResult Start(const std::string& command_line, int show_command = SW_SHOWNORMAL);

    Form1& model() { return model_; }
    Form1View& view() { return view_; }

    // The status line as the editors write it.
    void SetStatusText(const std::string& text);

    // ModalWindows
    void ShowSelectDriver(Form3& dialog) override;
    void ShowAbout(FrmAbout& about) override;

    // The open Select Driver dialog; nullptr when none is open (tests).
    Form3View* OpenSelectDriver() const { return select_driver_; }

  private:
    // Forwards every call; before a modal dialog opens, the main window shows what the
    // command has done so far (Clone's new rows under its next input box).
    class RefreshingDialogs final : public Dialogs {
      public:
        RefreshingDialogs(Dialogs& real, MainWindow& owner) : real_(real), owner_(owner) {}
        MsgAnswer MessageBox(const MessageBoxRequest& request) override;
        std::string InputBox(WindowHandle owner, const std::string& prompt,
                             const std::string& title) override;
        bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) override;
        bool BrowseFolder(WindowHandle owner, const std::string& title,
                          const std::string& start_folder, std::string& folder) override;
        void SetBusy(bool busy) override { real_.SetBusy(busy); }
        bool Launch(const std::string& command_line) override { return real_.Launch(command_line); }

      private:
        Dialogs& real_;
        MainWindow& owner_;
    };

    // Hides the Select Driver dialog (its model hid it) before the editor opens over the
    // main window.
    class EditorGate final : public EditorLauncher {
      public:
        EditorGate(EditorLauncher& real, MainWindow& owner) : real_(real), owner_(owner) {}
        bool OpenEditor(const std::string& driver_name) override;

      private:
        EditorLauncher& real_;
        MainWindow& owner_;
    };

    void RefreshAll();

    RefreshingDialogs dialogs_;
    EditorGate editors_;
    Platform platform_;
    Form1 model_;
    Form1View view_;
    Form3View* select_driver_ = nullptr;
};

}  // namespace vendaro::win32
