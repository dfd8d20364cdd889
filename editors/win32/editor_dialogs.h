#pragma once
// The editors shown as modal Win32 dialogs: each Show draws the loaded model in its view over
// the window below it (the main window, or the Access editor under its advanced options) and
// runs the dialog until the model says it is closed.
#include <functional>
#include <vector>

#include "editors/editor_windows.h"
#include "forms/win32/editor_view.h"

namespace vendaro::win32 {

class EditorDialogs final : public EditorWindows {
  public:
    // `main_window`: the owner of an editor opened from the main window (asked at each
    // opening; it may give nullptr).
    explicit EditorDialogs(std::function<HWND()> main_window);

    // An editor of a type without a view closes at once, as with its close box.
    void Show(ScriptEditor& editor) override;
    void Show(Form7& dialog) override;

    // The innermost editor open now; nullptr when none (for code that drives the dialogs).
    EditorView* Open() const { return open_.empty() ? nullptr : open_.back(); }

  private:
    template <typename View, typename Model>
    void ShowModal(Model& model);
    template <typename View, typename Model>
    void ShowAs(ScriptEditor& editor) {
        ShowModal<View>(static_cast<Model&>(editor));
    }

    std::function<HWND()> main_window_;
    std::vector<EditorView*> open_;
};

}  // namespace vendaro::win32
