// A library that another program replaces while the program reads it, and one too large to
// read at all.
#include <doctest/doctest.h>

#include <filesystem>
#include <new>
#include <set>

#include "mainwin/tests/test_support.h"
#include "platform/rewriting_profile.h"

namespace vendaro {
namespace {

// A library whose script Target names its version `v` in every value.
std::string Library(char v) {
    const std::string n(1, v);
    return "[Other]\r\nServer=s\r\n[Target]\r\nDSN_Driver=SQL Server\r\nDescription=" + n +
           "0\r\nDatabase=" + n + "1\r\nDriver=" + n + "2\r\nLastUser=" + n + "3\r\nServer=" + n +
           "4\r\n";
}

TEST_CASE("a library replaced after every read gives the data source it creates one version") {
    test::MainWindow w(Library('A'));
    const std::filesystem::path dir = w.dir.path();
    char next = 'B';
    w.recording.after_read = [&] {  // as editors and sync tools do: a new file renamed over it
        test::WriteFile(dir / "new", Library(next));
        std::filesystem::rename(dir / "new", dir / "vendaro.ini");
        next = next == 'A' ? 'B' : 'A';
    };
    SUBCASE("unattended") {
        CHECK(w.form.Form_Load("Target -ue").exit_status == kExitCreated);
    }
    SUBCASE("from the window") {
        w.form.Form_Load("");
        w.form.lvwMain_ItemClick(2);
        w.form.Command4_Click();  // User DSN
    }
    std::set<char> versions;  // of the values Target's data source got ("Server=A4")
    int values = 0;
    for (const std::string& call : w.recording.calls) {
        const std::size_t eq = call.find('=');
        if (call.starts_with("RegSetString") && eq + 3 == call.size()) {
            versions.insert(call[eq + 1]);
            ++values;
        }
    }
    CHECK(values == 5);
    CHECK(versions.size() == 1);
}

// Every read runs out of memory, as a library too large for the program does.
struct ExhaustedProfile final : RewritingProfile {
    std::string GetString(std::string_view, std::string_view, std::string_view,
                          const std::string&) override {
        throw std::bad_alloc();
    }
    std::optional<std::string> ReadAll(const std::string&) override { throw std::bad_alloc(); }
    bool Modify(const std::string&, const Edit&) override { return false; }
    bool RefuseLineBreak(const std::string&, const char*) override { return false; }
};

TEST_CASE("a library too large for memory ends start-up with words, not silently") {
    test::MainWindow w;
    ExhaustedProfile exhausted;
    RecordingPlatform recording(exhausted);
    Platform platform = recording.AsPlatform();
    ScriptStore store(recording.profile(), w.store.AppDir(), "vendaro.exe",
                      w.store.AppDir().back());
    Form1 form(store, platform, w.module1, w.editors, w);
    const std::string text = store.ScriptFile() +
                             " is too large for the memory of this program; nothing was read or "
                             "written.";
    SUBCASE("unattended: status 1 and a line for stderr") {
        const StartupResult ended = form.Form_Load("Sales -ue");
        CHECK(ended.exit_status == kExitWriteFailed);
        CHECK(ended.error_line == text);
        CHECK(recording.calls == std::vector<std::string>{"Busy on", "Busy off"});
    }
    SUBCASE("with a window: a message box, then status 1") {
        const StartupResult ended = form.Form_Load("");
        CHECK_FALSE(ended.show_window);
        CHECK(ended.exit_status == kExitWriteFailed);
        CHECK(recording.calls.back() == "MessageBox Vendaro!|" + text + "|Ok|Exclamation|1");
    }
}

}  // namespace
}  // namespace vendaro
