#pragma once
// Where the decoder writes its diagnostic lines ("lsp_stability warning
// Low", the division errors): standard output unless the program says
// otherwise. tolvan-cli sends them to standard error, so that they never
// land between the data a command prints.

#include <cstdio>

namespace g729 {

void SetDiagnosticOutput(std::FILE* out);
std::FILE* DiagnosticOutput();

}  // namespace g729
