#include "playback/ImaAdpcm.h"

int DecodeImaBlock(const uint8_t* block, int16_t* out) {
    int predictor = static_cast<int16_t>(block[0] | (block[1] << 8));
    int index = block[2] > kImaMaxIndex ? kImaMaxIndex : block[2];
    int16_t* o = out;
    *o++ = static_cast<int16_t>(predictor);
    for (size_t i = kImaBlockHeaderBytes; i < kImaBlockBytes; ++i) {
        ImaDecodeStep(predictor, index, block[i] & 0x0F);
        *o++ = static_cast<int16_t>(predictor);
        ImaDecodeStep(predictor, index, block[i] >> 4);
        *o++ = static_cast<int16_t>(predictor);
    }
    return static_cast<int>(o - out);
}
