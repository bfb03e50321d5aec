#pragma once
// A property a fuzz target checks: a violated one aborts, which libFuzzer
// reports as a finding and the corpus runs as a failed test.

#include <cstdlib>

inline void Check(bool condition) {
    if (!condition) std::abort();
}
