#include "tests/support/RunProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "tests/support/TempFolder.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

ProgramResult RunProgram(const std::string& workingDir, const std::string& program,
                         const std::vector<std::string>& args) {
    TempFolder capture;
    std::string outPath = capture.File("out"), errPath = capture.File("err");
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(workingDir.c_str()) != 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int raw = 0;
    if (pid < 0 || waitpid(pid, &raw, 0) != pid) return {-1, {}, {}};
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(outPath), Slurp(errPath)};
}
