// tolvan-cli normalise IN.wav OUT.wav: the PCM WAV file the player would play
// from IN, made by the player's own conversion and streamed straight into
// OUT (through a temporary name beside it, renamed when complete): a device
// ADPCM recording converted, a PCM WAV file as the samples of its data
// chunk. A WAV file of PCM or float samples in another form is refused.

#include "cli/Commands.h"
#include "cli/FileArguments.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"
#include "playback/NormaliseWav.h"
#include "playback/WavLayout.h"

namespace {

int RunNormalise(const Arguments& args) {
    std::string inPath, outPath;
    if (!InputAndOutput(args, inPath, outPath)) return 1;
    const std::string& in = args.Operands()[0];
    const std::string& out = args.Operands()[1];
    {
        platform::File source = platform::File::OpenForReading(inPath);
        if (!source) return args.FileFailure("cannot read", in, source.Error());
        const WavLayout layout = ReadWavLayout(source);
        if (layout.form == WavForm::kRefused) {
            std::fprintf(stderr, "tolvan-cli normalise: %s: %s\n", in.c_str(), WavRefusal(layout).c_str());
            return 1;
        }
    }
    PendingOutputFile output(outPath);
    if (!output.IsOpen()) return args.FileFailure("cannot write", out, output.Error());
    switch (NormaliseWavTo(platform::Utf8ToWide(inPath), output.File())) {
    case NormaliseOutcome::SourceUnreadable:
    case NormaliseOutcome::Refused:  // the file changed since it was looked at
        return args.FileFailure("cannot read", in, 0);
    case NormaliseOutcome::WriteFailed:
        return args.FileFailure("cannot write", out, output.File().Error());
    case NormaliseOutcome::Converted:
        break;
    }
    if (!output.Commit()) return args.FileFailure("cannot write", out, output.Error());
    return 0;
}

}  // namespace

const CommandSpec kNormaliseCommand = {
    "normalise",
    RunNormalise,
    "normalise IN.wav OUT.wav",
    "Writes the PCM WAV file the player would play from IN: a device recording\n"
    "is converted as Play converts it, a PCM WAV (8000 Hz mono 16-bit, its\n"
    "chunks in any order) gives its data chunk's samples behind the player's\n"
    "header; a WAV of PCM or float samples in another form is refused with the\n"
    "reason (status 1). OUT appears only when complete; a device or FIFO as OUT\n"
    "is written as a stream. IN must be a regular file other than OUT.\n",
    {},
    2,
    2,
};
