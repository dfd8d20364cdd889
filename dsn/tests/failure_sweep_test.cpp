// Registry, profile and installer failures during DSN creation, one at a time at every step of
// every driver's write list: every later step still runs, the outcome says whether the DSN was
// written, and nothing else is touched (no value lands under another key, the script file is
// as it was, the legacy ODBC.INI lacks only the entry that failed).
#include <doctest/doctest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dsn/conversions.h"
#include "dsn/dsn_command.h"
#include "dsn_test_support.h"
#include "testing/recording_platform.h"

namespace vendaro {
namespace {

using namespace dsn_test;
using Lines = std::vector<std::string>;

// Makes exactly one effect call fail (the `target`-th, counted from 0; -1: none), letting the
// recording platform record it as failed. Reads are passed through uncounted.
class FailOne final : public Registry, public Installer, public Profile {
  public:
    FailOne(RecordingPlatform& rec, int target) : rec_(rec), target_(target) {}
    int effects = 0;  // effect calls seen

    RegHandle CreateKey(RegRoot root, const std::string& path) override {
        return Step([&] { return rec_.CreateKey(root, path); });
    }
    bool SetString(RegHandle key, const std::string& name, const std::string& value) override {
        return Step([&] { return rec_.SetString(key, name, value); });
    }
    bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) override {
        return Step([&] { return rec_.SetNumber(key, name, value); });
    }
    bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) override {
        return Step([&] { return rec_.SetFlagByte(key, name, value); });
    }
    bool CloseKey(RegHandle key) override {
        return Step([&] { return rec_.CloseKey(key); });
    }
    bool ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                          const std::string& attributes) override {
        return Step([&] { return rec_.ConfigDataSource(parent, request, driver, attributes); });
    }
    std::string SystemDirectory() override { return rec_.SystemDirectory(); }

    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& path) override {
        return rec_.profile().GetString(section, key, def, path);
    }
    bool SetString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override {
        return Step([&] { return rec_.profile().SetString(section, key, value, path); });
    }
    bool DeleteKey(std::string_view section, std::string_view key,
                   const std::string& path) override {
        return Step([&] { return rec_.profile().DeleteKey(section, key, path); });
    }
    bool DeleteSection(std::string_view section, const std::string& path) override {
        return Step([&] { return rec_.profile().DeleteSection(section, path); });
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        return rec_.profile().ReadAll(path);
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        return Step([&] { return rec_.profile().Append(path, bytes); });
    }

  private:
    template <typename Call>
    auto Step(Call call) -> decltype(call()) {
        const bool fail = effects++ == target_;
        if (fail) rec_.fail_prefixes = {""};
        auto result = call();
        rec_.fail_prefixes.clear();
        return result;
    }
    RecordingPlatform& rec_;
    int target_;
};

struct Script {
    const char* driver;
    std::string name;
    Lines lines;
};

const std::vector<Script>& Scripts() {
    static const std::vector<Script> scripts = {
        {kSqlServer,
         "Sales",
         {"[Sales]", "DSN_Driver=SQL Server", "Description=Sales figures", "Database=pubs",
          "Server=DBHOST", "PWD=}]rksh"}},
        {kAsa,
         "Asa",
         {"[Asa]", "DSN_Driver=Adaptive Server Anywhere 6.0", "UID=dba", "PWD=}]rksh",
          "DatabaseFile=C:\\ASA\\asademo.db", "CommLinks=TCPIP{HOST=db1}", "LivenessTimeout=120",
          "CommBufferSize=1460"}},
        {kAccess,
         "Orders",
         {"[Orders]", "DSN_Driver=Microsoft Access Driver (*.mdb)", "DBQ=C:\\o.mdb", "Exclusive=1",
          "Threads=2", "PageTimeout=5.5"}},
        {kDbase,
         "Stock",
         {"[Stock]", "DSN_Driver=Microsoft dBase Driver (*.dbf)", "FIL=dBase IV",
          "DefaultDir=C:\\data", "Deleted=1"}},
        {kFoxPro, "Fox", {"[Fox]", "DSN_Driver=Microsoft Visual FoxPro Driver"}},
    };
    return scripts;
}

struct Run {
    Lines calls;
    DsnOutcome outcome;
    std::string script_bytes;  // vendaro.ini afterwards
    std::string legacy;        // the legacy ODBC.INI afterwards ("" when missing)
    int effects = 0;
};

Run Perform(const Script& script, DsnCommand command, const std::string& mode, int fail_at) {
    ScriptDir dir(script.lines);
    RecordingPlatform rec(dir.profile());
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    std::filesystem::create_directories(std::filesystem::path(dir.path()) / "win");
    rec.system_directory = dir.path() + sep + "Win\\System32";
    const std::string legacy_ini = LegacyOdbcIniFile(SystemDirectoryOf(rec.system_directory));

    FailOne fail(rec, fail_at);
    ScriptStore store(fail, dir.path(), "vendaro.exe", sep[0]);
    Platform platform{fail, fail, fail, rec};
    const std::string before = *dir.profile().ReadAll(store.ScriptFile());

    DsnRequest request = Request(command, script.name, "Row description", script.driver, mode);
    Run run;
    run.outcome = CreateDsn(request, store, platform);
    run.calls = rec.calls;
    run.effects = fail.effects;
    run.script_bytes = *dir.profile().ReadAll(store.ScriptFile());
    CHECK(run.script_bytes == before);
    // The scratch directory's name differs from run to run (and is lower-cased in the driver's
    // path, as the system directory is).
    run.legacy = dir.profile().ReadAll(legacy_ini).value_or("");
    for (const std::string& name : {dir.path(), SystemDirectoryOf(dir.path())}) {
        for (std::size_t at; (at = run.legacy.find(name)) != std::string::npos;) {
            run.legacy.replace(at, name.size(), "<dir>");
        }
    }
    return run;
}

// The call's kind: its first word.
std::string Kind(const std::string& call) {
    return call.substr(0, call.find(' '));
}

// True when every value call goes to the key created last and not yet closed, or to no key
// (0) after a failed create: no value ever lands under another key.
bool ValuesUnderTheirKey(const Lines& calls) {
    std::string open = "none";
    for (const std::string& call : calls) {
        const std::string kind = Kind(call);
        if (kind == "RegCreateKey") {
            open = "pending";
        } else if (kind == "RegSetString" || kind == "RegSetNumber" || kind == "RegSetFlagByte") {
            const std::string handle =
                call.substr(kind.size() + 1, call.find(' ', kind.size() + 1) - kind.size() - 1);
            if (open == "pending") open = handle;
            if (handle != open && handle != "0") return false;
        } else if (kind == "RegCloseKey") {
            open = "none";
        }
    }
    return true;
}

}  // namespace

TEST_CASE(
    "a failure at any step of DSN creation: the rest runs, the outcome says so, "
    "nothing else is touched") {
    long injected = 0;
    struct Mode {
        DsnCommand command;
        const char* start_mode;
    };
    const Mode modes[] = {{DsnCommand::User, ""},
                          {DsnCommand::System, ""},
                          {DsnCommand::User, "ue"},
                          {DsnCommand::System, "se"}};
    for (const Script& script : Scripts()) {
        for (const Mode& mode : modes) {
            const std::string context = std::string(script.driver) +
                                        (mode.command == DsnCommand::User ? ", User" : ", System") +
                                        " DSN, start mode \"" + mode.start_mode + "\"";
            INFO(context);
            const Run clean = Perform(script, mode.command, mode.start_mode, -1);
            REQUIRE(clean.outcome.writes_ok);
            CHECK(ValuesUnderTheirKey(clean.calls));
            for (int k = 0; k < clean.effects; ++k) {
                const Run run = Perform(script, mode.command, mode.start_mode, k);
                ++injected;
                // Every step ran, in the same order, and exactly one failed.
                REQUIRE(run.calls.size() == clean.calls.size());
                std::string failed;
                for (std::size_t i = 0; i < run.calls.size(); ++i) {
                    CHECK(Kind(run.calls[i]) == Kind(clean.calls[i]));
                    if (run.calls[i].size() > 7 &&
                        run.calls[i].compare(run.calls[i].size() - 7, 7, " FAILED") == 0) {
                        CHECK(failed.empty());
                        failed = run.calls[i];
                    }
                }
                INFO("failed: ", failed);
                REQUIRE_FALSE(failed.empty());
                CHECK(ValuesUnderTheirKey(run.calls));

                // The outcome: a key, a value or an ODBC.INI entry that could not be written
                // or a key that could not be closed (its values may not have landed) means the
                // DSN was not created; the driver's dialog does not.
                const std::string kind = Kind(failed);
                const bool counts = kind != "ConfigDataSource";
                CHECK(run.outcome.writes_ok == !counts);
                const std::string what = mode.command == DsnCommand::User ? "User" : "System";
                if (std::string(mode.start_mode).size() == 2) {
                    CHECK_FALSE(run.outcome.status_line.has_value());
                } else {
                    CHECK(run.outcome.status_line ==
                          std::optional<std::string>(what + (counts ? " DSN could not be created."
                                                                    : " DSN has been created.")));
                }

                // The legacy ODBC.INI: as without the failure, but for the entry that failed.
                if (kind == "ProfileSet") {
                    CHECK(run.legacy != clean.legacy);
                    CHECK(run.legacy.size() < clean.legacy.size());
                } else {
                    CHECK(run.legacy == clean.legacy);
                }
            }
        }
    }
    std::printf(
        "DSN creation: %ld single failures injected (registry, ODBC.INI, installer), "
        "each reported and contained\n",
        injected);
}

}  // namespace vendaro
