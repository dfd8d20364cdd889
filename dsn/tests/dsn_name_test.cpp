// Which names may name a data source, run on DSN creation itself (the write path both programs
// share): a refused name makes no effect at all and says why; any other name creates its key.
#include <doctest/doctest.h>

#include <memory>
#include <string>

#include "dsn/dsn_command.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

struct NameRow {
    const char* name;
    const char* problem;  // "" when the name may name a data source
};

TEST_CASE("a data source name is refused when it would address another place") {
    const NameRow rows[] = {
        {"Sales", ""},
        {"Sales EU 2", ""},
        {"Sales;EU", ""},
        {"ODBC Data Sources 2", ""},
        {"ODBCX", ""},
        {"", "the name is empty"},
        {"Sales\\EU", "the name contains \"\\\""},
        {"A\\Engines\\Jet", "the name contains \"\\\""},
        {"Sales]", "the name contains \"]\""},
        {"[Sales", "the name contains \"[\""},
        {"a=b", "the name contains \"=\""},
        {";Sales", "the name begins with \";\""},
        {"Sales\nEU", "the name contains a line break"},
        {"Sales\rEU", "the name contains a line break"},
        {"odbc data sources", "\"ODBC Data Sources\" is a name ODBC keeps for its own settings"},
        {"ODBC", "\"ODBC\" is a name ODBC keeps for its own settings"},
        {"Odbc File DSN", "\"ODBC File DSN\" is a name ODBC keeps for its own settings"},
    };
    for (const NameRow& row : rows) {
        SUBCASE(row.name) {
            std::unique_ptr<Profile> profile = MakeNativeProfile();
            RecordingPlatform recording(*profile);
            Platform platform = recording.AsPlatform();
            ScriptStore store(recording.profile(), "/nowhere", "vendaro.exe", '/');
            DsnRequest request{DsnCommand::User, row.name, "", "SQL Server", false, 0};
            const DsnOutcome outcome = CreateDsn(request, store, platform);
            const std::string problem = row.problem;
            if (problem.empty()) {
                CHECK(outcome.status_line == "User DSN has been created.");
                CHECK(recording.calls.at(1) ==
                      "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\" + std::string(row.name));
            } else {
                CHECK(outcome.status_line == "User DSN could not be created: " + problem + ".");
                CHECK(recording.calls.empty());
            }
        }
    }
}

}  // namespace
}  // namespace vendaro
