// A Save hands the editor's keys to the store together: through the platform's own profile (which
// makes them one change of the file) leaves the same bytes as a Save whose keys are written one
// call at a time.
#include <doctest/doctest.h>

#include <memory>
#include <string>

#include "editors/form5.h"
#include "editors/tests/test_support.h"

namespace vendaro {
namespace {

using test::EditorFixture;

const std::string kLibrary =
    "[Sales]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\nDescription=Sales figures\r\n"
    "IsolationLevel=1\r\nUID=dba\r\nDatabase=sales\r\nCommLinks=TCPIP{host=a}\r\nDebug=Yes\r\n"
    "LogFile=C:\\odbc.log\r\n\r\n"
    "[Stock]\r\nDSN_Driver=SQL Server\r\nDescription=Stock\r\n";

// The editor stories both Saves run.
void FillNew(Form5& e) {
    e.Text1_Change("  Orders ");
    e.Text2_Change(" Orders of every branch ");
    e.Text3_Change("2");
    e.Check1_Click();
    e.Text4_Change("dba");
    e.Text5_Change("secret");
    e.Text8_Change("orders");
    e.Text9_Change("C:\\Data\\orders.db");
    e.Check8_Click();
    e.Text10_Change("host=10.0.0.7");
    e.Text16_Change("orders");
    e.Check13_Click();
    e.Text18_Change("C:\\Logs\\orders.log");
}

void ChangeLoaded(Form5& e) {
    e.Text2_Change("All sales");
    e.Check13_Click();   // debugging off: LogFile is no longer written, Debug becomes No
    e.Text8_Change("");  // an emptied field removes its key
    e.Text17_Change("cp1252");
}

// A store over the platform's own profile directly, as the program has it.
struct DirectFixture : EditorFixture {
    ScriptStore direct{*real, dir.path(), "vendaro.exe", test::kSeparator};
    EditorContext direct_context{direct, platform, shared, list, status};
};

}  // namespace

TEST_CASE("a Save through the platform's profile leaves the bytes of a Save key by key") {
    SUBCASE("a new script") {
        DirectFixture batched;
        EditorFixture one_by_one;
        for (EditorFixture* f : {static_cast<EditorFixture*>(&batched), &one_by_one}) {
            f->Given(kLibrary);
            f->AddMode();
        }
        Form5 a(batched.direct_context);
        Form5 b(one_by_one.context);
        for (Form5* e : {&a, &b}) {
            e->Form_Load();
            FillNew(*e);
            e->Command4_Click();
            CHECK(e->close_reason() == CloseReason::Saved);
        }
        CHECK(batched.Bytes() == one_by_one.Bytes());
        CHECK(batched.shared.NewDsnName == "Orders");
        CHECK(test::SectionLines(batched.Bytes(), "Orders").size() == 24);
    }
    SUBCASE("an edited script, renamed") {
        DirectFixture batched;
        EditorFixture one_by_one;
        for (EditorFixture* f : {static_cast<EditorFixture*>(&batched), &one_by_one}) {
            f->Given(kLibrary);
            f->EditMode("Sales", "Sales figures", DriverOf(DriverId::AdaptiveServer).name);
        }
        Form5 a(batched.direct_context);
        Form5 b(one_by_one.context);
        for (Form5* e : {&a, &b}) {
            e->Form_Load();
            ChangeLoaded(*e);
            e->Text1_Change("Sales 2");
            e->Command4_Click();
            CHECK(e->close_reason() == CloseReason::Saved);
        }
        CHECK(batched.Bytes() == one_by_one.Bytes());
        CHECK(test::Headers(batched.Bytes()) == std::vector<std::string>{"Stock", "Sales 2"});
        CHECK(batched.list.Row(1).text == "Sales 2");
    }
}

}  // namespace vendaro
