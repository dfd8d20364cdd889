#pragma once
// The Select Driver dialog on Win32: draws the Form3 model and forwards its events.
#include "forms/win32/form_window.h"
#include "mainwin/form3.h"

namespace vendaro::win32 {

class Form3View final : public FormWindow {
  public:
    explicit Form3View(Form3& model);

    // Creates the hidden dialog window owned by `owner`. Returns false when refused.
    bool Create(HWND owner);
    // Draws the model: caption, items, OK's state; hides the window while the model says it
    // is hidden (its editor is open).
    void Refresh();

    bool PreviewKey(int key_code, int shift) override;

    HWND List() const { return list_; }
    HWND Label() const { return label_; }
    HWND OkButton() const { return ok_; }
    HWND CancelButton() const { return cancel_; }
    static constexpr int kListId = 1001;
    static constexpr int kOkId = 1002;
    static constexpr int kCancelId = 1003;
    static constexpr int kLabelId = 1004;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    // The model's index of the list box's current item; -1 for none.
    int ModelIndexOfSelection() const;

    Form3& model_;
    HWND list_ = nullptr;
    HWND label_ = nullptr;
    HWND ok_ = nullptr;
    HWND cancel_ = nullptr;
    bool items_drawn_ = false;
};

}  // namespace vendaro::win32
