#pragma once
// Double-precision values held as two int16 halves (hi, lo): value =
// hi * 2^16 + lo * 2^1, with lo in [0, 32767]. Used where the decoder needs
// more than 16 bits of a 32-bit quantity in a product.

#include "codec/BasicOps.h"

namespace g729 {

// Splits L into hi = extract_h(L) and lo = the next 15 bits.
inline void L_Extract(int32_t L, int16_t* hi, int16_t* lo) {
    *hi = extract_h(L);
    *lo = extract_l(L_msu(L_shr(L, 1), *hi, 16384));
}

// Joins (hi, lo) back into a 32-bit value.
inline int32_t L_Comp(int16_t hi, int16_t lo) { return L_mac(L_deposit_h(hi), lo, 1); }

// (hi, lo) * n as a 32-bit value: L_mult(hi, n) plus the low half's share.
inline int32_t Mpy_32_16(int16_t hi, int16_t lo, int16_t n) {
    return L_mac(L_mult(hi, n), mult(lo, n), 1);
}

}  // namespace g729
