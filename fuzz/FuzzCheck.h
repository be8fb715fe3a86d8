// The fuzz targets must fail loudly in every build type: assert() vanishes
// under NDEBUG, and a broken invariant that only prints would let libFuzzer
// carry on past the very input we want kept.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(cond)                                                          \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: broken invariant: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)
