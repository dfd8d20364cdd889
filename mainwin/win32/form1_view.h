#pragma once
// The main window on Win32: draws the Form1 model and forwards its controls' events to it.
#include <string>
#include <vector>

#include "forms/win32/form_window.h"
#include "mainwin/form1.h"

#include <commctrl.h>  // after form_window.h, which brings <windows.h>

namespace vendaro::win32 {

class Form1View final : public FormWindow {
  public:
    // `quit_on_close`: closing the window ends the message loop (the program's main window;
    // tests keep their loop).
    Form1View(Form1& model, bool quit_on_close);

    // Creates the hidden window with every control and hands its handle to the model.
    // Returns false when the system refused.
    bool Create();
    // Shows the window and puts the focus on the first control.
    void Show(int show_command = SW_SHOWNORMAL);
    // Draws the model's state: caption, columns, rows and selection, buttons, status line.
    // Destroys the window once the model says it is closed.
    void Refresh();

    bool PreviewKey(int key_code, int shift) override;

    // The controls, for code that drives the window (tests).
    HWND List() const { return list_; }
    HWND Label() const { return label_; }
    HWND ToolTip() const { return tool_tip_.get(); }
    // The button whose click runs `click`.
    HWND ButtonOf(Form1::Click click) const { return buttons_.at(Form1::PositionOf(click)); }
    // The control id of the button at `position` in tab order.
    static int ButtonId(std::size_t position) { return 1000 + static_cast<int>(position); }
    static constexpr int kListId = 1100;
    static constexpr int kLabelId = 1101;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnNotify(const NMHDR& header);
    // The text of a cell the list shows (item and column from 0); null for none.
    const std::string* CellText(int item, int column) const;
    // Fills the list's request for a cell's text.
    void AnswerDisplayInfo(NMHDR& header);
    // The row the list's keyboard search asks for, or -1.
    LRESULT FindRow(const NMHDR& header) const;
    void AddToolTips();
    void DrawColumns();
    void DrawRows();
    void DrawSelection();

    Form1& model_;
    bool quit_on_close_;
    HWND list_ = nullptr;
    HWND label_ = nullptr;
    std::vector<HWND> buttons_;  // in tab order, as the model's
    Window tool_tip_;
    bool columns_drawn_ = false;
    bool full_row_drawn_ = false;
    int syncing_ = 0;  // > 0 while the view itself changes the list
};

}  // namespace vendaro::win32
