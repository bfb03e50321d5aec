#pragma once
// The program's own folder: where the export puts its workbooks.

#include <string>

namespace platform {

// The folder of the running executable (/proc/self/exe) with a '/' at the
// end; empty when the link cannot be read.
std::u16string ProgramFolder();

}  // namespace platform
