#include "editors/win32/editor_dialogs.h"

#include <typeindex>
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

void EditorDialogs::Show(ScriptEditor& editor) {
    // The view of each editor's model.
    using ShowFunction = void (EditorDialogs::*)(ScriptEditor&);
    static const std::pair<std::type_index, ShowFunction> kViews[] = {
        {typeid(Form4), &EditorDialogs::ShowAs<Form4View, Form4>},
        {typeid(Form5), &EditorDialogs::ShowAs<Form5View, Form5>},
        {typeid(Form6), &EditorDialogs::ShowAs<Form6View, Form6>},
        {typeid(Form8), &EditorDialogs::ShowAs<Form8View, Form8>},
    };
    for (const auto& [type, show] : kViews) {
        if (type == typeid(editor)) return (this->*show)(editor);
    }
    editor.Form_Unload();
}

void EditorDialogs::Show(Form7& dialog) {
    ShowModal<Form7View>(dialog);
}

}  // namespace vendaro::win32
