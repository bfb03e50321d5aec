#pragma once
// The subcommands of tolvan-cli. Each takes the arguments after its name and
// returns the process exit status.

#include <string>
#include <vector>

using CommandArgs = std::vector<std::string>;

int RunListCommand(const CommandArgs& args);
