#include "playback/ImaAdpcmEncoder.h"

#include <algorithm>

namespace {

// The standard quantiser: the sign, then the magnitude bits by successive
// comparison against step, step/2 and step/4.
unsigned ChooseCode(int sample, int predictor, int index) {
    int diff = sample - predictor;
    unsigned code = 0;
    if (diff < 0) {
        code = 8;
        diff = -diff;
    }
    int step = kImaStepTable[index];
    if (diff >= step) {
        code |= 4;
        diff -= step;
    }
    step >>= 1;
    if (diff >= step) {
        code |= 2;
        diff -= step;
    }
    step >>= 1;
    if (diff >= step) code |= 1;
    return code;
}

}  // namespace

void ImaAdpcmEncoder::EncodeBlock(const int16_t* pcm, uint8_t* block) {
    int predictor = pcm[0];
    int index = index_;
    block[0] = static_cast<uint8_t>(predictor & 0xFF);
    block[1] = static_cast<uint8_t>((predictor >> 8) & 0xFF);
    block[2] = static_cast<uint8_t>(index);
    block[3] = 0;
    const int16_t* in = pcm + 1;
    for (size_t i = kImaBlockHeaderBytes; i < kImaBlockBytes; ++i) {
        const unsigned low = ChooseCode(*in++, predictor, index);
        ImaDecodeStep(predictor, index, low);
        const unsigned high = ChooseCode(*in++, predictor, index);
        ImaDecodeStep(predictor, index, high);
        block[i] = static_cast<uint8_t>(low | (high << 4));
    }
    index_ = index;
}

std::vector<uint8_t> EncodeImaAdpcm(std::span<const int16_t> pcm) {
    const size_t blocks = (pcm.size() + kImaBlockSamples - 1) / kImaBlockSamples;
    std::vector<uint8_t> out(blocks * kImaBlockBytes);
    ImaAdpcmEncoder encoder;
    int16_t chunk[kImaBlockSamples];
    for (size_t b = 0; b < blocks; ++b) {
        const size_t first = b * kImaBlockSamples;
        const size_t n = std::min(kImaBlockSamples, pcm.size() - first);
        std::copy_n(pcm.begin() + first, n, chunk);
        std::fill(chunk + n, chunk + kImaBlockSamples, int16_t{0});
        encoder.EncodeBlock(chunk, out.data() + b * kImaBlockBytes);
    }
    return out;
}
