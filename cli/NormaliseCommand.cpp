// tolvan-cli normalise IN.wav OUT.wav: the PCM WAV file the player would play
// from IN, made by the player's own conversion and streamed straight into
// OUT (through a temporary name beside it, renamed when complete): a device
// ADPCM recording converted, a PCM WAV file as the samples of its data
// chunk. A WAV file of PCM or float samples in another form is refused.

#include <cstdio>

#include "cli/Commands.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"
#include "playback/NormaliseWav.h"
#include "playback/WavLayout.h"

namespace {

const char kUsage[] = "usage: tolvan-cli normalise IN.wav OUT.wav\n";

}  // namespace

int RunNormaliseCommand(const CommandArgs& args) {
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string inPath = ArgumentPath(args[0]);
    const std::string outPath = ArgumentPath(args[1]);
    if (platform::SameFile(inPath, outPath)) {
        std::fprintf(stderr, "tolvan-cli normalise: %s is both the input and the output\n", args[0].c_str());
        return 1;
    }
    {
        platform::File in = platform::File::OpenForReading(inPath);
        if (!in) {
            std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", args[0].c_str());
            return 1;
        }
        const WavLayout layout = ReadWavLayout(in);
        if (layout.form == WavForm::kRefused) {
            std::fprintf(stderr, "tolvan-cli normalise: %s: %s\n", args[0].c_str(), WavRefusal(layout).c_str());
            return 1;
        }
    }
    PendingOutputFile out(outPath);
    if (!out.IsOpen()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", args[1].c_str());
        return 1;
    }
    switch (NormaliseWavTo(platform::Utf8ToWide(inPath), out.File())) {
    case NormaliseOutcome::SourceUnreadable:
    case NormaliseOutcome::Refused:  // the file changed since it was looked at
        std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", args[0].c_str());
        return 1;
    case NormaliseOutcome::WriteFailed:
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", args[1].c_str());
        return 1;
    case NormaliseOutcome::Converted:
        break;
    }
    if (!out.Commit()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", args[1].c_str());
        return 1;
    }
    return 0;
}
