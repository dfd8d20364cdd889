#pragma once
// Which names may name a data source. A data source's name becomes a registry key under
// ODBC.INI, a section of odbc.ini and an entry of "ODBC Data Sources"; a name that the key
// path or the INI format would read as something else writes into another data source, or
// into the lists ODBC keeps beside them. Creation, the editors' Save and Clone refuse such
// names with the same words.
#include <string>
#include <string_view>

namespace vendaro {

// Why `name` cannot name a data source, as the end of a sentence ("the name contains \"\\\""),
// or "" when it can; WithReason (platform/failure.h) makes the refusal's sentence of it. The
// name is taken as it will be written: callers trim it first where they trim it for writing.
std::string DsnNameProblem(std::string_view name);

}  // namespace vendaro
