#pragma once
// The SQL Server script editor on Win32: six text fields, the folder chooser for the driver
// path, Save and Cancel, at the places the form was designed with.
#include "editors/form4.h"
#include "forms/win32/editor_view.h"

namespace vendaro::win32 {

class Form4View final : public EditorView {
  public:
    explicit Form4View(Form4& model);

  private:
    bool CreateControls() override;

    Form4& form_;
};

}  // namespace vendaro::win32
