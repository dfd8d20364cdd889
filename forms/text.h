#pragma once
// Text rules of the main window: blanks trimmed as the input box and the command line need,
// and letter case folded the way the ANSI code page (Windows-1252) folds it.
#include <string>
#include <string_view>

namespace vendaro::mainwin {

// `text` without the blanks (spaces only, not tabs) at both ends.
std::string TrimBlanks(std::string_view text);
// `text` without the blanks at its end.
std::string TrimTrailingBlanks(std::string_view text);
// Lower case in Windows-1252: A-Z and the accented capitals; other bytes unchanged.
std::string LowerAnsi(std::string_view text);
// True when the two texts are equal apart from letter case (as LowerAnsi folds it).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vendaro::mainwin
