#pragma once
// The base of the script editors' Win32 dialogs: each control is bound to the model's state
// for it and to the model's handlers for its events. After every event the view draws the
// whole model again (texts, captions, checks, enabled states, the field backgrounds, the
// focus a rule asked for), so that no rule has to live here.
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "forms/controls.h"
#include "forms/dialog_form.h"
#include "forms/win32/form_window.h"

// The model's control `name` as the Add functions take it: its name, written once, and the
// member of that name, so that a misspelt control does not compile.
#define VENDARO_CONTROL(model, name) #name, (model).name

namespace vendaro::win32 {

class EditorView : public FormWindow {
  public:
    ~EditorView() override;

    // Creates the hidden dialog over `owner` with every control, hands its window to the
    // model and draws the model. Returns false when the system refused.
    bool Create(HWND owner);

    // Draws the model's state on every control.
    void Refresh();

    // The form sees a key before its controls: Escape closes the editor at once.
    bool PreviewKey(int key_code, int shift) override;

    // The window of the model's control `name` ("Text1", "Command4", "SSTab1"); nullptr for
    // none. The unit word of a numeric row is `name` + ".Unit".
    HWND Control(const std::string& name) const;

  protected:
    using Click = std::function<void()>;
    using Change = std::function<void(std::string)>;
    using Select = std::function<void(int)>;

    // The unit word after a label's wide gap, drawn as a window of its own.
    struct UnitWord {
        vendaro::Label* label;
    };
    // A line between groups of controls: nothing of the model.
    struct Separator {};
    using ModelControl =
        std::variant<TextBox*, vendaro::Label*, UnitWord, vendaro::Button*, CheckBox*,
                     OptionButton*, Frame*, Separator, ComboBox*, ListBox*>;
    // One window control and what it shows of the model.
    struct Binding {
        ModelControl control;  // the model's control it draws, by its type
        std::string name;
        HWND window = nullptr;
        int id = 0;
        Click click;
        Change change;
        Select select;
        std::function<int(int)> key_press;  // the code that reaches the field (0: none)
        std::function<void(int)> key_down;
        Click lost_focus;
        std::vector<std::string> drawn_items;
        // An option whose caption from here on is a path, shortened to fit (0: none).
        std::size_t path_from = 0;
        WNDPROC original_procedure = nullptr;
        EditorView* view = nullptr;
    };

    EditorView(DialogForm& model, int client_width, int client_height);

    // The form's own controls, created in keyboard order. False when one could not be made.
    virtual bool CreateControls() = 0;
    // What the form draws besides its controls (window height, the tab page).
    virtual void DrawForm() {}
    // The tab page in front; -1 when the form has no pages.
    virtual int ActivePage() const { return -1; }
    // The form's notifications (the tab control); true when used.
    virtual bool OnNotify(const NMHDR&) { return false; }

    Binding& AddText(const char* name, TextBox& box, const Twips& at, Change change);
    Binding& AddLabel(const char* name, vendaro::Label& label, const Twips& at,
                      DWORD style = SS_LEFT);
    // A numeric row's label and the unit word after its field, both from the one caption.
    Binding& AddUnitLabel(const char* name, vendaro::Label& label, const Twips& label_at,
                          const Twips& unit_at);
    Binding& AddButton(const char* name, vendaro::Button& button, const Twips& at, Click click);
    Binding& AddCheck(const char* name, CheckBox& box, const Twips& at, Click click);
    // `first`: the first option of its group.
    Binding& AddOption(const char* name, OptionButton& option, const Twips& at, bool first,
                       Click click);
    Binding& AddFrame(const char* name, Frame& frame, const Twips& at);
    Binding& AddRule(const Twips& at);
    // `at.height`: the height of the dropped-down list.
    Binding& AddCombo(const char* name, ComboBox& combo, const Twips& at, Select select);
    Binding& AddList(const char* name, ListBox& list, const Twips& at, DWORD style, Select select);
    // A control of the form's own kind (the tab control).
    HWND AddOther(const char* window_class, const char* name, DWORD style, const Twips& at);

    // A tab page: a window over `pixels` of the form's client area that holds the page's
    // controls and shows while the page is in front. Returns its number (0, 1, ...).
    int AddPage(const RECT& pixels);
    // The controls added from now on go on page `page` (-1: on the form itself).
    void OnPage(int page) { adding_page_ = page; }

    // Resizes the window to `twips` of outer height, keeping its width.
    void SetOuterHeight(int twips);

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    DialogForm& model_;
    bool created_ok_ = true;  // false once a control could not be made

  private:
    Binding& Add(std::unique_ptr<Binding> binding, const char* window_class,
                 const std::string& text, DWORD style, const Twips& at, DWORD ex_style = 0);
    // A control at `at` (twips of the form's client area) on the page being filled.
    HWND CreateChild(const char* window_class, const std::string& text, DWORD style,
                     const Twips& at, int id, DWORD ex_style);
    void Draw(Binding& binding);
    // A drop-down list (`combo`) or a list box: its items (only the rows that changed when
    // their number stays), its selection and whether it takes input.
    void DrawList(Binding& binding, const std::vector<std::string>& items, int selected,
                  bool enabled, bool combo);
    bool Shown(const Binding& binding) const;
    void MoveRequestedFocus();
    void OnCommand(int id, int code);
    LRESULT FieldColours(HDC dc, HWND field, UINT message);
    Binding* Find(HWND window) const;
    Binding* FindId(int id) const;
    void Subclass(Binding& binding);

    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT FieldMessage(Binding& binding, UINT message, WPARAM wparam, LPARAM lparam);

    int client_width_;
    int client_height_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    std::vector<std::pair<std::string, HWND>> others_;
    struct Page {
        HWND window;
        POINT origin;  // its top left corner in the form's client area, pixels
    };
    std::vector<Page> pages_;
    int adding_page_ = -1;
    int next_id_ = 100;  // 1 and 2 are IDOK and IDCANCEL of the dialog keys
    int syncing_ = 0;    // > 0 while the view itself changes the controls
    HWND saved_focus_ = nullptr;
};

}  // namespace vendaro::win32
