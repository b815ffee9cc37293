// Stay on top: a window into and out of the topmost band, with the windows it owns.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StayOnTop.h"

namespace lexmora {
namespace {

class TShownForm : public TForm {
 public:
  explicit TShownForm(TBorderStyle style) {
    borderStyle_ = style;
    CreateEmpty();
    SetBounds(100, 100, 200, 150);
    Show();
  }
};

// Whether `upper` comes before `lower` in the z-order.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower)
      return true;
  }
  return false;
}

// A sizeable window as the main form, owning the dialogs made while it is.
class StayOnTopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousMain_ = Application().MainForm();
    Application().SetMainForm(owner.get());
  }
  void TearDown() override { Application().SetMainForm(previousMain_); }

  FormPtr<TShownForm> owner = MakeForm<TShownForm>(TBorderStyle::Sizeable);

 private:
  TForm* previousMain_ = nullptr;
};

TEST_F(StayOnTopTest, OwnedWindowsGoIntoTheBandAboveTheirOwner) {
  auto first = MakeForm<TShownForm>(TBorderStyle::Dialog);
  auto second = MakeForm<TShownForm>(TBorderStyle::Dialog);
  std::vector<HWND> owned = OwnedWindows(owner->Handle());
  std::vector<HWND> want{first->Handle(), second->Handle()};
  std::sort(owned.begin(), owned.end());
  std::sort(want.begin(), want.end());
  ASSERT_EQ(owned, want);

  SetStayOnTop(owner->Handle(), true);
  EXPECT_TRUE(IsTopmost(owner->Handle()));
  for (HWND w : want) {
    EXPECT_TRUE(IsTopmost(w));
    EXPECT_EQ(GetWindow(w, GW_OWNER), owner->Handle()) << "still owned";
    EXPECT_TRUE(Above(w, owner->Handle())) << "above its owner";
  }
  SetStayOnTop(owner->Handle(), false);
  EXPECT_FALSE(IsTopmost(owner->Handle()));
}

}  // namespace
}  // namespace lexmora
