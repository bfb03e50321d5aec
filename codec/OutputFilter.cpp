#include "codec/OutputFilter.h"

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/DoublePrecision.h"
#include "codec/Tables.h"

namespace g729 {

void Post_Process(int16_t signal[], int lg) {
    DecoderState& s = gDecoderState;
    for (int i = 0; i < lg; i++) {
        const int16_t x2 = s.x1;
        s.x1 = s.x0;
        s.x0 = signal[i];

        int32_t L = Mpy_32_16(s.y1_hi, s.y1_lo, a100[1]);
        L = L_add(L, Mpy_32_16(s.y2_hi, s.y2_lo, a100[2]));
        L = L_mac(L, s.x0, b100[0]);
        L = L_mac(L, s.x1, b100[1]);
        L = L_mac(L, x2, b100[2]);
        L = L_shl(L, 2);  // Q13 to Q15

        signal[i] = round_fx(L_shl(L, 1));  // the gain of 2

        s.y2_hi = s.y1_hi;
        s.y2_lo = s.y1_lo;
        L_Extract(L, &s.y1_hi, &s.y1_lo);
    }
}

}  // namespace g729
