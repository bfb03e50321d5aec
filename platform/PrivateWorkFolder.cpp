#include "platform/PrivateWorkFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

PrivateWorkFolder::PrivateWorkFolder() {
    std::error_code ec;
    start_ = std::filesystem::current_path(ec).string();
    if (ec) {
        error_ = "cannot tell the current folder: " + ec.message();
        return;
    }
    std::string pattern = Parent() + "/tolvan-" + std::to_string(getpid()) + "-XXXXXX";
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
    path_ = pattern;
}

PrivateWorkFolder::~PrivateWorkFolder() {
    if (path_.empty()) return;
    if (chdir(start_.c_str()) != 0 && chdir("/") != 0) return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string PrivateWorkFolder::Resolve(const std::string& path) const {
    if (path.empty() || path[0] == '/') return path;
    return start_ == "/" ? "/" + path : start_ + "/" + path;
}

}  // namespace platform
