#include "platform/PrivateWorkFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

std::string Parent() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/' && access(runtime, W_OK | X_OK) == 0)
        return runtime;
    std::error_code ec;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : temp.string();
}

constexpr char kPrefix[] = "tolvan-";
constexpr char kOwnerFile[] = "/.owner";

// Takes the whole-file write lock of fd without waiting.
bool Lock(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Removes this user's folders under parent whose owner lock can be taken:
// their process has ended. The lock is kept while the folder is removed, so
// that two programs starting at once do not both remove it.
void RemoveAbandoned(const std::string& parent) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) continue;
        const std::string folder = it->path().string();
        struct stat st {};
        if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) continue;
        const int fd = ::open((folder + kOwnerFile).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (Lock(fd)) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
        ::close(fd);
    }
}

}  // namespace

PrivateWorkFolder::PrivateWorkFolder() {
    std::error_code ec;
    start_ = std::filesystem::current_path(ec).string();
    if (ec) {
        error_ = "cannot tell the current folder: " + ec.message();
        return;
    }
    RemoveAbandoned(Parent());
    std::string pattern = Parent() + "/" + kPrefix + std::to_string(getpid()) + "-XXXXXX";
    // mkdtemp makes it mode 700.
    if (!mkdtemp(pattern.data())) {
        error_ = "cannot make a private working folder in " + Parent() + ": " + std::strerror(errno);
        return;
    }
    if (chdir(pattern.c_str()) != 0) {
        error_ = "cannot enter the private working folder " + pattern + ": " + std::strerror(errno);
        rmdir(pattern.c_str());
        return;
    }
    // Locked before it takes the name another program looks for.
    const std::string owner = pattern + kOwnerFile;
    owner_ = ::open((owner + ".new").c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (owner_ < 0 || !Lock(owner_) || rename((owner + ".new").c_str(), owner.c_str()) != 0) {
        error_ = "cannot lock the private working folder " + pattern + ": " + std::strerror(errno);
        if (owner_ >= 0) ::close(owner_);
        owner_ = -1;
        if (chdir(start_.c_str()) != 0) (void)chdir("/");
        std::filesystem::remove_all(pattern, ec);
        return;
    }
    path_ = pattern;
}

PrivateWorkFolder::~PrivateWorkFolder() {
    if (path_.empty()) return;
    if (chdir(start_.c_str()) == 0 || chdir("/") == 0) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ::close(owner_);
}

std::string PrivateWorkFolder::Resolve(const std::string& path) const {
    if (path.empty() || path[0] == '/') return path;
    return start_ == "/" ? "/" + path : start_ + "/" + path;
}

}  // namespace platform
