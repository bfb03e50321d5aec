// tolvan-cli: the player's work without a window, for scripts and large
// archives. It drives the same code as the window.

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/Commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const CommandArgs&);
    const char* usage;
};

const Command kCommands[] = {
    {"list", RunListCommand,
     "list FOLDER [--from TEXT] [--to TEXT] [--type TEXT] [--keyword TEXT] [--page TEXT] [--all]"},
    {"export", RunExportCommand, "export FOLDER [--out PATH]"},
    {"decode", RunDecodeCommand, "decode IN OUT.wav"},
    {"normalise", RunNormaliseCommand, "normalise IN.wav OUT.wav"},
    {"convert", RunConvertCommand, "convert DEST FILE..."},
    {"play", RunPlayCommand, "play FILE [--volume 0..100]"},
};

int Usage() {
    std::fprintf(stderr, "usage:\n");
    for (const Command& c : kCommands) std::fprintf(stderr, "  tolvan-cli %s\n", c.usage);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0) return c.run(CommandArgs(argv + 2, argv + argc));
    }
    return Usage();
}
