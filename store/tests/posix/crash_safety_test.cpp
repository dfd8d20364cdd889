// A process writing vendaro.ini is killed (SIGKILL: no clean-up of any kind) at a random moment
// of a long series of writes, over and over. After every kill the file is whole: it parses, the
// scripts nobody wrote are as they were, every key holds a value that some writer wrote to it,
// and the next writer goes ahead at once (no lock outlives its process).
#include <doctest/doctest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/ini_text.h"
#include "platform/posix/file_profile.h"
#include "store/script_store.h"
#include "store/tests/test_support.h"

namespace vendaro::test {
namespace {

namespace fs = std::filesystem;

constexpr int kKeys = 12;

const std::string kStart =
    "[Base]\r\nDSN_Driver=SQL Server\r\nDescription=Untouched\r\nServer=db1\r\n\r\n"
    "[Crash]\r\nDSN_Driver=SQL Server\r\n\r\n"
    "[Tail]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\nFIL=dBase IV\r\n";

std::string Key(int i) {
    return Cat("k", std::to_string(i));
}

// What generation `gen` writes to key `i` in round `round`.
std::string Value(int gen, long round, int i) {
    return Cat("g", std::to_string(gen), "-r", std::to_string(round), "-", Key(i));
}

// The writer: sets every key, removes some, adds and removes a section, and now and then copies
// a script, round after round until it is killed. Says it is ready once its first value that
// stays (its second key's) has landed.
[[noreturn]] void Writer(const std::string& dir, int gen, int ready_fd) {
    FileProfile profile;
    ScriptStore store(profile, dir, "vendaro", '/');
    for (long round = 0;; ++round) {
        for (int i = 0; i < kKeys; ++i) {
            store.WriteIniString("Crash", Key(i), Value(gen, round, i));
            // Once a value of this writer has landed, it may be killed at any moment.
            if (round == 0 && i == 1 && ::write(ready_fd, "r", 1) != 1) ::_exit(3);
            if ((round + i) % 5 == 0) store.WriteIniString("Crash", Key(i), "");
        }
        store.WriteIniString(Cat("Scratch", std::to_string(gen)), "DSN_Driver", "SQL Server");
        store.WriteIniString(Cat("Scratch", std::to_string(gen)), "", "");
        if (round % 40 == 0) store.CopySection("Base", Cat("Copy", std::to_string(gen)));
    }
}

// Parses a value written by Writer: its generation, and whether it is one for key `i`.
bool ParseValue(const std::string& value, int i, int& gen) {
    unsigned g = 0;
    long r = 0;
    int k = -1;
    int used = 0;
    if (std::sscanf(value.c_str(), "g%u-r%ld-k%d%n", &g, &r, &k, &used) != 3) return false;
    if (static_cast<std::size_t>(used) != value.size() || k != i) return false;
    gen = static_cast<int>(g);
    return value == Value(gen, r, i);
}

}  // namespace

TEST_CASE("a writer killed at any moment leaves a whole file holding values that were written") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    WriteBytes(ini, kStart);
    std::mt19937 random(20240611);
    constexpr int kKills = 120;
    int gens_with_progress = 0;
    int temp_files_left = 0;
    long checks = 0;

    for (int gen = 0; gen < kKills; ++gen) {
        INFO("kill number ", gen + 1);
        int ready[2];
        REQUIRE(::pipe(ready) == 0);
        std::fflush(nullptr);  // nothing buffered is written twice
        const pid_t pid = ::fork();
        REQUIRE(pid >= 0);
        if (pid == 0) {
            ::close(ready[0]);
            Writer(dir.path(), gen, ready[1]);
        }
        ::close(ready[1]);
        char byte = 0;
        REQUIRE(::read(ready[0], &byte, 1) == 1);
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        REQUIRE(::kill(pid, SIGKILL) == 0);
        int status = 0;
        REQUIRE(::waitpid(pid, &status, 0) == pid);
        REQUIRE(WIFSIGNALED(status));

        // The file is whole.
        const std::string bytes = ReadBytes(ini);
        REQUIRE(bytes != "<missing>");
        const ini::Document doc(bytes);
        int crash_headers = 0;
        ini::ForEachLine(bytes, [&](std::string_view line) {
            const ini::LineParts parts = ini::ClassifyLine(line, 0, line.size());
            CHECK((parts.kind == ini::LineKind::Blank || parts.kind == ini::LineKind::Header ||
                   parts.kind == ini::LineKind::Key));
            if (line == "[Crash]") ++crash_headers;
        });
        CHECK(crash_headers == 1);
        // The scripts nobody wrote are as they were; so are the copies of one of them.
        CHECK(doc.Get("Base", "Description") == "Untouched");
        CHECK(doc.Get("Base", "Server") == "db1");
        CHECK(doc.Get("Tail", "FIL") == "dBase IV");
        CHECK(bytes.find(kStart.substr(0, kStart.find("[Crash]"))) == 0);
        for (int g = 0; g <= gen; ++g) {
            const std::string copy = Cat("Copy", std::to_string(g));
            if (doc.Get(copy, "DSN_Driver")) CHECK(doc.Get(copy, "Description") == "Untouched");
        }
        // Every key holds a value written to it, by this writer or an earlier one.
        bool progressed = false;
        for (int i = 0; i < kKeys; ++i) {
            const std::optional<std::string> value = doc.Get("Crash", Key(i));
            if (!value) continue;
            int written_by = -1;
            CHECK_MESSAGE(ParseValue(*value, i, written_by), "key ", Key(i), " holds ", *value);
            CHECK(written_by <= gen);
            progressed = progressed || written_by == gen;
            ++checks;
        }
        if (progressed) ++gens_with_progress;

        // A killed writer may leave its temporary file behind, never anything else.
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name == "vendaro.ini") continue;
            CHECK(name.rfind(".vendaro.ini.tmp", 0) == 0);
            ++temp_files_left;
        }

        // No lock outlives its process: the next write goes ahead at once, and the next
        // program to write the file removes what killed writers left.
        FileProfile next;
        const auto start = std::chrono::steady_clock::now();
        CHECK(next.SetString("Crash", "survivor", std::to_string(gen), ini));
        CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(5));
        CHECK(next.GetString("Crash", "survivor", "", ini) == std::to_string(gen));
        std::vector<std::string> entries;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            entries.push_back(entry.path().filename().string());
        }
        CHECK(entries == std::vector<std::string>{"vendaro.ini"});
    }
    std::printf(
        "crash safety: %d kills, %d with the writer's values in the file, "
        "%ld key values checked, %d temporary files left by killed writers (removed by the "
        "next)\n",
        kKills, gens_with_progress, checks, temp_files_left);
    // Every kill landed in the middle of the series: each writer's values were there.
    CHECK(gens_with_progress == kKills);
}

}  // namespace vendaro::test
