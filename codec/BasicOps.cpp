#include "codec/BasicOps.h"

#include <cstdio>
#include <cstdlib>

namespace g729 {

int16_t div_s(int16_t num, int16_t den) {
    if (num > den || num < 0 || den < 0) [[unlikely]] {
        std::printf("Division Error var1=%d  var2=%d\n", num, den);
        std::exit(0);
    }
    if (den == 0) [[unlikely]] {
        std::printf("Division by 0, Fatal error \n");
        std::exit(0);
    }
    if (num == 0) return 0;
    if (num == den) return MAX_16;

    int16_t out = 0;
    int32_t rest = num;
    const int32_t divisor = den;
    for (int i = 0; i < 15; i++) {
        out = static_cast<int16_t>(out << 1);
        rest <<= 1;
        if (rest >= divisor) {
            rest = L_sub(rest, divisor);
            out = add(out, 1);
        }
    }
    return out;
}

}  // namespace g729
