// Every way the writing of vendaro.ini can fail, injected one at a time: the temporary file
// cannot be created, the disk fills after N bytes (for every N up to the new content's size),
// or the new file cannot be put in the old one's place. After each failure the file holds
// exactly its old bytes (or is still missing), no temporary file is left, the failure is
// reported, and the next read sees the old values; after each success it holds exactly the new
// bytes.
#include <doctest/doctest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/file_profile.h"
#include "platform/tests/posix/faulty_file_system.h"
#include "store/script_store.h"
#include "store/tests/test_support.h"

namespace vendaro::test {
namespace {

namespace fs = std::filesystem;

// Faults injected and survived over this file's tests, for the closing note.
struct Tally {
    long injected = 0;
    long survived = 0;
    ~Tally() {
        if (injected > 0) {
            std::printf("fault injection: %ld faults injected, %ld survived\n", injected, survived);
        }
    }
};
Tally tally;

std::vector<std::string> Entries(const ScratchDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

struct Operation {
    const char* what;
    // Runs the operation on the store; returns what it reports.
    std::function<bool(ScriptStore&)> run;
};

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> ops = {
        {"a changed value",
         [](ScriptStore& s) { return s.WriteIniString("Sales", "Server", "db2"); }},
        {"a new key", [](ScriptStore& s) { return s.WriteIniString("Sales", "Database", "pubs"); }},
        {"a new section",
         [](ScriptStore& s) { return s.WriteIniString("Orders", "DSN_Driver", "SQL Server"); }},
        {"a key removed",
         [](ScriptStore& s) { return s.WriteIniString("Sales", "Description", ""); }},
        {"a section removed", [](ScriptStore& s) { return s.WriteIniString("Sales", "", ""); }},
        {"a section copied",
         [](ScriptStore& s) { return s.CopySection("Sales", "Sales2") == CopyResult::Copied; }},
        {"another file written",
         [](ScriptStore& s) {
             return s.WriteIniString("ODBC 32 bit Data Sources", "Sales", "SQL Server (32 bit)",
                                     s.AppDir() + "ODBC.INI");
         }},
    };
    return ops;
}

// The starting contents: typical, without a last line end, with bare LF line ends, empty,
// missing (nullopt-like "<missing>").
const std::vector<std::pair<const char*, std::string>>& Starts() {
    static const std::vector<std::pair<const char*, std::string>> starts = {
        {"typical",
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n\r\n"
         "[Stock]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDBQ=C:\\stock.mdb\r\n"},
        {"no last line end", "[Sales]\r\nDSN_Driver=SQL Server\r\nServer=db1"},
        {"LF line ends", "; kept\n[Sales]\nServer = db1\nDescription=x\n[Stock]\nk=v\n"},
        {"missing", "<missing>"},
    };
    return starts;
}

void Restore(const std::string& path, const std::string& bytes) {
    std::error_code error;
    fs::remove(path, error);
    if (bytes != "<missing>") WriteBytes(path, bytes);
}

}  // namespace

TEST_CASE("a write failing at any point leaves the old file, reported; else the new one") {
    // Not a structured binding: clang before 16 cannot capture one in INFO's lambda.
    for (const auto& start_case : Starts()) {
        const char* const start_name = start_case.first;
        const std::string& start = start_case.second;
        for (const Operation& op : Operations()) {
            INFO("start: ", start_name, "; operation: ", op.what);
            ScratchDir dir;
            FaultyFileSystem files;
            FileProfile profile(files);
            ScriptStore store(profile, dir.path(), "vendaro", '/');
            const std::string ini = store.ScriptFile();
            const std::string other = store.AppDir() + "ODBC.INI";
            const bool other_file = std::string(op.what) == "another file written";
            const std::string& target = other_file ? other : ini;

            // The outcome without a fault.
            Restore(ini, start);
            const bool clean_ok = op.run(store);
            const std::string after = ReadBytes(target);
            const bool changes = clean_ok && after != (other_file ? "<missing>" : start);
            if (!clean_ok) {
                // Only the copy refuses, and only when there is no file to copy from.
                CHECK(std::string(op.what) == "a section copied");
                CHECK((start == "<missing>" || start.empty()));
                continue;
            }
            std::error_code error;
            fs::remove(other, error);

            struct Fault {
                std::string what;
                WriteFaults faults;
            };
            std::vector<Fault> faults = {{"open", {true, -1, false}},
                                         {"rename", {false, -1, true}}};
            for (std::size_t n = 0; n <= after.size() && after != "<missing>"; ++n) {
                faults.push_back({"after " + std::to_string(n) + " bytes",
                                  {false, static_cast<std::int64_t>(n), false}});
            }
            for (const Fault& fault : faults) {
                INFO("fault: ", fault.what);
                Restore(ini, start);
                fs::remove(other, error);
                const std::string before = ReadBytes(target);
                // A read first, so the parsed copy of the old file is kept in memory.
                const std::string server = store.ReadIniString("Sales", "Server", "none");
                files.faults = fault.faults;
                const bool ok = op.run(store);
                files.faults = WriteFaults{};
                const bool should_fail =
                    changes &&
                    (fault.faults.fail_open || fault.faults.fail_rename ||
                     static_cast<std::size_t>(fault.faults.fail_after_bytes) < after.size());
                ++tally.injected;
                CHECK(ok == !should_fail);
                if (ok) {
                    CHECK(ReadBytes(target) == after);
                } else {
                    CHECK(ReadBytes(target) == before);
                    CHECK(profile.last_error() != 0);
                    CHECK(store.ReadIniString("Sales", "Server", "none") == server);
                }
                std::vector<std::string> expected;
                if (ReadBytes(ini) != "<missing>") expected.push_back("vendaro.ini");
                if (ReadBytes(other) != "<missing>") expected.push_back("ODBC.INI");
                std::vector<std::string> entries = Entries(dir);
                std::sort(entries.begin(), entries.end());
                std::sort(expected.begin(), expected.end());
                CHECK(entries == expected);
                if (ok == !should_fail && entries == expected) ++tally.survived;
            }
        }
    }
}

TEST_CASE("a place the file cannot be written reports the failure and changes nothing") {
    // Root writes even into read-only files, so these are failures no permission bit makes.
    ScratchDir dir;
    FaultyFileSystem files;
    FileProfile profile(files);
    SUBCASE("the program's directory is missing") {
        ScriptStore store(profile, dir.File("gone"), "vendaro", '/');
        CHECK_FALSE(store.WriteIniString("Sales", "DSN_Driver", "SQL Server"));
        CHECK(profile.last_error() == ENOENT);
        CHECK_FALSE(store.WriteIniString("Sales", "Description", ""));
        CHECK_FALSE(store.WriteIniString("Sales", "", ""));
        CHECK(store.CopySection("Sales", "Copy") == CopyResult::NoFile);
        CHECK(Entries(dir).empty());
        tally.injected += 4;
        tally.survived += 4;
    }
    SUBCASE("a directory stands in the file's place") {
        ScriptStore store(profile, dir.path(), "vendaro", '/');
        MakeDirectory(store.ScriptFile());
        WriteBytes(store.ScriptFile() + "/inside", "x");
        CHECK_FALSE(store.WriteIniString("Sales", "DSN_Driver", "SQL Server"));
        CHECK(profile.last_error() == EISDIR);
        CHECK_FALSE(store.WriteIniString("Sales", "", ""));
        CHECK(store.ListScripts().empty());
        CHECK(Entries(dir) == std::vector<std::string>{"vendaro.ini"});
        CHECK(ReadBytes(store.ScriptFile() + "/inside") == "x");
        tally.injected += 2;
        tally.survived += 2;
    }
}

}  // namespace vendaro::test
