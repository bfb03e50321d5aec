// tolvan-cli normalise IN.wav OUT.wav: converts a device ADPCM recording into
// a PCM WAV file with the player's own conversion, streamed straight into OUT
// (through a temporary name beside it, renamed when complete).

#include <cstdio>

#include "cli/Commands.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"
#include "playback/NormaliseWav.h"

namespace {

const char kUsage[] = "usage: tolvan-cli normalise IN.wav OUT.wav\n";

}  // namespace

int RunNormaliseCommand(const CommandArgs& args) {
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];
    PendingOutputFile out(outPath);
    if (!out.IsOpen()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", outPath.c_str());
        return 1;
    }
    switch (NormaliseWavTo(platform::Utf8ToWide(inPath), out.File())) {
    case NormaliseOutcome::SourceUnreadable:
        std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", inPath.c_str());
        return 1;
    case NormaliseOutcome::WriteFailed:
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", outPath.c_str());
        return 1;
    case NormaliseOutcome::Converted:
        break;
    }
    if (!out.Commit()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
