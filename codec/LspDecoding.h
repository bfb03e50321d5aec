#pragma once
// From the frame's two LSP indices to the two LP coefficient sets of a frame.

#include <cstdint>

namespace g729 {

struct DecoderState;

// Decodes the quantized LSP vector lsp_q (Q15) from the frame parameters
// L0L1 (8 bits) and L2L3 (10 bits): codebook sum, expansion, MA prediction
// from s.freq_prev, stability check, LSF to LSP. Updates s.freq_prev,
// s.prev_lsp and s.prev_ma. A corrected spectrum writes "lsp_stability warning Low \n" or
// "lsp_stability warning High \n" to standard output.
void D_lsp(DecoderState& s, int16_t l0l1, int16_t l2l3, int16_t lsp_q[10]);

// LSF (Q13, 0..pi) to LSP (cosine domain, Q15) through table2 and slope_cos.
void Lsf_lsp2(const int16_t lsf[10], int16_t lsp[10]);

// LSP vector (Q15) to LP coefficients a[0..10] in Q12, a[0] = 4096.
void Lsp_Az(const int16_t lsp[10], int16_t a[11]);

// Az[0..10] from the mean of lsp_old and lsp_new (subframe 1), Az[11..21] from
// lsp_new (subframe 2).
void Int_qlpc(const int16_t lsp_old[10], const int16_t lsp_new[10], int16_t Az[22]);

}  // namespace g729
