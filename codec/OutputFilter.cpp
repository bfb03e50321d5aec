#include "codec/OutputFilter.h"

#include <cstdlib>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/DoublePrecision.h"
#include "codec/Tables.h"

namespace g729 {

namespace {

// Mpy_32_16(hi, lo, n) for n != -32768 and 0 <= lo <= 32767, where neither
// the products nor the sum can saturate.
inline int32_t MpyNoSaturation(int16_t hi, int16_t lo, int16_t n) {
    return 2 * (int32_t{hi} * n) + 2 * ((int32_t{lo} * n) >> 15);
}

}  // namespace

void Post_Process(int16_t signal[], int lg) {
    DecoderState& s = gDecoderState;
    const int16_t b0 = b100[0], b1 = b100[1], b2 = b100[2];
    for (int i = 0; i < lg; i++) {
        const int16_t x2 = s.x1;
        s.x1 = s.x0;
        s.x0 = signal[i];

        // The feedback part (y1 * a1 + y2 * a2) never saturates: both
        // coefficients are below 0.5 in magnitude. The three L_mac can; they
        // are plain additions when the magnitudes cannot reach 2^31.
        int32_t L = MpyNoSaturation(s.y1_hi, s.y1_lo, a100[1]) + MpyNoSaturation(s.y2_hi, s.y2_lo, a100[2]);
        const int64_t bound = std::abs(int64_t{L}) + 2 * (std::abs(int64_t{s.x0} * b0) +
                                                          std::abs(int64_t{s.x1} * b1) +
                                                          std::abs(int64_t{x2} * b2));
        if (bound <= MAX_32) [[likely]] {
            L += 2 * (s.x0 * b0 + s.x1 * b1 + x2 * b2);
        } else {
            L = L_mac(L, s.x0, b0);
            L = L_mac(L, s.x1, b1);
            L = L_mac(L, x2, b2);
        }
        // Away from the top of the range neither shift nor the rounding
        // saturates, and L_Extract is a plain split.
        if (L >= -(1 << 28) && L < (1 << 28) - (1 << 12)) [[likely]] {
            const int32_t q15 = L * 4;  // Q13 to Q15
            signal[i] = static_cast<int16_t>((q15 * 2 + 0x8000) >> 16);  // the gain of 2, rounded
            s.y2_hi = s.y1_hi;
            s.y2_lo = s.y1_lo;
            s.y1_hi = static_cast<int16_t>(q15 >> 16);
            s.y1_lo = static_cast<int16_t>((q15 >> 1) & 0x7fff);
            continue;
        }
        L = L_shl(L, 2);  // Q13 to Q15

        signal[i] = round_fx(L_shl(L, 1));  // the gain of 2

        s.y2_hi = s.y1_hi;
        s.y2_lo = s.y1_lo;
        L_Extract(L, &s.y1_hi, &s.y1_lo);
    }
}

}  // namespace g729
