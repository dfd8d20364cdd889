#pragma once
// The dBase script editor on Win32: name and description, the frames "Database" and "Driver"
// one under the other, the buttons in a column at the right. The window opens short, cutting
// off the frame "Driver", until "&Options>>".
#include "editors/form8.h"
#include "forms/win32/editor_view.h"

namespace vendaro::win32 {

class Form8View final : public EditorView {
  public:
    explicit Form8View(Form8& model);

    static constexpr int kClientWidth = 6555;  // twips; the full form
    static constexpr int kClientHeight = 4140;

  private:
    bool CreateControls() override;
    void DrawForm() override;

    Form8& form_;
};

}  // namespace vendaro::win32
