#pragma once
// What the benchmark programs share: the generated script libraries, timing with medians, and
// the one output format scripts/bench.sh reads:
//   RESULT <measure> <scripts> <median_ms> <min_ms> <runs> <cpu_median_ms>
//   RSS <measure> <scripts> <max_rss_kb>
//   NOTE <anything>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dsn/drivers.h"
#include "store/cipher.h"

namespace vendaro::bench {

inline constexpr const char* kAsaDriver = vendaro::DriverOf(DriverId::AdaptiveServer).name;
inline constexpr const char* kAccessDriver = vendaro::DriverOf(DriverId::Access).name;
inline constexpr const char* kSqlServerDriver = vendaro::DriverOf(DriverId::SqlServer).name;
inline constexpr const char* kDbaseDriver = vendaro::DriverOf(DriverId::Dbase).name;

// The driver of script `index`: in every run of 20 scripts, 8 Adaptive Server Anywhere,
// 6 Access, 3 SQL Server and 3 dBase, interleaved as a library grown over the years would be.
inline const char* DriverOf(std::size_t index) {
    static constexpr char kPattern[] = "ABASADBAQDSAAQBDAQBS";  // A(SA) B(Access) S(QL) D(Base)
    switch (kPattern[index % 20]) {
        case 'A':
            return kAsaDriver;
        case 'B':
        case 'Q':
            return kAccessDriver;
        case 'S':
            return kSqlServerDriver;
        default:
            return kDbaseDriver;
    }
}

// The DSN name of script `index`, e.g. "Payroll 000042".
inline std::string ScriptName(std::size_t index) {
    static constexpr const char* kWords[] = {"Sales",     "Payroll", "Inventory", "Orders",
                                             "Customers", "Ledger",  "Warehouse", "Billing",
                                             "Reports",   "Archive", "Staff",     "Suppliers"};
    char number[24];
    std::snprintf(number, sizeof number, "%06zu", index);
    return std::string(kWords[index % 12]) + " " + number;
}

// One script's key lines, in the order its editor saves them, with values of the kind users
// keep in them.
inline std::vector<std::pair<std::string, std::string>> ScriptKeys(std::size_t index) {
    const std::string n = std::to_string(index);
    const std::string driver = DriverOf(index);
    std::vector<std::pair<std::string, std::string>> keys;
    keys.emplace_back("DSN_Driver", driver);
    keys.emplace_back("Description", "Figures of branch " + n + " for the monthly reports");
    const std::string password = EncipherText("secret" + n, kCipherKey);
    if (driver == kAsaDriver) {
        keys.insert(keys.end(), {{"IsolationLevel", "1"},
                                 {"KeysInSQLStatistics", "No"},
                                 {"Delphi", "No"},
                                 {"PreventNotCapable", "Yes"},
                                 {"LazyAutoCommit", "No"},
                                 {"DescribeCursor", "Yes"},
                                 {"UID", "dba"},
                                 {"PWD", password},
                                 {"Integrated", "No"},
                                 {"Database", "branch" + n},
                                 {"Start", "dbeng6 -c 8M"},
                                 {"EngineName", "asa_branch" + n},
                                 {"DatabaseFile", "C:\\Data\\Branch" + n + "\\branch.db"},
                                 {"AutoStart", "Yes"},
                                 {"AutoStop", "Yes"},
                                 {"CommLinks", "TCPIP{host=10.1." + std::to_string(index % 250) +
                                                   ".7;port=2638}"},
                                 {"Encryption", "No"},
                                 {"LivenessTimeout", "120"},
                                 {"CommBufferSize", "512"},
                                 {"CommBufferSpace", "5"},
                                 {"ConnectionName", "branch" + n},
                                 {"Charset", "cp1252"},
                                 {"DisableMultiRowFetch", "No"},
                                 {"LogFile", "C:\\Logs\\odbc" + n + ".log"},
                                 {"Debug", "Yes"}});
    } else if (driver == kAccessDriver) {
        keys.insert(keys.end(), {{"DBQ", "C:\\Data\\Branch" + n + "\\orders.mdb"},
                                 {"SystemDB", "C:\\Data\\system.mdw"},
                                 {"PageTimeout", "5"},
                                 {"MaxBufferSize", "2048"},
                                 {"Exclusive", "0"},
                                 {"ReadOnly", "0"},
                                 {"UID", "Admin"},
                                 {"PWD", password},
                                 {"DefaultDir", "C:\\Data\\Branch" + n},
                                 {"ExtendedAnsiSQL", "0"},
                                 {"FIL", "MS Access;"},
                                 {"ImplicitCommitSync", "Yes"},
                                 {"MaxScanRows", "8"},
                                 {"SafeTransactions", "0"},
                                 {"Threads", "3"},
                                 {"UserCommitSync", "Yes"}});
    } else if (driver == kSqlServerDriver) {
        keys.insert(keys.end(), {{"Server", "SQLSRV" + std::to_string(index % 40)},
                                 {"Database", "branch" + n},
                                 {"Driver", "C:\\WINDOWS\\System32\\sqlsrv32.dll"},
                                 {"LastUser", "report" + n}});
    } else {
        keys.insert(keys.end(), {{"FIL", "dBase IV"},
                                 {"DefaultDir", "C:\\Data\\Branch" + n + "\\dbf"},
                                 {"CollatingSequence", "ASCII"},
                                 {"PageTimeout", "600"},
                                 {"Exclusive", "0"},
                                 {"Deleted", "1"},
                                 {"Statistics", "0"}});
    }
    return keys;
}

// A library of `count` scripts: header, key lines, an empty line after each section; lines end
// with `eol`.
inline std::string LibraryText(std::size_t count, std::string_view eol = "\r\n") {
    std::string text;
    text.reserve(count * 520);
    for (std::size_t i = 0; i < count; ++i) {
        text.append("[").append(ScriptName(i)).append("]").append(eol);
        for (const auto& [key, value] : ScriptKeys(i)) {
            text.append(key).append("=").append(value).append(eol);
        }
        text.append(eol);
    }
    return text;
}

// The Adaptive Server Anywhere script nearest the end of a library of `count` scripts, with
// at least one script after it.
inline std::size_t LastAsaIndex(std::size_t count) {
    std::size_t i = count >= 2 ? count - 2 : 0;
    while (i > 0 && std::string_view(DriverOf(i)) != kAsaDriver) --i;
    return i;
}

// --- files (standard C, so the programs need nothing of the platform) ---

inline bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (size > 0 && std::fseek(f, 0, SEEK_SET) == 0) {
            bytes.resize(static_cast<std::size_t>(size));
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        }
    }
    std::fclose(f);
    return bytes;
}

// The floor of every reading: the file's lines found with memchr, as fast as the hardware
// allows (a lone CR ends no line here; the reader's rules cost more than this). Room for a
// line per 8 bytes is reserved at once: growing the list as it fills would cost more than the
// search (each larger block is fresh memory, a page fault per 4 KB).
inline std::vector<std::string_view> FloorSplit(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 8 + 1);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        const char* stop = lf ? static_cast<const char*>(lf) : end;
        lines.emplace_back(p, static_cast<std::size_t>(stop - p));
        p = stop + 1;
    }
    return lines;
}

// Writes every dirty page of the machine to disk. A benchmark that restores its library between
// runs calls it (untimed), so that the next timed write does not also pay for the restore.
inline void SettleDisk() {
#ifndef _WIN32  // Windows has no such command; Wine's writes go to the host's page cache
    if (std::system("sync") != 0) std::fprintf(stderr, "bench: sync failed\n");
#endif
}

// --- timing ---

inline double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

struct Figures {
    double median_ms = 0;  // wall time
    double min_ms = 0;     // wall time
    int runs = 0;
    double cpu_median_ms = 0;  // processor time (user and system) of the same runs
};

inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

inline Figures Summarize(const std::vector<double>& wall, const std::vector<double>& cpu = {}) {
    Figures f;
    if (wall.empty()) return f;
    f.median_ms = Median(wall);
    f.min_ms = *std::min_element(wall.begin(), wall.end());
    f.runs = static_cast<int>(wall.size());
    f.cpu_median_ms = Median(cpu);
    return f;
}

// This process's processor time so far.
inline double CpuMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Runs `prepare` (not timed) then `body` (timed) `runs` times; one untimed warm-up run first
// brings the file into the page cache as it is at a real start.
inline Figures Measure(int runs, const std::function<void()>& prepare,
                       const std::function<void()>& body) {
    std::vector<double> wall, cpu;
    for (int i = -1; i < runs; ++i) {
        if (prepare) prepare();
        const double cpu_start = CpuMs();
        const double start = NowMs();
        body();
        const double took = NowMs() - start;
        const double cpu_took = CpuMs() - cpu_start;
        if (i < 0) continue;
        wall.push_back(took);
        cpu.push_back(cpu_took);
    }
    return Summarize(wall, cpu);
}

inline void Report(const char* measure, std::size_t scripts, const Figures& f) {
    std::printf("RESULT %s %zu %.3f %.3f %d %.3f\n", measure, scripts, f.median_ms, f.min_ms,
                f.runs, f.cpu_median_ms);
    std::fflush(stdout);
}

// Stops the program with a message when a benchmark's own check fails: figures of a run that
// did not do its work are worth nothing.
inline void Require(bool condition, const std::string& what) {
    if (condition) return;
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    std::exit(2);
}

// The value of "--name=value" among the arguments, or `def`.
inline std::string Arg(int argc, char** argv, std::string_view name, std::string def) {
    const std::string prefix = "--" + std::string(name) + "=";
    for (int i = 1; i < argc; ++i) {
        std::string_view a(argv[i]);
        if (a.substr(0, prefix.size()) == prefix) return std::string(a.substr(prefix.size()));
    }
    return def;
}

}  // namespace vendaro::bench
