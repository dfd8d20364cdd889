// The built Linux program run as a process, creating real unixODBC data sources in a
// temporary folder.
#include <doctest/doctest.h>

#include <odbcinst.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/tests/posix/posix_support.h"

namespace vendaro {
namespace {

namespace test = posix_test;

using test::IniSections;
using test::ParseIni;
using test::ProcessResult;
using test::ReadFile;

using Entries = std::vector<std::pair<std::string, std::string>>;

// "secret7" enciphered under "marigold".
const char* const kScripts =
    "[Sales]\r\n"
    "DSN_Driver=SQL Server\r\n"
    "Description=Sales figures\r\n"
    "Server=srv1\r\n"
    "Database=pubs\r\n"
    "Driver=C:\\sql\\sqlsrv32.dll\r\n"
    "LastUser=sa\r\n"
    "\r\n"
    "[Stock]\r\n"
    "DSN_Driver=Adaptive Server Anywhere 6.0\r\n"
    "Description=Warehouse stock\r\n"
    "IsolationLevel=1\r\n"
    "KeysInSQLStatistics=No\r\n"
    "DescribeCursor=Always\r\n"
    "Integrated=No\r\n"
    "UID=dba\r\n"
    "PWD=}]rkshA\r\n"
    "EngineName=stock\r\n"
    "Database=stock\r\n"
    "AutoStart=Yes\r\n"
    "CommLinks=TCPIP{host=10.0.0.5},IPX{}\r\n"
    "LivenessTimeout=120\r\n"
    "Debug=No\r\n"
    "LogFile=C:\\old.log\r\n"
    "\r\n"
    "[Orders]\r\n"
    "DSN_Driver=Microsoft Access Driver (*.mdb)\r\n"
    "Description=Order entry\r\n"
    "DBQ=C:\\Data\\orders.mdb\r\n"
    "Exclusive=1\r\n"
    "ReadOnly=0\r\n"
    "SafeTransactions=2.5\r\n"
    "UID=admin\r\n"
    "PWD=}]rkshA\r\n"
    "MaxBufferSize=2048\r\n"
    "MaxScanRows=8\r\n"
    "PageTimeout=5\r\n"
    "UserCommitSync=Yes\r\n"
    "\r\n"
    "[Files]\r\n"
    "DSN_Driver=Microsoft dBase Driver (*.dbf)\r\n"
    "Description=Customer files\r\n"
    "FIL=dBase 5.0\r\n"
    "DefaultDir=C:\\Data\\dbf\r\n"
    "CollatingSequence=ASCII\r\n"
    "PageTimeout=600\r\n"
    "Exclusive=0\r\n"
    "Deleted=1\r\n"
    "Statistics=1\r\n"
    "\r\n"
    "[Archive]\r\n"
    "DSN_Driver=Microsoft Visual FoxPro Driver\r\n"
    "Description=Old orders\r\n";

const char* const kJet = "c:\\windows\\system32\\odbcjt32.dll";

// What each data source holds, value by value, in the order they are written.
IniSections ExpectedSources() {
    IniSections expected;
    expected["Sales"] = {{"Database", "pubs"},
                         {"Description", "Sales figures"},
                         {"Driver", "C:\\sql\\sqlsrv32.dll"},
                         {"LastUser", "sa"},
                         {"Server", "srv1"}};
    expected["Stock"] = {{"Description", "Warehouse stock"},
                         {"IsolationLevel", "1"},
                         {"KeysInSQLStatistics", "No"},
                         {"Delphi", ""},
                         {"PreventNotCapable", ""},
                         {"LazyAutoCommit", ""},
                         {"DescribeCursor", "Always"},
                         {"Integrated", "No"},
                         {"UID", "dba"},
                         {"PWD", "secret7"},
                         {"EngineName", "stock"},
                         {"Start", ""},
                         {"Database", "stock"},
                         {"DatabaseFile", ""},
                         {"AutoStart", "Yes"},
                         {"AutoStop", ""},
                         {"CommLinks", "TCPIP{host=10.0.0.5},IPX{}"},
                         {"Encryption", ""},
                         {"LivenessTimeout", "120"},
                         {"CommBufferSize", ""},
                         {"CommBufferSpace", ""},
                         {"ConnectionName", ""},
                         {"Charset", ""},
                         {"DisableMultiRowFetch", ""},
                         {"LogFile", "C:\\old.log"},
                         {"Debug", "No"}};
    expected["Orders"] = {{"Description", "Order entry"},
                          {"DBQ", "C:\\Data\\orders.mdb"},
                          {"Driver", kJet},
                          {"DefaultDir", ""},
                          {"DriverId", "25"},
                          {"Exclusive", "1"},
                          {"FIL", "MS Access;"},
                          {"PWD", "secret7"},
                          {"ReadOnly", "0"},
                          {"ExtendedAnsiSQL", "0"},
                          {"SafeTransactions", "2"},
                          {"SystemDB", ""},
                          {"UID", "admin"},
                          {"Engines\\Jet\\Driver", ""},
                          {"Engines\\Jet\\ImplicitCommitSync", ""},
                          {"Engines\\Jet\\MaxBufferSize", "2048"},
                          {"Engines\\Jet\\MaxScanRows", "8"},
                          {"Engines\\Jet\\PageTimeout", "5"},
                          {"Engines\\Jet\\Threads", "3"},
                          {"Engines\\Jet\\UserCommitSync", "Yes"}};
    expected["Files"] = {{"Description", "Customer files"},
                         {"DefaultDir", "C:\\Data\\dbf"},
                         {"Driver", kJet},
                         {"DriverId", "533"},
                         {"FIL", "dBase 5.0"},
                         {"Exclusive", "0"},
                         {"SafeTransactions", "0"},
                         {"UID", ""},
                         {"Engines\\Xbase\\ImplicitCommitSync", ""},
                         {"Engines\\Xbase\\PageTimeout", "600"},
                         {"Engines\\Xbase\\Threads", "3"},
                         {"Engines\\Xbase\\UserCommitSync", "Yes"},
                         {"Engines\\Xbase\\CollatingSequence", "ASCII"},
                         {"Engines\\Xbase\\Deleted", "0"},
                         {"Engines\\Xbase\\Statistics", "1"}};
    expected["Archive"] = {};
    expected["ODBC Data Sources"] = {{"Sales", "SQL Server"},
                                     {"Stock", "Adaptive Server Anywhere 6.0"},
                                     {"Orders", "Microsoft Access Driver (*.mdb)"},
                                     {"Files", "Microsoft dBase Driver (*.dbf)"},
                                     {"Archive", "Microsoft Visual FoxPro Driver"}};
    return expected;
}

const std::vector<std::string> kNames = {"Sales", "Stock", "Orders", "Files", "Archive"};

struct ProgramFolder {
    test::TempDir dir;
    std::filesystem::path program = dir.path() / "vendaro";
    std::filesystem::path user_file = dir.path() / "user-odbc.ini";
    std::filesystem::path system_dir = dir.path() / "system";
    std::map<std::string, std::string> env = {{"ODBCINI", user_file.string()},
                                              {"ODBCSYSINI", system_dir.string()},
                                              {"HOME", dir.path().string()}};

    ProgramFolder() {
        std::filesystem::copy_file(std::filesystem::path(VENDARO_BINARY_DIR) / "vendaro", program);
        std::filesystem::create_directory(system_dir);
        test::WriteFile(dir.path() / "vendaro.ini", kScripts);
    }
    ProcessResult Run(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {program.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        return test::RunProcess(argv, dir.path(), env);
    }
    ProcessResult Odbcinst(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {"odbcinst"};
        argv.insert(argv.end(), args.begin(), args.end());
        return test::RunProcess(argv, dir.path(), env);
    }
};

void CheckCreated(const ProgramFolder& folder, const std::filesystem::path& file,
                  const char* list_option) {
    const IniSections expected = ExpectedSources();
    IniSections written = ParseIni(ReadFile(file));
    CHECK(written.size() == expected.size());
    // Not a structured binding: clang before 16 cannot capture one in CAPTURE's lambda.
    for (const auto& source : expected) {
        const std::string& section = source.first;
        CAPTURE(section);
        REQUIRE(written.count(section) == 1);
        CHECK(written[section] == source.second);
    }
    // unixODBC itself reads each data source back with the same values.
    for (const std::string& name : kNames) {
        CAPTURE(name);
        ProcessResult read = folder.Odbcinst({"-q", "-s", "-n", name});
        if (expected.at(name).empty()) {
            // odbcinst reports a data source without values as a failed lookup; the listing
            // below still shows it.
            CHECK(ParseIni(read.out)[name].empty());
            continue;
        }
        REQUIRE(read.exit_status == 0);
        CHECK(ParseIni(read.out)[name] == expected.at(name));
    }
    ProcessResult listed = folder.Odbcinst({"-q", "-s", list_option});
    for (const std::string& name : kNames) {
        CHECK(listed.out.find("[" + name + "]") != std::string::npos);
    }
}

TEST_CASE("The Linux program creates one data source per driver") {
    std::vector<test::FileState> outside;
    for (const auto& path : test::DefaultOdbcFiles()) outside.push_back(test::StateOf(path));
    ProgramFolder folder;

    SUBCASE("User DSNs, unattended") {
        for (const std::string& name : kNames) {
            CAPTURE(name);
            ProcessResult run = folder.Run({name, "-ue"});
            CHECK(run.exit_status == 0);
            CHECK(run.out.empty());
        }
        CHECK_FALSE(std::filesystem::exists(folder.system_dir / "odbc.ini"));
        CheckCreated(folder, folder.user_file, "-h");
    }
    SUBCASE("System DSNs, unattended") {
        for (const std::string& name : kNames) {
            CAPTURE(name);
            ProcessResult run = folder.Run({name + " -se"});
            CHECK(run.exit_status == 0);
            CHECK(run.out.empty());
        }
        // (odbcinst makes an empty user file when it reads, so this is looked at first.)
        CHECK_FALSE(std::filesystem::exists(folder.user_file));
        CheckCreated(folder, folder.system_dir / "odbc.ini", "-l");
    }
    SUBCASE("creating the same DSN twice gives the same values") {
        CHECK(folder.Run({"orders", "-ue"}).exit_status == 0);
        const std::string first = ReadFile(folder.user_file);
        CHECK(folder.Run({"ORDERS -ue"}).exit_status == 0);
        CHECK(ReadFile(folder.user_file) == first);
    }

    std::vector<test::FileState> after;
    for (const auto& path : test::DefaultOdbcFiles()) after.push_back(test::StateOf(path));
    CHECK(after == outside);
    // The script file is only read.
    CHECK(ReadFile(folder.dir.path() / "vendaro.ini") == kScripts);
}

TEST_CASE("The Linux program prints the window where Windows would show it") {
    ProgramFolder folder;
    const std::string rows =
        "Vendaro!\n"
        "\tDSN\tDescription\tDriver\n"
        "%Sales\tSales figures\tSQL Server\n"
        "%Stock\tWarehouse stock\tAdaptive Server Anywhere 6.0\n"
        "%Orders\tOrder entry\tMicrosoft Access Driver (*.mdb)\n"
        "%Files\tCustomer files\tMicrosoft dBase Driver (*.dbf)\n"
        "%Archive\tOld orders\tMicrosoft Visual FoxPro Driver\n";
    auto window = [&](const std::string& selected, const std::string& status) {
        std::string text = rows;
        for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%')) {
            const bool is_selected =
                text.compare(at + 1, selected.size() + 1, selected + "\t") == 0;
            text.replace(at, 1, is_selected ? "*\t" : "\t");
        }
        return text + status + "\n";
    };

    SUBCASE("no command line") {
        ProcessResult run = folder.Run({});
        CHECK(run.exit_status == 0);
        CHECK(run.out == window("Sales", "Welcome to Vendaro! Press the F1 key for help."));
    }
    SUBCASE("a User DSN from the command line, in one argument or several") {
        ProcessResult joined = folder.Run({"orders -u"});
        CHECK(joined.exit_status == 0);
        CHECK(joined.out == window("Orders", "User DSN has been created."));
        ProcessResult split = folder.Run({"orders", "-u"});
        CHECK(split.out == joined.out);
        CHECK(ParseIni(ReadFile(folder.user_file)).count("Orders") == 1);
    }
    SUBCASE("a name alone selects its script") {
        ProcessResult run = folder.Run({"FILES"});
        CHECK(run.exit_status == 0);
        CHECK(run.out == window("Files", "Welcome to Vendaro! Press the F1 key for help."));
        CHECK_FALSE(std::filesystem::exists(folder.user_file));
    }
    SUBCASE("an unknown name with -ue ends silently with status 2, creating nothing") {
        ProcessResult run = folder.Run({"nobody", "-ue"});
        CHECK(run.exit_status == 2);
        CHECK(run.out.empty());
        CHECK(run.err.empty());
        CHECK_FALSE(std::filesystem::exists(folder.user_file));
        CHECK_FALSE(std::filesystem::exists(folder.system_dir / "odbc.ini"));
    }
}

TEST_CASE("A System DSN that cannot be written") {
    ProgramFolder folder;

    SUBCASE("its folder does not exist") {
        folder.env["ODBCSYSINI"] = (folder.dir.path() / "missing").string();
    }
    SUBCASE("a folder stands where its file should be") {
        std::filesystem::create_directory(folder.system_dir / "odbc.ini");
    }

    ProcessResult unattended = folder.Run({"sales", "-se"});
    CHECK(unattended.exit_status == 1);
    CHECK(unattended.out.empty());

    ProcessResult shown = folder.Run({"sales", "-s"});
    CHECK(shown.exit_status == 0);
    REQUIRE(shown.out.size() > 1);
    const std::string last_line = shown.out.substr(shown.out.rfind('\n', shown.out.size() - 2) + 1);
    CHECK(last_line == "System DSN could not be created.\n");
    CHECK_FALSE(std::filesystem::exists(folder.dir.path() / "missing"));
}

// A user's odbc.ini with a data source of its own, longer than unixODBC reads whole, and
// comments of both kinds.
const std::string kLegacyIni =
    "# mine\n[ODBC Data Sources]\r\nLegacy=PostgreSQL\r\n\n[Legacy]\n"
    "ConnSettings=" +
    std::string(1200, 's') + "\n; end\n";

TEST_CASE("The Linux program refuses a value unixODBC would read back cut") {
    ProgramFolder folder;
    // "Database=" and 990 characters: the longest line unixODBC reads whole.
    const std::string fits(990, 'd');
    const std::string long_name(1100, 'L');
    test::WriteFile(folder.dir.path() / "vendaro.ini",
                    "[Fits]\r\nDSN_Driver=SQL Server\r\nDatabase=" + fits +
                        "\r\n\r\n[Long]\r\nDSN_Driver=SQL Server\r\nDatabase=" + fits +
                        "d\r\n\r\n[Described]\r\nDSN_Driver=SQL Server\r\nDescription=" +
                        std::string(2047, 'x') + "\r\n\r\n[" + long_name +
                        "]\r\nDSN_Driver=SQL Server\r\n");
    test::WriteFile(folder.user_file, kLegacyIni);

    for (const std::string& name : {std::string("long"), std::string("described"), long_name}) {
        CAPTURE(name.substr(0, 20));
        ProcessResult user = folder.Run({name, "-ue"});
        CHECK(user.exit_status == 1);
        CHECK(user.out.empty());
        ProcessResult system = folder.Run({name, "-se"});
        CHECK(system.exit_status == 1);
        CHECK(ReadFile(folder.user_file) == kLegacyIni);
        CHECK_FALSE(std::filesystem::exists(folder.system_dir / "odbc.ini"));
        ProcessResult shown = folder.Run({name, "-u"});
        CHECK(shown.out.ends_with("\nUser DSN could not be created.\n"));
        shown = folder.Run({name, "-s"});
        CHECK(shown.out.ends_with("\nSystem DSN could not be created.\n"));
    }

    ProcessResult created = folder.Run({"fits", "-ue"});
    CHECK(created.exit_status == 0);
    test::EnvScope user({{"ODBCINI", folder.user_file.string()}});
    std::vector<char> value(4096);
    SQLGetPrivateProfileString("Fits", "Database", "", value.data(), static_cast<int>(value.size()),
                               "odbc.ini");
    CHECK(std::string(value.data()) == fits);
    // The file's first line ends in LF, so the lines written do too.
    std::string expected =
        kLegacyIni + "[Fits]\nDatabase=" + fits + "\nDescription=\nDriver=\nLastUser=\nServer=\n";
    expected.insert(expected.find("\n[Legacy]"), "Fits=SQL Server\n");
    CHECK(ReadFile(folder.user_file) == expected);
}

TEST_CASE("Eight unattended runs at once into one odbc.ini") {
    ProgramFolder folder;
    constexpr int kRuns = 8;
    std::string scripts;
    for (int run = 0; run < kRuns; ++run) {
        scripts += "[C" + std::to_string(run) + "]\r\nDSN_Driver=SQL Server\r\nServer=srv" +
                   std::to_string(run) + "\r\nDatabase=" + std::string(900, 'a' + run) + "\r\n";
    }
    test::WriteFile(folder.dir.path() / "vendaro.ini", scripts);
    int rounds = 2;
    if (const char* text = std::getenv("VENDARO_PROCESS_ROUNDS")) rounds = std::atoi(text);

    auto check = [&](const std::filesystem::path& file, const std::string& option) {
        for (int round = 0; round < rounds; ++round) {
            CAPTURE(round);
            test::WriteFile(file, kLegacyIni);
            std::vector<ProcessResult> results(kRuns);
            std::vector<std::thread> threads;
            for (int run = 0; run < kRuns; ++run) {
                threads.emplace_back([&, run] {
                    results[run] = folder.Run({"C" + std::to_string(run), option});
                });
            }
            for (std::thread& thread : threads) thread.join();
            for (const ProcessResult& result : results) CHECK(result.exit_status == 0);
            const std::string text = ReadFile(file);
            CHECK(text.find(kLegacyIni.substr(kLegacyIni.find("[Legacy]"))) != std::string::npos);
            IniSections sections = ParseIni(text);
            CHECK(sections["ODBC Data Sources"].size() == 1 + kRuns);
            for (int run = 0; run < kRuns; ++run) {
                const std::string name = "C" + std::to_string(run);
                CAPTURE(name);
                CHECK(sections[name] == Entries{{"Database", std::string(900, 'a' + run)},
                                                {"Description", ""},
                                                {"Driver", ""},
                                                {"LastUser", ""},
                                                {"Server", "srv" + std::to_string(run)}});
            }
        }
    };
    SUBCASE("User DSNs") {
        check(folder.user_file, "-ue");
    }
    SUBCASE("System DSNs") {
        check(folder.system_dir / "odbc.ini", "-se");
    }
}

// Installed as a package: the program in /opt/vendaro beside its vendaro.ini, started through
// /usr/bin/vendaro, a link.
TEST_CASE("Started through a symbolic link, the program reads vendaro.ini in its real folder") {
    ProgramFolder folder;
    namespace fs = std::filesystem;
    const fs::path root = folder.dir.path() / "root";
    const fs::path real = root / "opt" / "vendaro" / "vendaro";
    fs::create_directories(real.parent_path());
    fs::create_directories(root / "usr" / "bin");
    fs::create_directories(root / "usr" / "local" / "bin");
    fs::copy_file(folder.program, real);
    test::WriteFile(real.parent_path() / "vendaro.ini", kScripts);
    // A library beside the link, in the current folder, must not be the one read.
    const std::string decoy = "[Decoy]\r\nDSN_Driver=SQL Server\r\n";
    test::WriteFile(root / "usr" / "bin" / "vendaro.ini", decoy);
    fs::remove(folder.dir.path() / "vendaro.ini");

    fs::path link;
    SUBCASE("an absolute link, as the package makes it") {
        link = root / "usr" / "bin" / "vendaro";
        fs::create_symlink(real, link);
    }
    SUBCASE("a relative link") {
        link = root / "usr" / "bin" / "vendaro";
        fs::create_symlink("../../opt/vendaro/vendaro", link);
    }
    SUBCASE("a link to a link") {
        fs::create_symlink(real, root / "usr" / "bin" / "vendaro");
        link = root / "usr" / "local" / "bin" / "vendaro";
        fs::create_symlink("../../bin/vendaro", link);
    }
    CAPTURE(link);

    auto run = [&](const std::vector<std::string>& args) {
        std::vector<std::string> argv = {link.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        return test::RunProcess(argv, root / "usr" / "bin", folder.env);
    };
    CHECK(run({"sales", "-ue"}).exit_status == 0);
    CHECK(ParseIni(ReadFile(folder.user_file)).count("Sales") == 1);
    CHECK(run({"decoy", "-ue"}).exit_status == 2);
    CHECK(run({}).out.find("\tStock\t") != std::string::npos);
}

}  // namespace
}  // namespace vendaro
