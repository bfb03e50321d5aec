// tolvan-cli normalise IN.wav OUT.wav: the PCM WAV file the player would play
// from IN. A device ADPCM recording is converted with the player's own
// conversion, streamed straight into OUT (through a temporary name beside
// it, renamed when complete); a PCM WAV gives the samples the player would
// take from its data chunk.

#include <cstdio>
#include <vector>

#include "cli/Commands.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"
#include "playback/FixWavSizes.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "playback/RecordingLoader.h"

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
    uint8_t head[kPcmWavHeaderSize] = {};
    {
        platform::File in = platform::File::OpenForReading(inPath);
        if (!in) {
            std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", args[0].c_str());
            return 1;
        }
        in.Read(head, sizeof head);
    }
    PendingOutputFile out(outPath);
    if (!out.IsOpen()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", args[1].c_str());
        return 1;
    }
    bool written = true;
    if (IsPcmWavHeader(head)) {
        std::vector<uint8_t> samples;
        uint32_t bytes = 0;
        if (LoadWavRecording(platform::Utf8ToWide(inPath), samples, bytes) != LoadResult::kLoaded) {
            std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", args[0].c_str());
            return 1;
        }
        out.Write(PcmWavHeader, kPcmWavHeaderSize);
        out.Write(samples.data(), bytes);
        written = FixWavSizes(out.File());
    } else {
        switch (NormaliseWavTo(platform::Utf8ToWide(inPath), out.File())) {
        case NormaliseOutcome::SourceUnreadable:
            std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", args[0].c_str());
            return 1;
        case NormaliseOutcome::WriteFailed:
            written = false;
            break;
        case NormaliseOutcome::Converted:
            break;
        }
    }
    if (!written || !out.Commit()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", args[1].c_str());
        return 1;
    }
    return 0;
}
