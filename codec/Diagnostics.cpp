#include "codec/Diagnostics.h"

#include <atomic>

namespace g729 {

namespace {
std::atomic<std::FILE*> g_output{nullptr};  // null: standard output
}

void SetDiagnosticOutput(std::FILE* out) { g_output = out; }

std::FILE* DiagnosticOutput() {
    std::FILE* out = g_output.load();
    return out ? out : stdout;
}

}  // namespace g729
