#include "codec/OutputFilter.h"

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

void Post_Process(DecoderState& s, int16_t signal[], int lg) {
    const int16_t b0 = b100[0], b1 = b100[1], b2 = b100[2];
    // The memory in locals: the samples are int16_t too, and the compiler
    // would otherwise reload it after every store to signal.
    int16_t x0 = s.x0, x1 = s.x1, y1_hi = s.y1_hi, y1_lo = s.y1_lo, y2_hi = s.y2_hi, y2_lo = s.y2_lo;
    for (int i = 0; i < lg; i++) {
        const int16_t x2 = x1;
        x1 = x0;
        x0 = signal[i];

        // The feedback part (y1 * a1 + y2 * a2) never saturates: both
        // coefficients are below 0.5 in magnitude, so it stays below 0.72 *
        // 2^31. Adding x0 * b0 cannot saturate either (0.24 * 2^31 at most);
        // x1 * b1 (0.47) can, and x2 * b2 (0.24) after it. When the exact
        // total is below 2^28 in magnitude, the partial sum before x2 * b2 is
        // below 2^28 + 0.24 * 2^31 < 2^31, so none of the three L_mac
        // saturated and the total is the chain's value. Then neither shift
        // nor the rounding saturates either, and L_Extract is a plain split.
        const int32_t feedback = MpyNoSaturation(y1_hi, y1_lo, a100[1]) + MpyNoSaturation(y2_hi, y2_lo, a100[2]);
        const int64_t total = int64_t{feedback} + 2 * (x0 * b0 + x1 * b1 + x2 * b2);
        y2_hi = y1_hi;
        y2_lo = y1_lo;
        if (total >= -(1 << 28) && total < (1 << 28) - (1 << 12)) [[likely]] {
            const int32_t L = static_cast<int32_t>(total) * 4;       // Q13 to Q15
            signal[i] = static_cast<int16_t>((L * 2 + 0x8000) >> 16);  // the gain of 2, rounded
            y1_hi = static_cast<int16_t>(L >> 16);
            y1_lo = static_cast<int16_t>((L >> 1) & 0x7fff);
        } else {
            int32_t L = L_mac(feedback, x0, b0);
            L = L_mac(L, x1, b1);
            L = L_mac(L, x2, b2);
            L = L_shl(L, 2);                    // Q13 to Q15
            signal[i] = round_fx(L_shl(L, 1));  // the gain of 2
            L_Extract(L, &y1_hi, &y1_lo);
        }
    }
    s.x0 = x0, s.x1 = x1, s.y1_hi = y1_hi, s.y1_lo = y1_lo, s.y2_hi = y2_hi, s.y2_lo = y2_lo;
}

}  // namespace g729
