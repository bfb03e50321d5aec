// The saturating operators against edge values, including what each does to
// the Overflow flag, and the exits of the division operator.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "codec/BasicOps.h"
#include "tests/codec/ChildProcess.h"

using namespace g729;

namespace {

// What an operation must do to the Overflow flag.
enum class Flag { Set, Cleared, Kept };

struct OpCase {
    const char* what;
    std::function<int32_t()> run;
    int32_t expected;
    Flag flag;
};

const OpCase kCases[] = {
    // 16-bit add, sub and mult set the flag on saturation and clear it otherwise.
    {"add(32767, 1)", [] { return add(32767, 1); }, 32767, Flag::Set},
    {"add(-32768, -1)", [] { return add(-32768, -1); }, -32768, Flag::Set},
    {"add(100, -50)", [] { return add(100, -50); }, 50, Flag::Cleared},
    {"sub(-32768, 1)", [] { return sub(-32768, 1); }, -32768, Flag::Set},
    {"sub(32767, -1)", [] { return sub(32767, -1); }, 32767, Flag::Set},
    {"sub(0, -32768)", [] { return sub(0, -32768); }, 32767, Flag::Set},
    {"sub(5, 3)", [] { return sub(5, 3); }, 2, Flag::Cleared},
    {"mult(-32768, -32768)", [] { return mult(-32768, -32768); }, 32767, Flag::Set},
    {"mult(-32768, 32767)", [] { return mult(-32768, 32767); }, -32767, Flag::Cleared},
    {"mult(-1, 1) rounds down", [] { return mult(-1, 1); }, -1, Flag::Cleared},
    {"mult(16384, 16384)", [] { return mult(16384, 16384); }, 8192, Flag::Cleared},
    {"abs_s(-32768)", [] { return abs_s(-32768); }, 32767, Flag::Kept},
    {"negate(-32768)", [] { return negate(-32768); }, 32767, Flag::Kept},

    // 16-bit shifts: negative counts shift the other way, large counts saturate or clear.
    {"shl(1, 14)", [] { return shl(1, 14); }, 16384, Flag::Kept},
    {"shl(1, 15)", [] { return shl(1, 15); }, 32767, Flag::Set},
    {"shl(-1, 15)", [] { return shl(-1, 15); }, -32768, Flag::Kept},
    {"shl(-2, 15)", [] { return shl(-2, 15); }, -32768, Flag::Set},
    {"shl(3, 16)", [] { return shl(3, 16); }, 32767, Flag::Set},
    {"shl(0, 40)", [] { return shl(0, 40); }, 0, Flag::Kept},
    {"shl(-8, -2)", [] { return shl(-8, -2); }, -2, Flag::Kept},
    {"shr(-5, 1)", [] { return shr(-5, 1); }, -3, Flag::Kept},
    {"shr(5, 20)", [] { return shr(5, 20); }, 0, Flag::Kept},
    {"shr(-5, 20)", [] { return shr(-5, 20); }, -1, Flag::Kept},
    {"shr(3, -2)", [] { return shr(3, -2); }, 12, Flag::Kept},
    {"shr(16384, -1)", [] { return shr(16384, -1); }, 32767, Flag::Set},

    // 32-bit products and sums only ever set the flag.
    {"L_mult(-32768, -32768)", [] { return L_mult(-32768, -32768); }, MAX_32, Flag::Set},
    {"L_mult(-32768, 32767)", [] { return L_mult(-32768, 32767); }, -2147418112, Flag::Kept},
    {"L_mult(2, -3)", [] { return L_mult(2, -3); }, -12, Flag::Kept},
    {"L_add(MAX_32, 1)", [] { return L_add(MAX_32, 1); }, MAX_32, Flag::Set},
    {"L_add(MIN_32, -1)", [] { return L_add(MIN_32, -1); }, MIN_32, Flag::Set},
    {"L_add(MAX_32, MIN_32)", [] { return L_add(MAX_32, MIN_32); }, -1, Flag::Kept},
    {"L_sub(MIN_32, 1)", [] { return L_sub(MIN_32, 1); }, MIN_32, Flag::Set},
    {"L_sub(0, MIN_32)", [] { return L_sub(0, MIN_32); }, MAX_32, Flag::Set},
    {"L_sub(-1, MAX_32)", [] { return L_sub(-1, MAX_32); }, MIN_32, Flag::Kept},
    {"L_negate(MIN_32)", [] { return L_negate(MIN_32); }, MAX_32, Flag::Kept},

    // L_mac and L_msu saturate after the product and after the sum.
    {"L_mac(MAX_32 - 1, 1, 1)", [] { return L_mac(MAX_32 - 1, 1, 1); }, MAX_32, Flag::Set},
    {"L_mac(0, -32768, -32768)", [] { return L_mac(0, -32768, -32768); }, MAX_32, Flag::Set},
    {"L_mac(-1, -32768, -32768)", [] { return L_mac(-1, -32768, -32768); }, MAX_32 - 1, Flag::Set},
    {"L_mac(-100, 16384, 16384)", [] { return L_mac(-100, 16384, 16384); }, (1 << 29) - 100, Flag::Kept},
    {"L_mac(L_mac(MAX_32 - 10, 1, 10), -1, 10): no wide accumulator",
     [] { return L_mac(L_mac(MAX_32 - 10, 1, 10), -1, 10); }, MAX_32 - 20, Flag::Set},
    {"L_msu(MIN_32 + 1, 1, 1)", [] { return L_msu(MIN_32 + 1, 1, 1); }, MIN_32, Flag::Set},
    {"L_msu(0, -32768, -32768)", [] { return L_msu(0, -32768, -32768); }, -MAX_32, Flag::Set},
    {"L_msu(-2, -32768, -32768)", [] { return L_msu(-2, -32768, -32768); }, MIN_32, Flag::Set},
    {"L_msu(5, 2, 1)", [] { return L_msu(5, 2, 1); }, 1, Flag::Kept},

    // 32-bit shifts.
    {"L_shl(1, 30)", [] { return L_shl(1, 30); }, 1 << 30, Flag::Kept},
    {"L_shl(1, 31)", [] { return L_shl(1, 31); }, MAX_32, Flag::Set},
    {"L_shl(-1, 31)", [] { return L_shl(-1, 31); }, MIN_32, Flag::Kept},
    {"L_shl(-1, 32)", [] { return L_shl(-1, 32); }, MIN_32, Flag::Set},
    {"L_shl(0x40000000, 1)", [] { return L_shl(0x40000000, 1); }, MAX_32, Flag::Set},
    {"L_shl(-0x40000000, 1)", [] { return L_shl(-0x40000000, 1); }, MIN_32, Flag::Kept},
    {"L_shl(-0x40000001, 1)", [] { return L_shl(-0x40000001, 1); }, MIN_32, Flag::Set},
    {"L_shl(5, 100)", [] { return L_shl(5, 100); }, MAX_32, Flag::Set},
    {"L_shl(0, 100)", [] { return L_shl(0, 100); }, 0, Flag::Kept},
    {"L_shl(-8, -2)", [] { return L_shl(-8, -2); }, -2, Flag::Kept},
    {"L_shl(-1, -40)", [] { return L_shl(-1, -40); }, -1, Flag::Kept},
    {"L_shr(-5, 1)", [] { return L_shr(-5, 1); }, -3, Flag::Kept},
    {"L_shr(-1, 31)", [] { return L_shr(-1, 31); }, -1, Flag::Kept},
    {"L_shr(MAX_32, 31)", [] { return L_shr(MAX_32, 31); }, 0, Flag::Kept},
    {"L_shr(MIN_32, 40)", [] { return L_shr(MIN_32, 40); }, -1, Flag::Kept},
    {"L_shr(3, -2)", [] { return L_shr(3, -2); }, 12, Flag::Kept},
    {"L_shr(0x40000000, -1)", [] { return L_shr(0x40000000, -1); }, MAX_32, Flag::Set},
    {"L_shr_r(5, 1)", [] { return L_shr_r(5, 1); }, 3, Flag::Kept},
    {"L_shr_r(-5, 1) rounds halves up", [] { return L_shr_r(-5, 1); }, -2, Flag::Kept},
    {"L_shr_r(7, 2)", [] { return L_shr_r(7, 2); }, 2, Flag::Kept},
    {"L_shr_r(-1, 31)", [] { return L_shr_r(-1, 31); }, 0, Flag::Kept},
    {"L_shr_r(MIN_32, 31)", [] { return L_shr_r(MIN_32, 31); }, -1, Flag::Kept},
    {"L_shr_r(MAX_32, 32)", [] { return L_shr_r(MAX_32, 32); }, 0, Flag::Kept},
    {"L_shr_r(6, 0)", [] { return L_shr_r(6, 0); }, 6, Flag::Kept},

    // round (round_fx) saturates only at the very top.
    {"round_fx(0x7FFF8000)", [] { return round_fx(0x7FFF8000); }, 32767, Flag::Set},
    {"round_fx(0x7FFF7FFF)", [] { return round_fx(0x7FFF7FFF); }, 32767, Flag::Kept},
    {"round_fx(0x12348000)", [] { return round_fx(0x12348000); }, 0x1235, Flag::Kept},
    {"round_fx(-0x8000)", [] { return round_fx(-0x8000); }, 0, Flag::Kept},
    {"round_fx(-0x8001)", [] { return round_fx(-0x8001); }, -1, Flag::Kept},
    {"round_fx(MIN_32)", [] { return round_fx(MIN_32); }, -32768, Flag::Kept},

    // Halves and deposits.
    {"extract_h(MIN_32)", [] { return extract_h(MIN_32); }, -32768, Flag::Kept},
    {"extract_l(0x12348765)", [] { return extract_l(0x12348765); }, -30875, Flag::Kept},
    {"L_deposit_h(-32768)", [] { return L_deposit_h(-32768); }, MIN_32, Flag::Kept},
    {"L_deposit_l(-2)", [] { return L_deposit_l(-2); }, -2, Flag::Kept},

    // Normalisation counts.
    {"norm_s(0)", [] { return norm_s(0); }, 0, Flag::Kept},
    {"norm_s(-1)", [] { return norm_s(-1); }, 15, Flag::Kept},
    {"norm_s(1)", [] { return norm_s(1); }, 14, Flag::Kept},
    {"norm_s(-16384)", [] { return norm_s(-16384); }, 1, Flag::Kept},
    {"norm_s(-16385)", [] { return norm_s(-16385); }, 0, Flag::Kept},
    {"norm_s(-32768)", [] { return norm_s(-32768); }, 0, Flag::Kept},
    {"norm_l(0)", [] { return norm_l(0); }, 0, Flag::Kept},
    {"norm_l(-1)", [] { return norm_l(-1); }, 31, Flag::Kept},
    {"norm_l(1)", [] { return norm_l(1); }, 30, Flag::Kept},
    {"norm_l(MIN_32)", [] { return norm_l(MIN_32); }, 0, Flag::Kept},
    {"norm_l(-0x40000001)", [] { return norm_l(-0x40000001); }, 0, Flag::Kept},
    {"norm_l(-0x40000000)", [] { return norm_l(-0x40000000); }, 1, Flag::Kept},

    // Division within its contract.
    {"div_s(0, 5)", [] { return div_s(0, 5); }, 0, Flag::Kept},
    {"div_s(5, 5)", [] { return div_s(5, 5); }, 32767, Flag::Kept},
    {"div_s(1, 2)", [] { return div_s(1, 2); }, 16384, Flag::Cleared},
    {"div_s(1, 3)", [] { return div_s(1, 3); }, 10922, Flag::Cleared},
    {"div_s(16383, 16384)", [] { return div_s(16383, 16384); }, 32766, Flag::Cleared},
    {"div_s(1, 32767)", [] { return div_s(1, 32767); }, 1, Flag::Cleared},
    {"div_s(16384, 32767)", [] { return div_s(16384, 32767); }, 16384, Flag::Cleared},
};

TEST(BasicOps, EdgeValuesAndOverflowFlag) {
    for (const OpCase& c : kCases) {
        for (int16_t before : {int16_t{0}, int16_t{1}}) {
            Overflow = before;
            const int32_t got = c.run();
            const int16_t after = Overflow;
            EXPECT_EQ(got, c.expected) << c.what;
            const int16_t wanted = c.flag == Flag::Set ? 1 : c.flag == Flag::Cleared ? 0 : before;
            EXPECT_EQ(after, wanted) << c.what << " with Overflow " << before << " before";
        }
    }
}

struct DivisionExit {
    int16_t num, den;
    const char* output;
};

TEST(BasicOps, DivisionOutsideItsContractReportsAndEndsTheProcess) {
    const DivisionExit cases[] = {
        {6, 5, "Division Error var1=6  var2=5\n"},
        {-1, 5, "Division Error var1=-1  var2=5\n"},
        {0, -3, "Division Error var1=0  var2=-3\n"},
        {-32768, -32768, "Division Error var1=-32768  var2=-32768\n"},
        {0, 0, "Division by 0, Fatal error \n"},
    };
    for (const DivisionExit& c : cases) {
        const ChildResult r = RunInChild([&] {
            div_s(c.num, c.den);
            return std::string("div_s returned");
        });
        EXPECT_TRUE(r.exited) << c.num << "/" << c.den;
        EXPECT_EQ(r.exitStatus, 1) << c.num << "/" << c.den;
        EXPECT_EQ(r.message, "") << c.num << "/" << c.den;
        EXPECT_EQ(r.output, c.output);
    }
}

}  // namespace
