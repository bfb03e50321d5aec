#include "codec/GainDecoding.h"

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/DoublePrecision.h"
#include "codec/MathFunctions.h"
#include "codec/Tables.h"

namespace g729 {

namespace {

// Predicted code gain gcode0 * 2^-exp_gcode0 from the innovation energy and
// the past quantized errors.
void Gain_predict(const int16_t past_qua_en[4], const int16_t code[40], int16_t* gcode0, int16_t* exp_gcode0) {
    int32_t L = 0;
    for (int i = 0; i < 40; i++) L = L_mac(L, code[i], code[i]);

    int16_t exp, frac;
    Log2(L, &exp, &frac);
    L = Mpy_32_16(exp, frac, -24660);  // -10 log10(energy / 40), Q13
    L = L_mac(L, 32588, 32);           // plus the mean energy, 30 dB
    L = L_shl(L, 10);
    for (int i = 0; i < 4; i++) L = L_mac(L, pred[i], past_qua_en[i]);
    *gcode0 = extract_h(L);  // dB, Q8

    L = L_mult(*gcode0, 5439);  // dB to log2: * log2(10) / 20, Q8
    L = L_shr(L, 8);
    L_Extract(L, &exp, &frac);
    *gcode0 = extract_l(Pow2(14, frac));
    *exp_gcode0 = sub(14, exp);
}

// Moves the past quantized errors on and stores 20 log10(gbk12) (Q10).
void Gain_update(int16_t past_qua_en[4], int32_t L_gbk12) {
    for (int i = 3; i > 0; i--) past_qua_en[i] = past_qua_en[i - 1];
    int16_t exp, frac;
    Log2(L_gbk12, &exp, &frac);
    const int32_t L = L_Comp(sub(exp, 13), frac);
    const int16_t tmp = extract_h(L_shl(L, 13));
    past_qua_en[0] = mult(tmp, 24660);
}

}  // namespace

void Dec_gain(DecoderState& s, int16_t index, const int16_t code[40], int16_t* gain_pit, int16_t* gain_cod) {
    const int index1 = imap1[index >> 4];
    const int index2 = imap2[index & 15];
    *gain_pit = add(gbk1[index1][0], gbk2[index2][0]);

    int16_t gcode0, exp_gcode0;
    Gain_predict(s.past_qua_en, code, &gcode0, &exp_gcode0);

    const int32_t L_gbk12 = L_add(L_deposit_l(gbk1[index1][1]), L_deposit_l(gbk2[index2][1]));  // Q13
    const int16_t tmp = extract_l(L_shr(L_gbk12, 1));                                            // Q12
    int32_t L = L_mult(tmp, gcode0);
    L = L_shl(L, add(negate(exp_gcode0), 4));
    *gain_cod = extract_h(L);

    Gain_update(s.past_qua_en, L_gbk12);
}

}  // namespace g729
