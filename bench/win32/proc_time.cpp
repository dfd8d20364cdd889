// Times a whole Windows process (under Wine in CI): runs a command line several times (after
// one untimed warm-up) and prints its median wall time and processor time, and the largest
// peak working set of its runs.
//   proc_time --measure=unattended --scripts=10000 --runs=11 [--expect=0] -- C:\x\vendaro.exe
//             Sales 000042 -se
// The words after "--" are joined by single blanks into the command line, as typed. A run
// whose exit status is not `expect` stops the program, so a figure never comes from a run
// that failed.
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"

using namespace vendaro::bench;

namespace {

double Ms(const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           10'000.0;
}

}  // namespace

int main(int argc, char** argv) {
    int split = 1;
    while (split < argc && std::strcmp(argv[split], "--") != 0) ++split;
    Require(split + 1 < argc, "usage: proc_time --measure=M --scripts=N [--runs=R] -- command");
    const std::string measure = Arg(split, argv, "measure", "process");
    const std::size_t scripts = std::stoul(Arg(split, argv, "scripts", "0"));
    const int runs = std::stoi(Arg(split, argv, "runs", "11"));
    const DWORD expect = static_cast<DWORD>(std::stoi(Arg(split, argv, "expect", "0")));
    std::string command = std::string("\"") + argv[split + 1] + "\"";
    for (int i = split + 2; i < argc; ++i) command.append(" ").append(argv[i]);

    HANDLE null = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetHandleInformation(null, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    std::vector<double> samples, cpu;
    SIZE_T peak = 0;
    for (int i = -1; i < runs; ++i) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = null;
        startup.hStdError = null;
        startup.hStdInput = null;
        PROCESS_INFORMATION child{};
        std::string line = command;
        const double start = NowMs();
        Require(CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &child) != FALSE,
                "cannot start " + command);
        WaitForSingleObject(child.hProcess, INFINITE);
        const double took = NowMs() - start;
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        FILETIME created, ended, kernel, user;
        GetProcessTimes(child.hProcess, &created, &ended, &kernel, &user);
        PROCESS_MEMORY_COUNTERS memory{};
        GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        Require(code == expect, command + " ended with status " + std::to_string(code));
        if (i < 0) continue;
        samples.push_back(took);
        cpu.push_back(Ms(kernel) + Ms(user));
        if (memory.PeakWorkingSetSize > peak) peak = memory.PeakWorkingSetSize;
    }
    Report(measure.c_str(), scripts, Summarize(samples, cpu));
    std::printf("RSS %s %zu %zu\n", measure.c_str(), scripts,
                static_cast<std::size_t>(peak / 1024));
    return 0;
}
