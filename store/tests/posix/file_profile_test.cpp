// The POSIX profile's own guarantees: atomic replacement, the lock between processes, honest
// failures, kept permissions, the parsed copy's coherence, and its speed.
#include "platform/posix/file_profile.h"
#include "platform/tests/posix/faulty_file_system.h"

#include <doctest/doctest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/program_path.h"
#include "store/script_store.h"
#include "store/tests/test_support.h"

namespace vendaro::test {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    REQUIRE(::stat(path.c_str(), &st) == 0);
    return st;
}

// Names in the directory other than the ones given (left-over temporary files).
std::vector<std::string> OtherEntries(const ScratchDir& dir, std::vector<std::string> known) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        std::string name = entry.path().filename().string();
        bool is_known = false;
        for (const std::string& k : known) is_known = is_known || name == k;
        if (!is_known) others.push_back(name);
    }
    return others;
}

// Sets the file's modification time `seconds` into the past (as if written in an earlier
// session) and waits until its change time (which that sets to now) lies a while back too.
void Age(const std::string& path, int seconds) {
    timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    REQUIRE(::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

// Runs `body` in a child process; returns its exit status (0 when `body` returned true).
template <typename Body>
int InChild(Body body) {
    pid_t pid = ::fork();
    REQUIRE(pid >= 0);
    if (pid == 0) ::_exit(body() ? 0 : 1);
    int status = 0;
    REQUIRE(::waitpid(pid, &status, 0) == pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

}  // namespace

TEST_CASE("two processes writing the same file at once lose no write") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    constexpr int kWrites = 60;
    int go[2];
    REQUIRE(::pipe(go) == 0);
    // Both start on a missing file, so they also race to create it.
    auto writer = [&](int id) {
        char byte = 0;
        if (::read(go[0], &byte, 1) != 1) return false;
        FaultyFileSystem files;
        FileProfile profile(files);
        ScriptStore store(profile, dir.path(), "vendaro", '/');
        bool ok = true;
        for (int n = 0; n < kWrites; ++n) {
            const std::string name = Cat("w", std::to_string(id), "_", std::to_string(n));
            ok = profile.SetString("Shared", name, Cat("v", std::to_string(n)), ini) && ok;
            ok = profile.SetString(Cat("Own", std::to_string(id)), name, "x", ini) && ok;
            if (n % 10 == 0) {
                ok = profile.Append(ini, Cat("\r\r\n[Copy", name, "]\r\nk=", name)) && ok;
                ok = store.WriteIniString(Cat("Copy", name), "j", "y") && ok;
            }
            if (n % 3 == 0) ok = profile.DeleteKey(Cat("Own", std::to_string(id)), name, ini) && ok;
        }
        return ok;
    };
    std::vector<pid_t> children;
    for (int id = 0; id < 2; ++id) {
        pid_t pid = ::fork();
        REQUIRE(pid >= 0);
        if (pid == 0) ::_exit(writer(id) ? 0 : 1);
        children.push_back(pid);
    }
    REQUIRE(::write(go[1], "gg", 2) == 2);
    ::close(go[0]);
    ::close(go[1]);
    for (pid_t pid : children) {
        int status = 0;
        REQUIRE(::waitpid(pid, &status, 0) == pid);
        CHECK(WIFEXITED(status));
        CHECK(WEXITSTATUS(status) == 0);
    }

    FileProfile check;
    for (int id = 0; id < 2; ++id) {
        for (int n = 0; n < kWrites; ++n) {
            const std::string name = Cat("w", std::to_string(id), "_", std::to_string(n));
            INFO(name);
            CHECK(check.GetString("Shared", name, "lost", ini) == Cat("v", std::to_string(n)));
            CHECK(check.GetString(Cat("Own", std::to_string(id)), name, "gone", ini) ==
                  (n % 3 == 0 ? "gone" : "x"));
            if (n % 10 == 0) {
                CHECK(check.GetString(Cat("Copy", name), "k", "lost", ini) == name);
                CHECK(check.GetString(Cat("Copy", name), "j", "lost", ini) == "y");
            }
        }
    }
    CHECK(OtherEntries(dir, {"vendaro.ini"}).empty());
}

TEST_CASE("a failing write leaves the old file and no temporary file") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    const std::string before =
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Stock]\r\nk=v\r\n";
    FaultyFileSystem files;
    FileProfile profile(files);

    struct Fault {
        const char* what;
        WriteFaults faults;
    };
    const std::vector<Fault> faults = {
        {"the temporary file cannot be created", {true, -1, false}},
        {"nothing can be written", {false, 0, false}},
        {"the disk fills after 10 bytes", {false, 10, false}},
        {"the file cannot be replaced", {false, -1, true}},
    };
    for (const Fault& fault : faults) {
        INFO(std::string(fault.what));
        WriteBytes(ini, before);
        CHECK(profile.GetString("Sales", "Description", "", ini) == "Sales figures");
        files.faults = fault.faults;
        CHECK_FALSE(profile.SetString("Sales", "Description", "All sales", ini));
        CHECK(profile.last_error() != 0);
        CHECK_FALSE(profile.SetString("Orders", "DSN_Driver", "SQL Server", ini));
        CHECK_FALSE(profile.DeleteKey("Sales", "Description", ini));
        CHECK_FALSE(profile.DeleteSection("Sales", ini));
        CHECK_FALSE(profile.Append(ini, "\r\r\n[Copy]\r\nk=v"));
        CHECK(ReadBytes(ini) == before);
        CHECK(profile.GetString("Sales", "Description", "", ini) == "Sales figures");
        CHECK(OtherEntries(dir, {"vendaro.ini"}).empty());

        // Nor does a failing write create a missing file.
        const std::string fresh = dir.File("new.ini");
        CHECK_FALSE(profile.SetString("Sales", "Description", "x", fresh));
        CHECK_FALSE(profile.Append(fresh, Cat("[a]\r\nk=", std::string(40, 'x'))));
        CHECK_FALSE(PathExists(fresh));
        CHECK(OtherEntries(dir, {"vendaro.ini"}).empty());

        files.faults = WriteFaults{};
        CHECK(profile.SetString("Sales", "Description", "All sales", ini));
        CHECK(profile.last_error() == 0);
        CHECK(profile.GetString("Sales", "Description", "", ini) == "All sales");
    }
    SUBCASE("the disk fills one byte short of the new content, or just fits it") {
        const std::string after =
            "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=All sales\r\n[Stock]\r\nk=v\r\n";
        WriteBytes(ini, before);
        files.faults.fail_after_bytes = static_cast<std::int64_t>(after.size()) - 1;
        CHECK_FALSE(profile.SetString("Sales", "Description", "All sales", ini));
        CHECK(ReadBytes(ini) == before);
        files.faults.fail_after_bytes = static_cast<std::int64_t>(after.size());
        CHECK(profile.SetString("Sales", "Description", "All sales", ini));
        CHECK(ReadBytes(ini) == after);
    }
}

TEST_CASE("failures are reported with their cause") {
    ScratchDir dir;
    FaultyFileSystem files;
    FileProfile profile(files);
    SUBCASE("a missing directory") {
        const std::string ini = dir.File("nodir") + "/vendaro.ini";
        CHECK_FALSE(profile.SetString("s", "k", "v", ini));
        CHECK(profile.last_error() == ENOENT);
        CHECK_FALSE(profile.DeleteKey("s", "k", ini));
        CHECK_FALSE(profile.DeleteSection("s", ini));
        CHECK_FALSE(profile.Append(ini, "x"));
        CHECK_FALSE(PathExists(dir.File("nodir")));
    }
    SUBCASE("a directory in the file's place") {
        const std::string ini = dir.File("vendaro.ini");
        MakeDirectory(ini);
        CHECK_FALSE(profile.SetString("s", "k", "v", ini));
        CHECK(profile.last_error() == EISDIR);
        CHECK_FALSE(profile.DeleteKey("s", "k", ini));
        CHECK_FALSE(profile.DeleteSection("s", ini));
        CHECK_FALSE(profile.Append(ini, "x"));
        CHECK(profile.ReadAll(ini) == std::nullopt);
        CHECK(profile.GetString("s", "k", "def", ini) == "def");
        CHECK(fs::is_directory(ini));
        CHECK_FALSE(profile.SetString("s", "k", "v", ini + "/"));
    }
    SUBCASE("a file in the directory's place") {
        WriteBytes(dir.File("plain"), "x");
        CHECK_FALSE(profile.SetString("s", "k", "v", dir.File("plain") + "/vendaro.ini"));
        CHECK(profile.last_error() == ENOTDIR);
    }
    SUBCASE("an empty path") {
        CHECK_FALSE(profile.SetString("s", "k", "v", ""));
        CHECK(profile.GetString("s", "k", "def", "") == "def");
    }
    SUBCASE("CR, LF and NUL are refused and change nothing") {
        const std::string ini = dir.File("vendaro.ini");
        WriteBytes(ini, "[s]\r\nk=v\r\n");
        for (const std::string& bad : {"a\rb"s, "a\nb"s, "a\0b"s}) {
            CHECK_FALSE(profile.SetString(bad, "k", "x", ini));
            CHECK(profile.last_error() == EINVAL);
            CHECK_FALSE(profile.SetString("s", bad, "x", ini));
            CHECK_FALSE(profile.SetString("s", "k", bad, ini));
            CHECK_FALSE(profile.DeleteKey(bad, "k", ini));
            CHECK_FALSE(profile.DeleteKey("s", bad, ini));
            CHECK_FALSE(profile.DeleteSection(bad, ini));
        }
        CHECK(ReadBytes(ini) == "[s]\r\nk=v\r\n");
        CHECK_FALSE(profile.SetString("s", "k", "x\r\n", dir.File("new.ini")));
        CHECK_FALSE(PathExists(dir.File("new.ini")));
    }
    SUBCASE("deleting from a missing file succeeds and creates nothing") {
        const std::string ini = dir.File("vendaro.ini");
        CHECK(profile.DeleteKey("s", "k", ini));
        CHECK(profile.DeleteSection("s", ini));
        CHECK(profile.Append(ini, ""));
        CHECK_FALSE(PathExists(ini));
    }
}

TEST_CASE("a read-only file or directory stops writes; reads go on") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    WriteBytes(ini, "[s]\r\nk=v\r\n");
    REQUIRE(::chmod(ini.c_str(), 0444) == 0);
    // Root writes anything, so the checks run in a child that gives up root (CI runs as root).
    const int status = InChild([&] {
        if (::geteuid() == 0) {
            if (::chmod(dir.path().c_str(), 0777) != 0 || ::setgid(65534) != 0 ||
                ::setuid(65534) != 0) {
                return false;
            }
        }
        FaultyFileSystem files;
        FileProfile profile(files);
        bool ok = profile.GetString("s", "k", "", ini) == "v";
        ok = ok && !profile.SetString("s", "k", "new", ini) && profile.last_error() == EACCES;
        ok = ok && !profile.DeleteKey("s", "k", ini) && !profile.DeleteSection("s", ini);
        ok = ok && !profile.Append(ini, "x");
        return ok;
    });
    CHECK(status == 0);
    CHECK(ReadBytes(ini) == "[s]\r\nk=v\r\n");

    REQUIRE(::chmod(ini.c_str(), 0644) == 0);
    const int dir_status = InChild([&] {
        if (::geteuid() == 0) {
            if (::chmod(ini.c_str(), 0666) != 0 || ::chmod(dir.path().c_str(), 0555) != 0 ||
                ::setgid(65534) != 0 || ::setuid(65534) != 0) {
                return false;
            }
        } else if (::chmod(dir.path().c_str(), 0555) != 0) {
            return false;
        }
        FaultyFileSystem files;
        FileProfile profile(files);
        return !profile.SetString("s", "k", "new", ini) && profile.last_error() == EACCES &&
               profile.GetString("s", "k", "", ini) == "v";
    });
    ::chmod(dir.path().c_str(), 0755);
    CHECK(dir_status == 0);
    CHECK(ReadBytes(ini) == "[s]\r\nk=v\r\n");
}

TEST_CASE("a write replaces the file, keeping its permissions") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    FaultyFileSystem files;
    FileProfile profile(files);
    SUBCASE("an existing file keeps its mode") {
        WriteBytes(ini, "[s]\r\nk=v\r\n");
        REQUIRE(::chmod(ini.c_str(), 0640) == 0);
        const ino_t old_inode = StatOf(ini).st_ino;
        CHECK(profile.SetString("s", "k", "w", ini));
        CHECK((StatOf(ini).st_mode & 07777) == 0640);
        CHECK(StatOf(ini).st_ino != old_inode);  // replaced, not rewritten in place
        CHECK(profile.Append(ini, "\r\r\n[t]"));
        CHECK((StatOf(ini).st_mode & 07777) == 0640);
    }
    SUBCASE("a new file gets the usual mode") {
        const mode_t old_mask = ::umask(022);
        CHECK(profile.SetString("s", "k", "v", ini));
        ::umask(old_mask);
        CHECK((StatOf(ini).st_mode & 07777) == 0644);
    }
    SUBCASE("a link is followed and stays a link") {
        const std::string real = dir.File("real.ini");
        WriteBytes(real, "[s]\r\nk=v\r\n");
        REQUIRE(::symlink(real.c_str(), ini.c_str()) == 0);
        CHECK(profile.SetString("s", "k", "w", ini));
        CHECK(fs::is_symlink(ini));
        CHECK(ReadBytes(real) == "[s]\r\nk=w\r\n");
    }
    SUBCASE("a value already there leaves the file untouched") {
        WriteBytes(ini, "[s]\nk = v\n");
        Age(ini, 60);
        const struct stat before = StatOf(ini);
        CHECK(profile.SetString("S", "K", "v", ini));
        CHECK(profile.DeleteKey("s", "missing", ini));
        CHECK(profile.DeleteSection("missing", ini));
        const struct stat after = StatOf(ini);
        CHECK(after.st_ino == before.st_ino);
        CHECK(after.st_mtim.tv_sec == before.st_mtim.tv_sec);
        CHECK(ReadBytes(ini) == "[s]\nk = v\n");
    }
}

TEST_CASE("the parsed copy follows every change of the file") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    FaultyFileSystem files;
    FileProfile profile(files);
    WriteBytes(ini, "[s]\r\nk=aaaa\r\n");
    Age(ini, 60);
    CHECK(profile.GetString("s", "k", "", ini) == "aaaa");
    CHECK(profile.GetString("s", "k", "", ini) == "aaaa");
    SUBCASE("rewritten in place, same size, times put back") {
        const struct stat old = StatOf(ini);
        WriteBytes(ini, "[s]\r\nk=bbbb\r\n");
        timespec times[2] = {old.st_atim, old.st_mtim};
        REQUIRE(::utimensat(AT_FDCWD, ini.c_str(), times, 0) == 0);
        CHECK(profile.GetString("s", "k", "", ini) == "bbbb");
    }
    SUBCASE("replaced by another file") {
        const std::string other = dir.File("other.ini");
        WriteBytes(other, "[s]\r\nk=cccc\r\n");
        REQUIRE(::rename(other.c_str(), ini.c_str()) == 0);
        CHECK(profile.GetString("s", "k", "", ini) == "cccc");
    }
    SUBCASE("written by another profile object") {
        FileProfile another;
        CHECK(another.SetString("s", "k", "dddd", ini));
        CHECK(profile.GetString("s", "k", "", ini) == "dddd");
    }
    SUBCASE("written through another name for the same file") {
        CHECK(profile.SetString("s", "k", "eeee", dir.path() + "/./vendaro.ini"));
        CHECK(profile.GetString("s", "k", "", ini) == "eeee");
    }
    SUBCASE("written over and over within one tick of the clock") {
        for (int n = 0; n < 50; ++n) {
            const std::string value = Cat("v", std::to_string(1000 + n));
            WriteBytes(ini, Cat("[s]\r\nk=", value, "\r\n"));
            REQUIRE(profile.GetString("s", "k", "", ini) == value);
        }
    }
    SUBCASE("removed") {
        REQUIRE(::unlink(ini.c_str()) == 0);
        CHECK(profile.GetString("s", "k", "gone", ini) == "gone");
    }
}

TEST_CASE("GetString's default") {
    FaultyFileSystem files;
    FileProfile profile(files);
    const std::string missing = "/nonexistent-vendaro-dir/vendaro.ini";
    CHECK(profile.GetString("s", "k", "def", missing) == "def");
    CHECK(profile.GetString("s", "k", "def   ", missing) == "def");
    CHECK(profile.GetString("s", "k", "   ", missing) == "");
    CHECK(profile.GetString("s", "k", "de\0f"s, missing) == "de");
    CHECK(profile.GetString("s", "k", "\"q\"", missing) == "\"q\"");
    CHECK(profile.GetString("s", "k", std::string(3000, 'd'), missing) == std::string(2047, 'd'));
}

TEST_CASE("ReadAll and Append") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    FaultyFileSystem files;
    FileProfile profile(files);
    CHECK(profile.ReadAll(ini) == std::nullopt);
    CHECK(profile.Append(ini, "a\0b"s));
    CHECK(profile.ReadAll(ini) == "a\0b"s);
    CHECK(profile.Append(ini, "\r\r\n[c]"));
    CHECK(profile.ReadAll(ini) == "a\0b\r\r\n[c]"s);
    CHECK(profile.ReadAll(dir.path()) == std::nullopt);
    CHECK(OtherEntries(dir, {"vendaro.ini"}).empty());
}

TEST_CASE("ProgramPath names the running executable") {
    const std::string path = ProgramPath();
    REQUIRE_FALSE(path.empty());
    CHECK(path.front() == '/');
    CHECK(fs::path(path).filename() == "store_tests");
    CHECK(fs::is_regular_file(path));
}

TEST_CASE("start-up over 10,000 scripts stays linear") {
    ScratchDir dir;
    const std::string ini = dir.File("vendaro.ini");
    std::string bytes;
    for (int n = 0; n < 10000; ++n) {
        const std::string name = Cat("Script", std::to_string(n));
        bytes += Cat("[", name, "]\r\nDSN_Driver=Adaptive Server Anywhere 6.0\r\n");
        bytes += Cat("Description=Database number ", std::to_string(n), "\r\n");
        for (int k = 0; k < 17; ++k) {
            bytes += Cat("Key", std::to_string(k), "=value of key ", std::to_string(k), "\r\n");
        }
        bytes += "\r\n";
    }
    WriteBytes(ini, bytes);
    FaultyFileSystem files;
    FileProfile profile(files);
    ScriptStore store(profile, dir.path(), "vendaro", '/');

    auto time_listing = [&](std::vector<ScriptRow>& rows) {
        const auto start = std::chrono::steady_clock::now();
        rows = store.ListScripts();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    std::vector<ScriptRow> rows;
    const double fresh_ms = time_listing(rows);
    Age(ini, 60);  // as at a normal start, long after the last write
    FileProfile cold_profile;
    ScriptStore cold_store(cold_profile, dir.path(), "vendaro", '/');
    const auto start = std::chrono::steady_clock::now();
    rows = cold_store.ListScripts();
    const double settled_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    MESSAGE("ListScripts over 10,000 scripts ("
            << bytes.size() << " bytes): " << settled_ms
            << " ms; just after the file was written: " << fresh_ms << " ms");
    REQUIRE(rows.size() == 10000);
    CHECK(rows[0].name == "Script0");
    CHECK(rows[9999].description == "Database number 9999");
    CHECK(rows[4321].driver == "Adaptive Server Anywhere 6.0");
    // Generous for sanitizer builds on a busy machine; a parse per read would take minutes.
    CHECK(settled_ms < 5000);
    CHECK(fresh_ms < 10000);
}

}  // namespace vendaro::test
