// A layout form that moves to displays of other DPIs.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "TestLayout.h"
#include "ui/Dpi.h"
#include "ui/Form.h"

namespace lexmora {
namespace {

class TLayoutForm : public TForm {
 public:
  TLayoutForm() {
    CreateFromLayout(IDD_TESTLAYOUT);
    SetMinTrackSize(150, 100);
    OnDpiChange = [this](int oldDpi) { changes.push_back(oldDpi); };
  }
  std::vector<int> changes;
};

RECT BoundsIn(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT Scaled(const RECT& r, int dpi) {
  return {ScaleToDpi(r.left, dpi), ScaleToDpi(r.top, dpi), ScaleToDpi(r.right, dpi),
          ScaleToDpi(r.bottom, dpi)};
}

::testing::AssertionResult SameRect(const RECT& got, const RECT& want) {
  if (EqualRect(&got, &want))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got " << got.left << "," << got.top << "," << got.right << "," << got.bottom
         << " want " << want.left << "," << want.top << "," << want.right << "," << want.bottom;
}

// Back and forth between displays, the controls land where the layout puts them at each DPI,
// without drifting; the window takes the rectangle the system proposes.
TEST(FormDpiTest, LayoutFollowsEachDpiChange) {
  if (ScreenDpi() != kDesignDpi)
    GTEST_SKIP() << "the layout is checked from 96 DPI";
  auto form = MakeForm<TLayoutForm>();
  const RECT designedEdit{10, 12, 110, 33}, designedButton{120, 6, 195, 31};
  const RECT designedPanel{0, 80, 200, 120};
  int previous = form->Dpi();
  for (int dpi : {144, 192, 120, 96}) {
    SCOPED_TRACE(dpi);
    RECT suggested{50, 60, 50 + ScaleToDpi(300, dpi), 60 + ScaleToDpi(200, dpi)};
    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form->Dpi(), dpi);
    ASSERT_FALSE(form->changes.empty());
    EXPECT_EQ(form->changes.back(), previous) << "OnDpiChange gets the DPI before";
    previous = dpi;

    RECT window{};
    GetWindowRect(form->Handle(), &window);
    EXPECT_TRUE(SameRect(window, suggested)) << "window";
    EXPECT_TRUE(SameRect(BoundsIn(form->Item(IDC_TESTEDIT)), Scaled(designedEdit, dpi)));
    EXPECT_TRUE(SameRect(BoundsIn(form->Item(IDC_TESTPANEL)), Scaled(designedPanel, dpi)));
    EXPECT_TRUE(SameRect(BoundsIn(form->Item(IDC_TESTBUTTON)), Scaled(designedButton, dpi)));

    LOGFONTW lf{};
    HWND button = form->Item(IDC_TESTBUTTON);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, dpi, 72)) << "the layout's 8-point font";

    MINMAXINFO info{};
    SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_GE(info.ptMinTrackSize.x, ScaleToDpi(150, dpi));
    EXPECT_GE(info.ptMinTrackSize.y, ScaleToDpi(100, dpi));
  }
  EXPECT_EQ(form->changes.size(), 4u);
}

// A change to the DPI the window has already only moves it.
TEST(FormDpiTest, SameDpiOnlyMoves) {
  auto form = MakeForm<TLayoutForm>();
  const int dpi = form->Dpi();
  const RECT edit = BoundsIn(form->Item(IDC_TESTEDIT));
  RECT suggested{20, 30, 420, 330};
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
  RECT window{};
  GetWindowRect(form->Handle(), &window);
  EXPECT_TRUE(SameRect(window, suggested));
  EXPECT_TRUE(SameRect(BoundsIn(form->Item(IDC_TESTEDIT)), edit));
  EXPECT_TRUE(form->changes.empty());
}

}  // namespace
}  // namespace lexmora
