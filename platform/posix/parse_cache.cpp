#include "platform/posix/parse_cache.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/file_text.h"
#include "platform/posix/file_system.h"

namespace vendaro {
namespace {

// A change within this long after a file's last change may leave its times as they were
// (file times follow a coarse clock), so a parse of such a file is checked against the bytes.
constexpr std::int64_t kSettleNs = 50'000'000;
// File systems that keep whole seconds (FAT keeps two).
constexpr std::int64_t kSettleCoarseNs = 2'100'000'000;
constexpr std::size_t kMaxCachedFiles = 8;
// How often a file that keeps changing while it is read is read again before the last reading
// is taken as it is.
constexpr int kReadTries = 50;

std::int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return Nanos(t);
}

bool SameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           Nanos(a.st_mtim) == Nanos(b.st_mtim) && Nanos(a.st_ctim) == Nanos(b.st_ctim);
}

}  // namespace

std::shared_ptr<const ini::Document> ParseCache::Load(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        entries_.erase(path);
        return nullptr;
    }
    auto it = entries_.find(path);
    if (it != entries_.end() && it->second.settled && SameFileState(it->second.state, st)) {
        return it->second.doc;
    }

    const std::int64_t now = NowNs();
    struct stat before {};
    std::string bytes;
    struct stat after {};
    // A file another program rewrites in place while it is read is read again, so that the
    // parse is one version of it.
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        Fd fd(OpenRegular(path, before));
        if (fd.get() < 0 || !ReadWhole(fd.get(), bytes, static_cast<std::size_t>(before.st_size)) ||
            ::fstat(fd.get(), &after) != 0) {
            entries_.erase(path);
            return nullptr;
        }
        if (SameFileState(before, after) &&
            bytes.size() == static_cast<std::uint64_t>(after.st_size)) {
            break;
        }
    }
    // Settled: the file's last change lies far enough before this read that any later change
    // gets other times. Until then the parse is only reused after comparing the bytes.
    const std::int64_t latest = std::max(Nanos(after.st_mtim), Nanos(after.st_ctim));
    const bool whole_seconds = after.st_mtim.tv_nsec == 0 && after.st_ctim.tv_nsec == 0;
    const bool settled = SameFileState(before, after) &&
                         now - latest > (whole_seconds ? kSettleCoarseNs : kSettleNs);

    // A UTF-16 file is read as the engine's 8-bit text.
    bytes = ini::DecodeFileText(std::move(bytes)).text;
    if (it != entries_.end() && SameFileState(it->second.state, after) &&
        it->second.doc->bytes() == bytes) {
        it->second.settled = settled;
        return it->second.doc;
    }
    if (it == entries_.end() && entries_.size() >= kMaxCachedFiles) entries_.clear();
    Entry& c = entries_[path];
    c.state = after;
    c.settled = settled;
    c.doc = std::make_shared<const ini::Document>(std::move(bytes));
    return c.doc;
}

}  // namespace vendaro
