// DSN creation as the recording platform sees it: every driver's whole write list as golden
// text (dsn/tests/data/<driver>.txt; VENDARO_UPDATE_GOLDEN=1 rewrites them), every effect
// failed in turn, the outcome, and which names may name a data source.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "dsn/drivers.h"
#include "dsn/dsn_builder.h"
#include "dsn/dsn_command.h"
#include "dsn/dsn_performer.h"
#include "platform/rewriting_profile.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

// Script "Orders" holding every key the builder asks for, its value the key's own name ("="),
// or "1" throughout; "" for a script with no keys, "KEY=value" for one with that key alone.
// Profile writes succeed without a file.
struct Script final : RewritingProfile {
    std::string mode;
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string&) override {
        const std::size_t eq = mode.find('=');
        if (mode == "=" && section == "Orders") return std::string(key);
        if (eq == std::string::npos) return std::string(mode.empty() ? def : mode);
        return mode.substr(0, eq) == key ? mode.substr(eq + 1) : std::string(def);
    }
    std::optional<std::string> ReadAll(const std::string&) override { return std::nullopt; }
    bool Modify(const std::string&, const Edit&) override { return true; }
    bool RefuseLineBreak(const std::string&, const char*) override { return false; }
};

struct Case {
    const char* driver = DriverOf(DriverId::Access).name;
    std::string mode = "=";
    DsnCommand command = DsnCommand::User;
    bool unattended = false;
    std::string system_directory = "C:\\WINNT\\System32\0junk"s;
    bool legacy = true;
    std::string name = "Orders";
};

// The recorded calls, then the outcome.
Lines Create(const Case& c, int fail_nth = 0) {
    Script script;
    script.mode = c.mode;
    RecordingPlatform rec(script);
    rec.system_directory = c.system_directory;
    rec.fail_nth = fail_nth;
    ScriptStore store(rec.profile(), "/nowhere", "vendaro.exe", '/');
    Platform platform = rec.AsPlatform();
    platform.legacy_odbc_ini = c.legacy;
    const DsnOutcome outcome =
        CreateDsn({c.command, c.name, "Row text", c.driver, c.unattended, 0x1234}, store, platform);
    rec.calls.push_back((outcome.writes_ok ? "outcome made "s : "outcome not made "s) +
                        outcome.status_line.value_or("(no status line)"));
    return rec.calls;
}

// A call without its values: a value's or a profile entry's key, else the call's first word.
std::string Label(const std::string& call) {
    const bool keyed = call.rfind("RegSet", 0) == 0 || call.rfind("Profile", 0) == 0;
    return call.substr(0, std::min(call.find(keyed ? '=' : ' '), call.size()));
}

// The calls of the first run, each followed by what the other runs made of it where that
// differs ("| System,se: HKLM ...", "| 1:=1"); "(none)" where a run makes no such call.
Lines Merged(const std::vector<std::pair<std::string, Lines>>& runs) {
    std::vector<std::size_t> at(runs.size(), 0);
    Lines out;
    for (const std::string& call : runs[0].second) {
        const std::string label = Label(call);
        std::vector<std::pair<std::string, std::string>> differing;  // value, runs
        for (std::size_t k = 1; k < runs.size(); ++k) {
            const Lines& other = runs[k].second;
            const bool has = at[k] < other.size() && Label(other[at[k]]) == label;
            const std::string value = has ? other[at[k]++].substr(label.size()) : "(none)";
            if (value == call.substr(label.size())) continue;
            if (!differing.empty() && differing.back().first == value) {
                differing.back().second += "," + runs[k].first;  // next to each other
            } else {
                differing.push_back({value, runs[k].first});
            }
        }
        std::string line = call;
        for (const auto& [value, names] : differing) line += " | " + names + ":" + value;
        out.push_back(line);
    }
    for (std::size_t k = 1; k < runs.size(); ++k) CHECK(at[k] == runs[k].second.size());
    return out;
}

TEST_CASE("every driver's write list, as performed, against its golden file") {
    for (const Driver& driver : kDrivers) {
        const char* d = driver.name;
        const Lines got =
            Merged({{"User", Create({d})},
                    {"1", Create({d, "1"})},
                    {"empty", Create({d, ""})},
                    {"System", Create({d, "=", DsnCommand::System})},
                    {"se", Create({d, "=", DsnCommand::System, true})},
                    {"ue", Create({d, "=", DsnCommand::User, true})},
                    {"no Windows dir", Create({.driver = d, .system_directory = "\\A@Z[\0x"s})},
                    {"no ODBC.INI", Create({.driver = d, .legacy = false})}});
        std::string stem = driver.product ? driver.product : "FoxPro";
        std::replace(stem.begin(), stem.end(), ' ', '_');
        const std::string file = VENDARO_SOURCE_DIR "/dsn/tests/data/" + stem + ".txt";
        std::ostringstream text, expected;
        for (const std::string& line : got) text << line << '\n';
        if (std::getenv("VENDARO_UPDATE_GOLDEN") != nullptr) std::ofstream(file) << text.str();
        expected << std::ifstream(file).rdbuf();
        CHECK(text.str() == expected.str());
    }
}

// A check builds each driver's lists into one list, over the last one.
TEST_CASE("a write list built over a longer one holds only its own entries") {
    Script script;
    ScriptStore store(script, "/nowhere", "vendaro.exe", '/');
    const DsnRequest request{DsnCommand::System, "Orders", "Row", DriverOf(DriverId::Dbase).name};
    WriteList list;
    script.mode = "=";  // every key set: DefaultDir is written
    BuildWriteList(request, "C:\\WINNT\\System32", store, list);
    script.mode = "";  // no key set: DefaultDir is not
    BuildWriteList(request, "C:\\WINNT\\System32", store, list);
    const WriteList fresh = BuildWriteList(request, "C:\\WINNT\\System32", store);
    CHECK(list.size() == fresh.size());
    CHECK(list == fresh);
}

// The value the first RegSet call of `calls` writes to `name`, "" when none does.
std::string Written(const Lines& calls, const std::string& name) {
    for (const std::string& call : calls) {
        const std::size_t at = call.find(" " + name + "=");
        if (call.starts_with("RegSet") && at != std::string::npos)
            return call.substr(at + name.size() + 2);
    }
    return "";
}

TEST_CASE("dBase: the driver id and FIL by the file type") {
    struct Row {
        std::string fil, driver_id, fil_written;  // driver_id "": none written
    };
    for (const Row& row :
         {Row{"dBase III", "21", "dBase III;"}, Row{"dBase IV", "277", "dBase IV;"},
          Row{"dBase 5.0", "533", "dBase 5.0"}, Row{"dbase iv", "", "dbase iv;"}}) {
        CAPTURE(row.fil);
        const Lines calls = Create({DriverOf(DriverId::Dbase).name, "FIL=" + row.fil});
        CHECK(Written(calls, "DriverId") == row.driver_id);
        CHECK(Written(calls, "FIL") == row.fil_written);
    }
}

TEST_CASE("each effect failing in turn: every later step but a failed file's runs, none made") {
    for (const Driver& driver : kDrivers) {
        for (const Case& mode : {Case{driver.name}, Case{driver.name, "=", DsnCommand::System},
                                 Case{driver.name, "=", DsnCommand::User, true}}) {
            const Lines clean = Create(mode);
            for (std::size_t n = 1; n < clean.size(); ++n) {
                const Lines run = Create(mode, static_cast<int>(n));
                Lines expected = clean;
                expected[n - 1] += " FAILED";
                // A file that failed an entry is not written again.
                for (std::size_t k = expected.size();
                     clean[n - 1].starts_with("Profile") && k-- > n;) {
                    if (expected[k].starts_with("Profile")) expected.erase(expected.begin() + k);
                }
                // The pointer and the driver's own dialog do not decide whether it was made.
                if (clean[n - 1].rfind("Busy", 0) && clean[n - 1].rfind("ConfigDataSource", 0)) {
                    std::string& outcome = expected.back();
                    outcome = "outcome not " + outcome.substr(outcome.find("made"));
                    outcome = std::regex_replace(outcome, std::regex("has been"), "could not be");
                }
                // Behind a key that failed to open, its values go to key 0 and later keys get
                // handles one lower.
                auto strip = [](Lines calls) {
                    static const std::regex handle("^(Reg[A-Za-z]+) [0-9]+");
                    for (std::string& call : calls) call = std::regex_replace(call, handle, "$1 #");
                    return calls;
                };
                CHECK(strip(run) == strip(expected));
            }
        }
    }
}

TEST_CASE("a data source name is refused when it would address another place") {
    struct Row {
        const char* name;
        std::string problem;  // "" when the name may name a data source
    };
    const std::string kept = "\" is a name ODBC keeps for its own settings";
    const Row rows[] = {
        {"Sales", ""},
        {"Sales;EU", ""},
        {"ODBC Data Sources 2", ""},
        {"", "the name is empty"},
        {"A\\Engines\\Jet", "the name contains \"\\\""},
        {"Sales]", "the name contains \"]\""},
        {"[Sales", "the name contains \"[\""},
        {"a=b", "the name contains \"=\""},
        {";Sales", "the name begins with \";\""},
        {"Sales\nEU", "the name contains a line break"},
        {"Sales\rEU", "the name contains a line break"},
        {"Sales\\EU\n", "the name contains a line break"},
        {"a=b[c]", "the name contains \"=\""},
        {"odbc data sources", "\"ODBC Data Sources" + kept},
        {"ODBC", "\"ODBC" + kept},
        {"Odbc File DSN", "\"ODBC File DSN" + kept},
    };
    for (const Row& row : rows) {
        SUBCASE(row.name) {
            // A refused name makes no effect at all and says why; any other creates its key.
            const Lines calls = Create({.name = row.name});
            if (row.problem.empty()) {
                CHECK(calls.back() == "outcome made User DSN has been created.");
                CHECK(calls.at(1) == "RegCreateKey HKCU SOFTWARE\\ODBC\\ODBC.INI\\"s + row.name);
            } else {
                CHECK(calls == Lines{"outcome not made User DSN could not be created: " +
                                     row.problem + "."});
            }
        }
    }
}

TEST_CASE("a legacy ODBC.INI entry missing its file, section, key or value is refused") {
    Script script;
    RecordingPlatform rec(script);
    Platform platform = rec.AsPlatform();
    ScriptStore store(rec.profile(), "C:\\app", "vendaro.exe", '\\');
    for (const WriteProfileOp& op :
         {WriteProfileOp{"", "s", "k", "v"}, WriteProfileOp{"f", "", "k", "v"},
          WriteProfileOp{"f", "s", "", "v"}, WriteProfileOp{"f", "s", "k", ""}}) {
        const WriteOp ops[] = {op, WriteProfileOp{"f", "s", "k", "v"}};
        CHECK_FALSE(PerformWrites(ops, store, platform).writes_ok);
    }
    CHECK(rec.calls == Lines(4, "ProfileSet f|s|k=v"));
}

}  // namespace
}  // namespace vendaro
