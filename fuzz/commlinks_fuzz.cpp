// Fuzzes the CommLinks value of the Adaptive Server Anywhere editor.
//
// Invariants:
// - the parse of any text never fails, finds at most three entries, and no option text it
//   hands back holds "}" or an upper-case letter;
// - the parse of a build gives back the checked boxes, each with its option text trimmed of
//   blanks and lower-cased (as Windows-1252 folds letters), unless an option text holds "}"
//   (the value has no escaping, so such a text cuts its entry short);
// - building what a parse gave and parsing that again gives the same boxes, trimmed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editors/comm_links.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace vendaro;

// Windows-1252 lower case: A-Z, the accented capitals 0xC0-0xDE but the multiplication sign,
// S caron, OE, Z caron and Y diaeresis.
unsigned char Lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
    if (c == 0x9F) return 0xFF;
    return c;
}

bool IsUpper1252(unsigned char c) {
    return Lower1252(c) != c;
}

std::string Lowered(std::string_view s) {
    std::string out;
    for (unsigned char c : s) out += static_cast<char>(Lower1252(c));
    return out;
}

std::string TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

void CheckParsed(const CommLinksBoxes& boxes) {
    for (const std::string* options :
         {&boxes.tcpip_options, &boxes.ipx_options, &boxes.netbios_options}) {
        REQUIRE_THAT(options->find('}') == std::string::npos);
        for (unsigned char c : *options) REQUIRE_THAT(!IsUpper1252(c));
    }
    // An unchecked box gets no option text.
    REQUIRE_THAT(boxes.tcpip || boxes.tcpip_options.empty());
    REQUIRE_THAT(boxes.ipx || boxes.ipx_options.empty());
    REQUIRE_THAT(boxes.netbios || boxes.netbios_options.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);

    // Boxes as the user leaves them, built and parsed back.
    CommLinksBoxes boxes;
    boxes.tcpip = in.ConsumeBool();
    boxes.ipx = in.ConsumeBool();
    boxes.netbios = in.ConsumeBool();
    boxes.tcpip_options = in.ConsumeRandomLengthString(300);
    boxes.ipx_options = in.ConsumeRandomLengthString(300);
    boxes.netbios_options = in.ConsumeRandomLengthString(300);
    const std::string value = BuildCommLinks(boxes);
    REQUIRE_THAT(value.empty() == !(boxes.tcpip || boxes.ipx || boxes.netbios));
    REQUIRE_THAT(value.empty() || value.back() == '}');

    const CommLinksBoxes parsed = ParseCommLinks(value);
    CheckParsed(parsed);
    bool cut = false;
    if (boxes.tcpip) cut = cut || boxes.tcpip_options.find('}') != std::string::npos;
    if (boxes.ipx) cut = cut || boxes.ipx_options.find('}') != std::string::npos;
    if (boxes.netbios) cut = cut || boxes.netbios_options.find('}') != std::string::npos;
    if (!cut) {
        REQUIRE_THAT(parsed.tcpip == boxes.tcpip);
        REQUIRE_THAT(parsed.ipx == boxes.ipx);
        REQUIRE_THAT(parsed.netbios == boxes.netbios);
        if (boxes.tcpip)
            REQUIRE_THAT(parsed.tcpip_options == Lowered(TrimSpaces(boxes.tcpip_options)));
        if (boxes.ipx) REQUIRE_THAT(parsed.ipx_options == Lowered(TrimSpaces(boxes.ipx_options)));
        if (boxes.netbios) {
            REQUIRE_THAT(parsed.netbios_options == Lowered(TrimSpaces(boxes.netbios_options)));
        }
    }

    // Any text at all, as a hand-edited script may hold it.
    const std::string text = in.ConsumeRemainingBytesAsString();
    const auto entries = ParseCommLinksEntries(text);
    for (const CommLinksEntry& entry : entries) {
        REQUIRE_THAT(entry.options.size() <= text.size() && entry.word.size() <= text.size());
        REQUIRE_THAT(entry.word.find(',') == std::string::npos);
        REQUIRE_THAT(entry.options.find('}') == std::string::npos);
    }
    const CommLinksBoxes loaded = ParseCommLinks(text);
    CheckParsed(loaded);
    // Saving what was loaded and loading it again keeps every box, its options trimmed.
    const CommLinksBoxes again = ParseCommLinks(BuildCommLinks(loaded));
    REQUIRE_THAT(again.tcpip == loaded.tcpip && again.ipx == loaded.ipx &&
                 again.netbios == loaded.netbios);
    REQUIRE_THAT(again.tcpip_options == TrimSpaces(loaded.tcpip_options));
    REQUIRE_THAT(again.ipx_options == TrimSpaces(loaded.ipx_options));
    REQUIRE_THAT(again.netbios_options == TrimSpaces(loaded.netbios_options));
    return 0;
}
