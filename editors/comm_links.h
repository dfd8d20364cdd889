#pragma once
// The CommLinks value of an Adaptive Server Anywhere script: the three network protocol boxes
// with their option texts, built into one text at Save and parsed back at opening.
#include <array>
#include <string>
#include <string_view>

namespace vendaro {

struct CommLinksBoxes {
    bool tcpip = false;
    std::string tcpip_options;
    bool ipx = false;
    std::string ipx_options;
    bool netbios = false;
    std::string netbios_options;
    bool operator==(const CommLinksBoxes&) const = default;
};

// One protocol entry found by the parse: its word and the text between its braces.
struct CommLinksEntry {
    std::string word;
    std::string options;
    bool operator==(const CommLinksEntry&) const = default;
};

// The value for the checked boxes, in the order TCP/IP, IPX, NetBIOS, each option text with
// its blanks trimmed: "TCPIP{abc},IPX{}", "NetBIOS{}"; "" when no box is checked (the key is
// then removed).
std::string BuildCommLinks(const CommLinksBoxes& boxes);

// The first three entries of `value`, lower-cased as a whole; entries not found are empty.
// The whole value is scanned, however long.
std::array<CommLinksEntry, 3> ParseCommLinksEntries(std::string_view value);

// The boxes `value` checks and the option texts it gives them. A protocol named twice keeps
// the option text of its later entry when that is not empty. An unchecked box, or a checked
// one whose entries gave no option text, has an empty option text here, meaning "leave the
// field as it is".
CommLinksBoxes ParseCommLinks(std::string_view value);

}  // namespace vendaro
