#include "tests/support/Faults.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

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

FullDisk::FullDisk() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvan-full-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        why_ = std::string("cannot make a folder to mount on: ") + std::strerror(errno);
        return;
    }
    path_ = pattern;
    if (mount("tolvan-full", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
        why_ = std::string("cannot mount a tmpfs (the test needs root): ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
    const int filler = ::open((path_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const std::vector<char> block(4096, 'f');
    while (filler >= 0 && ::write(filler, block.data(), block.size()) > 0) continue;
    // The last bytes of a block that did not fit whole.
    while (filler >= 0 && ::write(filler, block.data(), 1) > 0) continue;
    if (filler >= 0) ::close(filler);
}

FullDisk::~FullDisk() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) rmdir(path_.c_str());
}
