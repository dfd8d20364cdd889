#pragma once
// Where the running program lives.
#include <string>
#include <string_view>
#include <utility>

namespace vendaro {

// The full path of the running executable, or "" when the system cannot tell.
std::string ProgramPath();

struct ProgramLocation {
    std::string directory;  // without a separator at its end, but for the root itself
    std::string file_name;
};

// `path` split at its last character that is one of `separators`; "." and `default_name` when
// it holds none.
inline ProgramLocation SplitProgramPath(const std::string& path, std::string_view separators,
                                        std::string default_name) {
    const std::size_t slash = path.find_last_of(separators);
    if (slash == std::string::npos) return {".", std::move(default_name)};
    return {slash == 0 ? path.substr(0, 1) : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace vendaro
