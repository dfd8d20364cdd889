#pragma once
// Text rules of the windows: blanks trimmed as the fields, the input box and the command line
// need, and letter case folded the way the ANSI code page (Windows-1252) folds it.
#include <string>
#include <string_view>

namespace vendaro::text {

// `text` without the blanks (spaces only, not tabs) at both ends.
std::string TrimBlanks(std::string_view text);
// `text` without the blanks at its end.
std::string TrimTrailingBlanks(std::string_view text);
// Lower case in Windows-1252: A-Z and the accented capitals; other bytes unchanged.
std::string LowerAnsi(std::string_view text);
// True when the two texts are equal apart from letter case (as LowerAnsi folds it).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// True when the script file may take the two names for one section: equal apart from letter
// case and from white space at either end (the profile functions trim section names).
bool MayNameSameSection(std::string_view a, std::string_view b);
// True for the control characters (codes 0-31 and 127).
bool IsControlCharacter(int code);
// True when `text` holds a character below 32 (a line break, a tab, a NUL, ...).
bool HoldsControlBelowSpace(std::string_view text);

}  // namespace vendaro::text
