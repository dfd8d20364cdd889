// The built Linux program run as a process, creating real unixODBC data sources in a scratch
// folder (its HOME, ODBCINI and ODBCSYSINI: unixODBC finds the user's file without $HOME).
#include <doctest/doctest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "testing/scratch.h"

namespace vendaro {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

const std::string kScripts =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n\r\n"
    "[Orders]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDBQ=C:\\o.mdb\r\n\r\n"
    "[Long]\r\nDSN_Driver=SQL Server\r\nDatabase=" +
    std::string(991, 'd') + "\r\n";
// The window as printed: the rows with the one at `selected` marked, then the status line.
std::string Window(int selected, const std::string& status) {
    const std::string rows[] = {"\tSales\tSales figures\tSQL Server\n",
                                "\tOrders\t\tMicrosoft Access Driver (*.mdb)\n",
                                "\tLong\t\tSQL Server\n"};
    std::string out = "0\nVendaro!\n\tDSN\tDescription\tDriver\n";
    for (int i = 0; i < 3; ++i) out += (i == selected ? "*" : "") + rows[i];
    return out + status + "\n";
}

// The program in opt/ beside its scripts, bin/vendaro a relative link to it and lbin/vendaro an
// absolute link to that link; the scratch folder itself holds another vendaro.ini.
struct Folder {
    test::TempDir dir;
    const fs::path& root = dir.path();
    Folder() {
        for (const char* folder : {"opt", "bin", "lbin", "etc"})
            fs::create_directory(root / folder);
        fs::copy_file(fs::path(VENDARO_BINARY_DIR) / "vendaro", root / "opt" / "vendaro");
        test::WriteFile(root / "opt" / "vendaro.ini", kScripts);
        test::WriteFile(root / "vendaro.ini", "[Decoy]\r\nDSN_Driver=SQL Server\r\n");
        fs::create_symlink("../opt/vendaro", root / "bin" / "vendaro");
        fs::create_symlink(root / "bin" / "vendaro", root / "lbin" / "vendaro");
    }
    // Runs shell `commands` in the folder, HOME, ODBCINI and ODBCSYSINI in it; the exit status.
    int Shell(const std::string& commands) const {
        const std::string line =
            "cd '" + root.string() +
            "' && export HOME=$PWD ODBCINI=$PWD/.odbc.ini ODBCSYSINI=$PWD/etc && " + commands;
        return WEXITSTATUS(std::system(line.c_str()));
    }
    // The exit status, then what the program wrote to stdout and stderr. `env`: more variables;
    // `wrap`: a command the program runs under (setpriv, unshare), given the rest as arguments.
    std::string Run(const std::string& args, const std::string& program = "opt/vendaro",
                    const std::string& env = "", const std::string& wrap = "") const {
        const int status = Shell("timeout 60 " + wrap + " env " + env + " ./" + program + " " +
                                 args + " >out 2>err");
        return std::to_string(status) + "\n" + ReadFile(root / "out") + ReadFile(root / "err");
    }
};

// A file's owner, group and permission bits: "0:100 664".
std::string Owner(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "missing";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%o", st.st_mode & 07777);
    return std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " + mode;
}

// Runs the rest as another user (CI runs as root), with the groups named.
std::string As(int uid, const std::string& groups) {
    return "setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(uid) +
           (groups.empty() ? " --clear-groups" : " --groups=" + groups);
}

// Runs the rest in a mount namespace of its own after `mount`.
std::string Mounted(const std::string& mount) {
    return "unshare -m sh -c '" + mount + " && exec \"$0\" \"$@\"'";
}

TEST_CASE("The Linux program: unattended runs, the printed window, failures, escaped names") {
    Folder f;
    CHECK(f.Run("") == Window(0, "Welcome to Vendaro! Press the F1 key for help."));
    CHECK(f.Shell("./opt/vendaro >/dev/full 2>err") == 1);  // the window lost: no success
    CHECK(ReadFile(f.root / "err") ==
          "vendaro: the window could not be printed (a full disk or a closed pipe)\n");
    CHECK(f.Run("'sales -se' <&-", "lbin/vendaro") == "0\n");  // stdin closed: 0 is a file's
    CHECK(f.Run("decoy -ue") == "2\nNo script named \"decoy\" in " + f.root.string() +
                                    "/opt/vendaro.ini; nothing was created.\n");
    // A value unixODBC would read back cut: nothing of it is written.
    CHECK(f.Run("long -ue") == "1\nUser DSN could not be created: " + f.root.string() +
                                   "/.odbc.ini: Database of [Long] is no line unixODBC reads back "
                                   "whole; nothing of it was written.\n");
    CHECK(f.Run("SALES -u") == Window(0, "User DSN has been created."));
    const std::string sales =
        "[Sales]\nDatabase=\nDescription=Sales figures\nDriver=\nLastUser=\nServer=srv1\n"
        "[ODBC Data Sources]\nSales=SQL Server\n";
    CHECK(ReadFile(f.root / ".odbc.ini") == sales);
    // It holds the deciphered passwords: the user's alone, whatever the umask.
    CHECK(Owner(f.root / ".odbc.ini") == "0:0 600");
    CHECK(ReadFile(f.root / "etc" / "odbc.ini") == sales);

    fs::remove_all(f.root / "etc");
    test::WriteFile(f.root / "etc", "");  // $ODBCSYSINI names a file, not a folder
    CHECK(f.Run("orders -s") ==
          Window(1, "System DSN could not be created: " + f.root.string() +
                        "/etc/odbc.ini: its folder is missing, or a folder has its name."));
    // Nothing else was written: no Windows ODBC.INI on Linux, the scripts only read.
    CHECK(std::distance(fs::directory_iterator(f.root), {}) == 8);
    CHECK(ReadFile(f.root / "opt" / "vendaro.ini") == kScripts);

    // Control characters of names are printed escaped.
    test::WriteFile(f.root / "opt" / "vendaro.ini", "[Ev\x1b[2Jil\tname]\r\nDSN_Driver=x\ty\r\n");
    const std::string out = f.Run("");
    CHECK(out.find("\tEv\\x1b[2Jil\\x09name\t\tx\\x09y\n") != std::string::npos);
    CHECK(out.find('\x1b') == std::string::npos);
}

TEST_CASE("An unattended failure says on one line why, and special files are refused at once") {
    Folder f;
    const std::string root = f.root.string(), odbc_ini = root + "/.odbc.ini";
    const std::string failed = "1\nUser DSN could not be created: ";
    struct Row {
        const char* name;
        std::string args, wrap, expected;
    };
    const std::string special = failed + odbc_ini +
                                ": it is no regular file (a FIFO, a device or a socket); nothing "
                                "was written.\n";
    const Row rows[] = {
        {"odbc.ini a FIFO", "sales -ue", "", special},
        {"odbc.ini a link to a device", "sales -ue", "", special},
        {"odbc.ini another user cannot write", "sales -ue", As(65534, ""),
         failed + odbc_ini + ": Permission denied.\n"},
        {"no /proc: the current folder's scripts are not read", "decoy -ue",
         Mounted("mount -t tmpfs none /proc"),
         "1\nvendaro: the program's own folder is unknown (/proc/self/exe: No such file or "
         "directory); no script was read.\n"},
    };
    for (const Row& row : rows) {
        SUBCASE(row.name) {
            const std::string name = row.name;
#ifdef __SANITIZE_ADDRESS__
            // The sanitizers' own runtime needs /proc.
            if (row.wrap.find("/proc") != std::string::npos) return;
#endif
            if (name == "odbc.ini a FIFO") REQUIRE(::mkfifo(odbc_ini.c_str(), 0600) == 0);
            if (name == "odbc.ini a link to a device") fs::create_symlink("/dev/null", odbc_ini);
            if (name == "odbc.ini another user cannot write") test::WriteFile(odbc_ini, "");
            CHECK(f.Run(row.args, "opt/vendaro", "", row.wrap) == row.expected);
        }
    }
}

TEST_CASE("A group-shared odbc.ini keeps its owner, group and mode for every member") {
    Folder f;
    const fs::path etc = f.root / "etc", ini = etc / "odbc.ini";
    test::WriteFile(ini, "[Other]\nServer=x\n");
    REQUIRE(::chown(etc.c_str(), 0, 100) == 0);
    REQUIRE(::chown(ini.c_str(), 0, 100) == 0);
    fs::permissions(etc, static_cast<fs::perms>(0775));
    fs::permissions(ini, static_cast<fs::perms>(0664));
    CHECK(f.Run("sales -se", "opt/vendaro", "", As(65534, "100")) == "0\n");
    CHECK(f.Run("orders -se", "opt/vendaro", "", As(65533, "100")) == "0\n");
    CHECK(Owner(ini) == "0:100 664");
    const std::string after = ReadFile(ini);
    CHECK(after.starts_with("[Other]\nServer=x\n[Sales]\n"));
    CHECK(after.find("Orders=Microsoft Access Driver (*.mdb)\n") != std::string::npos);
}

// A script of a driver whose setup library writes odbc.ini: the driver's step has a copy of it.
struct DriverFolder : Folder {
    DriverFolder() {
        test::WriteFile(root / "etc" / "odbcinst.ini",
                        "[Fake]\nDriver=/nonexistent/libfake.so\nSetup=" VENDARO_FAKE_SETUP "\n");
        test::WriteFile(root / "opt" / "vendaro.ini", "[Faked]\r\nDSN_Driver=Fake\r\n");
        fs::create_directory(root / "tmp");
    }
    std::size_t Entries(const std::string& folder) const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(root / folder), {}));
    }
};

TEST_CASE("The driver's copy of odbc.ini: never where another user reaches it, gone after kills") {
    DriverFolder f;
    // Runs killed while the driver works leave their copies, readable by nobody else; each next
    // run removes those of runs that are gone.
    CHECK(f.Shell("for i in 1 2 3 4 5; do TMPDIR=$PWD/tmp VENDARO_FAKE_SETUP_SLEEP_MS=5000 "
                  "./opt/vendaro faked -ue & sleep 0.3; kill -9 $!; wait $!; done") == 137);
    CHECK(f.Entries("tmp") == 1);
    for (const auto& left : fs::directory_iterator(f.root / "tmp")) {
        CHECK(Owner(left.path()) == "0:0 700");
        CHECK(Owner(left.path() / "odbc.ini") == "0:0 600");
    }
    fs::create_directories(f.root / "tmp" / "vendaro-odbc-77777x-abcdef");  // alike, not a run's
    CHECK(f.Run("faked -ue", "opt/vendaro", "TMPDIR=$PWD/tmp") == "0\n");
    CHECK(f.Entries("tmp") == 1);
    CHECK(ReadFile(f.root / ".odbc.ini").find("SetupBy=Fake") != std::string::npos);

    // A disk that fills while the driver works: what the driver wrote cannot be kept.
    fs::create_directory(f.root / "full");
    const std::string full = f.root.string() + "/full/.odbc.ini";
    CHECK(f.Run("faked -ue", "opt/vendaro",
                "TMPDIR=$PWD/tmp ODBCINI=$PWD/full/.odbc.ini VENDARO_FAKE_SETUP_FILL=$PWD/full/x",
                Mounted("mount -t tmpfs -o size=256k none full")) ==
          "1\nUser DSN could not be created: " + full +
              ": No space left on device; what the driver's setup changed in Faked was not "
              "kept.\n");
}

TEST_CASE("Beside odbcinst -i -s writing the same file, the user's data sources are all kept") {
    Folder f;
    std::string scripts, listed = "[ODBC Data Sources]\n", sections;
    for (int i = 0; i < 2000; ++i) {
        const std::string n = std::to_string(i);
        if (i < 4) scripts += "[V" + n + "]\r\nDSN_Driver=SQL Server\r\nServer=s\r\n";
        listed += "U" + n + "=PostgreSQL\n";
        sections += "[U" + n + "]\nDriver=PostgreSQL\nDatabase=d\n";
    }
    test::WriteFile(f.root / "opt" / "vendaro.ini", scripts);
    test::WriteFile(f.root / ".odbc.ini", listed + sections);
    test::WriteFile(f.root / "template", "[ByOdbcinst]\nDriver=PostgreSQL\n");
    for (int r = 0; r < 30; ++r) {
        f.Shell(
            "{ odbcinst -i -s -h -f template >/dev/null 2>&1 & "
            "for v in V0 V1 V2 V3; do ./opt/vendaro $v -ue 2>>err & done; wait; }");
        const std::string now = ReadFile(f.root / ".odbc.ini");
        int missing = 0;
        for (int i = 0; i < 2000; ++i) {
            if (now.find("[U" + std::to_string(i) + "]\n") == std::string::npos) ++missing;
        }
        INFO("round ", r);
        CHECK(missing == 0);
    }
}

TEST_CASE("A holder that never lets go of odbc.ini: the run gives up, names it, writes nothing") {
    Folder f;
    const std::string ini = (f.root / ".odbc.ini").string();
    test::WriteFile(ini, "[Old]\nDriver=x\n");
    const int holder = ::open(ini.c_str(), O_RDONLY | O_CLOEXEC);
    REQUIRE(::flock(holder, LOCK_EX) == 0);
    const auto start = std::chrono::steady_clock::now();
    const std::string run = f.Run("sales -ue");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    ::close(holder);
    CHECK(run == "1\nUser DSN could not be created: " + ini + " is in use by another program.\n");
    MESSAGE("the held run took " << took.count() << " s");
    CHECK(took.count() >= 10.0);
    CHECK(took.count() < 12.0);
    CHECK(ReadFile(ini) == "[Old]\nDriver=x\n");
}

}  // namespace
}  // namespace vendaro
