#include "tests/support/RunProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

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
    StartOptions options;
    options.stdoutPath = capture.File("out");
    options.stderrPath = capture.File("err");
    const pid_t pid = StartProgram(workingDir, program, args, options);
    int raw = 0;
    if (pid < 0 || waitpid(pid, &raw, 0) != pid) return {-1, {}, {}};
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(options.stdoutPath), Slurp(options.stderrPath)};
}

pid_t StartProgram(const std::string& workingDir, const std::string& program, const std::vector<std::string>& args,
                   const StartOptions& options) {
    // Everything the child needs is made before the fork: between fork and
    // exec a child of a threaded program may only make system calls.
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : options.environment) replaced |= entry.rfind(name + "=", 0) == 0;
        if (!replaced) environment.push_back(entry);
    }
    for (const auto& [name, value] : options.environment) environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(workingDir.c_str()) != 0) _exit(127);
    // Whatever the test program was started with.
    for (int s : {SIGINT, SIGTERM, SIGHUP}) signal(s, SIG_DFL);
    for (int s : options.ignoredSignals) signal(s, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(options.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (int fd : {in, out, err})
        if (fd > 2) close(fd);
    for (int fd : options.closedStreams) close(fd);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
}

int WaitForProgram(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int raw = 0;
    for (;;) {
        const pid_t got = waitpid(pid, &raw, WNOHANG);
        if (got == pid) return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        if (got < 0) return -3;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
