#include "platform/posix/posix_file_reader.h"

#include <sys/stat.h>
#include <time.h>

#include "platform/posix/file_system.h"

namespace vendaro {
namespace {

FileState StateFrom(const struct stat& st) {
    return FileState{.device = static_cast<std::uint64_t>(st.st_dev),
                     .file = static_cast<std::uint64_t>(st.st_ino),
                     .size = static_cast<std::uint64_t>(st.st_size),
                     .write_ns = Nanos(st.st_mtim),
                     .change_ns = Nanos(st.st_ctim)};
}

}  // namespace

std::optional<FileState> PosixFileReader::StateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return StateFrom(st);
}

bool PosixFileReader::ReadOnce(const std::string& path, std::string& bytes, FileState& before,
                               FileState& after) {
    struct stat first {};
    struct stat last {};
    Fd fd(OpenRegular(path, first));
    if (fd.get() < 0 || !ReadWhole(fd.get(), bytes, static_cast<std::size_t>(first.st_size)) ||
        ::fstat(fd.get(), &last) != 0) {
        return false;
    }
    before = StateFrom(first);
    after = StateFrom(last);
    return true;
}

std::int64_t PosixFileReader::NowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return Nanos(t);
}

PosixFileReader& SystemFileReader() {
    static PosixFileReader reader;
    return reader;
}

}  // namespace vendaro
