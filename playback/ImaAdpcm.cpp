#include "playback/ImaAdpcm.h"

namespace {

// The decoding step as two lookups per code: the difference and the next
// step index for every (index, code) pair, computed at compile time from the
// standard step. Rows are 16 entries; the next-index table holds row offsets.
// That is markedly faster than evaluating the step for each code, and an hour
// of audio is 28.8 million codes.
struct StepTables {
    int32_t difference[(kImaMaxIndex + 1) * 16];
    uint16_t nextRow[(kImaMaxIndex + 1) * 16];
};

constexpr StepTables MakeStepTables() {
    StepTables t{};
    for (int index = 0; index <= kImaMaxIndex; ++index) {
        for (unsigned code = 0; code < 16; ++code) {
            t.difference[index * 16 + code] = ImaDifference(index, code);
            t.nextRow[index * 16 + code] = static_cast<uint16_t>(ImaNextIndex(index, code) * 16);
        }
    }
    return t;
}

constexpr StepTables kStep = MakeStepTables();

// The state of one block being decoded.
struct BlockDecoder {
    int predictor;
    unsigned row;  // step index * 16

    explicit BlockDecoder(const uint8_t* block)
        : predictor(static_cast<int16_t>(block[0] | (block[1] << 8))),
          row((block[2] > kImaMaxIndex ? kImaMaxIndex : block[2]) * 16u) {}

    int16_t Step(unsigned code) {
        const unsigned k = row + code;
        const int p = predictor + kStep.difference[k];
        predictor = p > 32767 ? 32767 : p < -32768 ? -32768 : p;
        row = kStep.nextRow[k];
        return static_cast<int16_t>(predictor);
    }
};

}  // namespace

int DecodeImaBlock(const uint8_t* block, int16_t* out) {
    BlockDecoder d(block);
    int16_t* o = out;
    *o++ = static_cast<int16_t>(d.predictor);
    for (size_t i = kImaBlockHeaderBytes; i < kImaBlockBytes; ++i) {
        *o++ = d.Step(block[i] & 0x0F);
        *o++ = d.Step(block[i] >> 4);
    }
    return static_cast<int>(o - out);
}

void DecodeImaBlocks(const uint8_t* blocks, size_t count, int16_t* out) {
    size_t b = 0;
    // Two blocks in lockstep: each block's decoding is one long chain of
    // dependent steps, and two independent chains keep the processor busy
    // where one leaves it waiting.
    for (; b + 2 <= count; b += 2) {
        const uint8_t* x = blocks + b * kImaBlockBytes;
        const uint8_t* y = x + kImaBlockBytes;
        int16_t* ox = out + b * kImaBlockSamples;
        int16_t* oy = ox + kImaBlockSamples;
        BlockDecoder dx(x), dy(y);
        *ox++ = static_cast<int16_t>(dx.predictor);
        *oy++ = static_cast<int16_t>(dy.predictor);
        for (size_t i = kImaBlockHeaderBytes; i < kImaBlockBytes; ++i) {
            *ox++ = dx.Step(x[i] & 0x0F);
            *oy++ = dy.Step(y[i] & 0x0F);
            *ox++ = dx.Step(x[i] >> 4);
            *oy++ = dy.Step(y[i] >> 4);
        }
    }
    if (b < count) DecodeImaBlock(blocks + b * kImaBlockBytes, out + b * kImaBlockSamples);
}
