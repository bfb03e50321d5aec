#include "codec/FrameUnpack.h"

#include "codec/Tables.h"

namespace g729 {

void UnpackFrame(const uint8_t frame[kFrameBytes], int16_t prm[kParameterCount + 1]) {
    // Bits not yet handed out sit in the low `pending` bits of `window`; no
    // field is wider than 13 bits, so 32 bits always hold a field plus a byte.
    uint32_t window = 0;
    int pending = 0;
    const uint8_t* next = frame;
    for (int k = 0; k < kParameterCount; k++) {
        const int width = bitsno[k];
        while (pending < width) {
            window = (window << 8) | *next++;
            pending += 8;
        }
        pending -= width;
        prm[k + 1] = static_cast<int16_t>((window >> pending) & ((1u << width) - 1));
    }
}

}  // namespace g729
