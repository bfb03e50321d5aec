// Pitch lag decoding at the ends of its index ranges.

#include <gtest/gtest.h>

#include "codec/ExcitationDecoding.h"

namespace {

struct LagCase {
    int16_t previousLag;  // subframe 1's lag, for subframe 2; 0 for subframe 1
    int16_t index;
    int16_t lag, frac;
};

TEST(PitchLag, EndsOfTheIndexRanges) {
    const LagCase cases[] = {
        // subframe 1: thirds below index 197, integers from there
        {0, 0, 19, 1},
        {0, 1, 20, -1},
        {0, 196, 85, -1},
        {0, 197, 85, 0},
        {0, 255, 143, 0},
        // subframe 2: relative to subframe 1's integer lag, window kept inside 20..143
        {22, 0, 19, 1},
        {22, 31, 30, -1},
        {60, 0, 54, 1},
        {60, 31, 65, -1},
        {141, 0, 133, 1},
        {141, 31, 144, -1},
    };
    for (const LagCase& c : cases) {
        int16_t lag = c.previousLag, frac = 99;
        g729::Dec_lag3(c.index, c.previousLag == 0, &lag, &frac);
        EXPECT_EQ(lag, c.lag) << "previous " << c.previousLag << ", index " << c.index;
        EXPECT_EQ(frac, c.frac) << "previous " << c.previousLag << ", index " << c.index;
    }
}

}  // namespace
