#pragma once
// The decoder's inter-frame state, a plain value. Each program makes one and
// hands it to every G729Decoder it creates, so that the streams it decodes one
// after another carry four items over from stream to stream: a stream's first
// frames depend on what the same program decoded before. Decoders sharing one
// state decode one stream at a time (no two Init or DecodeFrame calls at once,
// no interleaving frame by frame); decoders with states of their own are
// independent of each other.
//
// Fields marked "reset" go back to their start values in ResetDecoderState
// (G729Decoder::Init); fields marked "kept" keep what the previous stream left,
// and hold their start values in a new state.

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
    // A program's first state: every field at its start value.
    DecoderState();

    // Synthesis (Decod_ld8a)
    int16_t old_exc[kExcHistory + L_FRAME];  // reset (the history): excitation; the current frame starts at exc()
    int16_t mem_syn[M];                      // reset: synthesis filter memory
    int16_t sharp;                           // reset: pitch sharpening gain, Q14
    int16_t old_T0;                          // reset: last integer pitch lag
    int16_t gain_pitch;                      // reset: last decoded pitch gain, Q14
    int16_t gain_code;                       // reset: last decoded code gain, Q1
    int16_t freq_prev[MA_NP][M];             // reset: last four LSF vectors of the MA predictor, Q13
    int16_t prev_lsp[M];                     // reset: last quantized LSF vector, Q13
    int16_t prev_ma;                         // reset: last MA predictor switch
    int16_t lsp_old[M];                      // kept: previous frame's LSP vector, Q15
    int16_t past_qua_en[4];                  // kept: past quantized code-gain errors, Q10

    // Post-filter (Post_Filter)
    int16_t res2_buf[kResHistory + L_SUBFR];       // reset: residual; current subframe at res2()
    int16_t scal_res2_buf[kResHistory + L_SUBFR];  // reset: residual / 4; current subframe at scal_res2()
    int16_t mem_syn_pst[M];                        // reset: post-filter synthesis memory
    int16_t mem_pre;                               // kept: tilt compensation memory
    int16_t past_gain;                             // kept: gain control gain, Q12

    // Output high-pass filter (Post_Process)
    int16_t x0, x1;                      // reset: last two inputs
    int16_t y1_hi, y1_lo, y2_hi, y2_lo;  // reset: last two outputs, double precision

    int16_t* exc() { return old_exc + kExcHistory; }
    int16_t* res2() { return res2_buf + kResHistory; }
    int16_t* scal_res2() { return scal_res2_buf + kResHistory; }
};

// Prepares s for a new stream: every field marked "reset" goes back to its
// start value, the four marked "kept" stay. Calling it twice is the same as
// calling it once.
void ResetDecoderState(DecoderState& s);

}  // namespace g729
