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

inline int Saturate(int p) { return p > 32767 ? 32767 : p < -32768 ? -32768 : p; }

}  // namespace

int DecodeImaBlock(const uint8_t* block, int16_t* out) {
    int predictor = static_cast<int16_t>(block[0] | (block[1] << 8));
    unsigned row = (block[2] > kImaMaxIndex ? kImaMaxIndex : block[2]) * 16u;
    int16_t* o = out;
    *o++ = static_cast<int16_t>(predictor);
    for (size_t i = kImaBlockHeaderBytes; i < kImaBlockBytes; ++i) {
        unsigned k = row + (block[i] & 0x0F);
        predictor = Saturate(predictor + kStep.difference[k]);
        row = kStep.nextRow[k];
        *o++ = static_cast<int16_t>(predictor);
        k = row + (block[i] >> 4);
        predictor = Saturate(predictor + kStep.difference[k]);
        row = kStep.nextRow[k];
        *o++ = static_cast<int16_t>(predictor);
    }
    return static_cast<int>(o - out);
}
