#include "platform/posix/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>

#include "platform/posix/file_system.h"

namespace vendaro {
namespace {

std::string Prefix(const std::string& target) {
    // Appended, not "." + std::string: g++ 12 at -O3 reports a false -Wrestrict for that.
    return std::string(".").append(target, target.rfind('/') + 1) + ".tmp";
}

}  // namespace

std::string TempFileName(const std::string& target, unsigned counter) {
    return DirectoryOf(target) + "/" + Prefix(target) + std::to_string(::getpid()) + "-" +
           std::to_string(counter);
}

std::optional<long> TempFileOwnerPid(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) return std::nullopt;
    // "<pid>-<counter>": both decimal numbers as this file's writer spells them (no sign, no
    // leading zero), the pid at most 9 digits and the counter at most 10.
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    auto number = [](std::string_view digits, std::size_t most) -> std::optional<long> {
        if (digits.empty() || digits.size() > most || digits.front() == '0') return std::nullopt;
        long value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const std::optional<long> pid = number(rest.substr(0, dash), 9);
    if (!pid || !number(rest.substr(dash + 1), 10)) return std::nullopt;
    return pid;
}

void RemoveOrphanedTempFiles(const std::string& target) {
    const std::string prefix = Prefix(target);
    DIR* dir = ::opendir(DirectoryOf(target).c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<long> pid = TempFileOwnerPid(entry->d_name, prefix);
        if (!pid || *pid == ::getpid()) continue;
        // Only this user's own regular files: a name alone proves nothing.
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            continue;
        }
        if (::kill(static_cast<pid_t>(*pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace vendaro
