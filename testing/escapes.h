#pragma once
// Bytes as the golden data files spell them, and back: CR, LF, tab, VT, NUL, "\" and "|"
// escaped, other bytes outside printable ASCII as \xHH; "{N*c}" in a field stands for N times c.
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vendaro::test {

inline std::string Show(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    const std::string_view from("\r\n\t\v\0\\|", 7), to = "rntv0\\|";
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (from.find(c) != std::string_view::npos) {
            out += {'\\', to[from.find(c)]};
        } else if (u < 32 || u > 126) {
            out += {'\\', 'x', kHex[u >> 4], kHex[u & 15]};
        } else {
            out += c;
        }
    }
    return out;
}

inline std::string Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '{') {
            const std::size_t star = field.find('*', i);
            out.append(std::stoul(std::string(field.substr(i + 1, star - i - 1))), field[star + 1]);
            i = star + 2;
        } else if (c != '\\') {
            out += c;
        } else if (field[++i] == 'x') {
            out += static_cast<char>(std::stoi(std::string(field.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            const std::string_view from = "rntv0", to("\r\n\t\v\0", 5);
            const std::size_t at = from.find(field[i]);
            out += at == std::string_view::npos ? field[i] : to[at];
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
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '|') {
                fields.emplace_back();
                continue;
            }
            if (line[i] == '\\') fields.back() += line[i++];
            fields.back() += line[i];
        }
    }
    return rows;
}

}  // namespace vendaro::test
