#include "dsn/dsn_name.h"

#include <array>

#include "platform/ini_text.h"

namespace vendaro {
namespace {

// The sections ODBC keeps beside the data sources: their list, the tracing settings, the
// default folder of file data sources.
constexpr std::array<std::string_view, 3> kReservedNames = {"ODBC Data Sources", "ODBC",
                                                            "ODBC File DSN"};

}  // namespace

std::string DsnNameProblem(std::string_view name) {
    if (name.empty()) return "the name is empty";
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return "the name contains a line break";
    }
    // "\" separates registry keys; "[" and "]" delimit a section header; "=" ends a key name.
    const std::size_t bad = name.find_first_of("\\[]=");
    if (bad != std::string_view::npos) {
        return std::string("the name contains \"") + name[bad] + "\"";
    }
    // A line beginning with ";" is a comment to every INI reader.
    if (name.front() == ';') return "the name begins with \";\"";
    for (std::string_view reserved : kReservedNames) {
        if (ini::NamesEqual(name, reserved)) {
            return "\"" + std::string(reserved) + "\" is a name ODBC keeps for its own settings";
        }
    }
    return "";
}

}  // namespace vendaro
