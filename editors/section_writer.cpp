#include "editors/section_writer.h"

namespace vendaro {

void SectionWriter::Write(std::string_view key, std::string_view value) {
    if (!ok_) return;
    pending_.emplace_back(key, value);
}

void SectionWriter::Flush() {
    if (pending_.empty()) return;
    if (ok_) ok_ = store_.WriteIniStrings(section_, pending_) == pending_.size();
    pending_.clear();
}

}  // namespace vendaro
