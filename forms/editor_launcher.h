#pragma once
// How the main window opens a script editor without knowing the editors: Add (through the
// Select Driver dialog) and Edit call it after setting the shared fields of Module1.
#include <string>

namespace vendaro {

class EditorLauncher {
  public:
    virtual ~EditorLauncher() = default;
    // Opens the editor of `driver_name` modally and returns when it has closed. Returns false,
    // opening nothing, when no editor serves that exact driver name.
    virtual bool OpenEditor(const std::string& driver_name) = 0;
};

}  // namespace vendaro
