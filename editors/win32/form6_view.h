#pragma once
// The Access script editor on Win32: name and description, the frames "Database", "System
// Database" and "Driver" one under the other, the buttons in a column at the right. The
// window opens short, cutting off the frame "Driver", until "&Options>>".
#include "editors/form6.h"
#include "forms/win32/editor_view.h"

namespace vendaro::win32 {

class Form6View final : public EditorView {
  public:
    explicit Form6View(Form6& model);

    static constexpr int kClientWidth = 6555;  // twips; the full form
    static constexpr int kClientHeight = 5700;

  private:
    bool CreateControls() override;
    void DrawForm() override;

    Form6& form_;
};

}  // namespace vendaro::win32
