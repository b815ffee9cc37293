// Where the main window stands: kept where its title bar can be grabbed, moved up to stay within
// its work area, and placed and taken back on a real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "shell/WindowPlacement.h"

namespace lexmora {
namespace {

std::string Show(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " to " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// Work areas of 1280 x 1024, one to the right of the main one, one to the left and 100 lower;
// a title bar 30 pixels high, of which 100 pixels (150 at 144 DPI) must be there to grab.
TEST(TopWithinWorkArea, MovesAWindowUpUntilItsBottomIsInTheAreaButNotAboveIt) {
  const RECT work{0, 40, 1280, 1024};
  const struct {
    LONG top;
    int height;
    LONG want;
  } cases[] = {
      {900, 477, 547},    // reaching below: up until the bottom is the area's
      {547, 477, 547},    // ending on the bottom
      {50, 477, 50},      // room below: stays
      {900, 1200, 40},    // higher than the area: up to its top, no further
      {20, 1200, 20},     // above the area's top already: not down
      {-500, 300, -500},  // well above it: never down
      {2000, 300, 724},   // wholly below
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TopWithinWorkArea(c.top, c.height, work), c.want)
        << "top " << c.top << ", height " << c.height;
  }
}

TEST(FitOnScreen, KeepsAReachableTitleBarAndMovesTheWindowBackOtherwise) {
  const RECT main{0, 0, 1280, 1024}, right{1280, 0, 2560, 1024}, left{-1280, 100, 0, 1124};
  const std::tuple<const char*, int, std::vector<RECT>, RECT, RECT> cases[] = {
      {"inside", 100, {main}, {10, 10, 410, 310}, {10, 10, 410, 310}},
      {"far below right", 100, {main}, {32000, 32000, 32400, 32300}, {880, 724, 1280, 1024}},
      {"far above left", 100, {main}, {-32000, -32000, -31600, -31700}, {0, 0, 400, 300}},
      {"100 pixels in on the right", 100, {main}, {1180, 10, 1580, 310}, {1180, 10, 1580, 310}},
      {"99 pixels in on the right", 100, {main}, {1181, 10, 1581, 310}, {880, 10, 1280, 310}},
      {"100 pixels in on the left", 100, {main}, {-300, 10, 100, 310}, {-300, 10, 100, 310}},
      {"half of it above the top", 100, {main}, {10, -15, 410, 285}, {10, -15, 410, 285}},
      {"more than half above", 100, {main}, {10, -16, 410, 284}, {10, 0, 410, 300}},
      {"below the bottom", 100, {main}, {10, 1010, 410, 1310}, {10, 724, 410, 1024}},
      {"larger than the area", 100, {main}, {-50, -50, 2000, 1500}, {0, 0, 2050, 1550}},
      {"on the right monitor", 100, {main, right}, {1500, 100, 1900, 400}, {1500, 100, 1900, 400}},
      {"beyond it", 100, {main, right}, {3000, 100, 3400, 400}, {2160, 100, 2560, 400}},
      {"on the left monitor", 100, {main, left}, {-900, 150, -500, 450}, {-900, 150, -500, 450}},
      {"above it", 100, {main, left}, {-900, 20, -500, 320}, {-900, 100, -500, 400}},
      {"150 pixels in at 144 DPI", 150, {main}, {1130, 10, 1530, 310}, {1130, 10, 1530, 310}},
      {"149 pixels in at 144 DPI", 150, {main}, {1131, 10, 1531, 310}, {880, 10, 1280, 310}},
      {"narrower than the grab width", 150, {main}, {1150, 10, 1280, 310}, {1150, 10, 1280, 310}},
      {"no monitors", 100, {}, {32000, 32000, 32400, 32300}, {32000, 32000, 32400, 32300}},
  };
  for (const auto& [what, grab, areas, window, want] : cases) {
    const RECT got = FitOnScreen(window, areas, 30, grab);
    EXPECT_TRUE(EqualRect(&got, &want))
        << what << ": got " << Show(got) << ", wanted " << Show(want);
  }
}

}  // namespace
}  // namespace lexmora
