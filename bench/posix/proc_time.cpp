// Times a whole process: runs a command several times (after one untimed warm-up) and prints
// the median wall time and the largest maximum resident set size of its runs.
//   proc_time --measure=unattended --scripts=10000 --runs=11 [--expect=0] [--remove=file] --
//             vendaro "x -ue"
// Standard output of the command goes to /dev/null; a run whose exit status is not `expect`
// stops the program, so a figure never comes from a run that failed.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"

using namespace vendaro::bench;

int main(int argc, char** argv) {
    int split = 1;
    while (split < argc && std::strcmp(argv[split], "--") != 0) ++split;
    Require(split + 1 < argc, "usage: proc_time --measure=M --scripts=N [--runs=R] -- command");
    const std::string measure = Arg(split, argv, "measure", "process");
    const std::size_t scripts = std::stoul(Arg(split, argv, "scripts", "0"));
    const int runs = std::stoi(Arg(split, argv, "runs", "11"));
    const int expect = std::stoi(Arg(split, argv, "expect", "0"));
    // A file removed before every run (untimed): each run then starts from nothing.
    const std::string remove = Arg(split, argv, "remove", "");
    char** command = argv + split + 1;

    std::vector<double> samples, cpu;
    long max_rss_kb = 0;
    for (int i = -1; i < runs; ++i) {
        if (!remove.empty()) ::unlink(remove.c_str());
        const double start = NowMs();
        const pid_t pid = ::fork();
        Require(pid >= 0, "fork failed");
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, STDOUT_FILENO);
            ::execvp(command[0], command);
            std::perror(command[0]);
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        Require(::wait4(pid, &status, 0, &usage) == pid, "wait4 failed");
        const double took = NowMs() - start;
        Require(WIFEXITED(status) && WEXITSTATUS(status) == expect,
                std::string(command[0]) + " ended with status " +
                    std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
        if (i < 0) continue;
        samples.push_back(took);
        cpu.push_back(1000.0 * (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0);
        if (usage.ru_maxrss > max_rss_kb) max_rss_kb = usage.ru_maxrss;
    }
    Report(measure.c_str(), scripts, Summarize(samples, cpu));
    std::printf("RSS %s %zu %ld\n", measure.c_str(), scripts, max_rss_kb);
    return 0;
}
