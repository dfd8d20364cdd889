#pragma once
// The main window as plain text, for a platform that shows no windows: the caption, the
// column headers, one line per row ("*" marks the selected one) and the status line.
#include <string>
#include <string_view>

#include "mainwin/form1.h"

namespace vendaro {

// Lines end in "\n"; columns are separated by TABs. Control characters of the texts are
// written as "\x1b" and the like, so that no text can move the terminal's cursor, change its
// colours or break the columns.
std::string WindowText(const Form1& form);

// `text` with each control character (below 0x20, and DEL) written as "\x" and two hex digits.
std::string Printable(std::string_view text);

}  // namespace vendaro
