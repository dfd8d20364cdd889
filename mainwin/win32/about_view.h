#pragma once
// The about box on Win32: the program's name, version and purpose, and an OK button.
#include "forms/win32/form_window.h"
#include "mainwin/frm_about.h"

namespace vendaro::win32 {

class AboutView final : public FormWindow {
  public:
    explicit AboutView(FrmAbout& model);

    // Creates the hidden window owned by `owner`. Returns false when refused.
    bool Create(HWND owner);

    bool PreviewKey(int key_code, int shift) override;

    HWND ProductLabel() const { return product_; }
    HWND VersionLabel() const { return version_; }
    HWND DescriptionLabel() const { return description_; }
    HWND OkButton() const { return ok_; }
    static constexpr int kOkId = 1001;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    FrmAbout& model_;
    HWND product_ = nullptr;
    HWND version_ = nullptr;
    HWND description_ = nullptr;
    HWND ok_ = nullptr;
    Font title_font_;
};

}  // namespace vendaro::win32
