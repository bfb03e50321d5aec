#pragma once
// File access as the program expects it: files are opened without sharing,
// paths are joined with '/', and a folder is searched with a wildcard in name
// order. Every path given to these functions is already in the file system's
// form (UTF-8); SystemPath() makes one from the program's wide or narrow path.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Joins folder and name with one '/', none added when the folder already ends
// with one (the root "/"). No length is imposed: a path too long for the
// system is one the system refuses to open, with its own reason.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

// The file system's form of a program path; nothing when a character cannot
// be represented (a CP936 byte sequence that is not valid, say).
std::optional<std::string> SystemPath(std::u16string_view wide);
std::optional<std::string> SystemPathFromNarrow(std::string_view narrow);

// name (a file of the current folder) as an absolute path, for messages;
// name alone when the current folder cannot be told (it was removed).
std::string InCurrentFolder(std::string_view name);

// Why an operation on a file failed: the system's error number, or one of
// the program's own reasons below.
inline constexpr int kNotRegularFile = -1;  // a device or a FIFO where a file is wanted
inline constexpr int kHeldByAnother = -2;   // another opener holds the file
// The reason as a text: the system's ("No space left on device") or the
// program's own.
std::string ErrorText(int error);

// An open file, held without sharing: a reader excludes writers, a writer
// excludes everyone (open file description locks, so this holds between two
// opens in one process as well as between processes).
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // An existing file, for reading only. Fails when it is missing, is not a
    // regular file, or another opener holds it for writing; Error() says why.
    static File OpenForReading(const std::string& path);
    // Creates the file or replaces an existing one, for writing. Fails without
    // touching the file when another opener holds it; Error() says why.
    static File CreateForWriting(const std::string& path);

    bool IsOpen() const { return fd_ >= 0; }
    explicit operator bool() const { return IsOpen(); }
    // Why the open, or the last read, write or close that failed, failed; 0
    // when nothing has.
    int Error() const { return error_; }

    // Size in bytes, or -1 on failure.
    int64_t Size() const;
    // Moves to an absolute offset.
    bool Seek(int64_t offset);
    // Reads up to size bytes; returns how many were read (short at the end).
    size_t Read(void* data, size_t size);
    // Reads up to size bytes from offset without moving the file position.
    size_t ReadAt(int64_t offset, void* data, size_t size);
    // Writes all bytes unless an error occurs; returns how many were written.
    size_t Write(const void* data, size_t size);
    // False when the system reports an error on closing (written data may be
    // lost); a file that is not open closes successfully.
    bool Close();

private:
    File(int fd, int error) : fd_(fd), error_(error) {}
    static File Failed(int error) { return File(-1, error); }
    // Closes fd, which failed to become a File for error.
    static File Refused(int fd, int error);
    int fd_ = -1;
    int error_ = 0;
};

// Reads the whole regular file at path, opened for reading without sharing,
// into data: as many bytes as reading gives. False, with data empty, when the
// file cannot be opened; then *error, when given, says why.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data, int* error = nullptr);

// The names of the visible folders in folder (a program path): symbolic
// links to folders included, names starting with '.' left out, in no
// particular order, at most limit of them; empty when folder cannot be read.
// A name that is not UTF-8 is given as Utf8ToWide gives it, so joined to
// folder it still opens the folder it names.
std::vector<std::u16string> SubfolderNames(std::u16string_view folder, size_t limit = SIZE_MAX);

// True when path (file-system form) is a folder this process can list; when
// not, errno says why (ENOENT, ENOTDIR, EACCES, ...).
bool IsReadableFolder(const std::string& path);

// True when both paths name one existing file (the same device and inode,
// through links too).
bool SameFile(const std::string& a, const std::string& b);

// Removes a file; false when it did not exist or could not be removed.
bool DeleteFileAt(const std::string& path);

// An open folder, for reading many files in it: each is opened relative to
// the folder, so the folder's path is not resolved again for every file.
class Folder {
public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // path in file-system form; check IsOpen().
    static Folder Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    // Reads up to size bytes at offset of the file called name (file-system
    // form) in this folder, held as File::OpenForReading holds a file for the
    // time of the read: a file another program writes to is not read. Returns
    // the bytes read, 0 when the file cannot be opened or is not a regular
    // file's data (a folder, a pipe).
    size_t ReadFileAt(const std::string& name, int64_t offset, void* data, size_t size) const;

private:
    int fd_ = -1;
};

// Case-insensitive (ASCII letters only) wildcard match of a file name against
// a pattern of '*' and '?', as the device's FAT volumes compare names.
bool NameMatchesPattern(std::u16string_view name, std::u16string_view pattern);

// The order a folder's names are listed in: ASCII letters compared without
// case first, then code units to break ties (the way a Windows volume lists
// them). The plain comparison the sort keys below are checked against.
bool NameLess(std::u16string_view a, std::u16string_view b);

// Appends to key a byte string whose plain byte order (memcmp, shorter
// first on a common prefix) is NameLess's order of the names: the folded name,
// a zero byte, and the name itself, each code unit as one byte (1 to 127) or
// three (the rest). Names hold no zero code unit (file names never do).
void AppendNameKey(std::u16string_view name, std::string& key);

// Find first/next over one folder: the regular files whose names match the
// pattern's name part, in NameLess order.
class FileFinder {
public:
    // pattern is a folder, '/', and a name pattern ("/data/VOC*.wav").
    // Returns false when the folder cannot be read or nothing matches.
    bool FindFirst(std::u16string_view pattern);
    // Moves to the next match; false when there is none.
    bool FindNext();
    // The current match's name.
    const std::u16string& Name() const { return name_; }
    void Close();

private:
    // One match: its sort key, which holds its name; a key longer than its
    // head is also kept whole in the pool.
    static constexpr size_t kHeadBytes = 32;
    struct Match {
        uint64_t head[kHeadBytes / 8];  // the key's first bytes, big-endian, zero-padded
        size_t key;                     // where a longer key lies in the pool
        size_t keyLength;
    };
    void SetCurrent();

    // The keys too long for their heads, back to back.
    std::string keys_;
    std::vector<Match> matches_;
    size_t current_ = 0;
    std::u16string name_;
};

}  // namespace platform
