#include "codec/BasicOps.h"

#include <cstdio>
#include <cstdlib>

#include "codec/Diagnostics.h"

namespace g729 {

int16_t div_s(int16_t num, int16_t den) {
    if (num > den || num < 0 || den < 0) [[unlikely]] {
        std::fprintf(DiagnosticOutput(), "Division Error var1=%d  var2=%d\n", num, den);
        std::exit(EXIT_FAILURE);
    }
    if (den == 0) [[unlikely]] {
        std::fprintf(DiagnosticOutput(), "Division by 0, Fatal error \n");
        std::exit(EXIT_FAILURE);
    }
    if (num == 0) return 0;
    if (num == den) return MAX_16;

    // The 15 steps of restoring division produce the quotient bits of
    // num * 2^15 / den; each 1 bit goes through add(), which clears Overflow,
    // and for 0 < num < den there is always at least one.
    Overflow = 0;
    return static_cast<int16_t>((int32_t{num} << 15) / den);
}

}  // namespace g729
