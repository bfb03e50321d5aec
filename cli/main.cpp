// tolvan-cli: the player's work without a window, for scripts and large
// archives. It drives the same code as the window.

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "codec/Diagnostics.h"
#include "platform/PrivateWorkFolder.h"
#include "resources/BuildInfo.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const CommandArgs&);
    const char* usage;
    const char* help;
};

const char kExitStatuses[] =
    "Exit status: 0 done, 1 an error (bad usage, a file that cannot be read or\n"
    "written, data that stdout did not take whole), 2 a message of the program\n"
    "was shown (on stderr).\n";

const Command kCommands[] = {
    {"list", RunListCommand,
     "list FOLDER [--from TEXT] [--to TEXT] [--type TEXT] [--keyword TEXT] [--page TEXT | --all] [--format tsv|json]",
     "Lists the recordings of FOLDER as the window's record list shows them.\n"
     "Without a filter option it does what selecting FOLDER in the folder tree\n"
     "does; with one it does what \"查询\" does with the query panel filled from\n"
     "the options (a left-out option is an empty field):\n"
     "  --from TEXT, --to TEXT   the date range, YYYY-MM-DD\n"
     "  --type TEXT              全部类型 (the default), 全部主叫, 全部被叫,\n"
     "                           全部留言 or 全部现场; any other text passes no\n"
     "                           recording, as a text typed into the type box does\n"
     "  --keyword TEXT           part of the phone number (* and ? as wildcards)\n"
     "  --page TEXT              the page to show, as typed into the page box\n"
     "  --all                    every page instead of one\n"
     "  --format tsv|json        tsv (the default): the page label, then one line\n"
     "                           per row, the seven column texts joined by tabs\n"
     "                           (a control character in a text shows as a space);\n"
     "                           json: one object {\"label\": ..., \"rows\": [[...]]}\n"
     "                           with the exact texts\n"
     "A FOLDER that is not a readable folder is an error.\n"},
    {"export", RunExportCommand, "export FOLDER [--out PATH]",
     "Lists FOLDER as selecting it in the folder tree does, then writes the whole\n"
     "catalogue into an Excel 97-2003 workbook as \"导出列表\" does: into the\n"
     "user's documents folder (XDG_DOCUMENTS_DIR of the user-dirs file in\n"
     "$XDG_CONFIG_HOME or ~/.config, else the home folder) under\n"
     "\"导出-语音信息(MM月DD日 HH时MM分SS秒).XLS\", or to PATH. Prints the whole\n"
     "path written; progress goes to stderr when it is a terminal. An empty\n"
     "catalogue shows \"没有导出的记录！\" (status 2); a workbook that cannot be\n"
     "written leaves no file (status 1); at PATH an earlier workbook is replaced,\n"
     "anything else (a device, a folder) is refused.\n"},
    {"decode", RunDecodeCommand, "decode IN.ldv OUT.wav",
     "Decodes the G.729 Annex A stream IN into the 8 kHz mono 16-bit PCM WAV file\n"
     "OUT, as the batch conversion writes one. OUT appears only when complete; a\n"
     "device or FIFO as OUT is written as a stream. IN must be a regular file\n"
     "other than OUT.\n"},
    {"normalise", RunNormaliseCommand, "normalise IN.wav OUT.wav",
     "Writes the PCM WAV file the player would play from IN: a device recording\n"
     "is converted as Play converts it, a PCM WAV (8000 Hz mono 16-bit, its\n"
     "chunks in any order) gives its data chunk's samples behind the player's\n"
     "header; a WAV of PCM or float samples in another form is refused with the\n"
     "reason (status 1). OUT appears only when complete; a device or FIFO as OUT\n"
     "is written as a stream. IN must be a regular file other than OUT.\n"},
    {"convert", RunConvertCommand, "convert DEST FILE...",
     "The batch conversion (\"语音转换\") of the FILEs, in the order given and in\n"
     "one process, into the existing folder DEST: every FILE whose name does not\n"
     "end in \"wav\" is decoded as an LDV stream into DEST under its name with the\n"
     "last four characters replaced by \".wav\". An existing file there is\n"
     "replaced only when it is a PCM WAV. Progress texts go to stderr, the\n"
     "summary \"共T个LDV文件,转换完成C个LDV文件\" to stdout; a file that could not\n"
     "be converted is named on stderr with the reason (status 1).\n"},
    {"play", RunPlayCommand, "play FILE [--volume 0..100]",
     "Plays FILE (a device recording, a PCM WAV or an LDV stream, told apart by\n"
     "name as Play does) from start to end on the PulseAudio server of the\n"
     "session (PULSE_SERVER and PULSE_SINK are honoured), at the volume level\n"
     "given (30 by default). Prints the now-playing label when the sound starts\n"
     "and ends when its last sample has been heard. A file that cannot be loaded\n"
     "(a WAV of PCM or float samples other than 8000 Hz mono 16-bit, too, with\n"
     "the reason) or a device that cannot be opened gives the message on stderr\n"
     "(status 1).\n"},
};

int Usage(std::FILE* out, int status) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : kCommands) std::fprintf(out, "  tolvan-cli %s\n", c.usage);
    std::fprintf(out, "  tolvan-cli COMMAND --help\n  tolvan-cli --help | --version\n%s", kExitStatuses);
    return status;
}

const platform::PrivateWorkFolder* g_workFolder = nullptr;

}  // namespace

std::string ArgumentPath(const std::string& path) { return g_workFolder ? g_workFolder->Resolve(path) : path; }

int main(int argc, char** argv) {
    if (argc < 2) return Usage(stderr, 1);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) return Usage(stdout, 0);
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tolvan-cli %s\n", kTolvanVersion);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        const CommandArgs args(argv + 2, argv + argc);
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") {
                std::printf("usage: tolvan-cli %s\n\n%s\n%s", c.usage, c.help, kExitStatuses);
                return 0;
            }
        }
        // The decoder's diagnostic lines never mix with the data on stdout.
        g729::SetDiagnosticOutput(stderr);
        // A file grown past the size limit is a failed write, reported as
        // such, not a killed process.
        std::signal(SIGXFSZ, SIG_IGN);
        const platform::PrivateWorkFolder work;
        if (!work.Ok()) {
            std::fprintf(stderr, "tolvan-cli: %s\n", work.Error().c_str());
            return 1;
        }
        g_workFolder = &work;
        const int status = c.run(args);
        g_workFolder = nullptr;
        // What a command prints is its result: output that did not reach its
        // destination whole (a full disk, a closed pipe) fails the command.
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fputs("tolvan-cli: cannot write the standard output\n", stderr);
            return status == 0 ? 1 : status;
        }
        return status;
    }
    return Usage(stderr, 1);
}
