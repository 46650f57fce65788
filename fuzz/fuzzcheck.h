#pragma once

#include <cstdio>
#include <cstdlib>

// A property the code under test must keep whatever its input: when it does not, the fuzzer
// stops on this input and keeps it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition);                   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
