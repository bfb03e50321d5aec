#include "codec/Synthesis.h"

#include <algorithm>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/ExcitationDecoding.h"
#include "codec/GainDecoding.h"
#include "codec/LpFilters.h"
#include "codec/LspDecoding.h"

namespace g729 {

void Decod_ld8a(DecoderState& s, const int16_t prm[12], int16_t synth[L_FRAME], int16_t A_t[2 * MP1], int16_t T2[2]) {
    int16_t* exc = s.exc();

    int16_t lsp_new[M];
    D_lsp(s, prm[1], prm[2], lsp_new);
    Int_qlpc(s.lsp_old, lsp_new, A_t);
    std::copy(lsp_new, lsp_new + M, s.lsp_old);

    // Per subframe: pitch index, positions, signs, gain index.
    static constexpr int kPitch[2] = {3, 8};
    static constexpr int kPositions[2] = {5, 9};
    static constexpr int kSigns[2] = {6, 10};
    static constexpr int kGains[2] = {7, 11};

    int16_t T0 = 0, T0_frac = 0;
    for (int sf = 0; sf < 2; sf++) {
        const int i_subfr = sf * L_SUBFR;
        const int16_t* Az = A_t + sf * MP1;

        Dec_lag3(prm[kPitch[sf]], sf == 0, &T0, &T0_frac);
        s.old_T0 = T0;
        T2[sf] = T0;

        Pred_lt_3(&exc[i_subfr], T0, T0_frac, L_SUBFR);

        int16_t code[L_SUBFR];
        Decod_ACELP(prm[kSigns[sf]], prm[kPositions[sf]], code);

        // Pitch sharpening of the innovation, in place, for lags below 40.
        const int16_t sharp2 = shl(s.sharp, 1);
        if (sub(T0, L_SUBFR) < 0) {
            for (int i = T0; i < L_SUBFR; i++) code[i] = add(code[i], mult(code[i - T0], sharp2));
        }

        Dec_gain(s, prm[kGains[sf]], code, &s.gain_pitch, &s.gain_code);
        s.sharp = std::clamp(s.gain_pitch, SHARPMIN, SHARPMAX);

        for (int i = 0; i < L_SUBFR; i++) {
            int32_t L = L_mult(exc[i + i_subfr], s.gain_pitch);
            L = L_mac(L, code[i], s.gain_code);
            L = L_shl(L, 1);
            exc[i + i_subfr] = round_fx(L);
        }

        Overflow = 0;
        Syn_filt(Az, &exc[i_subfr], &synth[i_subfr], L_SUBFR, s.mem_syn, false);
        if (Overflow != 0) {
            for (int16_t& e : s.old_exc) e = shr(e, 2);
            Syn_filt(Az, &exc[i_subfr], &synth[i_subfr], L_SUBFR, s.mem_syn, true);
        } else {
            std::copy(&synth[i_subfr + L_SUBFR - M], &synth[i_subfr + L_SUBFR], s.mem_syn);
        }
    }
    std::copy(&s.old_exc[L_FRAME], &s.old_exc[L_FRAME + kExcHistory], s.old_exc);
}

}  // namespace g729
