#include "platform/posix/temp_files.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
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

void RemoveOrphanedTempFiles(const std::string& target) {
    const std::string prefix = Prefix(target);
    DIR* dir = ::opendir(DirectoryOf(target).c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        // ".<name>.tmp<pid>-<counter>"
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash > 9) continue;
        long pid = 0;
        bool digits = true;
        for (char c : rest.substr(0, dash)) {
            digits = digits && c >= '0' && c <= '9';
            pid = pid * 10 + (c - '0');
        }
        if (!digits || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace vendaro
