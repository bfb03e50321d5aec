#pragma once
// Faults a test injects into the program's files: a full disk, stood in for
// by a file-size limit on a child process, and a file held by another
// program.

#include <cstdint>
#include <functional>
#include <string>

// Runs body in a forked child whose files cannot grow past limitBytes (a
// write beyond it fails as on a full disk; SIGXFSZ is ignored) and returns
// body's result as the child's exit status, or -1 when the child did not
// exit normally. body must not rely on threads started by the parent.
int RunWithFileSizeLimit(uint64_t limitBytes, const std::function<int()>& body);

// Holds a write lock on an existing file, as another program writing to it
// does, until destroyed; the file's bytes are not touched.
class HeldByAnotherProgram {
public:
    explicit HeldByAnotherProgram(const std::string& path);
    ~HeldByAnotherProgram();
    HeldByAnotherProgram(const HeldByAnotherProgram&) = delete;
    HeldByAnotherProgram& operator=(const HeldByAnotherProgram&) = delete;
    bool Held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

// A disk that is full: a tmpfs of its own, mounted on a fresh folder for the
// object's life and filled to its last block, so that a write into it fails
// with "No space left on device" (folders and empty files can still be
// made). Mounting needs root; Why() says why there is none.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string why_;
    bool mounted_ = false;
};
