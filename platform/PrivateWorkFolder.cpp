#include "platform/PrivateWorkFolder.h"

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

// Removes this user's folders under parent whose owner file can be opened
// for reading: nobody holds it for writing, so their process has ended.
// Opening for reading never creates the file, so a folder still being made
// (no owner file yet) is not touched.
void RemoveAbandoned(const std::string& parent) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) continue;
        const std::string folder = it->path().string();
        struct stat st {};
        if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) continue;
        if (File::OpenForReading(folder + kOwnerFile)) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
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
    const std::string parent = Parent();
    RemoveAbandoned(parent);
    // A signal waits until the folder is known to its handler: none finds a
    // folder made and not yet registered.
    const TerminationSignalsHeld held;
    std::string pattern = parent + "/" + kPrefix + std::to_string(getpid()) + "-XXXXXX";
    // mkdtemp makes it mode 700.
    if (!mkdtemp(pattern.data())) {
        error_ = "cannot make a private working folder in " + parent + ": " + std::strerror(errno);
        return;
    }
    if (chdir(pattern.c_str()) != 0) {
        error_ = "cannot enter the private working folder " + pattern + ": " + std::strerror(errno);
        rmdir(pattern.c_str());
        return;
    }
    // Held for writing before it takes the name another program looks for.
    const std::string owner = pattern + kOwnerFile;
    owner_ = File::CreateForWriting(owner + ".new");
    if (!owner_ || rename((owner + ".new").c_str(), owner.c_str()) != 0) {
        error_ = "cannot hold the private working folder " + pattern + ": " + std::strerror(errno);
        owner_.Close();
        if (chdir(start_.c_str()) != 0) (void)chdir("/");
        std::filesystem::remove_all(pattern, ec);
        return;
    }
    path_ = pattern;
    removal_.emplace(path_, RemovedOnTermination::kFolder);
}

PrivateWorkFolder::~PrivateWorkFolder() {
    if (path_.empty()) return;
    if (chdir(start_.c_str()) == 0 || chdir("/") == 0) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

std::string PrivateWorkFolder::Resolve(const std::string& path) const {
    if (path.empty() || path[0] == '/') return path;
    return start_ == "/" ? "/" + path : start_ + "/" + path;
}

}  // namespace platform
