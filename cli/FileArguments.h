#pragma once
// IN and OUT of the commands that make one file from another (decode,
// normalise).

#include <string>

#include "cli/CommandLine.h"

// The two operands as paths, taken from where the program was started.
// False, with the command's failure said, when both name one file: OUT
// would be written over the input it is made from.
bool InputAndOutput(const Arguments& args, std::string& in, std::string& out);
