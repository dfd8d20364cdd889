#pragma once
// The Access advanced options on Win32: the default login at the top left, Save and Cancel at
// the top right, and below them the options list (name and value columns, one tab stop) with
// the value box that edits the selected row key by key.
#include "editors/form7.h"
#include "forms/win32/editor_view.h"

namespace vendaro::win32 {

class Form7View final : public EditorView {
  public:
    explicit Form7View(Form7& model);

    static constexpr int kClientWidth = 6555;  // twips
    static constexpr int kClientHeight = 5010;

  private:
    bool CreateControls() override;

    Form7& form_;
};

// The pixel offset of the list's value column from the list's left edge: `tab_stop` dialog
// template units (quarters of the font's average character width) of `font`.
int ListTabStopPixels(HFONT font, int tab_stop);

}  // namespace vendaro::win32
