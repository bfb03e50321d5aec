#include "codec/PostFilter.h"

#include <algorithm>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/FastSums.h"
#include "codec/LpFilters.h"
#include "codec/MathFunctions.h"

namespace g729 {

namespace {

constexpr int16_t GAMMA2_PST = 18022;  // 0.55, numerator of the formant post-filter
constexpr int16_t GAMMA1_PST = 22938;  // 0.70, denominator
constexpr int16_t MU = 26214;          // 0.8, tilt factor
constexpr int16_t AGC_FAC = 29491;     // 0.9
constexpr int16_t AGC_FAC1 = 32767 - AGC_FAC;
constexpr int16_t GAMMAP = 16384;      // 0.5
constexpr int16_t INV_GAMMAP = 21845;  // 1 / (1 + GAMMAP)
constexpr int16_t GAMMAP_2 = 10923;    // GAMMAP / (1 + GAMMAP)
constexpr int L_H = 22;                // truncated impulse response length

// Long-term post-filter: finds the best lag t0 in [t0_min, t0_max] on the
// scaled residual and mixes signal[n - t0] into signal[n] when the prediction
// gain is at least 3 dB; otherwise copies signal to signal_pst.
void pit_pst_filt(const int16_t* signal, const int16_t* scal_sig, int16_t t0_min, int16_t t0_max,
                  int16_t signal_pst[L_SUBFR]) {
    // When the samples are small enough for no sum of 40 products to
    // saturate, the correlations are plain sums.
    const int32_t xMax = MaxMagnitude(scal_sig - t0_max, L_SUBFR + t0_max);
    const bool plain = ChainCannotSaturate(L_SUBFR * xMax, xMax);
    int32_t cor_max = MIN_32;
    int16_t t0 = t0_min;
    for (int16_t i = t0_min; i <= t0_max; i++) {
        const int16_t* p1 = scal_sig - i;
        int32_t corr = 0;
        if (plain) [[likely]] {
            for (int j = 0; j < L_SUBFR; j++) corr += int32_t{scal_sig[j]} * p1[j];
            corr *= 2;
        } else {
            for (int j = 0; j < L_SUBFR; j++) corr = L_mac(corr, scal_sig[j], p1[j]);
        }
        if (L_sub(corr, cor_max) > 0) {  // the first of equal maxima wins
            cor_max = corr;
            t0 = i;
        }
    }

    const int32_t ener = L_mac_energy(1, scal_sig - t0, L_SUBFR);
    const int32_t ener0 = L_mac_energy(1, scal_sig, L_SUBFR);
    if (cor_max < 0) cor_max = 0;

    const int16_t j = norm_l(std::max({cor_max, ener, ener0}));
    int16_t cmax = round_fx(L_shl(cor_max, j));
    int16_t en = round_fx(L_shl(ener, j));
    const int16_t en0 = round_fx(L_shl(ener0, j));

    const int32_t temp = L_sub(L_mult(cmax, cmax), L_shr(L_mult(en, en0), 1));
    if (temp < 0) {
        std::copy(signal, signal + L_SUBFR, signal_pst);
        return;
    }
    int16_t g0, gain;
    if (sub(cmax, en) > 0) {
        g0 = INV_GAMMAP;
        gain = GAMMAP_2;
    } else {
        cmax = shr(mult(cmax, GAMMAP), 1);
        en = shr(en, 1);
        const int16_t sum = add(cmax, en);
        if (sum > 0) {
            gain = div_s(cmax, sum);
            g0 = sub(MAX_16, gain);
        } else {
            g0 = MAX_16;
            gain = 0;
        }
    }
    for (int i = 0; i < L_SUBFR; i++) signal_pst[i] = add(mult(g0, signal[i]), mult(gain, signal[i - t0]));
}

// Tilt compensation: x[n] -= g * x[n-1], with x[-1] from mem_pre.
void preemphasis(DecoderState& s, int16_t x[L_SUBFR], int16_t g) {
    const int16_t last = x[L_SUBFR - 1];
    for (int i = L_SUBFR - 1; i > 0; i--) x[i] = sub(x[i], mult(g, x[i - 1]));
    x[0] = sub(x[0], mult(g, s.mem_pre));
    s.mem_pre = last;
}

// The chain s = L_mac(s, shr(x[n], 2), shr(x[n], 2)) from 0.
int32_t ScaledEnergy(const int16_t x[L_SUBFR]) {
    int16_t scaled[L_SUBFR];
    for (int i = 0; i < L_SUBFR; i++) scaled[i] = shr(x[i], 2);
    return L_mac_energy(0, scaled, L_SUBFR);
}

// Scales sig_out so that its energy follows that of sig_in, with the gain
// smoothed sample by sample from past_gain.
void agc(DecoderState& st, const int16_t sig_in[L_SUBFR], int16_t sig_out[L_SUBFR]) {
    int32_t s = ScaledEnergy(sig_out);
    if (s == 0) {
        st.past_gain = 0;
        return;
    }
    int16_t exp = sub(norm_l(s), 1);
    const int16_t gain_out = round_fx(L_shl(s, exp));

    int16_t g0 = 0;
    s = ScaledEnergy(sig_in);
    if (s != 0) {
        const int16_t i = norm_l(s);
        const int16_t gain_in = round_fx(L_shl(s, i));
        exp = sub(exp, i);
        // sqrt(gain_in / gain_out) in Q12, times (1 - AGC_FAC)
        s = L_deposit_l(div_s(gain_out, gain_in));
        s = L_shl(s, 7);
        s = L_shr(s, exp);
        s = Inv_sqrt(s);
        g0 = mult(round_fx(L_shl(s, 9)), AGC_FAC1);
    }

    int16_t gain = st.past_gain;
    for (int i = 0; i < L_SUBFR; i++) {
        gain = add(mult(gain, AGC_FAC), g0);
        sig_out[i] = extract_h(L_shl(L_mult(sig_out[i], gain), 3));
    }
    st.past_gain = gain;
}

}  // namespace

void Weight_Az(const int16_t a[MP1], int16_t gamma, int16_t ap[MP1]) {
    ap[0] = a[0];
    int16_t fac = gamma;
    for (int i = 1; i < M; i++) {
        ap[i] = round_fx(L_mult(a[i], fac));
        fac = round_fx(L_mult(fac, gamma));
    }
    ap[M] = round_fx(L_mult(a[M], fac));
}

void Post_Filter(DecoderState& s, int16_t syn[L_FRAME], const int16_t Az_4[2 * MP1], const int16_t T[2]) {
    int16_t* res2 = s.res2();
    int16_t* scal_res2 = s.scal_res2();
    int16_t syn_pst[L_FRAME];

    for (int sf = 0; sf < 2; sf++) {
        const int i_subfr = sf * L_SUBFR;
        const int16_t* Az = Az_4 + sf * MP1;

        int16_t t0_min = sub(T[sf], 3);
        int16_t t0_max = add(t0_min, 6);
        if (sub(t0_max, PIT_MAX) > 0) {
            t0_max = PIT_MAX;
            t0_min = PIT_MAX - 6;
        }

        int16_t Ap3[MP1], Ap4[MP1];
        Weight_Az(Az, GAMMA2_PST, Ap3);
        Weight_Az(Az, GAMMA1_PST, Ap4);

        Residu(Ap3, &syn[i_subfr], res2, L_SUBFR);
        for (int j = 0; j < L_SUBFR; j++) scal_res2[j] = shr(res2[j], 2);

        int16_t res2_pst[L_SUBFR];
        pit_pst_filt(res2, scal_res2, t0_min, t0_max, res2_pst);

        // Tilt of A(z/0.55) / A(z/0.7) from its first 22 impulse response samples.
        int16_t h[L_H] = {};
        std::copy(Ap3, Ap3 + MP1, h);
        Syn_filt(Ap4, h, h, L_H, &h[MP1], false);
        const int16_t temp1 = extract_h(L_mac_energy(0, h, L_H));
        int32_t L = L_mult(h[0], h[1]);
        for (int i = 1; i < L_H - 1; i++) L = L_mac(L, h[i], h[i + 1]);
        int16_t temp2 = extract_h(L);
        if (temp2 <= 0) {
            temp2 = 0;
        } else {
            temp2 = mult(temp2, MU);
            temp2 = div_s(temp2, temp1);
        }
        preemphasis(s, res2_pst, temp2);

        Syn_filt(Ap4, res2_pst, &syn_pst[i_subfr], L_SUBFR, s.mem_syn_pst, true);
        agc(s, &syn[i_subfr], &syn_pst[i_subfr]);

        std::copy(res2 + L_SUBFR - kResHistory, res2 + L_SUBFR, res2 - kResHistory);
        std::copy(scal_res2 + L_SUBFR - kResHistory, scal_res2 + L_SUBFR, scal_res2 - kResHistory);
    }
    std::copy(&syn[L_FRAME - M], &syn[L_FRAME], &syn[-M]);
    std::copy(syn_pst, syn_pst + L_FRAME, syn);
}

}  // namespace g729
