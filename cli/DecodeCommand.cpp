// tolvan-cli decode IN OUT.wav: decodes a headerless G.729 stream (an LDV
// file) into a PCM WAV file exactly as the batch conversion writes one.

#include <cstdio>
#include <vector>

#include "cli/Commands.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "convert/LdvToWav.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"

namespace {

const char kUsage[] = "usage: tolvan-cli decode IN OUT.wav\n";

}  // namespace

int RunDecodeCommand(const CommandArgs& args) {
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string inPath = ArgumentPath(args[0]);
    const std::string outPath = ArgumentPath(args[1]);
    if (platform::SameFile(inPath, outPath)) {
        std::fprintf(stderr, "tolvan-cli decode: %s is both the input and the output\n", args[0].c_str());
        return 1;
    }
    std::vector<uint8_t> stream;
    if (!platform::ReadWholeFile(inPath, stream)) {
        std::fprintf(stderr, "tolvan-cli decode: cannot read %s\n", args[0].c_str());
        return 1;
    }
    PendingOutputFile out(outPath);
    if (!out.IsOpen()) {
        std::fprintf(stderr, "tolvan-cli decode: cannot create %s\n", args[1].c_str());
        return 1;
    }
    g729::DecoderState decoderState;  // the process decodes one stream
    G729Decoder decoder(decoderState);
    if (DecodeLdvToWav(stream, out.File(), decoder, nullptr, {}) != LdvDecodeResult::kDecoded || !out.Commit()) {
        std::fprintf(stderr, "tolvan-cli decode: cannot write %s\n", args[1].c_str());
        return 1;
    }
    return 0;
}
