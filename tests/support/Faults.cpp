#include "tests/support/Faults.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

int RunWithFileSizeLimit(uint64_t limitBytes, const std::function<int()>& body) {
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
        const int result = body();
        std::fflush(nullptr);
        _exit(result);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

HeldByAnotherProgram::HeldByAnotherProgram(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    held_ = fcntl(fd_, F_OFD_SETLK, &lock) == 0;
}

HeldByAnotherProgram::~HeldByAnotherProgram() {
    if (fd_ >= 0) ::close(fd_);
}
