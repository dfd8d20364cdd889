// A library that another program replaces while the program reads it (editors and sync tools
// write a whole new file and rename it over the old one), and one too large to read at all.
#include <doctest/doctest.h>

#include <atomic>
#include <filesystem>
#include <new>
#include <set>
#include <thread>

#include "mainwin/tests/test_support.h"

namespace vendaro {
namespace {

namespace fs = std::filesystem;

// A library whose script Target names its version `v` in every value.
std::string Library(char v) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "[Other" + std::to_string(i) + "]\r\nServer=s\r\n";
    const std::string n(1, v);
    return text + "[Target]\r\nDSN_Driver=SQL Server\r\nDescription=" + n + "0\r\nDatabase=" + n +
           "1\r\nDriver=" + n + "2\r\nLastUser=" + n + "3\r\nServer=" + n + "4\r\n";
}

TEST_CASE("a library replaced while DSNs are created gives each data source one version") {
    int mixed = 0, complete = 0;
    for (int run = 0; run < 100; ++run) {
        test::MainWindow w(Library('A'));
        const fs::path dir = w.dir.path();
        test::WriteFile(dir / "a", Library('A'));
        test::WriteFile(dir / "b", Library('B'));
        std::atomic<int> swaps{0};
        std::thread writer([&] {
            for (std::error_code ignored; swaps >= 0; ++swaps) {  // errors: a reader holds it
                fs::remove(dir / "new", ignored);
                fs::create_hard_link(dir / (swaps % 2 ? "a" : "b"), dir / "new", ignored);
                fs::rename(dir / "new", dir / "vendaro.ini", ignored);
            }
        });
        while (swaps < 2) std::this_thread::yield();  // the writer is at work
        w.form.Form_Load("Target -ue");
        swaps = -1000000;
        writer.join();
        std::set<char> versions;  // of the values Target's data source got ("Server=A4")
        for (const std::string& call : w.recording.calls) {
            const std::size_t eq = call.find('=');
            if (call.starts_with("RegSetString") && eq + 3 == call.size()) {
                versions.insert(call[eq + 1]);
                complete += call.ends_with("4");
            }
        }
        mixed += versions.size() > 1;
    }
    CHECK(mixed == 0);
    CHECK(complete == 100);
}

// Every read runs out of memory, as a library too large for the program does.
struct ExhaustedProfile final : Profile {
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
