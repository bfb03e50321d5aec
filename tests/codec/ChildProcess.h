#pragma once
// Runs a piece of test code in a forked child process. The decoder's state is
// process-wide, so every test that decodes does so in a fresh child: it then
// starts from the process-start state whatever ran before in the test
// program, and leaves nothing behind for the tests after it.

#include <functional>
#include <string>

struct ChildResult {
    bool exited = false;      // ended by exit/_exit rather than a signal
    int exitStatus = -1;      // its status when exited
    std::string output;       // everything it wrote to standard output
    std::string message;      // what body returned ("" = success)
};

// Forks, runs body in the child with standard output captured, and waits.
// body returns "" on success or a description of what went wrong; if it ends
// the process itself (exit), message stays empty.
ChildResult RunInChild(const std::function<std::string()>& body);
