#pragma once
// This test program run again as a child process, for the test cases that need a second
// program: the child runs only the cases `filter` names (doctest's "-tc=..."), with the
// environment variable `role` set to `value`, which tells such a case the part it plays there;
// it prints only failures.
#include <cstdlib>
#include <string>

namespace vendaro::test {

class ChildProcess {
  public:
    ChildProcess(const std::string& role, const std::string& value, const std::string& filter);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // One still running is killed and waited for.
    ~ChildProcess();
    // Ends it at once, as a crash or a power cut would.
    void Kill();
    // Waits for its end: its exit status (a killed one's is not 0); -1 when it never started.
    int Wait();

  private:
    std::intptr_t process_ = 0;  // its id or handle; 0 once waited for
};

// The part this process plays: the value of `role`, "" in the test program itself.
inline std::string RoleOf(const char* role) {
    const char* value = std::getenv(role);
    return value != nullptr ? value : "";
}

}  // namespace vendaro::test
