// tolvan-cli decode IN OUT.wav: decodes a headerless G.729 stream (an LDV
// file) into a PCM WAV file the way the batch conversion writes one: the PCM
// header with its placeholder sizes, every whole 10-byte frame in order from
// a freshly initialised decoder (trailing bytes ignored), the true sizes.

#include <cstdio>
#include <vector>

#include "cli/Commands.h"
#include "platform/PendingOutputFile.h"
#include "codec/G729Decoder.h"
#include "platform/Files.h"
#include "playback/FixWavSizes.h"
#include "playback/PcmWavHeader.h"

namespace {

constexpr size_t kFrameBytes = 10;
constexpr size_t kFrameSamples = 80;
constexpr size_t kBatchBytes = 160000;  // 1000 frames, 10 s of speech

const char kUsage[] = "usage: tolvan-cli decode IN OUT.wav\n";

bool ReadWhole(const std::string& path, std::vector<uint8_t>& data) {
    platform::File in = platform::File::OpenForReading(path);
    const int64_t size = in.Size();
    if (!in || size < 0) return false;
    data.resize(static_cast<size_t>(size));
    return in.Read(data.data(), data.size()) == data.size();
}

}  // namespace

int RunDecodeCommand(const CommandArgs& args) {
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];
    std::vector<uint8_t> stream;
    if (!ReadWhole(inPath, stream)) {
        std::fprintf(stderr, "tolvan-cli decode: cannot read %s\n", inPath.c_str());
        return 1;
    }
    PendingOutputFile out(outPath);
    if (!out.IsOpen()) {
        std::fprintf(stderr, "tolvan-cli decode: cannot create %s\n", outPath.c_str());
        return 1;
    }
    out.Write(PcmWavHeader, kPcmWavHeaderSize);

    G729Decoder decoder;
    decoder.Init();
    std::vector<uint8_t> batch;
    batch.reserve(kBatchBytes);
    int16_t pcm[kFrameSamples];
    const size_t frames = stream.size() / kFrameBytes;
    for (size_t i = 0; i < frames; ++i) {
        decoder.DecodeFrame(stream.data() + i * kFrameBytes, pcm);
        for (int16_t s : pcm) {
            batch.push_back(static_cast<uint8_t>(s & 0xFF));
            batch.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
        }
        if (batch.size() == kBatchBytes) {
            out.Write(batch.data(), batch.size());
            batch.clear();
        }
    }
    if (!batch.empty()) out.Write(batch.data(), batch.size());
    if (!FixWavSizes(out.File()) || !out.Commit()) {
        std::fprintf(stderr, "tolvan-cli decode: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
