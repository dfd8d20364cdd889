// A library that another program replaces while the program reads it (editors and sync tools
// write a whole new file and rename it over the old one), and one too large to read at all.
#include <doctest/doctest.h>

#include <atomic>
#include <filesystem>
#include <new>
#include <set>
#include <system_error>
#include <thread>

#include "mainwin/tests/test_support.h"

namespace vendaro {
namespace {

// A library whose script Target names its version `v` in every value.
std::string Library(char v) {
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += "[Other" + std::to_string(i) + "]\r\nDSN_Driver=SQL Server\r\nServer=s\r\n";
    }
    const std::string n(1, v);
    return text + "[Target]\r\nDSN_Driver=SQL Server\r\nDescription=" + n + "0\r\nDatabase=" + n +
           "1\r\nDriver=" + n + "2\r\nLastUser=" + n + "3\r\nServer=" + n + "4\r\n";
}

TEST_CASE("a library replaced while DSNs are created gives each data source one version") {
    int mixed = 0, complete = 0;
    const int runs = 100;
    for (int run = 0; run < runs; ++run) {
        test::MainWindow w(Library('A'));
        const std::filesystem::path dir = w.dir.path();
        test::WriteFile(dir / "a", Library('A'));
        test::WriteFile(dir / "b", Library('B'));
        std::atomic<bool> stop{false};
        std::atomic<int> swaps{0};
        std::thread writer([&] {
            for (int swap = 0; !stop; swaps = ++swap) {
                std::error_code ignored;  // a rename refused while a reader holds the file
                std::filesystem::remove(dir / "new", ignored);
                std::filesystem::create_hard_link(dir / (swap % 2 ? "a" : "b"), dir / "new",
                                                  ignored);
                std::filesystem::rename(dir / "new", dir / "vendaro.ini", ignored);
            }
        });
        while (swaps < 2) std::this_thread::yield();  // the writer is at work
        w.form.Form_Load("Target -ue");
        stop = true;
        writer.join();
        // The values Target's data source got, by the version each names.
        std::set<char> versions;
        int values = 0;
        for (const std::string& call : w.recording.calls) {
            const std::size_t eq = call.find('=');
            if (!call.starts_with("RegSetString") || eq + 3 != call.size()) continue;
            versions.insert(call[eq + 1]);
            ++values;
        }
        mixed += versions.size() > 1;
        complete += values == 5;
    }
    CHECK(mixed == 0);
    CHECK(complete == runs);
}

// A profile whose every read runs out of memory, as a library too large for the program does.
class ExhaustedProfile final : public Profile {
  public:
    std::string GetString(std::string_view, std::string_view, std::string_view,
                          const std::string&) override {
        throw std::bad_alloc();
    }
    bool SetString(std::string_view, std::string_view, std::string_view,
                   const std::string&) override {
        return false;
    }
    bool DeleteKey(std::string_view, std::string_view, const std::string&) override {
        return false;
    }
    bool DeleteSection(std::string_view, const std::string&) override { return false; }
    std::optional<std::string> ReadAll(const std::string&) override { throw std::bad_alloc(); }
    bool Append(const std::string&, std::string_view) override { return false; }
    std::unique_ptr<ProfileSnapshot> Snapshot(const std::string&) override {
        throw std::bad_alloc();
    }
};

struct NoWindows final : ModalWindows {
    void ShowSelectDriver(Form3& dialog) override { dialog.Command2_Click(); }
    void ShowAbout(FrmAbout&) override {}
};

TEST_CASE("a library too large for memory ends start-up with words, not silently") {
    test::TempDir dir;
    ExhaustedProfile exhausted;
    RecordingPlatform recording(exhausted);
    Platform platform = recording.AsPlatform();
    const std::string folder = dir.path().string();
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    ScriptStore store(recording.profile(), folder, "vendaro.exe", separator);
    Module1 module1;
    test::ScriptedEditors editors;
    NoWindows windows;
    Form1 form(store, platform, module1, editors, windows);
    const std::string text = store.ScriptFile() +
                             " is too large for the memory of this program; nothing was read or "
                             "written.";
    SUBCASE("unattended: status 1 and a line for stderr") {
        const StartupResult ended = form.Form_Load("Sales -ue");
        CHECK_FALSE(ended.show_window);
        CHECK(ended.exit_status == kExitWriteFailed);
        CHECK(ended.failure == text);
        CHECK(recording.calls == std::vector<std::string>{"Busy on", "Busy off"});
    }
    SUBCASE("with a window: a message box, then status 1") {
        const StartupResult ended = form.Form_Load("");
        CHECK_FALSE(ended.show_window);
        CHECK(ended.exit_status == kExitWriteFailed);
        CHECK(ended.failure.empty());
        CHECK(recording.calls.back() == "MessageBox Vendaro!|" + text + "|Ok|Exclamation|1");
    }
}

}  // namespace
}  // namespace vendaro
