// The main window's layout arithmetic without a window: the stacked parts, the heights a font
// gives the bar and the previews, and the smallest window size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/MainLayout.h"

namespace lexmora::main_layout {
namespace {

// The designed 8-point font at 96 DPI: a search box 21 pixels high, lines 13 high.
constexpr Measures kDesigned{96, 21, 13, 0};

std::vector<int> Edges(const Band& b) {
  return {b.top, b.top + b.height};
}

TEST(MainLayout, PartsTileTheClientAreaAndTheLargePaneTakesTheRest) {
  const struct {
    const char* name;
    Measures m;
    int clientHeight;
    int bar, strip, preview, spacer, meaningTop;
  } cases[] = {
      {"designed", kDesigned, 469, 30, 0, 17, 9, 91},
      {"with the strip", {96, 21, 13, 20}, 469, 30, 20, 17, 9, 111},
      {"a large font", {96, 40, 30, 0}, 469, 44, 0, 32, 9, 135},
      {"144 DPI", {144, 27, 19, 0}, 700, 45, 0, 26, 14, 139},
      {"144 DPI, a large font", {144, 60, 45, 24}, 700, 66, 24, 48, 14, 228},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Stack stack = StackParts(c.clientHeight, c.m);
    int y = 0;
    for (size_t part = 0; part < kPartCount; ++part) {
      EXPECT_EQ(stack[part].top, y) << "part " << part << " does not follow the one above";
      y += stack[part].height;
    }
    EXPECT_EQ(y, c.clientHeight) << "the parts do not fill the client area";
    EXPECT_EQ(stack[kBar].height, c.bar);
    EXPECT_EQ(stack[kStrip].height, c.strip);
    for (Part p : {kTop1, kTop2, kBottom2, kBottom1})
      EXPECT_EQ(stack[p].height, c.preview) << "preview " << p;
    for (Part p : {kTopSpacer, kTop1Spacer, kTopBevel, kBottomBevel, kBottom1Spacer, kBottomSpacer})
      EXPECT_EQ(stack[p].height, c.spacer) << "spacer " << p;
    EXPECT_EQ(stack[kMeaning].top, c.meaningTop);
  }
  // The window's designed stack at 96 DPI, as the previews and the large pane lie in it.
  const Stack designed = StackParts(469, kDesigned);
  EXPECT_EQ(Edges(designed[kTop1]), (std::vector<int>{39, 56}));
  EXPECT_EQ(Edges(designed[kTop2]), (std::vector<int>{65, 82}));
  EXPECT_EQ(Edges(designed[kMeaning]), (std::vector<int>{91, 469 - 61}));
  EXPECT_EQ(Edges(designed[kBottom2]), (std::vector<int>{469 - 52, 469 - 35}));
  EXPECT_EQ(Edges(designed[kBottom1]), (std::vector<int>{469 - 26, 469 - 9}));
}

TEST(MainLayout, AClientAreaTooLowForThePartsLeavesTheLargePaneEmpty) {
  const Stack stack = StackParts(100, {96, 21, 13, 20});
  EXPECT_EQ(stack[kMeaning].height, 0);
  EXPECT_EQ(stack[kMeaning].top, 30 + 20 + 3 * 9 + 2 * 17);
  EXPECT_GT(stack[kBottomSpacer].top + stack[kBottomSpacer].height, 100);
}

// 39 pixels of frame: a 250-pixel window leaves the large pane 59 pixels at 96 DPI.
TEST(MainLayout, TheSmallestHeightGrowsWithTheFontAndTheStrip) {
  const struct {
    const char* name;
    Measures m;
    int frame;
    int want;
  } cases[] = {
      {"designed", kDesigned, 39, 250},
      {"a strip the large pane has room for", {96, 21, 13, 44}, 39, 250},
      {"a strip that leaves less than a line", {96, 21, 13, 50}, 39, 256},
      {"a large font: the bar and four previews grow", {96, 40, 30, 0}, 39, 250 + 14 + 4 * 15},
      {"a large font and the strip", {96, 40, 30, 40}, 39, 250 + 14 + 4 * 15 + 13},
      {"144 DPI", {144, 27, 19, 0}, 58, 375},
      {"no font measured yet", {96, 0, 0, 0}, 39, 250},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SmallestWindowHeight(c.m, c.frame), c.want) << c.name;
}

TEST(MainLayout, TheBarKeepsItsLastButtonAndTheSearchBoxCentred) {
  EXPECT_EQ(ToolbarWindowWidth(300, 16, 96), 320);
  EXPECT_EQ(ToolbarWindowWidth(300, 16, 144), 322);
  const struct {
    int bar, box, want;
  } boxes[] = {{30, 21, 4}, {30, 22, 4}, {44, 40, 2}, {30, 40, 0}};
  for (const auto& b : boxes)
    EXPECT_EQ(SearchBoxTop(b.bar, b.box), b.want) << b.box << " in " << b.bar;
}

}  // namespace
}  // namespace lexmora::main_layout
