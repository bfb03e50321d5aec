// tolvan-cli decode IN OUT.wav: decodes a headerless G.729 stream (an LDV
// file) into a PCM WAV file exactly as the batch conversion writes one.

#include <vector>

#include "cli/Commands.h"
#include "cli/FileArguments.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "convert/LdvToWav.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"

namespace {

int RunDecode(const Arguments& args) {
    std::string inPath, outPath;
    if (!InputAndOutput(args, inPath, outPath)) return 1;
    const std::string& in = args.Operands()[0];
    const std::string& out = args.Operands()[1];
    std::vector<uint8_t> stream;
    int error = 0;
    if (!platform::ReadWholeFile(inPath, stream, &error)) return args.FileFailure("cannot read", in, error);
    PendingOutputFile output(outPath);
    if (!output.IsOpen()) return args.FileFailure("cannot create", out, output.Error());
    g729::DecoderState decoderState;  // the process decodes one stream
    G729Decoder decoder(decoderState);
    if (DecodeLdvToWav(stream, output.File(), decoder, nullptr, {}) != LdvDecodeResult::kDecoded)
        return args.FileFailure("cannot write", out, output.File().Error());
    if (!output.Commit()) return args.FileFailure("cannot write", out, output.Error());
    return 0;
}

}  // namespace

const CommandSpec kDecodeCommand = {
    "decode",
    RunDecode,
    "decode IN.ldv OUT.wav",
    "Decodes the G.729 Annex A stream IN into the 8 kHz mono 16-bit PCM WAV file\n"
    "OUT, as the batch conversion writes one. OUT appears only when complete; a\n"
    "device or FIFO as OUT is written as a stream. IN must be a regular file\n"
    "other than OUT.\n",
    {},
    2,
    2,
};
