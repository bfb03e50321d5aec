#include "codec/ExcitationDecoding.h"

#include <algorithm>
#include <cstdlib>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/FastSums.h"
#include "codec/Tables.h"

namespace g729 {

namespace {
constexpr int UP_SAMP = 3;      // pitch resolution 1/3
constexpr int L_INTER10 = 10;   // interpolation taps on each side
}  // namespace

void Dec_lag3(int16_t index, bool first_subframe, int16_t* T0, int16_t* T0_frac) {
    if (first_subframe) {
        if (sub(index, 197) < 0) {
            *T0 = add(mult(add(index, 2), 10923), 19);
            const int16_t three_T0 = add(add(*T0, *T0), *T0);
            *T0_frac = add(sub(index, three_T0), 58);
        } else {
            *T0 = sub(index, 112);
            *T0_frac = 0;
        }
        return;
    }
    int16_t T0_min = sub(*T0, 5);
    if (sub(T0_min, PIT_MIN) < 0) T0_min = PIT_MIN;
    const int16_t T0_max = add(T0_min, 9);
    if (sub(T0_max, PIT_MAX) > 0) T0_min = PIT_MAX - 9;
    int16_t i = sub(mult(add(index, 2), 10923), 1);
    *T0 = add(i, T0_min);
    i = add(add(i, i), i);
    *T0_frac = sub(sub(index, 2), i);
}

void Pred_lt_3(int16_t exc[], int16_t T0, int16_t frac, int L_subfr) {
    const int16_t* x0 = &exc[-T0];
    frac = negate(frac);
    if (frac < 0) {
        frac = add(frac, UP_SAMP);
        x0--;
    }
    const int16_t* c1 = &inter_3l[frac];
    const int16_t* c2 = &inter_3l[sub(UP_SAMP, frac)];

    // The 20 taps of a sample as one dot product over the 20 consecutive
    // samples x1[-9] .. x2[9], padded with zero taps to a multiple of 8 so that
    // it compiles to vector code; the padding reads only samples already made.
    int16_t taps[24] = {};
    int32_t cSum = 0;
    for (int i = 0; i < L_INTER10; i++) {
        taps[L_INTER10 - 1 - i] = c1[UP_SAMP * i];
        taps[L_INTER10 + i] = c2[UP_SAMP * i];
        cSum += std::abs(int32_t{c1[UP_SAMP * i]}) + std::abs(int32_t{c2[UP_SAMP * i]});
    }
    // Largest magnitude among the samples read so far: the history from the
    // first tap of sample 0 up to exc[-1], then each new sample as it is made
    // (short lags read the current subframe).
    const int16_t* first = x0 - (L_INTER10 - 1);
    int32_t xMax = MaxMagnitude(first, static_cast<int>(exc - first));

    for (int j = 0; j < L_subfr; j++) {
        const int16_t* x1 = x0++;
        const int16_t* x2 = x0;
        int32_t s;
        if (ChainCannotSaturate(cSum, xMax)) [[likely]] {
            s = 2 * DotProduct24(x1 - (L_INTER10 - 1), taps);
        } else {
            s = 0;
            for (int i = 0, k = 0; i < L_INTER10; i++, k += UP_SAMP) {
                s = L_mac(s, x1[-i], c1[k]);
                s = L_mac(s, x2[i], c2[k]);
            }
        }
        exc[j] = round_fx(s);
        xMax = std::max(xMax, std::abs(int32_t{exc[j]}));
    }
}

void Decod_ACELP(int16_t sign, int16_t index, int16_t cod[40]) {
    int pos[4];
    pos[0] = 5 * (index & 7);
    pos[1] = 5 * ((index >> 3) & 7) + 1;
    pos[2] = 5 * ((index >> 6) & 7) + 2;
    pos[3] = 5 * ((index >> 10) & 7) + 3 + ((index >> 9) & 1);
    std::fill(cod, cod + 40, int16_t{0});
    for (int k = 0; k < 4; k++) cod[pos[k]] = ((sign >> k) & 1) ? 8191 : -8192;
}

}  // namespace g729
