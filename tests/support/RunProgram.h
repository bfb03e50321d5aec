#pragma once
// Runs a built program the way a script would, in a chosen current directory,
// and gives back its exit status and what it printed.

#include <string>
#include <vector>

struct ProgramResult {
    int status;       // exit status; -1 when it did not exit normally
    std::string out;  // standard output
    std::string err;  // standard error
};

ProgramResult RunProgram(const std::string& workingDir, const std::string& program,
                         const std::vector<std::string>& args);
