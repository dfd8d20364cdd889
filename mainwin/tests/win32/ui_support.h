#pragma once
// The real main window in this process: real windows and real message and input boxes
// (answered from a timer by ModalDriver), a real vendaro.ini in a temporary folder, and the
// recording platform for the registry, the installer and program launch.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "mainwin/tests/test_support.h"
#include "mainwin/win32/main_window.h"
#include "platform/tests/win32/modal_driver.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_ui.h"

namespace vendaro::win32::testing {

// Real dialogs, except that program launches are recorded instead of run.
class LaunchRecordingDialogs final : public Dialogs {
  public:
    explicit LaunchRecordingDialogs(RecordingPlatform& recording) : recording_(recording) {}
    MsgAnswer MessageBox(const MessageBoxRequest& request) override {
        recording_.Record("MessageBox " + request.text);
        return real_.MessageBox(request);
    }
    std::string InputBox(WindowHandle owner, const std::string& prompt,
                         const std::string& title) override {
        recording_.Record("InputBox " + title);
        return real_.InputBox(owner, prompt, title);
    }
    bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) override {
        return real_.OpenFile(request, file_buffer);
    }
    bool BrowseFolder(WindowHandle owner, const std::string& title, const std::string& start_folder,
                      std::string& folder) override {
        return real_.BrowseFolder(owner, title, start_folder, folder);
    }
    void SetBusy(bool busy) override { real_.SetBusy(busy); }
    bool Launch(const std::string& command_line) override {
        return recording_.Record("Launch " + command_line);
    }

  private:
    RecordingPlatform& recording_;
    Win32Dialogs real_;
};

struct Ui {
    test::TempDir dir;
    std::unique_ptr<Profile> real_profile = MakeNativeProfile();
    RecordingPlatform recording{*real_profile};
    LaunchRecordingDialogs dialogs{recording};
    Platform platform{recording.profile(), recording, recording, dialogs};
    ScriptStore store{recording.profile(), dir.path().string(), "vendaro.exe", '\\'};
    Module1 module1;
    test::ScriptedEditors editors;
    MainWindow main{store, platform, module1, editors, /*quit_on_close=*/false};

    // The Windows directory's ODBC.INI of a Jet DSN goes to the temporary folder, not to the
    // prefix's own Windows directory.
    Ui() { recording.system_directory = dir.path().string() + "\\System32"; }

    void WriteScripts(const std::string& bytes) const {
        test::WriteFile(dir.path() / "vendaro.ini", bytes);
    }
    std::string Scripts() const { return test::ReadFile(dir.path() / "vendaro.ini"); }
    Form1View& view() { return main.view(); }
    HWND window() { return main.view().hwnd(); }
    HWND list() { return main.view().List(); }

    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : recording.calls) {
            if (call.rfind(prefix, 0) == 0) found.push_back(call);
        }
        return found;
    }
};

// Runs this thread's messages through the program's own loop steps (key preview, dialog
// keys) until nothing is left.
inline void Pump() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (PreTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(1);
    }
}

// The list control's rows as it shows them: "text|description|driver".
inline std::vector<std::string> ShownRows(HWND list) {
    std::vector<std::string> rows;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string row;
        for (int column = 0; column < 3; ++column) {
            char text[512] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
            row += (column > 0 ? "|" : "") + std::string(text);
        }
        rows.push_back(row);
    }
    return rows;
}

// The first column of ShownRows.
inline std::vector<std::string> ShownNames(HWND list) {
    std::vector<std::string> names;
    for (const std::string& row : ShownRows(list)) names.push_back(row.substr(0, row.find('|')));
    return names;
}

// The selected row's position (from 1), 0 when none.
inline int ShownSelection(HWND list) {
    return static_cast<int>(
               SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) +
           1;
}

// A control's rectangle in its parent's client area.
inline RECT RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A mouse click (or double click) at `point` of `window`'s client area, as the mouse sends it.
inline void Click(HWND window, POINT point, bool twice = false) {
    LPARAM where = MAKELPARAM(point.x, point.y);
    PostMessageA(window, WM_LBUTTONUP, 0, where);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    if (twice) {
        PostMessageA(window, WM_LBUTTONUP, 0, where);
        SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    }
    Pump();
}

// A click on row `position` (from 1) of the list control, in its first column.
inline void ClickRow(HWND list, int position, bool twice = false) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(position - 1),
                 reinterpret_cast<LPARAM>(&rect));
    Click(list, POINT{rect.left + 4, (rect.top + rect.bottom) / 2}, twice);
}

// A click on the header of `column`.
inline void ClickHeader(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT rect{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&rect));
    Click(header, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

// A click on a button as the button reports it to its window.
inline void ClickButton(HWND button) {
    SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    Pump();
}

// A key pressed while `control` has the keyboard focus, through the program's message loop.
inline void PressKey(HWND control, int key, bool system = false) {
    PostMessageA(control, system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key),
                 system ? (1 << 29) : 0);
    Pump();
}

// Holds Shift, Ctrl and Alt in this thread's keyboard state for the life of the object.
class HeldModifiers {
  public:
    explicit HeldModifiers(int shift) {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        if (shift & kShiftMask) state[VK_SHIFT] = 0x80;
        if (shift & kCtrlMask) state[VK_CONTROL] = 0x80;
        if (shift & kAltMask) state[VK_MENU] = 0x80;
        SetKeyboardState(state);
    }
    HeldModifiers(const HeldModifiers&) = delete;
    HeldModifiers& operator=(const HeldModifiers&) = delete;
    ~HeldModifiers() { SetKeyboardState(saved_); }

  private:
    BYTE saved_[256] = {};
};

}  // namespace vendaro::win32::testing
