#pragma once
// The main window as plain text, for a platform that shows no windows: the caption, the
// column headers, one line per row ("*" marks the selected one) and the status line.
#include <string>

#include "mainwin/form1.h"

namespace vendaro {

// Lines end in "\n"; columns are separated by TABs.
std::string WindowText(const Form1& form);

}  // namespace vendaro
