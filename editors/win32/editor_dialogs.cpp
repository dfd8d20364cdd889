#include "editors/win32/editor_dialogs.h"

#include <utility>

#include "editors/win32/form4_view.h"
#include "editors/win32/form5_view.h"
#include "editors/win32/form6_view.h"
#include "editors/win32/form7_view.h"
#include "editors/win32/form8_view.h"

namespace vendaro::win32 {

EditorDialogs::EditorDialogs(std::function<HWND()> main_window)
    : main_window_(std::move(main_window)) {}

template <typename View, typename Model>
void EditorDialogs::ShowModal(Model& model) {
    HWND owner = !open_.empty() ? open_.back()->hwnd() : main_window_ ? main_window_() : nullptr;
    View view(model);
    if (!view.Create(owner)) {
        // As if closed with the close box: nothing is saved.
        model.Form_Unload();
        return;
    }
    // The view is on the stack only while its loop runs, however that ends.
    struct OpenEntry {
        std::vector<EditorView*>& open;
        OpenEntry(std::vector<EditorView*>& list, EditorView* view) : open(list) {
            open.push_back(view);
        }
        ~OpenEntry() { open.pop_back(); }
        OpenEntry(const OpenEntry&) = delete;
        OpenEntry& operator=(const OpenEntry&) = delete;
    } entry(open_, &view);
    RunModal(view, owner, [&model] { return model.closed(); });
    // The loop also ends when the program quits or the window is gone.
    if (!model.closed()) model.Form_Unload();
}

void EditorDialogs::Show(Form4& editor) {
    ShowModal<Form4View>(editor);
}
void EditorDialogs::Show(Form5& editor) {
    ShowModal<Form5View>(editor);
}
void EditorDialogs::Show(Form6& editor) {
    ShowModal<Form6View>(editor);
}
void EditorDialogs::Show(Form7& dialog) {
    ShowModal<Form7View>(dialog);
}
void EditorDialogs::Show(Form8& editor) {
    ShowModal<Form8View>(editor);
}

}  // namespace vendaro::win32
