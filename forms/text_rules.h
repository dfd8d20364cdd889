#pragma once
// Text rules of the editors: blanks trimmed as the script values need, letter case folded the
// way the ANSI code page (Windows-1252) folds it.
#include <string>
#include <string_view>

namespace vendaro::editors {

// `text` without the blanks (spaces only) at both ends.
std::string TrimBlanks(std::string_view text);
// Lower case in Windows-1252: A-Z and the accented capitals; other bytes unchanged.
std::string LowerAnsi(std::string_view text);
// True when the two texts are equal apart from letter case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// True when the script file may take the two names for one section: equal apart from letter
// case and from white space at either end (the profile functions trim section names).
bool MayNameSameSection(std::string_view a, std::string_view b);
// True for the control characters (codes 0-31 and 127).
bool IsControlCharacter(int code);

}  // namespace vendaro::editors
