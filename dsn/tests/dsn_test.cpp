// DSN creation as the recording platform sees it: every driver's whole write list as golden
// text (dsn/tests/data/<driver>.txt; VENDARO_UPDATE_GOLDEN=1 rewrites them), every effect
// failed in turn, and the outcome.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dsn/drivers.h"
#include "dsn/dsn_builder.h"
#include "dsn/dsn_command.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

// A script holding every key the builder asks for, its value being the key's own name ("="),
// or "1" throughout; "" for a script with no keys, "KEY=value" for one with that key alone.
// Profile writes succeed without a file.
struct Script final : Profile {
    std::string mode;
    std::string GetString(std::string_view, std::string_view key, std::string_view def,
                          const std::string&) override {
        const std::size_t eq = mode.find('=');
        if (mode == "=") return std::string(key);
        if (eq == std::string::npos) return std::string(mode.empty() ? def : mode);
        return mode.substr(0, eq) == key ? mode.substr(eq + 1) : std::string(def);
    }
    bool SetString(std::string_view, std::string_view, std::string_view,
                   const std::string&) override {
        return true;
    }
    bool DeleteKey(std::string_view, std::string_view, const std::string&) override { return true; }
    bool DeleteSection(std::string_view, const std::string&) override { return true; }
    std::optional<std::string> ReadAll(const std::string&) override { return std::nullopt; }
    bool Append(const std::string&, std::string_view) override { return true; }
};

struct Case {
    const char* driver = DriverOf(DriverId::Access).name;
    std::string mode = "=";
    DsnCommand command = DsnCommand::User;
    bool unattended = false;
    int fail_nth = 0;
    std::string system_directory = "C:\\WINNT\\System32\0junk"s;
    bool legacy = true;
    std::string name = "Orders";
};

// The recorded calls, then the outcome.
Lines Create(const Case& c) {
    Script script;
    script.mode = c.mode;
    RecordingPlatform rec(script);
    rec.system_directory = c.system_directory;
    rec.fail_nth = c.fail_nth;
    ScriptStore store(rec.profile(), "/nowhere", "vendaro.exe", '/');
    Platform platform = rec.AsPlatform();
    platform.legacy_odbc_ini = c.legacy;
    const DsnOutcome outcome =
        CreateDsn({c.command, c.name, "Row text", c.driver, c.unattended, 0x1234}, store, platform);
    rec.calls.push_back((outcome.writes_ok ? "made: "s : "not made: "s) +
                        outcome.status_line.value_or("(no status line)"));
    return rec.calls;
}

// The outcome line of the same run failing.
std::string Failed(const std::string& made) {
    std::string out = "not " + made;
    const std::size_t at = out.find(" has been created.");
    return at == std::string::npos ? out : out.replace(at, out.size(), " could not be created.");
}

// The calls of the "=" script with the values the "1" and the empty script give them where
// these differ: "key=name | =1 | =", "(none)" where a script makes no such call.
Lines Merged(const Lines& full, const Lines& ones, const Lines& empty) {
    Lines out;
    std::size_t at[2] = {0, 0};
    for (const std::string& call : full) {
        const std::size_t cut = std::min(call.find('='), call.size());
        std::string row = call;
        for (int k : {0, 1}) {
            const Lines& other = k == 0 ? ones : empty;
            const bool has =
                at[k] < other.size() && other[at[k]].compare(0, cut, call, 0, cut) == 0;
            row += " | " + (has ? other[at[k]++].substr(cut) : "(none)");
        }
        const std::string same = call + " | " + call.substr(cut) + " | " + call.substr(cut);
        out.push_back(row == same ? call : row);
    }
    CHECK(at[0] == ones.size());
    CHECK(at[1] == empty.size());
    return out;
}

TEST_CASE("every driver's write list, as performed, against its golden file") {
    for (const Driver& driver : kDrivers) {
        CAPTURE(driver.name);
        const Lines user = Create({.driver = driver.name});
        Lines got = Merged(user, Create({.driver = driver.name, .mode = "1"}),
                           Create({.driver = driver.name, .mode = ""}));
        // Unattended, a User DSN differs in its installer call (no window, "add") and outcome.
        Lines unattended = Create({.driver = driver.name, .unattended = true});
        for (auto it = unattended.end() - 2; it != unattended.end(); ++it) {
            got.push_back("unattended: " + *it);
        }
        std::copy(user.end() - 2, user.end(), unattended.end() - 2);
        CHECK(unattended == user);
        // A System DSN: the same keys under HKLM, and no installer call (unattended or not).
        Lines system(user.begin(), user.end() - 2);
        for (std::string& call : system) {
            if (call.rfind("RegCreateKey HKCU", 0) == 0) call.replace(13, 4, "HKLM");
        }
        system.push_back("made: System DSN has been created.");
        CHECK(Create({.driver = driver.name, .command = DsnCommand::System}) == system);
        system.back() = "made: (no status line)";
        CHECK(Create({driver.name, "=", DsnCommand::System, true}) == system);

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

TEST_CASE("dBase: the driver id and FIL by the file type") {
    const std::string rows[][2] = {{"dBase III", "DriverId=21 FIL=dBase III;"},
                                   {"dBase IV", "DriverId=277 FIL=dBase IV;"},
                                   {"dBase 5.0", "DriverId=533 FIL=dBase 5.0"},
                                   {"dbase iv", "FIL=dbase iv;"}};
    for (const auto& [fil, expected] : rows) {
        std::string got;
        for (const std::string& call :
             Create({.driver = DriverOf(DriverId::Dbase).name, .mode = "FIL=" + fil})) {
            if (call.find(" 1 DriverId=") == 12 || call.find(" 1 FIL=") == 12) {
                got += (got.empty() ? "" : " ") + call.substr(15);
            }
        }
        CHECK(got == expected);
    }
}

TEST_CASE("each effect failing in turn: every later step still runs, the DSN is not made") {
    for (const Driver& driver : kDrivers) {
        for (const Case& mode : {Case{driver.name}, Case{driver.name, "=", DsnCommand::System},
                                 Case{driver.name, "=", DsnCommand::User, true}}) {
            CAPTURE(driver.name);
            const Lines clean = Create(mode);
            for (std::size_t n = 1; n < clean.size(); ++n) {
                Case failing = mode;
                failing.fail_nth = static_cast<int>(n);
                const Lines run = Create(failing);
                Lines expected = clean;
                expected[n - 1] += " FAILED";
                // The pointer and the driver's own dialog do not decide whether it was made.
                if (clean[n - 1].rfind("Busy", 0) && clean[n - 1].rfind("ConfigDataSource", 0)) {
                    expected.back() = Failed(clean.back());
                }
                CAPTURE(expected[n - 1]);
                REQUIRE(run.size() == expected.size());
                // Behind a key that failed to open its values go to key 0, and later keys get
                // handles one lower.
                const bool shifted = expected[n - 1].rfind("RegCreateKey", 0) == 0;
                for (std::size_t i = 0; i < run.size(); ++i) {
                    if (shifted && i >= n && i + 1 < run.size()) {
                        CHECK(run[i].substr(0, 12) == expected[i].substr(0, 12));
                    } else {
                        CHECK(run[i] == expected[i]);
                    }
                }
            }
        }
    }
}

TEST_CASE("outcome without a name, without a Windows directory, without the legacy ODBC.INI") {
    for (const Case& mode : {Case{}, Case{.command = DsnCommand::System, .unattended = true}}) {
        const std::string made = Create(mode).back();
        // An empty name would address the ODBC.INI key itself: nothing is written.
        Case c = mode;
        c.name = "";
        CHECK(Create(c) == Lines{Failed(made)});
        // No backslash: the legacy entries would name no file; refused, never sent.
        c = mode;
        c.system_directory = "system32";
        const Lines refused = Create(c);
        c.legacy = false;
        Lines left_out = Create(c);
        CHECK(left_out.back() == made);
        left_out.back() = Failed(made);
        CHECK(refused == left_out);
        // Left out: the same calls without the two entries.
        c.system_directory = mode.system_directory;
        Lines all = Create(mode);
        std::erase_if(all, [](const std::string& call) { return call.rfind("Profile", 0) == 0; });
        CHECK(Create(c) == all);
    }
    CHECK(AttributeString("My Data") == "DSN=My Data\0"s);
}

}  // namespace
}  // namespace vendaro
