#include "codec/LpFilters.h"

#include <algorithm>
#include <cstdlib>

#include "codec/BasicOps.h"
#include "codec/FastSums.h"

namespace g729 {

namespace {

// round_fx(L_shl(s, 3)) in one step, Overflow included: both saturate exactly
// when 8s leaves [MIN_32, MAX_32 - 0x8000].
inline int16_t RoundShl3(int32_t s) {
    const int64_t v = int64_t{s} * 8;
    if (v > MAX_32 - 0x8000 || v < MIN_32) [[unlikely]] {
        Overflow = 1;
        return v > 0 ? MAX_16 : MIN_16;
    }
    return static_cast<int16_t>((v + 0x8000) >> 16);
}

}  // namespace

void Syn_filt(const int16_t a[11], const int16_t x[], int16_t y[], int lg, int16_t mem[10], bool update) {
    int16_t tmp[100 + 10];
    std::copy(mem, mem + 10, tmp);
    int16_t* yy = tmp + 10;

    // Where the products cannot add up to saturation, the chain of L_msu is a
    // plain sum. The plain sum adds the newest output last, so the rest is
    // ready before it is.
    int32_t c[11];
    std::copy(a, a + 11, c);
    const auto plain = [&](int i, int32_t last) {
        const int16_t* h = &yy[i];
        const int32_t older = c[2] * h[-2] + c[3] * h[-3] + c[4] * h[-4] + c[5] * h[-5] + c[6] * h[-6] +
                              c[7] * h[-7] + c[8] * h[-8] + c[9] * h[-9] + c[10] * h[-10];
        return (x[i] * c[0] - older - c[1] * last) * 2;
    };
    const int32_t aSum = SumMagnitude(a, 11);
    int32_t last = yy[-1];
    if (ChainCannotSaturate(aSum, 32768)) {
        // Small coefficients: no signal at all can saturate the chain.
        for (int i = 0; i < lg; i++) {
            yy[i] = RoundShl3(plain(i, last));
            last = yy[i];
        }
    } else {
        // Otherwise bound each sample by the largest magnitude so far.
        int32_t yMax = MaxMagnitude(mem, 10);
        for (int i = 0; i < lg; i++) {
            int32_t s;
            if (ChainCannotSaturate(aSum, std::max(yMax, std::abs(int32_t{x[i]})))) [[likely]] {
                s = plain(i, last);
            } else {
                s = L_mult(x[i], a[0]);
                for (int j = 1; j <= 10; j++) s = L_msu(s, a[j], yy[i - j]);
            }
            yy[i] = RoundShl3(s);
            last = yy[i];
            yMax = std::max(yMax, std::abs(last));
        }
    }
    std::copy(yy, yy + lg, y);
    if (update) std::copy(y + lg - 10, y + lg, mem);
}

void Residu(const int16_t a[11], const int16_t x[], int16_t y[], int lg) {
    if (!ChainCannotSaturate(SumMagnitude(a, 11), MaxMagnitude(x - 10, lg + 10))) [[unlikely]] {
        for (int i = 0; i < lg; i++) {
            int32_t s = L_mult(x[i], a[0]);
            for (int j = 1; j <= 10; j++) s = L_mac(s, a[j], x[i - j]);
            y[i] = RoundShl3(s);
        }
        return;
    }
    // Plain sums as 16-term dot products (vector code) over x[i-15..i], with
    // the five oldest taps zero; xb holds x[-10..lg-1] behind five zeros so
    // that the window never leaves it.
    int16_t taps[16] = {};
    for (int m = 0; m <= 10; m++) taps[5 + m] = a[10 - m];
    int16_t xb[15 + 100] = {};
    std::copy(x - 10, x + lg, xb + 5);
    for (int i = 0; i < lg; i++) y[i] = RoundShl3(2 * DotProduct16(&xb[i], taps));
}

}  // namespace g729
