#include "editors/comm_links.h"

#include "forms/text_rules.h"

namespace vendaro {

std::string BuildCommLinks(const CommLinksBoxes& boxes) {
    std::string value;
    if (boxes.tcpip) value += "TCPIP{" + text::TrimBlanks(boxes.tcpip_options) + "},";
    if (boxes.ipx) value += "IPX{" + text::TrimBlanks(boxes.ipx_options) + "},";
    if (boxes.netbios) value += "NetBIOS{" + text::TrimBlanks(boxes.netbios_options) + "}";
    if (!value.empty() && value.back() == ',') value.pop_back();
    return value;
}

std::array<CommLinksEntry, 3> ParseCommLinksEntries(std::string_view value) {
    std::array<CommLinksEntry, 3> entries;
    const std::string text = text::LowerAnsi(value);
    std::string word;
    std::size_t entry = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '{') {
            std::size_t close = text.find('}', i + 1);
            if (entry < entries.size()) {
                entries[entry].word = word;
                if (close != std::string::npos) {
                    entries[entry].options = text.substr(i + 1, close - i - 1);
                }
            }
            // Without a closing brace the scan resumes at the second character after "{".
            i = close != std::string::npos ? close + 1 : i + 2;
            ++entry;
            word.clear();
        } else {
            if (c != ',') word += c;
            ++i;
        }
    }
    return entries;
}

CommLinksBoxes ParseCommLinks(std::string_view value) {
    CommLinksBoxes boxes;
    for (const CommLinksEntry& entry : ParseCommLinksEntries(value)) {
        bool* box = nullptr;
        std::string* options = nullptr;
        if (entry.word == "tcpip") {
            box = &boxes.tcpip;
            options = &boxes.tcpip_options;
        } else if (entry.word == "ipx") {
            box = &boxes.ipx;
            options = &boxes.ipx_options;
        } else if (entry.word == "netbios") {
            box = &boxes.netbios;
            options = &boxes.netbios_options;
        } else {
            continue;
        }
        *box = true;
        if (!entry.options.empty()) *options = entry.options;
    }
    return boxes;
}

}  // namespace vendaro
