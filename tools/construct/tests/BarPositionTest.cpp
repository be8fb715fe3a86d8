#include <gtest/gtest.h>

#include <cstdint>

#include "ConsoleProgress.h"

namespace {

TEST(BarPosition, DotsForDoneOfTotal) {
  constexpr uint32_t kMax = UINT32_MAX;
  const struct {
    uint32_t done, total;
    unsigned dots;
  } cases[] = {
      {0, 1000, 0},
      {1000, 1000, 40},
      {499, 1000, 19},
      {500, 1000, 20},
      {100u << 20, 100u << 20, 40},  // 100 MiB still ends on 40
      {kMax, kMax, 40},              // done * 40 needs more than 32 bits
      {kMax / 2, kMax, 19},
      {kMax / 2 + 1, kMax, 20},
      {kMax - 1, kMax, 39},
      {0, 0, 0},                     // no division by zero
      {5, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mvr::BarPosition(c.done, c.total), c.dots) << c.done << " of " << c.total;
  }
}

}  // namespace
