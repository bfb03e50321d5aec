#include "codec/LspDecoding.h"

#include <algorithm>
#include <cstdio>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/Diagnostics.h"
#include "codec/DoublePrecision.h"
#include "codec/Tables.h"

namespace g729 {

namespace {

constexpr int NC = 5;            // split of the second stage
constexpr int16_t GAP1 = 10;     // Q13
constexpr int16_t GAP2 = 5;      // Q13
constexpr int16_t GAP3 = 321;    // Q13
constexpr int16_t L_LIMIT = 40;
constexpr int16_t M_LIMIT = 25681;

// Moves each pair of neighbours apart by half of what they lack of gap, in one
// pass from low to high.
void Lsp_expand_1_2(int16_t buf[M], int16_t gap) {
    for (int j = 1; j < M; j++) {
        const int16_t diff = sub(buf[j - 1], buf[j]);
        const int16_t tmp = shr(add(diff, gap), 1);
        if (tmp > 0) {
            buf[j - 1] = sub(buf[j - 1], tmp);
            buf[j] = add(buf[j], tmp);
        }
    }
}

// Orders the vector (one pass), keeps it inside [L_LIMIT, M_LIMIT] and keeps
// neighbours at least GAP3 apart.
void Lsp_stability(int16_t buf[M]) {
    for (int j = 0; j < M - 1; j++) {
        if (L_sub(L_deposit_l(buf[j + 1]), L_deposit_l(buf[j])) < 0) std::swap(buf[j], buf[j + 1]);
    }
    if (sub(buf[0], L_LIMIT) < 0) {
        buf[0] = L_LIMIT;
        std::fprintf(DiagnosticOutput(), "lsp_stability warning Low \n");
    }
    for (int j = 0; j < M - 1; j++) {
        const int32_t diff = L_sub(L_deposit_l(buf[j + 1]), L_deposit_l(buf[j]));
        if (L_sub(diff, GAP3) < 0) buf[j + 1] = add(buf[j], GAP3);
    }
    if (sub(buf[M - 1], M_LIMIT) > 0) {
        buf[M - 1] = M_LIMIT;
        std::fprintf(DiagnosticOutput(), "lsp_stability warning High \n");
    }
}

// Coefficients f[0..5] (Q24) of the degree-5 polynomial whose roots are the
// five LSPs lsp[0], lsp[2], ..., lsp[8].
void Get_lsp_pol(const int16_t* lsp, int32_t f[6]) {
    f[0] = L_mult(4096, 2048);            // 1.0
    f[1] = L_msu(0, lsp[0], 512);         // -2 * lsp[0]
    for (int i = 2; i <= 5; i++) {
        const int16_t l = lsp[2 * (i - 1)];
        f[i] = f[i - 2];
        for (int p = i; p >= 2; p--) {
            int16_t hi, lo;
            L_Extract(f[p - 1], &hi, &lo);
            const int32_t t0 = L_shl(Mpy_32_16(hi, lo, l), 1);  // 2 * f[p-1] * l
            f[p] = L_add(f[p], f[p - 2]);
            f[p] = L_sub(f[p], t0);
        }
        f[1] = L_msu(f[1], l, 512);
    }
}

}  // namespace

void D_lsp(DecoderState& s, int16_t l0l1, int16_t l2l3, int16_t lsp_q[M]) {
    const int mode = (l0l1 >> 7) & 1;
    const int code0 = l0l1 & 127;
    const int code1 = (l2l3 >> 5) & 31;
    const int code2 = l2l3 & 31;

    int16_t buf[M];
    for (int j = 0; j < NC; j++) buf[j] = add(lspcb1[code0][j], lspcb2[code1][j]);
    for (int j = NC; j < M; j++) buf[j] = add(lspcb1[code0][j], lspcb2[code2][j]);
    Lsp_expand_1_2(buf, GAP1);
    Lsp_expand_1_2(buf, GAP2);

    // Lsp_prev_compose: add the MA prediction from the last four vectors.
    int16_t lsf_q[M];
    for (int j = 0; j < M; j++) {
        int32_t acc = L_mult(buf[j], fg_sum[mode][j]);
        for (int k = 0; k < MA_NP; k++) acc = L_mac(acc, fg[mode][k][j], s.freq_prev[k][j]);
        lsf_q[j] = extract_h(acc);
    }
    // Lsp_prev_update: the predictor remembers the vector before stabilising.
    for (int k = MA_NP - 1; k > 0; k--) std::copy(s.freq_prev[k - 1], s.freq_prev[k - 1] + M, s.freq_prev[k]);
    std::copy(buf, buf + M, s.freq_prev[0]);

    Lsp_stability(lsf_q);
    std::copy(lsf_q, lsf_q + M, s.prev_lsp);
    s.prev_ma = static_cast<int16_t>(mode);

    Lsf_lsp2(lsf_q, lsp_q);
}

void Lsf_lsp2(const int16_t lsf[M], int16_t lsp[M]) {
    for (int i = 0; i < M; i++) {
        const int16_t freq = mult(lsf[i], 20861);  // 1 / (2 pi) in Q17
        int16_t ind = shr(freq, 8);
        const int16_t offset = static_cast<int16_t>(freq & 0x00ff);
        if (sub(ind, 63) > 0) ind = 63;
        const int32_t slope = L_mult(slope_cos[ind], offset);
        lsp[i] = add(table2[ind], extract_l(L_shr(slope, 13)));
    }
}

void Lsp_Az(const int16_t lsp[M], int16_t a[MP1]) {
    int32_t f1[6], f2[6];
    Get_lsp_pol(&lsp[0], f1);
    Get_lsp_pol(&lsp[1], f2);
    for (int i = 5; i > 0; i--) {
        f1[i] = L_add(f1[i], f1[i - 1]);  // times (1 + z^-1)
        f2[i] = L_sub(f2[i], f2[i - 1]);  // times (1 - z^-1)
    }
    a[0] = 4096;
    for (int i = 1, j = 10; i <= 5; i++, j--) {
        a[i] = extract_l(L_shr_r(L_add(f1[i], f2[i]), 13));
        a[j] = extract_l(L_shr_r(L_sub(f1[i], f2[i]), 13));
    }
}

void Int_qlpc(const int16_t lsp_old[M], const int16_t lsp_new[M], int16_t Az[2 * MP1]) {
    int16_t lsp[M];
    for (int i = 0; i < M; i++) lsp[i] = add(shr(lsp_new[i], 1), shr(lsp_old[i], 1));
    Lsp_Az(lsp, Az);
    Lsp_Az(lsp_new, Az + MP1);
}

}  // namespace g729
