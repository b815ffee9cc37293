// The main window moved to displays of other DPIs (WM_DPICHANGED): layout, tool bar, images,
// fonts, smallest size and snapping distance follow the new DPI, and come back with the old one.
#include <gtest/gtest.h>
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>

#include <string>
#include <vector>

#include "MainWinTestSupport.h"
#include "shell/ConstU.h"
#include "shell/DockManU.h"
#include "shell/DrawnImages.h"
#include "shell/MainU.h"
#include "ui/Dpi.h"

namespace lexmora {
namespace {

int HeightOf(const TControl& control) {
  const RECT r = control.BoundsRect();
  return r.bottom - r.top;
}

// The widths of the bar's separators, the gap of the search box first.
std::vector<int> SeparatorWidths(HWND bar) {
  std::vector<int> widths;
  const auto count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    if (!(button.fsStyle & BTNS_SEP))
      continue;
    RECT r{};
    SendMessageW(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    widths.push_back(r.right - r.left);
  }
  return widths;
}

// Where a move that brings the window's left edge `distance` pixels from the work area's ends.
LONG SnappedLeft(TfmMain& form, int distance) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  DockMan().CheckMoveStart(0xF012);
  RECT proposed{work.left + distance, work.top + 100, work.left + distance + 500, work.top + 500};
  SendMessageW(form.Handle(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&proposed));
  return proposed.left - work.left;
}

TEST(MainWindowDpiTest, LayoutImagesFontsAndSnappingFollowTheDpi) {
  if (ScreenDpi() != kDesignDpi)
    GTEST_SKIP() << "checked from 96 DPI";
  test::CleanSettings settings;
  test::StoreDword(kPixelsValue, 10);
  test::StoreDword(kDockingValue, 1);
  auto form = MakeForm<TfmMain>();
  const struct { int dpi, image; } cases[] = {{144, 24}, {192, 32}, {120, 16}, {96, 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    const auto scale = [&c](int designed) { return ScaleToDpi(designed, c.dpi); };
    RECT suggested{40, 50, 40 + scale(400), 50 + scale(300)};
    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(form->Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested)) << "the window takes the rectangle proposed";

    EXPECT_EQ(HeightOf(form->tbToolbar), scale(30)) << "tool bar";
    for (const TControl* pane : {&form->reTop1, &form->reTop2, &form->reBottom2, &form->reBottom1})
      EXPECT_EQ(HeightOf(*pane), scale(17)) << "preview";
    const RECT search = form->cbSearch.BoundsRect();
    EXPECT_EQ(search.right - search.left, scale(144)) << "search box";
    EXPECT_EQ(SeparatorWidths(form->tbToolbar.Handle()),
              (std::vector<int>{scale(144), scale(8), scale(8), scale(8), scale(8), scale(8)}));

    int width = 0, height = 0;
    ImageList_GetIconSize(form->imglstImages.Handle(), &width, &height);
    EXPECT_EQ(width, c.image) << "tool bar images";
    EXPECT_EQ(height, c.image);
    EXPECT_EQ(form->imglstImages.Count(), 6);
    const LRESULT button = SendMessageW(form->tbToolbar.Handle(), TB_GETBUTTONSIZE, 0, 0);
    const LRESULT padding = SendMessageW(form->tbToolbar.Handle(), TB_GETPADDING, 0, 0);
    EXPECT_EQ(LOWORD(button) - LOWORD(padding), c.image) << "the buttons fit the images";

    LOGFONTW lf{};
    GetObjectW(form->cbSearch.Font(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, c.dpi, 72))
        << "the 8-point font of the search box and the panes";

    MINMAXINFO info{};
    SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_GE(info.ptMinTrackSize.x, scale(320));
    EXPECT_EQ(info.ptMinTrackSize.y, scale(250));

    // The stored distance of 10 pixels at 96 DPI: caught one pixel short of it, not at it.
    EXPECT_EQ(SnappedLeft(*form, scale(10) - 1), 0) << "snapping distance";
    EXPECT_EQ(SnappedLeft(*form, scale(10)), scale(10)) << "snapping distance";

    // The smallest width leaves room for every button of the bar.
    EXPECT_EQ(test::ShrinkToSmallestWidth(form->Handle()), info.ptMinTrackSize.x);
    const std::vector<std::string> cut = test::ButtonsCutOff(form->tbToolbar.Handle());
    EXPECT_TRUE(cut.empty()) << "cut off: " << cut.front();
  }
}

TEST(DrawnImagesTest, EachDpiShowsTheLargestDrawingThatFits) {
  const struct {
    int dpi, toolbar, logo;
  } cases[] = {{72, 16, 97},   {96, 16, 97},   {120, 16, 97}, {144, 24, 146},
               {168, 24, 146}, {192, 32, 194}, {288, 32, 194}};
  for (const auto& c : cases) {
    EXPECT_EQ(ImageForDpi(kToolbarImages, c.dpi).width, c.toolbar) << c.dpi << " DPI";
    EXPECT_EQ(ImageForDpi(kAboutLogos, c.dpi).width, c.logo) << c.dpi << " DPI";
  }
}

}  // namespace
}  // namespace lexmora
