#include "codec/LpFilters.h"

#include <algorithm>

#include "codec/BasicOps.h"

namespace g729 {

void Syn_filt(const int16_t a[11], const int16_t x[], int16_t y[], int lg, int16_t mem[10], bool update) {
    int16_t tmp[100 + 10];
    std::copy(mem, mem + 10, tmp);
    int16_t* yy = tmp + 10;
    for (int i = 0; i < lg; i++) {
        int32_t s = L_mult(x[i], a[0]);
        for (int j = 1; j <= 10; j++) s = L_msu(s, a[j], yy[i - j]);
        s = L_shl(s, 3);
        yy[i] = round_fx(s);
    }
    std::copy(yy, yy + lg, y);
    if (update) std::copy(y + lg - 10, y + lg, mem);
}

void Residu(const int16_t a[11], const int16_t x[], int16_t y[], int lg) {
    for (int i = 0; i < lg; i++) {
        int32_t s = L_mult(x[i], a[0]);
        for (int j = 1; j <= 10; j++) s = L_mac(s, a[j], x[i - j]);
        s = L_shl(s, 3);
        y[i] = round_fx(s);
    }
}

}  // namespace g729
