#include "platform/PendingOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Temporary names are unique within the process too: two outputs may be
// pending at once.
std::string TemporaryName(const std::string& base) {
    static std::atomic<unsigned> serial{0};
    return base + "." + std::to_string(getpid()) + "." + std::to_string(serial++) + ".part";
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

PendingOutputFile::PendingOutputFile(std::string path) : path_(std::move(path)) {
    struct stat st {};
    if (stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            error_ = EISDIR;
            return;
        }
        // Not blocking: a FIFO that nobody reads is refused, not waited on.
        stream_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (stream_ < 0 || fcntl(stream_, F_SETFL, fcntl(stream_, F_GETFL) & ~O_NONBLOCK) != 0) {
            error_ = errno;
            return;
        }
        temporary_ = TemporaryName("stream");
    } else {
        // Through a symbolic link the file it names is replaced, not the link.
        if (char* real = realpath(path_.c_str(), nullptr)) {
            path_ = real;
            std::free(real);
        }
        temporary_ = TemporaryName(path_);
    }
    // Known before it exists, so that a signal never misses it.
    removal_.emplace(temporary_, platform::RemovedOnTermination::kFile);
    file_ = platform::File::CreateForWriting(temporary_);
    error_ = file_.Error();
}

PendingOutputFile::~PendingOutputFile() {
    if (stream_ >= 0) ::close(stream_);
    if (committed_) return;
    if (file_.IsOpen()) {
        file_.Close();
        platform::DeleteFileAt(temporary_);
    }
}

void PendingOutputFile::Write(const void* data, size_t size) {
    if (file_.Write(data, size) != size && !failed_) {
        failed_ = true;
        error_ = file_.Error();
    }
}

bool PendingOutputFile::CopyIntoStream() {
    platform::File gathered = platform::File::OpenForReading(temporary_);
    if (!gathered) {
        error_ = gathered.Error();
        return false;
    }
    std::vector<char> block(1 << 16);
    for (;;) {
        const size_t n = gathered.Read(block.data(), block.size());
        if (n == 0) break;
        if (!WriteAll(stream_, block.data(), n)) {
            error_ = errno;
            return false;
        }
    }
    const int fd = stream_;
    stream_ = -1;
    if (::close(fd) == 0) return true;
    error_ = errno;
    return false;
}

bool PendingOutputFile::Commit() {
    if (!file_.IsOpen()) return false;
    bool placed = file_.Close() && !failed_;
    if (!placed && !failed_) error_ = file_.Error();
    if (placed) {
        if (stream_ >= 0) {
            placed = CopyIntoStream();
        } else if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
            error_ = errno;
            placed = false;
        }
    }
    // Once renamed, nothing is left under the temporary name; otherwise the
    // temporary file goes now.
    platform::DeleteFileAt(temporary_);
    removal_.reset();
    committed_ = placed;
    return placed;
}
