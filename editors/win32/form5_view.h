#pragma once
// The Adaptive Server Anywhere script editor on Win32: a tab control with the pages "ODBC",
// "Login", "Database", "Network" and "Advanced" (the model says which is in front), and Save
// and Cancel below it.
#include "editors/form5.h"
#include "forms/win32/editor_view.h"

namespace vendaro::win32 {

class Form5View final : public EditorView {
  public:
    explicit Form5View(Form5& model);

    // Ctrl+Tab and Ctrl+Shift+Tab bring the next or the previous page to the front.
    bool PreviewKey(int key_code, int shift) override;

    static constexpr int kClientWidth = 7200;  // twips
    static constexpr int kClientHeight = 4860;

  private:
    bool CreateControls() override;
    void DrawForm() override;
    int ActivePage() const override { return form_.active_page; }
    bool OnNotify(const NMHDR& header) override;

    void CreateOdbcPage();
    void CreateLoginPage();
    void CreateDatabasePage();
    void CreateNetworkPage();
    void CreateAdvancedPage();

    Form5& form_;
    HWND tab_ = nullptr;
};

}  // namespace vendaro::win32
