#include "testing/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace vendaro::test {

ChildProcess::ChildProcess(const std::string& role, const std::string& value,
                           const std::string& filter) {
    std::string setting = role + "=" + value, args[] = {"child", filter, "-m"};
    std::vector<char*> env{setting.data()};
    for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
    env.push_back(nullptr);
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, env.data()) == 0)
        process_ = pid;
}

ChildProcess::~ChildProcess() {
    Kill();
    Wait();
}

void ChildProcess::Kill() {
    if (process_ != 0) ::kill(static_cast<pid_t>(process_), SIGKILL);
}

int ChildProcess::Wait() {
    int status = 0;
    if (process_ == 0 || ::waitpid(static_cast<pid_t>(process_), &status, 0) == -1) return -1;
    process_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace vendaro::test
