#include "tests/codec/ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace {

std::string ReadAll(std::FILE* f) {
    std::string text;
    std::fflush(f);
    std::rewind(f);
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    return text;
}

}  // namespace

ChildResult RunInChild(const std::function<std::string()>& body) {
    ChildResult result;
    std::FILE* out = std::tmpfile();
    std::FILE* msg = std::tmpfile();
    if (out == nullptr || msg == nullptr) {
        result.message = "cannot create temporary files";
        return result;
    }
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid < 0) {
        result.message = "fork failed";
        return result;
    }
    if (pid == 0) {
        dup2(fileno(out), STDOUT_FILENO);
        const std::string text = body();
        std::fwrite(text.data(), 1, text.size(), msg);
        std::fflush(msg);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exited = WIFEXITED(status);
    result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
    result.output = ReadAll(out);
    result.message = ReadAll(msg);
    std::fclose(out);
    std::fclose(msg);
    return result;
}
