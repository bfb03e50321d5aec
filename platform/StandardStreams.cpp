#include "platform/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool FillClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor is this one: the ones below are open.
        const int filled = ::open("/dev/null", O_RDONLY);
        if (filled < 0) return false;
        if (filled != fd) {
            const bool moved = dup2(filled, fd) == fd;
            ::close(filled);
            if (!moved) return false;
        }
    }
    return true;
}

}  // namespace platform
