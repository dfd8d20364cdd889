#pragma once
// Bytes as the golden data files spell them, and back: CR, LF, tab, VT, NUL, "\" and "|"
// escaped, other bytes outside printable ASCII as \xHH; "{N*c}" in a field stands for N times c.
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

namespace vendaro::test {

// The escaped bytes, each above the letter that follows its "\".
inline constexpr std::string_view kEscaped("\r\n\t\v\0\\|", 7), kLetters = "rntv0\\|";

inline std::string Show(std::string_view bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        const std::size_t at = kEscaped.find(static_cast<char>(c));
        const char* hex = "0123456789ABCDEF";
        out += at != kEscaped.npos ? std::string{'\\', kLetters[at]}
               : c < 32 || c > 126 ? std::string{'\\', 'x', hex[c >> 4], hex[c & 15]}
                                   : std::string(1, static_cast<char>(c));
    }
    return out;
}

inline std::string Unescape(std::string_view f) {
    std::string out;
    for (std::size_t i = 0, star; i < f.size(); ++i) {
        if (f[i] == '{' && i + 1 < f.size() && std::isdigit(static_cast<unsigned char>(f[i + 1])) &&
            (star = f.find('*', i)) != f.npos) {
            out.append(std::stoul(std::string(f.substr(i + 1, star - i - 1))), f[star + 1]);
            i = star + 2;
        } else if (f[i] == '\\' && f[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(std::string(f.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            const std::size_t at = f[i] == '\\' ? kLetters.find(f[++i]) : kLetters.npos;
            out += at == kLetters.npos ? f[i] : kEscaped[at];
        }
    }
    return out;
}

// The rows of a data file, each split at its unescaped "|"s, the fields still escaped; blank
// lines and "#" lines are skipped.
inline std::vector<std::vector<std::string>> ReadRows(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string>& fields = rows.emplace_back(1);
        for (std::size_t i = 0, n = 1; i < line.size(); i += n) {  // n: 2 for an escape
            n = line[i] == '\\' ? 2 : 1;
            line[i] == '|' ? fields.emplace_back() : fields.back() += line.substr(i, n);
        }
    }
    return rows;
}

}  // namespace vendaro::test
