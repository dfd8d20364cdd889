#include "platform/program_path.h"

#include <filesystem>
#include <system_error>

#include "platform/failure.h"

namespace vendaro {

std::string ProgramPath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        NoteFailure("the program's own folder is unknown (/proc/self/exe: " + error.message() +
                    ")");
        return std::string();
    }
    return path.string();
}

}  // namespace vendaro
