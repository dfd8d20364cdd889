#pragma once
// Running programs, reading odbc.ini files and pointing unixODBC at a temporary folder.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "testing/scratch.h"

extern char** environ;

namespace vendaro::posix_test {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ProcessResult {
    int exit_status = -1;  // -1: did not exit normally
    std::string out;
    std::string err;
};

// Runs `argv` (searched on PATH) in `cwd` with the current environment plus `env`, and
// collects its output.
inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                const std::filesystem::path& cwd,
                                const std::map<std::string, std::string>& env) {
    std::vector<std::string> environment, args = argv;
    for (char** e = environ; *e != nullptr; ++e) {
        if (env.count(std::string(*e).substr(0, std::string(*e).find('='))) == 0) {
            environment.push_back(*e);
        }
    }
    for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
    std::vector<char*> envp, arg_pointers;
    for (std::string& entry : environment) envp.push_back(entry.data());
    for (std::string& arg : args) arg_pointers.push_back(arg.data());
    envp.push_back(nullptr);
    arg_pointers.push_back(nullptr);

    // Output goes to files, so a chatty child can never block on a full pipe.
    TempDir capture;
    const std::string out_path = (capture.path() / "out").string();
    const std::string err_path = (capture.path() / "err").string();
    pid_t pid = ::fork();
    if (pid == 0) {
        int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
        if (::chdir(cwd.c_str()) != 0) ::_exit(126);
        ::execvpe(arg_pointers[0], arg_pointers.data(), envp.data());
        ::_exit(127);
    }
    ProcessResult result;
    if (pid < 0) return result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    result.out = ReadFile(out_path);
    result.err = ReadFile(err_path);
    return result;
}

// The folder of the system's odbc.ini and odbcinst.ini for the tests of one process: unixODBC
// resolves $ODBCSYSINI once per process and keeps the answer.
inline const std::filesystem::path& SharedSystemFolder() {
    static const TempDir folder;
    return folder.path();
}

// The entries of an odbc.ini as unixODBC writes it: section -> (key, value) in file order.
using IniSections = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

inline IniSections ParseIni(const std::string& text) {
    IniSections sections;
    std::string section, line;
    for (std::istringstream in(text); std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            sections[section];
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        auto trim = [](std::string s) {
            while (!s.empty() && s.back() == ' ') s.pop_back();
            while (!s.empty() && s.front() == ' ') s.erase(0, 1);
            return s;
        };
        sections[section].emplace_back(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    return sections;
}

// A file's state, to show that a run left it alone.
struct FileState {
    bool exists = false;
    std::string content;
    std::filesystem::file_time_type time{};
    bool operator==(const FileState&) const = default;
};

inline FileState StateOf(const std::filesystem::path& path) {
    FileState state;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return state;
    return {true, ReadFile(path), std::filesystem::last_write_time(path, error)};
}

// The odbc.ini files unixODBC would use without ODBCINI and ODBCSYSINI.
inline std::vector<std::filesystem::path> DefaultOdbcFiles() {
    std::vector<std::filesystem::path> files = {"/etc/odbc.ini", "/etc/odbcinst.ini"};
    if (const passwd* user = ::getpwuid(::getuid())) {
        files.push_back(std::filesystem::path(user->pw_dir) / ".odbc.ini");
        files.push_back(std::filesystem::path(user->pw_dir) / ".odbcinst.ini");
    }
    if (const char* home = std::getenv("HOME")) {
        files.push_back(std::filesystem::path(home) / ".odbc.ini");
    }
    return files;
}

// Sets environment variables for its lifetime (for the in-process unixODBC calls).
class EnvScope {
  public:
    explicit EnvScope(const std::map<std::string, std::string>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~EnvScope() {
        for (const auto& [name, old] : saved_) {
            old ? ::setenv(name.c_str(), old->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace vendaro::posix_test
