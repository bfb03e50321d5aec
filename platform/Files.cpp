#include "platform/Files.h"

#include <dirent.h>
#include <endian.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/AsciiCase.h"
#include "platform/TextCodec.h"

namespace platform {

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (path.empty() || path.back() != u'/') path += u'/';
    path += name;
    return path;
}

std::optional<std::string> SystemPath(std::u16string_view wide) {
    for (char16_t c : wide)
        if (c == 0) return std::nullopt;
    return WideToUtf8(wide);
}

std::optional<std::string> SystemPathFromNarrow(std::string_view narrow) {
    std::string out;
    if (narrow.find('\0') != std::string_view::npos || !NarrowToUtf8(narrow, out)) return std::nullopt;
    return out;
}

std::string InCurrentFolder(std::string_view name) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    return ec ? std::string(name) : (folder / name).string();
}

std::string ErrorText(int error) {
    switch (error) {
    case kNotRegularFile:
        return "not a regular file";
    case kHeldByAnother:
        return "held by another program";
    default:
        return std::generic_category().message(error);
    }
}

namespace {

bool LockWhole(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // to the end, however far the file grows
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : fd_(other.fd_), error_(other.error_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        error_ = other.error_;
        other.fd_ = -1;
    }
    return *this;
}

File File::Refused(int fd, int error) {
    ::close(fd);
    return Failed(error);
}

namespace {

// Why an open description is not a regular file's, or 0 when it is one.
int NotRegular(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return errno;
    if (S_ISREG(st.st_mode)) return 0;
    return S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
}

}  // namespace

File File::OpenForReading(const std::string& path) {
    // Not blocking on the open: a FIFO without a writer would hold it
    // forever, and only a regular file is wanted anyway.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Failed(errno);
    if (const int error = NotRegular(fd)) return Refused(fd, error);
    if (!LockWhole(fd, F_RDLCK)) return Refused(fd, kHeldByAnother);
    if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return Refused(fd, errno);
    return File(fd, 0);
}

File File::CreateForWriting(const std::string& path) {
    // Not O_TRUNC: a file that someone else holds must stay as it is, so it is
    // emptied only once the lock is ours. Not blocking: a FIFO of that name
    // is refused, not waited on.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return Failed(errno);
    if (const int error = NotRegular(fd)) return Refused(fd, error);
    if (!LockWhole(fd, F_WRLCK)) return Refused(fd, kHeldByAnother);
    if (ftruncate(fd, 0) != 0 || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return Refused(fd, errno);
    return File(fd, 0);
}

int64_t File::Size() const {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool File::Seek(int64_t offset) {
    return fd_ >= 0 && offset >= 0 && lseek(fd_, offset, SEEK_SET) == offset;
}

size_t File::Read(void* data, size_t size) {
    size_t done = 0;
    while (fd_ >= 0 && done < size) {
        ssize_t n = ::read(fd_, static_cast<char*>(data) + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error_ = errno;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t File::ReadAt(int64_t offset, void* data, size_t size) {
    size_t done = 0;
    while (fd_ >= 0 && offset >= 0 && done < size) {
        ssize_t n = ::pread(fd_, static_cast<char*>(data) + done, size - done, offset + static_cast<int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error_ = errno;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t File::Write(const void* data, size_t size) {
    size_t done = 0;
    while (fd_ >= 0 && done < size) {
        ssize_t n = ::write(fd_, static_cast<const char*>(data) + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

bool File::Close() {
    if (fd_ < 0) return true;
    // Closing the description releases its lock. A failed close can mean
    // written data never reached the disk.
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) error_ = errno;
    return result == 0;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data, int* error) {
    data.clear();
    File in = File::OpenForReading(path);
    const int64_t size = in.Size();
    if (!in || size < 0) {
        if (error) *error = in ? errno : in.Error();
        return false;
    }
    data.resize(static_cast<size_t>(size));
    data.resize(in.Read(data.data(), data.size()));
    return true;
}

std::vector<std::u16string> SubfolderNames(std::u16string_view folder, size_t limit) {
    std::vector<std::u16string> names;
    const std::optional<std::string> path = SystemPath(folder);
    DIR* dir = path ? opendir(path->c_str()) : nullptr;
    if (!dir) return names;
    const int fd = dirfd(dir);
    while (names.size() < limit) {
        const dirent* entry = readdir(dir);
        if (!entry) break;
        if (entry->d_name[0] == '.') continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            isFolder = fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder) names.push_back(Utf8ToWide(entry->d_name));
    }
    closedir(dir);
    return names;
}

bool IsReadableFolder(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    closedir(dir);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {}, y {};
    return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

Folder::~Folder() {
    if (fd_ >= 0) ::close(fd_);
}

Folder::Folder(Folder&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

Folder Folder::Open(const std::string& path) {
    Folder f;
    f.fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return f;
}

size_t Folder::ReadFileAt(const std::string& name, int64_t offset, void* data, size_t size) const {
    if (fd_ < 0) return 0;
    // No fstat: only the read matters, and pread fails on anything that is
    // not a regular file (EISDIR, ESPIPE). O_NONBLOCK keeps a pipe's open
    // from waiting for a writer.
    const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    ssize_t got = 0;
    if (LockWhole(fd, F_RDLCK)) got = ::pread(fd, data, size, offset);
    ::close(fd);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool NameLess(std::u16string_view a, std::u16string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

namespace {

// One code unit in the key's form: 1 to 127 as one byte, every other unit as
// three bytes of 0x80 and up (its top 2, middle 7 and low 7 bits). Byte order
// is then unit order, and only the separator is a zero byte.
void PutKeyUnit(char16_t c, std::string& key) {
    if (c != 0 && c < 0x80) {
        key += static_cast<char>(c);
        return;
    }
    key += static_cast<char>(0x80 | c >> 14);
    key += static_cast<char>(0x80 | (c >> 7 & 0x7f));
    key += static_cast<char>(0x80 | (c & 0x7f));
}

}  // namespace

void AppendNameKey(std::u16string_view name, std::string& key) {
    const bool ascii = std::all_of(name.begin(), name.end(), [](char16_t c) { return c != 0 && c < 0x80; });
    if (ascii) {  // the usual name: one byte a unit, written in place
        size_t at = key.size();
        key.resize(at + 2 * name.size() + 1);
        for (char16_t c : name) key[at++] = static_cast<char>(FoldAscii(c));
        key[at++] = '\0';
        for (char16_t c : name) key[at++] = static_cast<char>(c);
        return;
    }
    for (char16_t c : name) PutKeyUnit(FoldAscii(c), key);
    key += '\0';
    for (char16_t c : name) PutKeyUnit(c, key);
}

bool NameMatchesPattern(std::u16string_view name, std::u16string_view pattern) {
    // Greedy '*' with one back-track point: linear for the patterns used here.
    size_t n = 0, p = 0, star = std::u16string_view::npos, retry = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = ++p;
            retry = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::u16string_view::npos) {
            p = star;
            n = ++retry;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

namespace {

// Appends what Utf8ToWide gives for utf8; an ASCII name, the usual one,
// without a string of its own.
void AppendWide(std::string_view utf8, std::u16string& out) {
    const size_t start = out.size();
    for (unsigned char c : utf8) {
        if (c >= 0x80) {
            out.resize(start);
            out += Utf8ToWide(utf8);
            return;
        }
        out += static_cast<char16_t>(c);
    }
}

}  // namespace

bool FileFinder::FindFirst(std::u16string_view pattern) {
    Close();
    size_t slash = pattern.rfind(u'/');
    std::u16string_view folder = slash == std::u16string_view::npos ? u"." : pattern.substr(0, slash == 0 ? 1 : slash);
    std::u16string_view namePattern = slash == std::u16string_view::npos ? pattern : pattern.substr(slash + 1);
    std::optional<std::string> sysFolder = SystemPath(folder);
    if (!sysFolder) return false;

    DIR* dir = opendir(sysFolder->c_str());
    if (!dir) return false;
    int dirFd = dirfd(dir);
    std::u16string wide;  // each name in turn, and its key, in one string each
    std::string key;
    while (dirent* e = readdir(dir)) {
        if (e->d_type != DT_REG) {
            if (e->d_type != DT_UNKNOWN && e->d_type != DT_LNK) continue;
            struct stat st {};
            if (fstatat(dirFd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
        }
        wide.clear();
        AppendWide(e->d_name, wide);
        if (!NameMatchesPattern(wide, namePattern)) continue;
        key.clear();
        AppendNameKey(wide, key);
        Match m{};
        m.keyLength = key.size();
        // The key's first bytes as numbers, compared before the pool is
        // looked at; a short key (an ASCII name of up to 15 characters) is
        // all there, so sorting and listing read only the array.
        unsigned char head[kHeadBytes] = {};
        std::memcpy(head, key.data(), std::min(key.size(), kHeadBytes));
        std::memcpy(m.head, head, kHeadBytes);
        for (uint64_t& part : m.head) part = be64toh(part);
        if (key.size() > sizeof head) {
            m.key = keys_.size();
            keys_ += key;
        }
        matches_.push_back(m);
    }
    closedir(dir);
    if (matches_.empty()) return false;
    // Plain byte keys: no folding while sorting. Heads padded with zero bytes
    // order keys as their bytes do: keys with equal heads agree in their
    // first kHeadBytes bytes, and a key that ends within them is a prefix of
    // the other.
    const char* keys = keys_.data();
    std::sort(matches_.begin(), matches_.end(), [keys](const Match& a, const Match& b) {
        for (int i = 0; i < 4; ++i)
            if (a.head[i] != b.head[i]) return a.head[i] < b.head[i];
        if (a.keyLength <= kHeadBytes || b.keyLength <= kHeadBytes) return a.keyLength < b.keyLength;
        const int order = std::memcmp(keys + a.key + kHeadBytes, keys + b.key + kHeadBytes,
                                      std::min(a.keyLength, b.keyLength) - kHeadBytes);
        return order != 0 ? order < 0 : a.keyLength < b.keyLength;
    });
    SetCurrent();
    return true;
}

bool FileFinder::FindNext() {
    if (current_ + 1 >= matches_.size()) return false;
    ++current_;
    SetCurrent();
    return true;
}

void FileFinder::SetCurrent() {
    const Match& m = matches_[current_];
    uint64_t head[kHeadBytes / 8];
    const unsigned char* key = reinterpret_cast<const unsigned char*>(head);
    if (m.keyLength > kHeadBytes) {
        key = reinterpret_cast<const unsigned char*>(keys_.data() + m.key);
    } else {
        for (size_t i = 0; i < kHeadBytes / 8; ++i) head[i] = htobe64(m.head[i]);
    }
    // The name is the key's second half, behind the folded name (as long as
    // the name's own form) and the zero byte.
    name_.resize(m.keyLength / 2);  // room for the most units it may hold
    size_t n = 0;
    for (size_t i = (m.keyLength - 1) / 2 + 1; i < m.keyLength;) {
        if (key[i] < 0x80) {
            name_[n++] = static_cast<char16_t>(key[i++]);
        } else {
            name_[n++] = static_cast<char16_t>((key[i] & 3) << 14 | (key[i + 1] & 0x7f) << 7 | (key[i + 2] & 0x7f));
            i += 3;
        }
    }
    name_.resize(n);
}

void FileFinder::Close() {
    keys_.clear();
    matches_.clear();
    name_.clear();
    current_ = 0;
}

}  // namespace platform
