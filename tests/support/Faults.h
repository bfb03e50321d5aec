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
