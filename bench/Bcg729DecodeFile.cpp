// The whole-process peer of `tolvan-cli decode`: decodes a headerless G.729
// stream with Debian's bcg729 into an 8 kHz mono 16-bit PCM WAV file, reading
// the stream whole and writing the samples in 10-second batches as the
// command does, so that timing the two processes compares the decoders.
//
//   tolvan-bench-bcg729-decode IN.ldv OUT.wav

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" {
#include <bcg729/decoder.h>
}

#include "playback/PcmWavHeader.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tolvan-bench-bcg729-decode IN.ldv OUT.wav\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!in || out == nullptr) return 1;
    std::fwrite(PcmWavHeader, 1, kPcmWavHeaderSize, out);

    bcg729DecoderChannelContextStruct* channel = initBcg729DecoderChannel();
    constexpr size_t kBatchFrames = 1000;
    std::vector<int16_t> batch(kBatchFrames * 80);
    const size_t frames = stream.size() / 10;
    for (size_t f = 0; f < frames; f += kBatchFrames) {
        const size_t n = std::min(kBatchFrames, frames - f);
        for (size_t k = 0; k < n; k++) bcg729Decoder(channel, &stream[(f + k) * 10], 10, 0, 0, 0, &batch[k * 80]);
        std::fwrite(batch.data(), sizeof(int16_t), n * 80, out);
    }
    closeBcg729DecoderChannel(channel);
    return std::fclose(out) == 0 ? 0 : 1;
}
