#include "dsn/dsn_name.h"

#include <array>

#include "platform/ini_text.h"
#include "platform/registry.h"

namespace vendaro {
namespace {

// The sections ODBC keeps beside the data sources: their list, the tracing settings, the
// default folder of file data sources.
constexpr std::array<std::string_view, 3> kReservedNames = {kDataSourceList, "ODBC",
                                                            "ODBC File DSN"};

}  // namespace

std::string DsnNameProblem(std::string_view name) {
    if (name.empty()) return "the name is empty";
    // One pass for both tests (find_first_of searches once per character it looks for); a line
    // break is told before any other character.
    // "\" separates registry keys; "[" and "]" delimit a section header; "=" ends a key name.
    std::size_t bad = std::string_view::npos;
    for (std::size_t i = 0; i < name.size(); ++i) {
        switch (name[i]) {
            case '\r':
            case '\n':
            case '\0':
                return "the name contains a line break";
            case '\\':
            case '[':
            case ']':
            case '=':
                if (bad == std::string_view::npos) bad = i;
                break;
            default:
                break;
        }
    }
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
