// The process's texts and streams on POSIX.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/process.h"

namespace platform {

std::string hostText(std::string_view text) { return std::string(text); }

std::vector<std::string> programArguments(int argc, char** argv) {
    if (argc <= 1) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

void holdStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open returns the lowest free number, which is fd since every lower one is open.
        const int held = open("/dev/null", fd == 1 ? O_RDONLY : O_RDWR);
        if (held != -1 && held != fd) {
            dup2(held, fd);
            close(held);
        }
    }
}

}  // namespace platform
