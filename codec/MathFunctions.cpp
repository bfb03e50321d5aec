#include "codec/MathFunctions.h"

#include "codec/BasicOps.h"
#include "codec/Tables.h"

namespace g729 {

void Log2(int32_t L, int16_t* exponent, int16_t* fraction) {
    if (L <= 0) {
        *exponent = 0;
        *fraction = 0;
        return;
    }
    const int16_t exp = norm_l(L);
    L = L_shl(L, exp);
    *exponent = sub(30, exp);

    // Bits 25..31 select the table entry, bits 10..24 interpolate.
    L = L_shr(L, 9);
    int16_t i = extract_h(L);
    L = L_shr(L, 1);
    const int16_t a = static_cast<int16_t>(extract_l(L) & 0x7fff);
    i = sub(i, 32);
    int32_t y = L_deposit_h(tablog[i]);
    const int16_t step = sub(tablog[i], tablog[i + 1]);
    y = L_msu(y, step, a);
    *fraction = extract_h(y);
}

int32_t Pow2(int16_t exponent, int16_t fraction) {
    int32_t L = L_mult(fraction, 32);
    const int16_t i = extract_h(L);  // bits 10..15 of the fraction
    L = L_shr(L, 1);
    const int16_t a = static_cast<int16_t>(extract_l(L) & 0x7fff);  // bits 0..9
    L = L_deposit_h(tabpow[i]);
    const int16_t step = sub(tabpow[i], tabpow[i + 1]);
    L = L_msu(L, step, a);
    return L_shr_r(L, sub(30, exponent));
}

int32_t Inv_sqrt(int32_t L) {
    if (L <= 0) return 0x3fffffff;
    int16_t exp = norm_l(L);
    L = L_shl(L, exp);
    exp = sub(30, exp);
    if ((exp & 1) == 0) L = L_shr(L, 1);  // an even exponent needs one more bit
    exp = shr(exp, 1);
    exp = add(exp, 1);

    L = L_shr(L, 9);
    int16_t i = extract_h(L);  // bits 25..31
    L = L_shr(L, 1);
    const int16_t a = static_cast<int16_t>(extract_l(L) & 0x7fff);
    i = sub(i, 16);
    int32_t y = L_deposit_h(tabsqr[i]);
    const int16_t step = sub(tabsqr[i], tabsqr[i + 1]);
    y = L_msu(y, step, a);
    return L_shr(y, exp);
}

}  // namespace g729
