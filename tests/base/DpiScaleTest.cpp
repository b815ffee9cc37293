// Measures converted between DPIs.
#include <gtest/gtest.h>

#include <climits>

#include "base/DpiScale.h"

namespace lexmora {
namespace {

TEST(ScaleDpiTest, RoundsToTheNearestPixelAndStaysInRange) {
  const struct {
    int value, from, to, want;
  } cases[] = {
      {17, 96, 144, 26},  // 25.5: halves go up
      {9, 96, 144, 14},   // 13.5
      {30, 96, 144, 45},
      {400, 96, 192, 800},
      {26, 144, 96, 17},
      {2, 96, 120, 3},
      {1, 96, 120, 1},
      {0, 96, 144, 0},
      {-11, 96, 144, -17},  // a font height: halves go away from zero
      {-16, 144, 96, -11},
      {INT_MAX, 96, 192, INT_MAX},
      {INT_MIN, 96, 192, INT_MIN},
      {7, 0, 144, 7},  // no DPI to convert from: unchanged
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleDpi(c.value, c.from, c.to), c.want)
        << c.value << " from " << c.from << " to " << c.to << " DPI";
  }
}

}  // namespace
}  // namespace lexmora
