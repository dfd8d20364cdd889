#pragma once
// Spaces (only spaces, not tabs) trimmed from the ends of a text, as the ANSI programs' Trim
// and the profile functions' defaults do it.
#include <string_view>

namespace vendaro {

inline std::string_view TrimTrailingSpaces(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

inline std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view()
                                           : TrimTrailingSpaces(text.substr(first));
}

}  // namespace vendaro
