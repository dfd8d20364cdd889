// An editor's Save over a vendaro.ini whose writing fails (the temporary file cannot be created,
// the disk fills after N bytes, the rename fails), at every point: the user sees "The DSN
// script could not be saved.", the editor stays open with what was typed, the list keeps the
// old row, other scripts keep every byte, each key of the script holds its old or its new
// value (written in order, up to the failing write), and the next Save, once the file takes
// writes again, saves all.
#include <doctest/doctest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editors/form4.h"
#include "editors/form8.h"
#include "editors/tests/test_support.h"
#include "platform/ini_text.h"
#include "platform/posix/file_profile.h"
#include "platform/tests/ini_bytes.h"

namespace vendaro {
namespace {

using test::EditorFixture;
using test::RefusalLine;

const std::string kSales =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=alpha\r\n"
    "Database=sales\r\n\r\n";
const std::string kOther = "[Other]\r\nDSN_Driver=SQL Server\r\nDescription=Untouched\r\n";

struct Tally {
    long injected = 0;
    ~Tally() {
        if (injected > 0) std::printf("editor Save: %ld write faults injected\n", injected);
    }
};
Tally tally;

FaultyFileSystem& FileOf(EditorFixture& f) {
    return f.native.files;
}

// The keys Save changes, in the order it writes them, with their old and new values (each new
// value longer than the old, so every write makes the file larger).
struct Change {
    const char* key;
    const char* old_value;
    const char* new_value;
};
const Change kChanges[] = {
    {"Description", "Sales figures", "Sales figures of every branch"},
    {"Server", "alpha", "alpha.example.internal"},
    {"Database", "sales", "sales_history"},
};

struct Edit {
    EditorFixture f;
    Form4 form{f.context};
    Edit() {
        f.Given(kSales + kOther);
        f.EditMode("Other", "Untouched", "SQL Server");
        f.EditMode("Sales", "Sales figures", "SQL Server");
        form.Form_Load();
        form.Text2_Change(kChanges[0].new_value);
        form.Text3_Change(kChanges[1].new_value);
        form.Text4_Change(kChanges[2].new_value);
    }
};

}  // namespace

TEST_CASE("a Save failing at any write fault keeps the editor open and the file sound") {
    std::string saved;
    {
        Edit clean;
        clean.form.Command4_Click();
        REQUIRE(clean.form.closed());
        saved = clean.f.Bytes();
    }
    std::vector<WriteFaults> faults = {{true, -1, false}, {false, -1, true}};
    for (std::size_t n = 0; n <= saved.size(); ++n) {
        faults.push_back({false, static_cast<std::int64_t>(n), false});
    }
    for (const WriteFaults& fault : faults) {
        INFO("fault: open ", fault.fail_open, ", rename ", fault.fail_rename, ", after ",
             fault.fail_after_bytes, " bytes");
        ++tally.injected;
        Edit e;
        const std::string before = e.f.Bytes();
        FileOf(e.f).faults = fault;
        e.form.Command4_Click();
        const bool fits =
            fault.fail_after_bytes >= static_cast<std::int64_t>(saved.size());  // the largest
        if (fits) {
            CHECK(e.form.closed());
            CHECK(e.f.Bytes() == saved);
            CHECK(e.f.MessageBoxes().empty());
            CHECK(e.f.status.text == "SQL Server DSN script edited.");
            continue;
        }
        CHECK_FALSE(e.form.closed());
        CHECK(e.f.MessageBoxes() ==
              std::vector<std::string>{RefusalLine("The DSN script could not be saved.")});
        CHECK_FALSE(e.f.shared.ScriptSaved);
        CHECK(e.f.status.text.empty());
        CHECK(e.f.list.Row(2).description == "Sales figures");
        CHECK(e.form.Text2.text == kChanges[0].new_value);
        const std::string bytes = e.f.Bytes();
        if (fault.fail_open || fault.fail_rename) CHECK(bytes == before);
        // The other script keeps every byte; the keys hold old or new values, in write order.
        CHECK(bytes.size() >= kOther.size());
        CHECK(bytes.compare(bytes.size() - kOther.size(), kOther.size(), kOther) == 0);
        bool still_old = false;
        for (const Change& change : kChanges) {
            const std::optional<std::string> value = ini::GetValue(bytes, "Sales", change.key);
            REQUIRE(value.has_value());
            CHECK((*value == change.old_value || *value == change.new_value));
            if (still_old) CHECK(*value == change.old_value);
            still_old = still_old || *value == change.old_value;
        }
        CHECK(still_old);  // some write failed

        // Once the file takes writes again, the same editor saves everything.
        FileOf(e.f).faults = WriteFaults{};
        e.form.Command4_Click();
        CHECK(e.form.closed());
        CHECK(e.f.Bytes() == saved);
        CHECK(e.f.list.Row(2).description == kChanges[0].new_value);
    }
}

TEST_CASE("a renaming Save whose removal of the old script fails keeps the old script") {
    for (const WriteFaults& fault : {WriteFaults{true, -1, false}, WriteFaults{false, -1, true},
                                     WriteFaults{false, 10, false}}) {
        ++tally.injected;
        Edit e;
        const std::string before = e.f.Bytes();
        e.form.Text1_Change("Sales2");
        FileOf(e.f).faults = fault;
        e.form.Command4_Click();
        CHECK_FALSE(e.form.closed());
        CHECK(e.f.MessageBoxes().size() == 1);
        CHECK(e.f.Bytes() == before);
        CHECK(e.f.list.Row(2).text == "Sales");
    }
}

TEST_CASE("adding a script when the file cannot be created leaves no file") {
    for (const WriteFaults& fault : {WriteFaults{true, -1, false}, WriteFaults{false, -1, true},
                                     WriteFaults{false, 0, false}, WriteFaults{false, 12, false}}) {
        ++tally.injected;
        EditorFixture f;
        f.AddMode();
        Form8 form(f.context);
        form.Form_Load();
        form.Text1_Change("Stock");
        FileOf(f).faults = fault;
        form.Command1_Click();
        CHECK_FALSE(form.closed());
        CHECK(f.MessageBoxes() ==
              std::vector<std::string>{RefusalLine("The DSN script could not be saved.")});
        CHECK(f.Bytes() == "<missing>");
        CHECK(f.list.Count() == 0);
        CHECK_FALSE(f.shared.ScriptSaved);
    }
}

}  // namespace vendaro
