#include "editors/section_writer.h"

namespace vendaro {

void SectionWriter::Write(std::string_view key, std::string_view value) {
    if (!ok_) return;
    ok_ = store_.WriteIniString(section_, key, value);
}

}  // namespace vendaro
