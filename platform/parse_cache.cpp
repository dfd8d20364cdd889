#include "platform/parse_cache.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/file_text.h"

namespace vendaro {
namespace {

// A change within this long after a file's last change may leave its times as they were
// (file times follow a coarse clock).
constexpr std::int64_t kSettleNs = 50'000'000;
// File systems that keep whole seconds (FAT keeps two).
constexpr std::int64_t kSettleCoarseNs = 2'100'000'000;
constexpr std::int64_t kSecondNs = 1'000'000'000;
constexpr std::size_t kMaxCachedFiles = 8;
// How often a file that keeps changing while it is read is read again before the last reading
// is taken as it is.
constexpr int kReadTries = 50;

}  // namespace

bool ReadStable(FileReader& reader, const std::string& path, std::string& bytes, FileState* before,
                FileState* after) {
    FileState first, last;
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        if (!reader.ReadOnce(path, bytes, first, last)) return false;
        if (first == last && bytes.size() == last.size) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt < 10 ? 0 : 1));
    }
    if (before != nullptr) *before = first;
    if (after != nullptr) *after = last;
    return true;
}

std::shared_ptr<const ini::Document> ParseCache::Load(const std::string& path) {
    const std::optional<FileState> seen = reader_.StateOf(path);
    if (!seen) {
        entries_.erase(path);
        return nullptr;
    }
    auto it = entries_.find(path);
    std::shared_ptr<const ini::Document> kept =
        it != entries_.end() ? it->second.used.lock() : nullptr;
    if (kept && it->second.settled && it->second.state == *seen) return kept;

    const std::int64_t now = reader_.NowNs();
    std::string bytes;
    FileState before, after;
    if (!ReadStable(reader_, path, bytes, &before, &after)) {
        entries_.erase(path);
        return nullptr;
    }
    // Settled: the file's last change lies far enough before this read that any later change
    // gets other times. Until then the parse is only reused after comparing the bytes.
    const std::int64_t latest = std::max({after.write_ns, after.change_ns, after.creation_ns});
    const bool whole_seconds = after.write_ns % kSecondNs == 0 && after.change_ns % kSecondNs == 0;
    const bool settled =
        before == after && now - latest > (whole_seconds ? kSettleCoarseNs : kSettleNs);
    std::string text = ini::DecodeFileText(std::move(bytes)).text;
    if (kept && it->second.state == after && kept->bytes() == text) {
        it->second.settled = settled;
        return kept;
    }
    if (it == entries_.end() && entries_.size() >= kMaxCachedFiles) entries_.clear();
    Entry& entry = entries_[path];
    entry.state = after;
    entry.settled = settled;
    auto doc = std::make_shared<const ini::Document>(std::move(text));
    entry.used = doc;
    entry.kept = keep_ == Keep::Always ? doc : nullptr;
    return doc;
}

}  // namespace vendaro
