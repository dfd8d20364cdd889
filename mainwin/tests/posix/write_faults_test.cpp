// The main window's commands over a vendaro.ini whose writing fails (the temporary file cannot
// be created, the disk fills after N bytes, the rename fails): Delete and Clone refuse with
// their message and leave the file and the list as they were; DSN creation reports that the
// DSN could not be created (and an unattended run exits with the write-failure status); the
// script file is never changed by a failure.
#include <doctest/doctest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mainwin/tests/test_support.h"
#include "platform/posix/file_profile.h"

namespace vendaro {
namespace {

using test::MainWindow;
using test::SqlServerScripts;

const std::string kDeleteQuestion =
    "MessageBox Vendaro!|Are you sure you want to delete the selected DSN script?|YesNo|"
    "Question|2";
const std::string kDeleteRefused =
    "MessageBox Vendaro!|The DSN script could not be deleted.|Ok|Exclamation|1";
const std::string kCopyRefused =
    "MessageBox Vendaro!|The DSN script could not be copied.|Ok|Exclamation|1";

struct Fault {
    std::string what;
    WriteFaults faults;
};

// The faults to try on a write whose new content has `new_size` bytes: at open, at the rename,
// and after every byte count up to one short of the new size.
std::vector<Fault> FaultsFor(std::size_t new_size) {
    std::vector<Fault> faults = {{"open", {true, -1, false}}, {"rename", {false, -1, true}}};
    for (std::size_t n = 0; n < new_size; ++n) {
        faults.push_back({"after " + std::to_string(n) + " bytes",
                          {false, static_cast<std::int64_t>(n), false}});
    }
    return faults;
}

// Faults injected over this file's tests, for the closing note.
struct Tally {
    long injected = 0;
    ~Tally() {
        if (injected > 0) std::printf("main window: %ld write faults injected\n", injected);
    }
};
Tally tally;

FaultyFileSystem& FileOf(MainWindow& w) {
    return w.native.files;
}

const std::string kScripts = SqlServerScripts({"A", "B", "C", "D", "E"});

}  // namespace

TEST_CASE("Delete whose write fails at any point keeps the script and its row") {
    std::size_t new_size = 0;
    {
        MainWindow w;
        w.WriteScripts(kScripts);
        w.form.Form_Load("");
        w.form.lvwMain_ItemClick(3);
        w.recording.message_answers = {MsgAnswer::Yes};
        w.form.Command3_Click();
        REQUIRE(w.form.Label1() == "DSN script deleted.");
        new_size = w.Scripts().size();
    }
    for (const Fault& fault : FaultsFor(new_size)) {
        INFO("fault: ", fault.what);
        ++tally.injected;
        MainWindow w;
        w.WriteScripts(kScripts);
        w.form.Form_Load("");
        w.form.lvwMain_ItemClick(3);
        w.recording.message_answers = {MsgAnswer::Yes};
        FileOf(w).faults = fault.faults;
        w.form.Command3_Click();
        CHECK(w.Calls("MessageBox") == std::vector<std::string>{kDeleteQuestion, kDeleteRefused});
        CHECK(w.Scripts() == kScripts);
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "C", "D", "E"});
        CHECK(w.form.lvwMain().Selected() == 3);
        CHECK(w.form.Label1() == kWelcomeText);
    }
    SUBCASE("a disk that just takes the new content deletes") {
        MainWindow w;
        w.WriteScripts(kScripts);
        w.form.Form_Load("");
        w.form.lvwMain_ItemClick(3);
        w.recording.message_answers = {MsgAnswer::Yes};
        FileOf(w).faults.fail_after_bytes = static_cast<std::int64_t>(new_size);
        w.form.Command3_Click();
        CHECK(w.form.Label1() == "DSN script deleted.");
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "D", "E"});
    }
}

TEST_CASE("Clone whose write fails at any point adds no script and no row") {
    std::size_t new_size = 0;
    {
        MainWindow w;
        w.WriteScripts(kScripts);
        w.form.Form_Load("");
        w.form.lvwMain_ItemClick(2);
        w.recording.input_answers = {"B2", ""};
        w.form.Command7_Click();
        REQUIRE(w.Names().size() == 6);
        new_size = w.Scripts().size();
    }
    for (const Fault& fault : FaultsFor(new_size)) {
        INFO("fault: ", fault.what);
        ++tally.injected;
        MainWindow w;
        w.WriteScripts(kScripts);
        w.form.Form_Load("");
        w.form.lvwMain_ItemClick(2);
        w.recording.input_answers = {"B2", ""};
        FileOf(w).faults = fault.faults;
        w.form.Command7_Click();
        CHECK(w.Calls("MessageBox") == std::vector<std::string>{kCopyRefused});
        CHECK(w.Scripts() == kScripts);
        CHECK(w.Names() == std::vector<std::string>{"A", "B", "C", "D", "E"});
    }
}

TEST_CASE("DSN creation whose ODBC.INI write fails says the DSN could not be created") {
    const std::string scripts =
        "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDBQ=C:\\o.mdb\r\n";
    auto prepare = [&](MainWindow& w) {
        w.WriteScripts(scripts);
        // The Windows directory's ODBC.INI inside the scratch directory.
        std::filesystem::create_directories(w.dir.path() / "win");
        w.recording.system_directory = w.dir.path().string() + "/Win\\System32";
    };
    std::size_t new_size = 0;
    std::size_t steps = 0;
    {
        MainWindow w;
        prepare(w);
        w.form.Form_Load("");
        const std::size_t before = w.recording.calls.size();
        w.form.Command6_Click();
        steps = w.recording.calls.size() - before;
        REQUIRE(w.form.Label1() == "System DSN has been created.");
        const std::string legacy = w.dir.path().string() + "/win\\ODBC.INI";
        new_size = test::ReadFile(legacy).size();
        REQUIRE(new_size > 0);
        // The entries name the driver's path, inside the scratch directory, whose name's
        // length differs from one fixture to the next.
        new_size -= w.dir.path().string().size();
    }
    // At open, at the rename, then after every byte count short of the whole.
    for (std::size_t k = 0;; ++k) {
        MainWindow w;
        prepare(w);
        WriteFaults faults;
        if (k == 0) {
            faults.fail_open = true;
        } else if (k == 1) {
            faults.fail_rename = true;
        } else {
            faults.fail_after_bytes = static_cast<std::int64_t>(k - 2);
            if (k - 2 >= new_size + w.dir.path().string().size()) break;
        }
        INFO("fault: open ", faults.fail_open, ", rename ", faults.fail_rename, ", after ",
             faults.fail_after_bytes, " bytes");
        ++tally.injected;
        w.form.Form_Load("");
        const std::size_t before = w.recording.calls.size();
        FileOf(w).faults = faults;
        w.form.Command6_Click();
        CHECK(w.form.Label1() == "System DSN could not be created.");
        CHECK(w.Calls("MessageBox").empty());
        CHECK(w.Scripts() == scripts);
        // Every step ran: the registry writes around the failed entries too.
        CHECK(w.recording.calls.size() - before == steps);
        CHECK(w.recording.calls.back() == "Busy off");
    }
    SUBCASE("unattended, the program ends with the write-failure status") {
        MainWindow w;
        prepare(w);
        FileOf(w).faults.fail_rename = true;
        const StartupResult result = w.form.Form_Load("orders -se");
        CHECK_FALSE(result.show_window);
        CHECK(result.exit_status == kExitWriteFailed);
        CHECK(w.Scripts() == scripts);
    }
}

}  // namespace vendaro
