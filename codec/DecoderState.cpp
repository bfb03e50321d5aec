#include "codec/DecoderState.h"

#include <algorithm>
#include <iterator>

#include "codec/Tables.h"

namespace g729 {

namespace {

// The state a process starts with. Four items are only ever set here:
// ResetDecoderState leaves them alone.
DecoderState StartState() {
    DecoderState s{};
    s.sharp = SHARPMIN;
    s.old_T0 = 60;
    for (auto& row : s.freq_prev) std::copy(freq_prev_reset, freq_prev_reset + M, row);
    std::copy(freq_prev_reset, freq_prev_reset + M, s.prev_lsp);
    std::copy(lsp_old_init, lsp_old_init + M, s.lsp_old);
    std::copy(past_qua_en_init, past_qua_en_init + 4, s.past_qua_en);
    s.mem_pre = 0;
    s.past_gain = 4096;  // 1.0 in Q12
    return s;
}

}  // namespace

DecoderState gDecoderState = StartState();

void ResetDecoderState() {
    DecoderState& s = gDecoderState;

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
