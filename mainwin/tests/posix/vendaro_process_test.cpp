// The built Linux program run as a process, creating real unixODBC data sources in a scratch
// folder (its HOME, ODBCINI and ODBCSYSINI: unixODBC finds the user's file without $HOME).
#include <doctest/doctest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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
    // The exit status, then what the program wrote to stdout and stderr.
    std::string Run(const std::string& args, const std::string& program = "opt/vendaro") const {
        const std::string line = "cd '" + root.string() +
                                 "' && HOME=$PWD ODBCINI=$PWD/.odbc.ini ODBCSYSINI=$PWD/etc ./" +
                                 program + " " + args + " >out 2>err";
        const int status = std::system(line.c_str());
        return std::to_string(WEXITSTATUS(status)) + "\n" + ReadFile(root / "out") +
               ReadFile(root / "err");
    }
};

TEST_CASE("The Linux program: unattended runs, the printed window, failures") {
    Folder f;
    CHECK(f.Run("") == Window(0, "Welcome to Vendaro! Press the F1 key for help."));
    CHECK(f.Run("Sales -ue") == "0\n");
    CHECK(f.Run("'sales -se'", "lbin/vendaro") == "0\n");
    CHECK(f.Run("decoy -ue") == "2\n");
    // A value unixODBC would read back cut: nothing of it is written.
    CHECK(f.Run("long -ue") == "1\nUser DSN could not be created.\n");
    CHECK(f.Run("long -se") == "1\nSystem DSN could not be created.\n");
    CHECK(f.Run("long -s") == Window(2, "System DSN could not be created."));
    CHECK(f.Run("SALES -u") == Window(0, "User DSN has been created."));
    const std::string sales =
        "[Sales]\nDatabase=\nDescription=Sales figures\nDriver=\nLastUser=\nServer=srv1\n"
        "[ODBC Data Sources]\nSales=SQL Server\n";
    CHECK(ReadFile(f.root / ".odbc.ini") == sales);
    CHECK(ReadFile(f.root / "etc" / "odbc.ini") == sales);

    fs::remove_all(f.root / "etc");
    CHECK(f.Run("orders -s") == Window(1, "System DSN could not be created."));
    // Nothing else was written: no Windows ODBC.INI on Linux, the scripts only read.
    CHECK(std::distance(fs::directory_iterator(f.root), {}) == 7);
    CHECK(ReadFile(f.root / "opt" / "vendaro.ini") == kScripts);
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
