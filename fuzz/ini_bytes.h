#pragma once
// The INI engine's operations on raw bytes, each on a parse of its own: the model the tests
// compare the profiles with (the fuzz targets).
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_text.h"

namespace vendaro::ini {

inline std::optional<std::string> GetValue(std::string_view text, std::string_view section,
                                           std::string_view key) {
    return Document(std::string(text)).Get(section, key);
}
inline std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    return Document(std::string(text)).WithValue(section, key, value);
}
inline std::string DeleteKey(std::string_view text, std::string_view section,
                             std::string_view key) {
    return Document(std::string(text)).WithoutKey(section, key);
}
inline std::string DeleteSection(std::string_view text, std::string_view section) {
    return Document(std::string(text)).WithoutSection(section);
}

}  // namespace vendaro::ini
