#pragma once
// Runs a built program the way a script would, in a chosen current directory,
// and gives back its exit status and what it printed; or starts it in the
// background, for a test that sends it signals or looks at it while it runs.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

struct ProgramResult {
    int status;       // exit status; -1 when it did not exit normally
    std::string out;  // standard output
    std::string err;  // standard error
};

ProgramResult RunProgram(const std::string& workingDir, const std::string& program,
                         const std::vector<std::string>& args);

struct StartOptions {
    std::string stdoutPath = "/dev/null";
    std::string stderrPath = "/dev/null";
    // Standard descriptors (of 0, 1 and 2) left closed, as a careless parent
    // leaves them; the paths above are then not used for them.
    std::vector<int> closedStreams;
    // Variables set for the program only.
    std::vector<std::pair<std::string, std::string>> environment;
    // Signals the program starts with ignored, as nohup leaves SIGHUP.
    std::vector<int> ignoredSignals;
};

// Starts program with args in workingDir, standard input from /dev/null, and
// SIGINT, SIGTERM and SIGHUP taken as a shell's foreground command takes
// them unless ignored above; returns its process id.
pid_t StartProgram(const std::string& workingDir, const std::string& program, const std::vector<std::string>& args,
                   const StartOptions& options = {});

// The exit status of a started program; -1 when a signal ended it. One still
// running after timeout is killed and gives -2; -3 when it cannot be waited
// for.
int WaitForProgram(pid_t pid, std::chrono::milliseconds timeout = std::chrono::seconds(60));
