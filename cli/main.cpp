// tolvan-cli: the player's work without a window, for scripts and large
// archives. It drives the same code as the window.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "codec/Diagnostics.h"
#include "platform/Files.h"
#include "platform/PrivateWorkFolder.h"
#include "platform/StandardStreams.h"
#include "platform/TerminationSignals.h"
#include "resources/BuildInfo.h"

namespace {

// The command table, in the order the usage lists them.
const CommandSpec* const kCommands[] = {
    &kListCommand, &kExportCommand, &kDecodeCommand, &kNormaliseCommand, &kConvertCommand, &kPlayCommand,
};

int Usage(std::FILE* out, int status) {
    std::fprintf(out, "usage:\n");
    for (const CommandSpec* c : kCommands)
        std::fprintf(out, "  tolvan-cli %.*s\n", static_cast<int>(c->usage.size()), c->usage.data());
    std::fprintf(out, "  tolvan-cli COMMAND --help\n  tolvan-cli --help | --version\n%s", kExitStatusText);
    return status;
}

int ShowUsage() { return Usage(stdout, 0); }

int ShowVersion() {
    std::printf("tolvan-cli %s\n", kTolvanVersion);
    return 0;
}

// What the program itself answers in place of a command.
const struct {
    std::string_view name;
    int (*run)();
} kProgramOptions[] = {
    {"--help", ShowUsage},
    {"-h", ShowUsage},
    {"--version", ShowVersion},
};

const platform::PrivateWorkFolder* g_workFolder = nullptr;

// Runs command with its arguments in the program's working folder.
int Run(const CommandSpec& command, const std::vector<std::string>& args) {
    Arguments arguments(command);
    if (const std::optional<int> status = arguments.Parse(args)) return *status;
    // Signals end the command, leaving nothing of it behind, from before
    // the working folder exists.
    platform::EndOnTerminationSignals();
    // The decoder's diagnostic lines never mix with the data on stdout.
    g729::SetDiagnosticOutput(stderr);
    // A file grown past the size limit is a failed write, reported as such,
    // not a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    const platform::PrivateWorkFolder work;
    if (!work.Ok()) {
        std::fprintf(stderr, "tolvan-cli: %s\n", work.Error().c_str());
        return 1;
    }
    g_workFolder = &work;
    const int status = command.run(arguments);
    g_workFolder = nullptr;
    // What a command prints is its result: output that did not reach its
    // destination whole (a full disk, a closed pipe) fails the command.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "tolvan-cli: cannot write the standard output%s%s\n", error ? ": " : "",
                     error ? platform::ErrorText(error).c_str() : "");
        return status == 0 ? 1 : status;
    }
    return status;
}

}  // namespace

std::string ArgumentPath(const std::string& path) { return g_workFolder ? g_workFolder->Resolve(path) : path; }

int main(int argc, char** argv) {
    // Before anything is opened: no file takes the place of a closed stream.
    if (!platform::FillClosedStandardStreams()) return 1;
    if (argc < 2) return Usage(stderr, 1);
    const std::string_view first = argv[1];
    for (const auto& option : kProgramOptions)
        if (first == option.name) return option.run();
    for (const CommandSpec* command : kCommands)
        if (first == command->name) return Run(*command, std::vector<std::string>(argv + 2, argv + argc));
    return Usage(stderr, 1);
}
