// DSN creation as recorded by the platform: every driver's whole write list as golden text
// (dsn/tests/data/<driver>.txt; VENDARO_UPDATE_GOLDEN=1 rewrites them), every effect failed in
// turn, and the outcome rules.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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
struct EveryKey final : Profile {
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

struct Run {
    Lines calls;
    DsnOutcome outcome;
    bool busy;
};

Run Create(const char* driver, const std::string& mode, DsnCommand command, bool unattended,
           int fail_nth = 0, const std::string& sysdir = "C:\\WINNT\\System32\0junk"s,
           bool legacy = true, const std::string& name = "Orders") {
    EveryKey script;
    script.mode = mode;
    RecordingPlatform rec(script);
    rec.system_directory = sysdir;
    rec.fail_nth = fail_nth;
    ScriptStore store(rec.profile(), "/nowhere", "vendaro.exe", '/');
    Platform platform = rec.AsPlatform();
    platform.legacy_odbc_ini = legacy;
    DsnOutcome outcome =
        CreateDsn({command, name, "Row text", driver, unattended, 0x1234}, store, platform);
    return {rec.calls, outcome, rec.busy};
}

std::string Label(const std::string& call) {
    return call.substr(0, call.find('='));
}

// The calls of the three scripts side by side: one line per call, "key=full | 1 | empty" where
// their values differ, "(none)" where a script makes no such call.
Lines Merged(const Lines& full, const Lines& ones, const Lines& empty) {
    Lines out;
    std::size_t at[2] = {0, 0};
    for (const std::string& call : full) {
        std::string line = call;
        bool same = true;
        std::string row = call;
        for (int k = 0; k < 2; ++k) {
            const Lines& other = k == 0 ? ones : empty;
            std::string value = "(none)";
            if (at[k] < other.size() && Label(other[at[k]]) == Label(call)) {
                value = other[at[k]++].substr(Label(call).size());
            }
            same = same && value == call.substr(Label(call).size());
            row += " | " + value;
        }
        out.push_back(same ? line : row);
    }
    CHECK(at[0] == ones.size());
    CHECK(at[1] == empty.size());
    return out;
}

std::string Status(DsnCommand command, bool ok) {
    return (command == DsnCommand::User ? "User"s : "System"s) +
           (ok ? " DSN has been created." : " DSN could not be created.");
}

const DsnCommand kCommands[] = {DsnCommand::User, DsnCommand::System};

TEST_CASE("every driver's write list, as performed, against its golden file") {
    for (const Driver& driver : kDrivers) {
        CAPTURE(driver.name);
        std::string stem = driver.product ? driver.product : "FoxPro";
        std::replace(stem.begin(), stem.end(), ' ', '_');
        const std::filesystem::path file =
            std::filesystem::path(VENDARO_SOURCE_DIR) / "dsn/tests/data" / (stem + ".txt");
        const Run user = Create(driver.name, "=", DsnCommand::User, false);
        Lines got = Merged(user.calls, Create(driver.name, "1", DsnCommand::User, false).calls,
                           Create(driver.name, "", DsnCommand::User, false).calls);
        // Unattended, a User DSN differs only in its installer call: no window, "add".
        Lines unattended = Create(driver.name, "=", DsnCommand::User, true).calls;
        got.push_back("unattended: " + unattended.back());
        unattended.back() = user.calls.back();
        CHECK(unattended == user.calls);
        // A System DSN: the same keys under HKLM, and no installer call (unattended or not).
        Lines system = user.calls;
        system.pop_back();
        for (std::string& call : system) {
            if (call.rfind("RegCreateKey HKCU", 0) == 0) call.replace(13, 4, "HKLM");
        }
        for (bool quiet : {false, true}) {
            CHECK(Create(driver.name, "=", DsnCommand::System, quiet).calls == system);
        }

        std::ostringstream text;
        for (const std::string& line : got) text << line << '\n';
        if (std::getenv("VENDARO_UPDATE_GOLDEN") != nullptr) std::ofstream(file) << text.str();
        std::ifstream in(file);
        std::ostringstream expected;
        expected << in.rdbuf();
        CHECK(text.str() == expected.str());
    }
}

TEST_CASE("dBase: the driver id and FIL by the file type") {
    const std::string rows[][2] = {{"dBase III", "21|dBase III;"},
                                   {"dBase IV", "277|dBase IV;"},
                                   {"dBase 5.0", "533|dBase 5.0"},
                                   {"dbase iv", "|dbase iv;"}};
    for (const auto& [fil, expected] : rows) {
        const Lines calls =
            Create(DriverOf(DriverId::Dbase).name, "FIL=" + fil, DsnCommand::System, false).calls;
        auto id = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
            return call.rfind("RegSetNumber 1 DriverId=", 0) == 0;
        });
        auto written = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
            return call.rfind("RegSetString 1 FIL=", 0) == 0;
        });
        REQUIRE(written != calls.end());
        CHECK((id == calls.end() ? "" : id->substr(24)) + "|" + written->substr(19) == expected);
        CHECK((id == calls.end() ? written : id + 1) == written);
    }
}

TEST_CASE("each effect failing in turn: the rest still runs and the DSN is not reported made") {
    for (const Driver& driver : kDrivers) {
        for (DsnCommand command : kCommands) {
            for (bool unattended : {false, true}) {
                CAPTURE(driver.name);
                CAPTURE(unattended);
                const Run clean = Create(driver.name, "=", command, unattended);
                REQUIRE(clean.outcome.writes_ok);
                for (std::size_t n = 1; n <= clean.calls.size(); ++n) {
                    const Run run = Create(driver.name, "=", command, unattended, int(n));
                    const std::string& failed = clean.calls[n - 1];
                    CAPTURE(failed);
                    // Same calls in the same order (a failed key's values go to key 0, and
                    // the later keys get the handles one lower).
                    REQUIRE(run.calls.size() == clean.calls.size());
                    for (std::size_t i = 0; i < run.calls.size(); ++i) {
                        auto strip = [](std::string call) {
                            if (call.rfind("RegCreate", 0) != 0 && call.rfind("Reg", 0) == 0) {
                                const std::size_t at = call.find(' ') + 1;
                                call.erase(at, call.find_first_of(" =", at) - at);
                            }
                            return call;
                        };
                        CHECK(strip(run.calls[i]) ==
                              strip(clean.calls[i]) + (i + 1 == n ? " FAILED" : ""));
                    }
                    // The pointer and the driver's own dialog do not make the DSN.
                    const bool counts =
                        failed.rfind("Busy", 0) != 0 && failed.rfind("ConfigDataSource", 0) != 0;
                    CHECK(run.outcome.writes_ok == !counts);
                    CHECK(run.outcome.status_line ==
                          (unattended ? std::nullopt
                                      : std::optional<std::string>(Status(command, !counts))));
                    CHECK_FALSE(run.busy);
                }
            }
        }
    }
}

TEST_CASE("outcome without a name, without a Windows directory, without the legacy ODBC.INI") {
    const char* access = DriverOf(DriverId::Access).name;
    for (DsnCommand command : kCommands) {
        for (bool unattended : {false, true}) {
            CAPTURE(unattended);
            auto status = [&](bool ok) {
                return unattended ? std::nullopt : std::optional<std::string>(Status(command, ok));
            };
            const Run clean = Create(access, "=", command, unattended);
            CHECK(clean.outcome.status_line == status(true));
            // An empty name would address the ODBC.INI key itself: nothing is written.
            const Run nameless = Create(access, "=", command, unattended, 0, "C:\\W\\S", true, "");
            CHECK(nameless.calls.empty());
            CHECK_FALSE(nameless.outcome.writes_ok);
            CHECK(nameless.outcome.status_line == status(false));
            // No backslash: the legacy entries would name no file and are refused, not sent.
            const Run nowhere = Create(access, "=", command, unattended, 0, "system32");
            CHECK(nowhere.calls ==
                  Create(access, "=", command, unattended, 0, "system32", false).calls);
            CHECK_FALSE(nowhere.outcome.writes_ok);
            CHECK(nowhere.outcome.status_line == status(false));
            // Left out: the same calls without the two entries, and made.
            const Run left_out = Create(access, "=", command, unattended, 0, "C:\\W\\S", false);
            Lines without = Create(access, "=", command, unattended, 0, "C:\\W\\S").calls;
            std::erase_if(without, [](const std::string& c) { return c.rfind("Profile", 0) == 0; });
            CHECK(left_out.calls == without);
            CHECK(left_out.outcome.writes_ok);
        }
    }
    CHECK(AttributeString("My Data") == "DSN=My Data\0"s);
}

}  // namespace
}  // namespace vendaro
