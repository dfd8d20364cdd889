// Eight processes write the same vendaro.ini at once, each 200 keys of its own (some into a
// shared script, some into its own), rewriting some and removing others, adding and removing
// a script; two more processes read the file all the while. Afterwards every surviving key
// holds its last value, every removed one is gone, and nothing else changed; no read ever saw a
// torn file.
#include <doctest/doctest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/ini_text.h"
#include "platform/posix/file_profile.h"
#include "store/script_store.h"
#include "store/tests/test_support.h"

namespace vendaro::test {
namespace {

namespace fs = std::filesystem;

constexpr int kWriters = 8;
constexpr int kReaders = 2;
constexpr int kKeys = 200;

const std::string kHead =
    "; scripts of the sales department\r\n"
    "[Base]\r\nDSN_Driver=SQL Server\r\nDescription=Untouched\r\nServer=db1\r\n\r\n";
const std::string kShared = "[Shared]\r\nDSN_Driver=SQL Server\r\n\r\n";
const std::string kTail = "[Tail]\r\nDSN_Driver=Microsoft dBase Driver (*.dbf)\r\nFIL=dBase IV\r\n";

std::string SectionOf(int writer, int n) {
    return n % 2 == 0 ? "Shared" : Cat("Writer", std::to_string(writer));
}
std::string KeyOf(int writer, int n) {
    return Cat("w", std::to_string(writer), "_k", std::to_string(n));
}

// What writer `writer` does to its key `n`, in order: written once; every fourth rewritten
// after the next key; every seventh removed three keys later.
bool Rewritten(int n) {
    return n % 4 == 2;
}
bool Removed(int n) {
    return n % 7 == 3;
}
std::string FirstValue(int writer, int n) {
    return Cat("v1-", std::to_string(writer), "-", std::to_string(n));
}
std::string LastValue(int writer, int n) {
    return Rewritten(n) ? Cat("v2-", std::to_string(writer), "-", std::to_string(n))
                        : FirstValue(writer, n);
}

int RunWriter(const std::string& dir, int writer, long& writes) {
    FileProfile profile;
    ScriptStore store(profile, dir, "vendaro", '/');
    int failures = 0;
    auto write = [&](const std::string& s, const std::string& k, const std::string& v) {
        ++writes;
        if (!store.WriteIniString(s, k, v)) {
            ++failures;
            std::fprintf(stderr, "writer %d: %s/%s=%s failed: %s\n", writer, s.c_str(), k.c_str(),
                         v.c_str(), std::strerror(profile.last_error()));
        }
    };
    const std::string scratch = Cat("Scratch", std::to_string(writer));
    for (int n = 0; n < kKeys; ++n) {
        write(SectionOf(writer, n), KeyOf(writer, n), FirstValue(writer, n));
        if (n >= 1 && Rewritten(n - 1)) {
            write(SectionOf(writer, n - 1), KeyOf(writer, n - 1), LastValue(writer, n - 1));
        }
        if (n >= 3 && Removed(n - 3)) write(SectionOf(writer, n - 3), KeyOf(writer, n - 3), "");
        if (n == 50) write(scratch, "DSN_Driver", "SQL Server");
        if (n == 60) write(scratch, "Description", "for a while");
        if (n == 150) write(scratch, "", "");
    }
    for (int n = kKeys - 3; n < kKeys; ++n) {
        if (Removed(n)) write(SectionOf(writer, n), KeyOf(writer, n), "");
    }
    return failures;
}

// Checks one read of the file while writers run: whole lines only, the untouched scripts
// exactly as they were, every writer's line holding a value that writer wrote to that key.
// Returns the problems found (empty when the read was whole).
std::string CheckWhole(const std::string& bytes) {
    if (bytes.compare(0, kHead.size(), kHead) != 0) return "the first script changed";
    if (bytes.find(kTail) == std::string::npos) return "the last script changed";
    if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) {
        return "the file does not end with a line end";
    }
    std::string problem;
    std::map<std::string, int> seen;
    ini::ForEachLine(bytes, [&](std::string_view line) {
        const ini::LineParts parts = ini::ClassifyLine(line, 0, line.size());
        if (parts.kind == ini::LineKind::Bare) problem = "a line cut short: " + std::string(line);
        if (parts.kind != ini::LineKind::Key || line.front() != 'w') return;
        const std::string name(line.substr(0, line.find('=')));
        const std::string value(line.substr(line.find('=') + 1));
        int writer = -1, n = -1;
        if (std::sscanf(name.c_str(), "w%d_k%d", &writer, &n) != 2 ||
            (value != FirstValue(writer, n) && value != LastValue(writer, n))) {
            problem = "a value nobody wrote: " + std::string(line);
        }
        if (++seen[name] > 1) problem = "a key twice: " + name;
    });
    return problem;
}

}  // namespace

TEST_CASE("eight processes writing one file at once lose no update; readers never see it torn") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    WriteBytes(ini, kHead + kShared + kTail);

    int go[2], stop[2], results[2];
    REQUIRE(::pipe(go) == 0);
    REQUIRE(::pipe(stop) == 0);
    REQUIRE(::pipe(results) == 0);
    std::vector<pid_t> writers, readers;
    for (int w = 0; w < kWriters; ++w) {
        std::fflush(nullptr);  // nothing buffered is written twice
        const pid_t pid = ::fork();
        REQUIRE(pid >= 0);
        if (pid == 0) {
            ::close(go[1]);
            char byte = 0;
            if (::read(go[0], &byte, 1) != 1) ::_exit(100);
            long writes = 0;
            const int failures = RunWriter(dir.path(), w, writes);
            const long report[2] = {writes, failures};
            if (::write(results[1], report, sizeof report) != sizeof report) ::_exit(101);
            ::_exit(failures == 0 ? 0 : 1);
        }
        writers.push_back(pid);
    }
    for (int r = 0; r < kReaders; ++r) {
        std::fflush(nullptr);  // nothing buffered is written twice
        const pid_t pid = ::fork();
        REQUIRE(pid >= 0);
        if (pid == 0) {
            ::close(go[1]);
            ::close(stop[1]);
            char byte = 0;
            if (::read(go[0], &byte, 1) != 1) ::_exit(100);
            FileProfile profile;
            long reads = 0;
            for (;;) {
                const std::optional<std::string> bytes = profile.ReadAll(ini);
                const std::string problem = bytes ? CheckWhole(*bytes) : "the file is missing";
                if (!problem.empty()) {
                    std::fprintf(stderr, "reader %d, read %ld: %s\n", r, reads, problem.c_str());
                    ::_exit(1);
                }
                // The parsed copy too, which the file keeps replacing under it.
                if (profile.GetString("Base", "Description", "", ini) != "Untouched" ||
                    profile.GetString("Tail", "FIL", "", ini) != "dBase IV") {
                    std::fprintf(stderr, "reader %d: a read of an untouched key failed\n", r);
                    ::_exit(1);
                }
                ++reads;
                // Stop once the writers are done (the parent closes the pipe).
                pollfd done{stop[0], POLLIN, 0};
                if (::poll(&done, 1, 0) > 0) break;
            }
            const long report[2] = {-reads, 0};
            if (::write(results[1], report, sizeof report) != sizeof report) ::_exit(101);
            ::_exit(0);
        }
        readers.push_back(pid);
    }
    ::close(go[0]);
    ::close(stop[0]);
    ::close(results[1]);
    const auto start = std::chrono::steady_clock::now();
    const std::string all(kWriters + kReaders, 'g');
    REQUIRE(::write(go[1], all.data(), all.size()) == static_cast<ssize_t>(all.size()));
    ::close(go[1]);

    for (pid_t pid : writers) {
        int status = 0;
        REQUIRE(::waitpid(pid, &status, 0) == pid);
        CHECK(WIFEXITED(status));
        CHECK(WEXITSTATUS(status) == 0);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(stop[1]);
    for (pid_t pid : readers) {
        int status = 0;
        REQUIRE(::waitpid(pid, &status, 0) == pid);
        CHECK(WIFEXITED(status));
        CHECK(WEXITSTATUS(status) == 0);  // a reader saw a torn file, or a wrong value
    }
    long writes = 0, failures = 0, reads = 0;
    long report[2];
    while (::read(results[0], report, sizeof report) == sizeof report) {
        if (report[0] < 0) {
            reads += -report[0];
        } else {
            writes += report[0];
            failures += report[1];
        }
    }
    ::close(results[0]);
    CHECK(failures == 0);

    // Every surviving key holds its last value, every removed one is gone, nothing else changed.
    const std::string bytes = ReadBytes(ini);
    CHECK(CheckWhole(bytes).empty());
    FileProfile check;
    ScriptStore store(check, dir.path(), "vendaro", '/');
    long lost = 0;
    std::map<std::string, std::string> expected;  // key line name -> value, per section
    for (int w = 0; w < kWriters; ++w) {
        for (int n = 0; n < kKeys; ++n) {
            const std::string got = store.ReadIniString(SectionOf(w, n), KeyOf(w, n), "<gone>");
            const std::string want = Removed(n) ? "<gone>" : LastValue(w, n);
            if (got != want) {
                ++lost;
                INFO(SectionOf(w, n), "/", KeyOf(w, n), ": ", got, " instead of ", want);
                CHECK(got == want);
            }
            if (!Removed(n)) expected[Cat(SectionOf(w, n), "/", KeyOf(w, n))] = want;
        }
        CHECK(store.ReadIniString(Cat("Scratch", std::to_string(w)), "DSN_Driver", "<gone>") ==
              "<gone>");
    }
    // No key line but the expected ones in the written scripts, and each once.
    std::map<std::string, std::string> found;
    std::string section;
    ini::ForEachLine(bytes, [&](std::string_view line) {
        const ini::LineParts parts = ini::ClassifyLine(line, 0, line.size());
        if (parts.kind == ini::LineKind::Header) {
            section = std::string(line.substr(1, line.size() - 2));
        } else if (parts.kind == ini::LineKind::Key && line.front() == 'w') {
            const std::string name(line.substr(0, line.find('=')));
            CHECK(found.count(Cat(section, "/", name)) == 0);
            found[Cat(section, "/", name)] = std::string(line.substr(line.find('=') + 1));
        }
    });
    CHECK(found == expected);
    CHECK(bytes.compare(0, kHead.size(), kHead) == 0);
    CHECK(bytes.find(kTail) != std::string::npos);
    CHECK(store.ReadIniString("Shared", "DSN_Driver") == "SQL Server");
    std::vector<std::string> headers;
    for (const ScriptRow& row : store.ListScripts()) headers.push_back(row.name);
    std::vector<std::string> want_headers = {"Base", "Shared", "Tail"};
    for (int w = 0; w < kWriters; ++w) want_headers.push_back(Cat("Writer", std::to_string(w)));
    std::sort(headers.begin(), headers.end());
    std::sort(want_headers.begin(), want_headers.end());
    CHECK(headers == want_headers);
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        entries.push_back(entry.path().filename().string());
    }
    CHECK(entries == std::vector<std::string>{"vendaro.ini"});

    std::printf(
        "concurrent writers: %d processes, %ld writes (sets and removals) in %.1f s, %ld failed, "
        "%ld lost updates; %d readers made %ld whole reads\n",
        kWriters, writes, seconds, failures, lost, kReaders, reads);
    CHECK(lost == 0);
    CHECK(reads > 0);
}

}  // namespace vendaro::test
