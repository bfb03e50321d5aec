#include "codec/DecoderState.h"

#include <algorithm>
#include <iterator>

#include "codec/Tables.h"

namespace g729 {

DecoderState::DecoderState() : old_exc{}, res2_buf{}, scal_res2_buf{} {
    ResetDecoderState(*this);
    // The kept items are set only here.
    std::copy(lsp_old_init, lsp_old_init + M, lsp_old);
    std::copy(past_qua_en_init, past_qua_en_init + 4, past_qua_en);
    mem_pre = 0;
    past_gain = 4096;  // 1.0 in Q12
}

void ResetDecoderState(DecoderState& s) {
    std::fill(s.old_exc, s.old_exc + kExcHistory, int16_t{0});
    std::fill(std::begin(s.mem_syn), std::end(s.mem_syn), int16_t{0});
    s.sharp = SHARPMIN;
    s.old_T0 = 60;
    s.gain_pitch = 0;
    s.gain_code = 0;
    for (auto& row : s.freq_prev) std::copy(freq_prev_reset, freq_prev_reset + M, row);
    std::copy(freq_prev_reset, freq_prev_reset + M, s.prev_lsp);
    s.prev_ma = 0;

    std::fill(std::begin(s.mem_syn_pst), std::end(s.mem_syn_pst), int16_t{0});
    std::fill(std::begin(s.res2_buf), std::end(s.res2_buf), int16_t{0});
    std::fill(std::begin(s.scal_res2_buf), std::end(s.scal_res2_buf), int16_t{0});

    s.x0 = s.x1 = 0;
    s.y1_hi = s.y1_lo = s.y2_hi = s.y2_lo = 0;
}

}  // namespace g729
