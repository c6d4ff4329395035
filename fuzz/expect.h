// A promise of the code under test that an input broke: told, then a crash, so that the
// fuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Expect(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}
