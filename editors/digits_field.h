#pragma once
// The digits-only numeric fields of the editors: which typed characters reach them and what
// they show once the focus leaves them.
#include <string>
#include <string_view>

namespace vendaro {

// The character code that reaches a digits-only field for the typed `key_ascii`: Backspace
// and "0" to "9" pass unchanged, every other code gives 0 (discarded).
int DigitsOnlyKeyPress(int key_ascii);

// The number at the start of `text`, read the way a leading number is parsed from text
// (leading blanks, tabs and line feeds skipped; sign, decimal point and exponent taken),
// written back by FormatFieldNumber. Text without a leading number, and a number too large
// for a double, give "0".
std::string NormalizeDigitsField(std::string_view text);

// `value` in its shortest decimal form of up to 15 significant digits: "42", "1.5", "0.25";
// exponent form from 10^15 upward and below 10^-4 ("1E+15", "1.23456789012346E+15",
// "1E-05").
std::string FormatFieldNumber(double value);

}  // namespace vendaro
