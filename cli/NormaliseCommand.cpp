// tolvan-cli normalise IN.wav OUT.wav: the PCM WAV file the player would play
// from IN. A device ADPCM recording is converted with the player's own
// conversion, streamed straight into OUT (through a temporary name beside
// it, renamed when complete); a PCM WAV gives the samples the player would
// take from its data chunk.

#include <vector>

#include "cli/Commands.h"
#include "cli/FileArguments.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"
#include "playback/FixWavSizes.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "playback/RecordingLoader.h"

namespace {

int RunNormalise(const Arguments& args) {
    std::string inPath, outPath;
    if (!InputAndOutput(args, inPath, outPath)) return 1;
    const std::string& in = args.Operands()[0];
    const std::string& out = args.Operands()[1];
    uint8_t head[kPcmWavHeaderSize] = {};
    {
        platform::File source = platform::File::OpenForReading(inPath);
        if (!source) return args.FileFailure("cannot read", in, source.Error());
        source.Read(head, sizeof head);
    }
    PendingOutputFile output(outPath);
    if (!output.IsOpen()) return args.FileFailure("cannot write", out, output.Error());
    bool written = true;
    if (IsPcmWavHeader(head)) {
        std::vector<uint8_t> samples;
        uint32_t bytes = 0;
        if (LoadWavRecording(platform::Utf8ToWide(inPath), samples, bytes) != LoadResult::kLoaded)
            return args.FileFailure("cannot read", in, 0);
        output.Write(PcmWavHeader, kPcmWavHeaderSize);
        output.Write(samples.data(), bytes);
        written = FixWavSizes(output.File());
    } else {
        switch (NormaliseWavTo(platform::Utf8ToWide(inPath), output.File())) {
        case NormaliseOutcome::SourceUnreadable:
            return args.FileFailure("cannot read", in, 0);
        case NormaliseOutcome::WriteFailed:
            written = false;
            break;
        case NormaliseOutcome::Converted:
            break;
        }
    }
    if (!written) return args.FileFailure("cannot write", out, output.File().Error());
    if (!output.Commit()) return args.FileFailure("cannot write", out, output.Error());
    return 0;
}

}  // namespace

const CommandSpec kNormaliseCommand = {
    "normalise",
    RunNormalise,
    "normalise IN.wav OUT.wav",
    "Writes the PCM WAV file the player would play from IN: a device recording\n"
    "is converted as Play converts it, a PCM WAV gives its data chunk's samples\n"
    "behind the player's header. OUT appears only when complete; a device or\n"
    "FIFO as OUT is written as a stream. IN must be a regular file other than\n"
    "OUT.\n",
    {},
    2,
    2,
};
