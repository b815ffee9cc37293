#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "shell/DockManU.h"

namespace lexmora {
namespace {

std::string Str(const RECT& r) {
  std::ostringstream out;
  out << '{' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << '}';
  return out.str();
}
bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Drag along x by 3 pixels per message against the left edge of a large work area: 11 steps to
// the left, then 12 to the right, each proposal the last accepted left plus the step.
TEST(TDockMan, WorkedExampleRowByRow) {
  struct Row {
    int step, proposed, carryBefore, accepted, carryAfter;
  };
  const Row rows[] = {
      {-3, 15, 0, 15, 0},   {-3, 12, 0, 12, 0},   {-3, 9, 0, 0, 9},      {-3, -3, 9, 0, 6},
      {-3, -3, 6, 0, 3},    {-3, -3, 3, 0, 0},    {-3, -3, 0, 0, -3},    {-3, -3, -3, 0, -6},
      {-3, -3, -6, 0, -9},  {-3, -3, -9, 0, -12}, {-3, -3, -12, -15, 0}, {-3, -18, 0, -18, 0},
      {+3, -15, 0, -15, 0}, {+3, -12, 0, -12, 0}, {+3, -9, 0, 0, -9},    {+3, 3, -9, 0, -6},
      {+3, 3, -6, 0, -3},   {+3, 3, -3, 0, 0},    {+3, 3, 0, 0, 3},      {+3, 3, 3, 0, 6},
      {+3, 3, 6, 0, 9},     {+3, 3, 9, 0, 12},    {+3, 3, 12, 15, 0},    {+3, 18, 0, 18, 0},
  };
  const RECT area{0, 0, 5000, 5000};
  TDockMan dm;
  int accepted = 18;
  int n = 0;
  for (const Row& row : rows) {
    ++n;
    const int proposed = accepted + row.step;
    ASSERT_EQ(row.proposed, proposed) << "row " << n;
    ASSERT_EQ(row.carryBefore, dm.CarryX()) << "row " << n;
    RECT r{proposed, 1000, proposed + 300, 1200};
    dm.SnapRectInArea(10, r, area);
    EXPECT_EQ(row.accepted, r.left) << "row " << n;
    EXPECT_EQ(row.carryAfter, dm.CarryX()) << "row " << n;
    EXPECT_EQ(300, r.right - r.left) << "row " << n;
    EXPECT_EQ(1000, r.top) << "row " << n;
    EXPECT_EQ(0, dm.CarryY()) << "row " << n;
    accepted = r.left;
  }
}

// Successive messages of one move along x against the left edge at 0, threshold 10; each row is
// a proposed left and the left and carry wanted after it.
TEST(TDockMan, HoldsWhileTheCarryIsAtMostTheThresholdAndReleasesBeyond) {
  struct Row {
    int proposed, accepted, carry;
  };
  const Row rows[] = {
      {9, 0, 9},     // caught 9 away
      {1, 0, 10},    // carry reaches T: still held
      {1, 0, 11},    // carry T is not beyond T: held, carry grows past it
      {1, 12, 0},    // carry beyond T: released where the pointer leads
      {30, 30, 0},   // free
      {-9, 0, -9},   // caught from the other side
      {-1, 0, -10},  // held
      {0, 0, -10},   // on the edge: nothing changes
      {3, 0, -7},    // motion back towards the edge shrinks the carry
      {-4, 0, -11},  // beyond T again
      {-4, -15, 0},  // released
  };
  const RECT area{0, 0, 5000, 5000};
  TDockMan dm;
  int n = 0;
  for (const Row& row : rows) {
    ++n;
    RECT r{row.proposed, 2000, row.proposed + 300, 2100};
    dm.SnapRectInArea(10, r, area);
    EXPECT_EQ(row.accepted, r.left) << "row " << n;
    EXPECT_EQ(row.carry, dm.CarryX()) << "row " << n;
  }
}

// One message from carries 0 with threshold 10 against a work area of 0, 0, 1024, 768.
TEST(TDockMan, SnapsEachEdgeWithinTheThreshold) {
  const RECT area{0, 0, 1024, 768};
  struct Case {
    const char* what;
    int threshold;
    RECT proposed;
    RECT want;
    int carryX, carryY;
  };
  const Case cases[] = {
      {"far from every edge", 10, {300, 200, 700, 500}, {300, 200, 700, 500}, 0, 0},
      {"left 9 away", 10, {9, 200, 409, 500}, {0, 200, 400, 500}, 9, 0},
      {"left 10 away: exactly T", 10, {10, 200, 410, 500}, {10, 200, 410, 500}, 0, 0},
      {"left 9 beyond", 10, {-9, 200, 391, 500}, {0, 200, 400, 500}, -9, 0},
      {"top 9 away", 10, {300, 9, 700, 309}, {300, 0, 700, 300}, 0, 9},
      {"top 10 away: exactly T", 10, {300, 10, 700, 310}, {300, 10, 700, 310}, 0, 0},
      {"top 1 beyond", 10, {300, -1, 700, 299}, {300, 0, 700, 300}, 0, -1},
      {"right edge 1020", 10, {620, 200, 1020, 500}, {624, 200, 1024, 500}, -4, 0},
      {"right edge 1030", 10, {630, 200, 1030, 500}, {624, 200, 1024, 500}, 6, 0},
      {"right edge at exactly T", 10, {614, 200, 1014, 500}, {614, 200, 1014, 500}, 0, 0},
      {"bottom edge 765", 10, {300, 465, 700, 765}, {300, 468, 700, 768}, 0, -3},
      {"bottom edge 777", 10, {300, 477, 700, 777}, {300, 468, 700, 768}, 0, 9},
      {"top-left corner", 10, {3, 4, 403, 304}, {0, 0, 400, 300}, 3, 4},
      {"bottom-right corner", 10, {622, 466, 1022, 766}, {624, 468, 1024, 768}, -2, -2},
      {"already on the edge", 10, {0, 0, 400, 300}, {0, 0, 400, 300}, 0, 0},
      {"threshold 0", 0, {1, 1, 401, 301}, {1, 1, 401, 301}, 0, 0},
      {"threshold 0 on the edge", 0, {0, 0, 400, 300}, {0, 0, 400, 300}, 0, 0},
      {"negative threshold", -5, {1, 1, 401, 301}, {1, 1, 401, 301}, 0, 0},
      {"threshold 1 catches only 0", 1, {1, 0, 401, 300}, {1, 0, 401, 300}, 0, 0},
      {"threshold 70", 70, {69, 300, 469, 600}, {0, 300, 400, 600}, 69, 0},
      // The right-edge step sees the left edge as the left-edge step left it, and decides.
      {"as wide as the area", 10, {2, 200, 1022, 500}, {4, 200, 1024, 500}, -2, 0},
      {"as tall as the area", 10, {300, -3, 700, 762}, {300, 3, 700, 768}, 0, -6},
      {"empty rectangle", 10, {5, 5, 5, 5}, {0, 0, 0, 0}, 5, 5},
      {"inverted rectangle", 10, {500, 300, 400, 200}, {500, 300, 400, 200}, 0, 0},
  };
  for (const auto& c : cases) {
    TDockMan dm;
    RECT r = c.proposed;
    dm.SnapRectInArea(c.threshold, r, area);
    EXPECT_TRUE(Same(c.want, r)) << c.what << ": got " << Str(r) << ", want " << Str(c.want);
    EXPECT_EQ(c.carryX, dm.CarryX()) << c.what;
    EXPECT_EQ(c.carryY, dm.CarryY()) << c.what;
    EXPECT_EQ(c.proposed.right - c.proposed.left, r.right - r.left) << c.what;
    EXPECT_EQ(c.proposed.bottom - c.proposed.top, r.bottom - r.top) << c.what;
  }
}

// A work area that does not start at the screen's origin, as with a task bar at the top or left.
TEST(TDockMan, EdgesAreTheWorkAreasNotTheScreens) {
  const RECT area{60, 40, 1280, 994};
  TDockMan dm;
  RECT r{62, 45, 462, 345};
  dm.SnapRectInArea(10, r, area);
  EXPECT_TRUE(Same(RECT{60, 40, 460, 340}, r)) << Str(r);
  RECT low{500, 690, 900, 990};
  TDockMan dm2;
  dm2.SnapRectInArea(10, low, area);
  EXPECT_TRUE(Same(RECT{500, 694, 900, 994}, low)) << Str(low);
}

TEST(TDockMan, ExtremeValuesKeepTheSize) {
  const RECT area{0, 0, 1024, 768};
  TDockMan dm;
  RECT r{INT_MAX - 100, INT_MIN, INT_MAX, INT_MIN + 100};
  dm.SnapRectInArea(INT_MAX, r, area);
  EXPECT_EQ(100, r.right - r.left);
  EXPECT_EQ(100, r.bottom - r.top);
}

TEST(TDockMan, OnlyTheTwoMoveCommandsResetTheCarries) {
  struct Case {
    WPARAM command;
    bool resets;
  };
  const Case cases[] = {
      {0xF010, true},  {0xF012, true},  {0xF011, false}, {0xF013, false},
      {0xF014, false}, {0xF000, false}, {0xF020, false}, {0xF030, false},
      {0xF060, false}, {0, false},      {0x12, false},   {0x1F012, false},
  };
  const RECT area{0, 0, 1024, 768};
  for (const auto& c : cases) {
    TDockMan dm;
    RECT r{5, 6, 405, 306};
    dm.SnapRectInArea(10, r, area);
    ASSERT_EQ(5, dm.CarryX());
    ASSERT_EQ(6, dm.CarryY());
    dm.CheckMoveStart(c.command);
    EXPECT_EQ(c.resets ? 0 : 5, dm.CarryX()) << std::hex << "command 0x" << c.command;
    EXPECT_EQ(c.resets ? 0 : 6, dm.CarryY()) << std::hex << "command 0x" << c.command;
  }
}

// A move that ends while held leaves its carry; a move not started by one of the two move
// commands goes on from it.
TEST(TDockMan, CarryOutlivesAMoveUntilResetOrRelease) {
  const RECT area{0, 0, 1024, 768};
  TDockMan dm;
  RECT r{8, 300, 408, 600};
  dm.SnapRectInArea(10, r, area);  // held at 0, carry 8
  r = {-3, 300, 397, 600};
  dm.SnapRectInArea(10, r, area);  // still held, carry 5
  ASSERT_EQ(5, dm.CarryX());
  dm.CheckMoveStart(0xF001);  // a size command: no reset
  r = {-6, 300, 394, 600};
  dm.SnapRectInArea(10, r, area);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(-1, dm.CarryX());
  dm.CheckMoveStart(0xF012);
  EXPECT_EQ(0, dm.CarryX());
}

TEST(TDockMan, SnapRectUsesThePrimaryWorkArea) {
  RECT area{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
  const int w = 200, h = 100;
  const RECT proposals[] = {
      {area.left + 4, area.top + 300, area.left + 4 + w, area.top + 300 + h},
      {area.left + 300, area.bottom - h - 3, area.left + 300 + w, area.bottom - 3},
      {area.right - w + 7, area.top + 5, area.right + 7, area.top + 5 + h},
  };
  for (const RECT& p : proposals) {
    TDockMan real, injected;
    RECT a = p, b = p;
    real.SnapRect(10, a);
    injected.SnapRectInArea(10, b, area);
    EXPECT_TRUE(Same(b, a)) << "got " << Str(a) << ", want " << Str(b);
    EXPECT_FALSE(Same(p, a)) << "not snapped: " << Str(a);
  }
}

}  // namespace
}  // namespace lexmora
