#include "testing/child_process.h"

#include <process.h>

#include "platform/win32/windows_api.h"

namespace vendaro::test {

ChildProcess::ChildProcess(const std::string& role, const std::string& value,
                           const std::string& filter) {
    char exe[MAX_PATH + 1] = {};
    if (GetModuleFileNameA(nullptr, exe, MAX_PATH) == 0) return;
    _putenv((role + "=" + value).c_str());  // the child starts with a copy
    process_ = _spawnl(_P_NOWAIT, exe, "child", filter.c_str(), "-m", nullptr);
    _putenv((role + "=").c_str());
    if (process_ == -1) process_ = 0;
}

ChildProcess::~ChildProcess() {
    Kill();
    Wait();
}

void ChildProcess::Kill() {
    if (process_ != 0) TerminateProcess(reinterpret_cast<HANDLE>(process_), 9);
}

int ChildProcess::Wait() {
    if (process_ == 0) return -1;
    const auto process = reinterpret_cast<HANDLE>(process_);
    DWORD code = 1;
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    process_ = 0;
    return static_cast<int>(code);
}

}  // namespace vendaro::test
