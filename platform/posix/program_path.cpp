#include "platform/program_path.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/failure.h"

namespace vendaro {

std::string ProgramPath() {
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            NoteFailure(std::string("the program's own folder is unknown (/proc/self/exe: ") +
                        std::strerror(errno) + ")");
            return std::string();
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);  // the path may have been cut: try a larger buffer
    }
}

}  // namespace vendaro
