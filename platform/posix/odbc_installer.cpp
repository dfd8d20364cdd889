#include "platform/posix/odbc_installer.h"

#include <ctype.h>
#include <dirent.h>
#include <fcntl.h>
#include <odbcinst.h>
#include <signal.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/failure.h"

#include "platform/posix/odbc_registry.h"

// unixODBC's ini library, exported by libodbcinst and declared only in its private headers:
// the driver's writes are read back as unixODBC reads them.
extern "C" {
using HINI = void*;
int iniOpen(HINI* ini, char* file_name, char* comment_chars, char left_bracket, char right_bracket,
            char equal, int create);
int iniClose(HINI ini);
int iniObjectFirst(HINI ini);
int iniObjectNext(HINI ini);
int iniObjectEOL(HINI ini);
int iniObject(HINI ini, char* name);
int iniPropertyFirst(HINI ini);
int iniPropertyNext(HINI ini);
int iniPropertyEOL(HINI ini);
int iniProperty(HINI ini, char* name);
int iniValue(HINI ini, char* value);
}

namespace vendaro {
namespace {

constexpr int kIniSuccess = 1;

using Entries = std::vector<std::pair<std::string, std::string>>;

bool SameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

// What unixODBC reads of one data source: its section (the first of its name) and its entry
// in [ODBC Data Sources].
struct DataSourceView {
    std::optional<Entries> section;
    std::optional<std::string> listed;
};

DataSourceView ReadView(const std::string& file, const std::string& dsn) {
    DataSourceView view;
    HINI ini = nullptr;
    std::string name = file;
    char comments[] = "#;";
    if (iniOpen(&ini, name.data(), comments, '[', ']', '=', 0) != kIniSuccess) return view;
    // The library copies at most 1,000 characters of a name or value.
    std::vector<char> object(1024), property(1024), value(1024);
    for (iniObjectFirst(ini); !iniObjectEOL(ini); iniObjectNext(ini)) {
        iniObject(ini, object.data());
        const bool own = !view.section && SameName(object.data(), dsn);
        const bool list = SameName(object.data(), kDataSourceList);
        if (!own && !list) continue;
        Entries entries;
        for (iniPropertyFirst(ini); !iniPropertyEOL(ini); iniPropertyNext(ini)) {
            iniProperty(ini, property.data());
            iniValue(ini, value.data());
            entries.emplace_back(property.data(), value.data());
        }
        if (own) view.section = entries;
        if (list && !view.listed) {
            for (const auto& [key, text] : entries) {
                if (SameName(key, dsn)) {
                    view.listed = text;
                    break;
                }
            }
        }
    }
    iniClose(ini);
    return view;
}

const std::pair<std::string, std::string>* Find(const Entries& entries, const std::string& key) {
    for (const auto& entry : entries) {
        if (SameName(entry.first, key)) return &entry;
    }
    return nullptr;
}

// The changes from `before` to `after` of one section, as key writes: what the driver set,
// then what it removed.
Entries Changes(const Entries& before, const Entries& after, std::vector<std::string>& removed) {
    Entries set;
    for (const auto& [key, value] : after) {
        const auto* old = Find(before, key);
        if ((old == nullptr || old->second != value) && Find(set, key) == nullptr &&
            IsStorableEntry(key, value)) {
            set.emplace_back(key, value);
        }
    }
    for (const auto& [key, value] : before) {
        if (Find(after, key) == nullptr) removed.push_back(key);
    }
    return set;
}

constexpr std::string_view kFolderPrefix = "vendaro-odbc-";

// "<prefix><pid>-<six letters or digits>": the pid of the run that made the folder, or 0 for
// any other name.
long FolderOwnerPid(std::string_view name) {
    if (!name.starts_with(kFolderPrefix)) return 0;
    name.remove_prefix(kFolderPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || name[0] == '0') return 0;
    long pid = 0;
    for (const char c : name.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    const std::string_view tag = name.substr(dash + 1);
    if (tag.size() != 6) return 0;
    for (const char c : tag) {
        if (!::isalnum(static_cast<unsigned char>(c))) return 0;
    }
    return pid;
}

// Removes the files of the folder open as `dir` (none of them followed) and then the folder,
// named `name` in `parent`.
void RemoveFolder(int parent, const std::string& name, int dir) {
    const int listing = ::dup(dir);
    if (DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr) {
        while (const dirent* entry = ::readdir(entries)) {
            const std::string_view file(entry->d_name);
            if (file != "." && file != "..") ::unlinkat(dir, entry->d_name, 0);
        }
        ::closedir(entries);
    } else if (listing >= 0) {
        ::close(listing);
    }
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

// Why `folder` is no place for a private copy: a folder (or one above it) that another user
// owns, or that others may write without the sticky bit, lets them rename what is made in it.
// Empty when it is safe.
std::string UnsafeBecause(const std::string& folder) {
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr) return folder + ": " + std::strerror(errno);
    std::string path = real;
    ::free(real);
    for (;;) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return path + ": " + std::strerror(errno);
        if (!S_ISDIR(st.st_mode)) return path + ": " + std::strerror(ENOTDIR);
        if (st.st_uid != 0 && st.st_uid != ::geteuid()) {
            return path + " is owned by another user";
        }
        if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0) {
            return path + " may be changed by other users";
        }
        if (path == "/") return {};
        path = DirectoryOf(path);
    }
}

// A folder of this run's own (mode 0700) for copies of odbc.ini, made in $TMPDIR (or /tmp) only
// where no other user can rename it, and removed with the object. Before making it, the folders
// that killed runs of this user left there are removed.
class PrivateFolder {
  public:
    PrivateFolder() {
        const char* tmp = std::getenv("TMPDIR");
        failure_ = Make(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
    }
    ~PrivateFolder() {
        if (dir_ >= 0) {
            RemoveFolder(base_, name_, dir_);
            ::close(dir_);
        }
        if (base_ >= 0) ::close(base_);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    // Empty when the folder could not be made; failure() then says why.
    const std::string& path() const { return path_; }
    const std::string& failure() const { return failure_; }

    // Writes a new file of this user's alone; false with errno set on failure.
    bool Write(const std::string& file, const std::string& bytes) const {
        const int fd = ::openat(dir_, file.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd == -1) return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int error = n < 0 ? errno : ENOSPC;
                ::close(fd);
                errno = error;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return ::close(fd) == 0;
    }
    // The file's bytes; nullopt when it is missing or not a regular file.
    std::optional<std::string> Read(const std::string& file) const {
        Fd fd(::openat(dir_, file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        std::string bytes;
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            !ReadWhole(fd.get(), bytes, static_cast<std::size_t>(st.st_size))) {
            return std::nullopt;
        }
        return bytes;
    }

  private:
    std::string Make(const std::string& base) {
        if (std::string why = UnsafeBecause(base); !why.empty()) return why;
        const int base_fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (base_fd == -1) return base + ": " + std::strerror(errno);
        SweepDeadRuns(base_fd);
        std::random_device random;
        const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = std::string(kFolderPrefix) + std::to_string(::getpid()) + "-";
            for (int i = 0; i < 6; ++i) name += letters[random() % 36];
            if (::mkdirat(base_fd, name.c_str(), 0700) != 0) {
                if (errno == EEXIST) continue;
                const int error = errno;
                ::close(base_fd);
                return base + ": " + std::strerror(error);
            }
            const int dir =
                ::openat(base_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            struct stat st {};
            if (dir == -1 || ::fstat(dir, &st) != 0 || st.st_uid != ::geteuid() ||
                (st.st_mode & 077) != 0) {
                if (dir >= 0) ::close(dir);
                ::close(base_fd);
                return base + "/" + name + " is not this user's private folder";
            }
            base_ = base_fd;
            dir_ = dir;
            name_ = std::move(name);
            path_ = base + "/" + name_;
            return {};
        }
        ::close(base_fd);
        return base + ": " + std::strerror(EEXIST);
    }

    // The folders of this user's runs that ended without removing theirs (killed), each
    // checked by descriptor.
    static void SweepDeadRuns(int base_fd) {
        const int listing = ::dup(base_fd);
        DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
        if (entries == nullptr) {
            if (listing >= 0) ::close(listing);
            return;
        }
        ::rewinddir(entries);
        while (const dirent* entry = ::readdir(entries)) {
            const long pid = FolderOwnerPid(entry->d_name);
            if (pid <= 0 || pid == ::getpid()) continue;
            if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
            const int dir =
                ::openat(base_fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            struct stat st {};
            if (dir >= 0 && ::fstat(dir, &st) == 0 && st.st_uid == ::geteuid()) {
                RemoveFolder(base_fd, entry->d_name, dir);
            }
            if (dir >= 0) ::close(dir);
        }
        ::closedir(entries);
    }

    int base_ = -1, dir_ = -1;
    std::string name_, path_, failure_;
};

// Points unixODBC's user odbc.ini at another file for its lifetime.
class UserIniOverride {
  public:
    explicit UserIniOverride(const std::string& file) {
        if (const char* old = std::getenv("ODBCINI")) saved_ = old;
        ::setenv("ODBCINI", file.c_str(), 1);
    }
    ~UserIniOverride() {
        if (saved_) {
            ::setenv("ODBCINI", saved_->c_str(), 1);
        } else {
            ::unsetenv("ODBCINI");
        }
    }
    UserIniOverride(const UserIniOverride&) = delete;
    UserIniOverride& operator=(const UserIniOverride&) = delete;

  private:
    std::optional<std::string> saved_;
};

// "DSN=Sales" + NUL + ...: "Sales".
std::string DataSourceName(const std::string& attributes) {
    for (std::size_t at = 0; at < attributes.size();) {
        std::size_t end = attributes.find('\0', at);
        if (end == std::string::npos) end = attributes.size();
        const std::string pair = attributes.substr(at, end - at);
        if (::strncasecmp(pair.c_str(), "DSN=", 4) == 0) return pair.substr(4);
        at = end + 1;
    }
    return {};
}

}  // namespace

bool OdbcInstaller::ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                                     const std::string& attributes) {
    const std::string file = OdbcIniPath(RegRoot::CurrentUser);
    const std::string dsn = DataSourceName(attributes);
    profile_.set_content_check(OdbcIniDisagreement);
    auto fail = [&](const std::string& why) {
        NoteFailure(why + "; the driver's setup for " + dsn + " was not run.");
        return false;
    };
    if (file.empty()) return fail("unixODBC names no odbc.ini of this user");
    PrivateFolder folder;
    if (folder.path().empty()) {
        return fail("no private folder for a copy of odbc.ini: " + folder.failure());
    }
    // A missing odbc.ini stays missing in the copy.
    struct stat st {};
    const bool exists = ::stat(file.c_str(), &st) == 0;
    const std::optional<std::string> original = exists ? profile_.ReadAll(file) : std::nullopt;
    if (exists && !original) return fail(file + ": " + std::strerror(errno));
    if (original && !folder.Write("odbc.ini", *original)) {
        return fail(folder.path() + "/odbc.ini: " + std::strerror(errno));
    }
    bool result = false;
    {
        UserIniOverride redirect(folder.path() + "/odbc.ini");
        // `attributes` ends in its own NUL; c_str() adds the second that ends the list.
        result = SQLConfigDataSource(reinterpret_cast<HWND>(parent), static_cast<WORD>(request),
                                     driver.c_str(), attributes.c_str());
    }
    // Most drivers write nothing: then the file is not read as unixODBC reads it at all.
    const std::optional<std::string> changed = folder.Read("odbc.ini");
    if (dsn.empty() || changed == original) return result;

    auto lost = [&](std::string why) {
        if (why.ends_with('.')) why.pop_back();
        NoteFailure(why + "; what the driver's setup changed in " + dsn + " was not kept.");
        return false;
    };
    if (original && !folder.Write("before.ini", *original)) {
        return lost(folder.path() + "/before.ini: " + std::strerror(errno));
    }
    const DataSourceView before = ReadView(folder.path() + "/before.ini", dsn);
    const DataSourceView after = ReadView(folder.path() + "/odbc.ini", dsn);
    std::vector<KeyEdit> edits, listed;
    std::vector<std::string> removed;
    const Entries set = after.section
                            ? Changes(before.section.value_or(Entries{}), *after.section, removed)
                            : Entries{};
    for (const auto& [key, value] : set) edits.push_back(KeyEdit{key, value, false});
    for (const std::string& key : removed) edits.push_back(KeyEdit{key, "", true});
    if (after.listed != before.listed) {
        if (after.listed && IsStorableEntry(dsn, *after.listed)) {
            listed.push_back(KeyEdit{dsn, *after.listed, false});
        } else if (!after.listed) {
            listed.push_back(KeyEdit{dsn, "", true});
        }
    }
    std::vector<FileProfile::SectionEdits> sections;
    if (!edits.empty()) sections.push_back({dsn, edits});
    if (!listed.empty()) sections.push_back({kDataSourceList, listed});
    ClearFailure();
    bool kept = sections.empty() || profile_.WriteSections(sections, file);
    if (kept && !after.section && before.section) kept = profile_.DeleteSection(dsn, file);
    if (!kept) return lost(TakeFailure());
    return result;
}

}  // namespace vendaro
