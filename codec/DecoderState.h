#pragma once
// The decoder's inter-frame state: one instance for the whole process, shared
// by every G729Decoder, so only one stream can be decoded at a time (no two
// Init or DecodeFrame calls may run concurrently, and streams may not be
// interleaved frame by frame).
//
// ResetDecoderState prepares it for a new stream but leaves lsp_old,
// past_qua_en, mem_pre and past_gain as the previous stream left them; in a
// fresh process they hold their start values.

#include <cstdint>

namespace g729 {

constexpr int M = 10;         // LP order
constexpr int MP1 = M + 1;    // coefficients per LP set
constexpr int L_SUBFR = 40;   // samples per subframe
constexpr int L_FRAME = 80;   // samples per frame
constexpr int PIT_MIN = 20;
constexpr int PIT_MAX = 143;
constexpr int L_INTERPOL = 11;
constexpr int MA_NP = 4;      // order of the LSF predictor
constexpr int16_t SHARPMIN = 3277;   // 0.2 in Q14
constexpr int16_t SHARPMAX = 13017;  // 0.8 in Q14

// Excitation history ahead of the current frame in old_exc.
constexpr int kExcHistory = PIT_MAX + L_INTERPOL;  // 154
// Residual history ahead of the current subframe in res2 / scal_res2.
constexpr int kResHistory = PIT_MAX;               // 143

struct DecoderState {
    // Synthesis (Decod_ld8a)
    int16_t old_exc[kExcHistory + L_FRAME];  // excitation; the current frame starts at exc()
    int16_t mem_syn[M];                      // synthesis filter memory
    int16_t sharp;                           // pitch sharpening gain, Q14
    int16_t old_T0;                          // last integer pitch lag
    int16_t gain_pitch;                      // last decoded pitch gain, Q14
    int16_t gain_code;                       // last decoded code gain, Q1
    int16_t freq_prev[MA_NP][M];             // last four LSF vectors of the MA predictor, Q13
    int16_t prev_lsp[M];                     // last quantized LSF vector, Q13
    int16_t prev_ma;                         // last MA predictor switch
    int16_t lsp_old[M];                      // previous frame's LSP vector, Q15 (kept by reset)
    int16_t past_qua_en[4];                  // past quantized code-gain errors, Q10 (kept by reset)

    // Post-filter (Post_Filter)
    int16_t res2_buf[kResHistory + L_SUBFR];       // residual; current subframe at res2()
    int16_t scal_res2_buf[kResHistory + L_SUBFR];  // residual / 4; current subframe at scal_res2()
    int16_t mem_syn_pst[M];                        // post-filter synthesis memory
    int16_t mem_pre;                               // tilt compensation memory (kept by reset)
    int16_t past_gain;                             // gain control gain, Q12 (kept by reset)

    // Output high-pass filter (Post_Process)
    int16_t x0, x1;                   // last two inputs
    int16_t y1_hi, y1_lo, y2_hi, y2_lo;  // last two outputs, double precision

    int16_t* exc() { return old_exc + kExcHistory; }
    int16_t* res2() { return res2_buf + kResHistory; }
    int16_t* scal_res2() { return scal_res2_buf + kResHistory; }
};

// The process-wide instance.
extern DecoderState gDecoderState;

// Prepares the process-wide state for a new stream: everything except
// lsp_old, past_qua_en, mem_pre and past_gain (and the Overflow flag) goes
// back to its start value. Calling it twice is the same as calling it once.
void ResetDecoderState();

}  // namespace g729
