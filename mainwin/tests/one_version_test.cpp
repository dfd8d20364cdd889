// A library that another program replaces while the program reads it (editors and sync tools
// write a whole new file and rename it over the old one).
#include <doctest/doctest.h>

#include <atomic>
#include <filesystem>
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

}  // namespace
}  // namespace vendaro
