#pragma once
// How script text becomes registry data, and where the Jet driver and the legacy ODBC.INI live.
#include <cstdint>
#include <string>
#include <string_view>

namespace vendaro {

// The decimal number at the start of `text` (blanks before it skipped), rounded to the nearest
// whole number with a half going to the even neighbour, clamped to the signed 32-bit range.
// 0 when the text is empty or does not start with a number.
std::int32_t NumberOfKey(std::string_view text);

// 1 when `text` is exactly "1", otherwise 0.
std::uint8_t FlagOfKey(std::string_view text);

// 0 when `text` is exactly "1", otherwise 1.
std::uint8_t InvertedFlagOfKey(std::string_view text);

// The system directory as used for the Jet driver path: cut at the first NUL, lower-cased
// (ASCII letters only; other bytes are kept as they are).
std::string SystemDirectoryOf(std::string_view raw);

// The system directory up to, not including, its last "\"; "" when it holds no "\".
std::string WindowsDirectoryOf(std::string_view system_directory);

// The system directory + "\odbcjt32.dll".
std::string JetDriverFile(std::string_view system_directory);

// The Windows directory + "\ODBC.INI"; "" when the Windows directory is unknown.
std::string LegacyOdbcIniFile(std::string_view system_directory);

}  // namespace vendaro
