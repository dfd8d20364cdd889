// The POSIX profile's own guarantees beyond the INI rules: a failed write leaves the file byte
// for byte, failures say why, permissions and links stay.
#include "platform/posix/file_profile.h"

#include <doctest/doctest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ranges>
#include <tuple>
#include <vector>

#include "platform/failure.h"
#include "platform/tests/posix/faulty_file_system.h"
#include "testing/scratch.h"

namespace vendaro {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

// A scratch folder and the profile file in it.
struct Scratch {
    test::TempDir dir;
    std::string ini = (dir.path() / "vendaro.ini").string();
    // How many entries the folder holds: a write leaves no temporary or lock file behind.
    long Entries() const { return std::ranges::distance(fs::directory_iterator(dir.path())); }
};

struct stat StatOf(const std::string& path) {
    struct stat st {};
    REQUIRE(::stat(path.c_str(), &st) == 0);
    return st;
}

const std::string kBefore =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Stock]\r\nk=v\r\n";
const KeyEdit kSave[] = {{"Description", "All sales"}, {"DSN_Driver", "", true}, {"n", "1"}};
// A changed value, an editor's Save, a Save under a new name, an append. The other writes make
// their text by the same rules and replace the file the same way.
const std::function<bool(Profile&, const std::string&)> kWrites[] = {
    [](Profile& p, auto& f) { return p.SetString("Stock", "k", "x", f); },
    [](Profile& p, auto& f) { return p.WriteKeys("Sales", kSave, f) == 3; },
    [](Profile& p, auto& f) { return p.WriteKeysAndRemoveSection("Sold", kSave, "Sales", f); },
    [](Profile& p, auto& f) { return p.Append(f, "\r\r\n[Copy]\r\nk=v"); },
};

}  // namespace

TEST_CASE_FIXTURE(Scratch, "a write failing at any step leaves the file byte for byte, says so") {
    const std::string fresh = (dir.path() / "new.ini").string();
    FaultyFileSystem files;
    FileProfile profile(files);
    for (std::size_t w = 0; w < std::size(kWrites); ++w) {
        CAPTURE(w);
        WriteFile(ini, kBefore);
        REQUIRE(kWrites[w](profile, ini));
        const std::string after = ReadFile(ini);
        // Creating the temporary fails (-2), renaming it fails (-1), writing fails after n bytes;
        // room for exactly the new bytes is enough.
        for (auto n = -2LL; n <= static_cast<long long>(after.size()); ++n) {
            CAPTURE(n);
            const bool room = n == static_cast<long long>(after.size());
            WriteFile(ini, kBefore);
            CHECK(profile.GetString("Sales", "Description", "", ini) == "Sales figures");
            files.faults = {n == -2, n < 0 ? -1 : n, n == -1, {}};
            CHECK(kWrites[w](profile, ini) == room);
            const bool error_kept = profile.last_error() != 0;  // a failure keeps its number
            CHECK(error_kept == !room);
            CHECK(ReadFile(ini) == (room ? after : kBefore));
            if (!room) CHECK(profile.GetString("Sales", "Description", "", ini) == "Sales figures");
            if (!kWrites[w](profile, fresh)) CHECK_FALSE(fs::exists(fresh));
            fs::remove(fresh);
            CHECK(Entries() == 1);
            files.faults = {};
        }
    }
}

TEST_CASE_FIXTURE(Scratch, "failures say why and change nothing, defaults, whole-file reads") {
    const std::string base = dir.path().string();
    fs::create_directory(base + "/folder.ini");
    WriteFile(base + "/plain", "x");
    WriteFile(base + "/ok.ini", "[s]\r\nk=v\r\n");
    const std::vector<std::tuple<std::string, std::string, std::string, std::string, int>> rows = {
        {base + "/nodir/vendaro.ini", "s", "k", "v", ENOENT},
        {base + "/folder.ini", "s", "k", "v", EISDIR},
        {base + "/folder.ini/", "s", "k", "v", EISDIR},
        {base + "/plain/vendaro.ini", "s", "k", "v", ENOTDIR},
        {"", "s", "k", "v", ENOENT},
        {base + "/new.ini", "s", "k", "a\r\n[x]", EINVAL},
    };
    FileProfile profile;
    for (const auto& [path, section, key, value, error] : rows) {
        INFO(path);
        CHECK_FALSE(profile.SetString(section, key, value, path));
        CHECK(profile.last_error() == error);
        CHECK(profile.GetString("s", "x", "def", path) == "def");
    }
    for (const std::string& path : {base + "/nodir/vendaro.ini", base + "/folder.ini", base}) {
        INFO(path);
        CHECK_FALSE(profile.Append(path, "x"));
        CHECK(profile.ReadAll(path) == std::nullopt);
    }
    const KeyEdit partly[] = {{"k", "v"}, {"k\n", "x"}};  // written up to the bad one, and said
    CHECK(profile.WriteKeys("s", partly, base + "/ok.ini") == 1);
    CHECK(profile.last_error() == EINVAL);
    CHECK(ReadFile(base + "/ok.ini") == "[s]\r\nk=v\r\n");
    CHECK(Entries() == 3);

    // The default as GetPrivateProfileStringA hands it back.
    const std::string missing = base + "/nodir/vendaro.ini", d2047(2047, 'd');
    // clang-format off
    const std::pair<std::string, std::string> defaults[] = {{"def", "def"}, {"def   ", "def"},
        {"   ", ""}, {"de\0f"s, "de"}, {"\"q\"", "\"q\""}, {"  d", "  d"}, {d2047 + "dd", d2047}};
    // clang-format on
    for (const auto& [def, expected] : defaults) {
        CHECK_MESSAGE(profile.GetString("s", "k", def, missing) == expected, def);
        CHECK_MESSAGE(profile.Snapshot(missing)->GetString("s", "k", def) == expected, def);
    }
    CHECK(profile.ReadAll(ini) == std::nullopt);
    CHECK(profile.Append(ini, "a\0b"s));
    CHECK(profile.Append(ini, "\r\r\n[c]"));
    CHECK(profile.ReadAll(ini) == "a\0b\r\r\n[c]"s);
}

// A write replaces the file, keeping its mode and links; no change, no write.
TEST_CASE_FIXTURE(Scratch, "writes keep mode and links, write nothing unchanged") {
    const std::string real = (dir.path() / "real.ini").string();
    FileProfile profile;
    WriteFile(real, "[s]\nk = v\n");
    REQUIRE(::chmod(real.c_str(), 0640) == 0);
    const bool as_root = ::getuid() == 0;  // only root can give a file away; CI runs as root
    // The writer's own file in another group: the group alone differs, and stays.
    if (as_root) REQUIRE(::chown(real.c_str(), 0, 65534) == 0);
    REQUIRE(::symlink(real.c_str(), ini.c_str()) == 0);
    test::Age(real);
    const struct stat before = StatOf(real);
    CHECK(profile.SetString("S", "K", "v", ini));
    CHECK(profile.DeleteKey("s", "missing", ini));
    CHECK(profile.DeleteSection("missing", ini));
    CHECK(profile.Append(ini, ""));
    CHECK(StatOf(real).st_ino == before.st_ino);
    CHECK(StatOf(real).st_mtim.tv_sec == before.st_mtim.tv_sec);

    // Replaced, not rewritten in place; the link stays a link.
    CHECK(profile.SetString("s", "k", "w", ini));
    CHECK(StatOf(real).st_ino != before.st_ino);
    CHECK(profile.Append(ini, "\r\r\n[t]"));
    CHECK(fs::is_symlink(ini));
    CHECK(ReadFile(real) == "[s]\nk=w\r\n\r\r\n[t]");
    CHECK(fs::status(real).permissions() == fs::perms{0640});
    if (as_root) CHECK(StatOf(real).st_gid == 65534);

    const mode_t old_mask = ::umask(022);
    CHECK(profile.SetString("s", "k", "v", (dir.path() / "fresh.ini").string()));
    ::umask(old_mask);
    CHECK(fs::status(dir.path() / "fresh.ini").permissions() == fs::perms{0644});
}

TEST_CASE_FIXTURE(Scratch,
                  "a file rewritten in place meanwhile is read again, one never at rest fails") {
    WriteFile(ini, kBefore);
    FaultyFileSystem files;
    FileProfile profile(files);
    int rewrites = 0;
    // Another program rewrites the file in place, without the lock, as unixODBC does.
    files.faults.while_writing = [&] {
        if (rewrites++ == 0) WriteFile(ini, "[Other]\r\nk=1\r\n");
    };
    CHECK(profile.SetString("Stock", "k", "x", ini));
    CHECK(ReadFile(ini) == "[Other]\r\nk=1\r\n[Stock]\r\nk=x\r\n");
    files.faults.while_writing = [&] {
        WriteFile(ini, "[Other]\r\nk=" + std::to_string(++rewrites) + "\r\n");
    };
    ClearFailure();
    CHECK_FALSE(profile.SetString("Stock", "k", "y", ini));
    CHECK(profile.last_error() == EAGAIN);
    CHECK(TakeFailure().find("kept changing") != std::string::npos);
    CHECK(ReadFile(ini).find("[Stock]") == std::string::npos);
    CHECK(Entries() == 1);
}

TEST_CASE_FIXTURE(Scratch, "the sweep removes only this user's temporaries of runs that are gone") {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    REQUIRE(::waitpid(child, nullptr, 0) == child);
    const std::string dead = std::to_string(child), temp = ".vendaro.ini.tmp";
    struct Row {
        const char* name;
        std::string file;
        bool removed;
    };
    const Row rows[] = {
        {"a dead run's", temp + dead + "-9", true},
        {"a running process's", temp + "1-1", false},
        {"a user's file named alike", temp + dead + "-my-notes", false},
        {"a number spelled otherwise", temp + "0" + dead + "-1", false},
        {"a number too long for a pid", temp + "1000000000-1", false},
        {"another user's", temp + dead + "-2", false},
        {"a link", temp + dead + "-3", false},
    };
    WriteFile(ini, kBefore);
    for (const Row& row : rows) {
        const fs::path path = dir.path() / row.file;
        std::string(row.name) == "a link" ? fs::create_symlink(ini, path)
                                          : WriteFile(path, "Password=secret");
        if (std::string(row.name) == "another user's")
            REQUIRE(::chown(path.c_str(), 65534, 65534) == 0);
    }
    CHECK(FileProfile().SetString("Stock", "k", "x", ini));
    for (const Row& row : rows) {
        CHECK_MESSAGE(fs::exists(fs::symlink_status(dir.path() / row.file)) != row.removed,
                      std::string(row.name));
    }
}

TEST_CASE_FIXTURE(Scratch,
                  "in a folder whose entries can only be added the file is written in place") {
    WriteFile(ini, kBefore);
    const std::string folder = dir.path().string();
    if (std::system(("chattr +a '" + folder + "' 2>/dev/null").c_str()) != 0)
        return;  // no such folders here
    const bool ok = FileProfile().SetString("Stock", "k", "x", ini);
    const long entries = Entries();
    REQUIRE(std::system(("chattr -a '" + folder + "'").c_str()) == 0);
    CHECK(ok);
    CHECK(entries == 1);
    CHECK(ReadFile(ini) ==
          "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n[Stock]\r\nk=x\r\n");
}

}  // namespace vendaro
