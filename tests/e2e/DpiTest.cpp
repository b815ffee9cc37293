// The program's layouts at the display's DPI: every measure designed in pixels at 96 DPI comes
// out multiplied by dpi / 96. The suite runs at 96 DPI; e2e_dpi144_tests runs these tests again
// in a Wine prefix at 144 DPI (tests/run-on-own-desktop.sh), where LEXMORA_TEST_DPI=144 makes
// them check that it is so.
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "E2eTest.h"
#include "MainIds.h"

namespace lexmora::e2e {
namespace {

constexpr char kShipped[] = "diruridu";

// The display's DPI as this test sees it.
int DisplayDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

int Scaled(int designed) {
  return MulDiv(designed, DisplayDpi(), 96);
}

struct Size {
  int width, height;
};

Size OuterSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

Size ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.right, r.bottom};
}

// got is the designed measure at this DPI, give or take `slack` pixels of rounding.
::testing::AssertionResult ScaledWithin(const std::string& what, int got, int designed,
                                        int slack = 0) {
  const int wanted = Scaled(designed);
  if (std::abs(got - wanted) <= slack)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << what << ": got " << got << " px, wanted " << wanted << " (" << designed
         << " at 96 DPI, now " << DisplayDpi() << " DPI)";
}

class DpiTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    if (const char* wanted = std::getenv("LEXMORA_TEST_DPI")) {
      ASSERT_EQ(DisplayDpi(), std::atoi(wanted)) << "the prefix does not run at the DPI wanted";
    }
    folder_.AddShippedDictionary(kShipped, index_);
    folder_.AddConversionTables();
  }
  bool index_ = true;
  ProgramFolder folder_;
};

class DpiMissingIndexTest : public DpiTest {
 protected:
  DpiMissingIndexTest() { index_ = false; }
};

TEST_F(DpiTest, MainWindowLayoutScales) {
  RunningProgram program(folder_.Exe());
  MainWindow main = program.WaitForFirstEntry();
  ASSERT_TRUE(main) << program.DescribeWindows();
  HWND bar = GetDlgItem(main.wnd, IDC_TOOLBAR);
  ASSERT_NE(bar, nullptr);

  const Size window = OuterSize(main.wnd);
  const Size toolbar = ClientSize(bar);
  // A tool button is its image and the bar's padding.
  const LRESULT button = SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0);
  const LRESULT padding = SendMessageW(bar, TB_GETPADDING, 0, 0);
  RECT box{};
  GetWindowRect(main.search, &box);
  const struct {
    const char* what;
    int got, designed, slack;
  } measures[] = {
      {"default window width", window.width, 400, 0},
      {"default window height", window.height, 300, 0},
      {"tool bar height", toolbar.height, 30, 0},
      {"tool bar image width", LOWORD(button) - LOWORD(padding), 16, 0},
      {"tool bar image height", HIWORD(button) - HIWORD(padding), 16, 0},
      {"search box width", box.right - box.left, 144, 0},
      // A combo box is as high as its font makes it; the font's pixel size rounds.
      {"search box height", box.bottom - box.top, 21, 1},
      {"preview reTop1 height", ClientSize(main.top1).height, 17, 0},
      {"preview reTop2 height", ClientSize(main.top2).height, 17, 0},
      {"preview reBottom2 height", ClientSize(main.bottom2).height, 17, 0},
      {"preview reBottom1 height", ClientSize(main.bottom1).height, 17, 0},
  };
  for (const auto& m : measures)
    EXPECT_TRUE(ScaledWithin(m.what, m.got, m.designed, m.slack));

  // The main pane takes what the stacked parts leave: 30 + 6 * 9 + 4 * 17 designed pixels.
  const int stacked = Scaled(30) + 6 * Scaled(9) + 4 * Scaled(17);
  EXPECT_EQ(ClientSize(main.meaning).height, ClientSize(main.wnd).height - stacked);

  // The window's size is stored as it is on the screen, in the display's pixels.
  std::optional<DWORD> code = program.Close();
  ASSERT_TRUE(code) << program.DescribeWindows();
  EXPECT_EQ(ReadSetting("Width"), DwordValue(static_cast<uint32_t>(window.width)));
  EXPECT_EQ(ReadSetting("Height"), DwordValue(static_cast<uint32_t>(window.height)));
}

// A stored geometry is in the pixels of the display it was saved on and is used as it is.
TEST_F(DpiTest, StoredGeometryIsNotScaled) {
  WriteSetting("Left", DwordValue(30));
  WriteSetting("Top", DwordValue(40));
  WriteSetting("Width", DwordValue(510));
  WriteSetting("Height", DwordValue(420));
  RunningProgram program(folder_.Exe());
  MainWindow main = program.WaitForFirstEntry();
  ASSERT_TRUE(main) << program.DescribeWindows();
  RECT r{};
  GetWindowRect(main.wnd, &r);
  EXPECT_TRUE(r.left == 30 && r.top == 40 && r.right - r.left == 510 && r.bottom - r.top == 420)
      << "window got at " << r.left << "," << r.top << " size " << r.right - r.left << "x"
      << r.bottom - r.top << ", wanted at 30,40 size 510x420";
  std::optional<DWORD> code = program.Close();
  ASSERT_TRUE(code) << program.DescribeWindows();
  const std::pair<const char*, uint32_t> stored[] = {
      {"Left", 30}, {"Top", 40}, {"Width", 510}, {"Height", 420}};
  for (const auto& [name, value] : stored)
    EXPECT_EQ(ReadSetting(name), DwordValue(value)) << name;
}

// The dialogs' client areas, designed in pixels at 96 DPI.
TEST_F(DpiTest, DialogsScale) {
  const struct {
    const char* title;
    int command;  // the tool button that opens the dialog
    Size designed;
  } dialogs[] = {
      {"Options", IDC_TBTNOPTIONS, {344, 489}},
      {"Choose Dictionary", IDC_TBTNDICT, {183, 230}},
      {"About", IDC_TBTNABOUT, {331, 298}},
  };
  RunningProgram program(folder_.Exe());
  MainWindow main = program.WaitForFirstEntry();
  ASSERT_TRUE(main) << program.DescribeWindows();
  HWND bar = GetDlgItem(main.wnd, IDC_TOOLBAR);
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.title);
    PostMessageW(main.wnd, WM_COMMAND, MAKEWPARAM(d.command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar));
    const std::wstring title(d.title, d.title + strlen(d.title));
    HWND dialog = program.WaitForWindow([&](HWND w) { return TextOf(w) == title; });
    ASSERT_NE(dialog, nullptr) << program.DescribeWindows();
    const Size client = ClientSize(dialog);
    EXPECT_TRUE(ScaledWithin("client width", client.width, d.designed.width));
    EXPECT_TRUE(ScaledWithin("client height", client.height, d.designed.height));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
  }
  ASSERT_TRUE(program.Close()) << program.DescribeWindows();
}

TEST_F(DpiMissingIndexTest, ProgressWindowScales) {
  RunningProgram program(folder_.Exe());
  HWND progress = program.WaitForWindow([](HWND w) {
    return FindChild(w, [](HWND c) { return HasClass(c, PROGRESS_CLASSW); }) != nullptr;
  });
  ASSERT_NE(progress, nullptr) << program.DescribeWindows();
  HWND bar = FindChild(progress, [](HWND c) { return HasClass(c, PROGRESS_CLASSW); });
  HWND ok = FindChild(progress, [](HWND c) { return TextOf(c) == L"OK"; });
  ASSERT_NE(ok, nullptr);
  const Size window = OuterSize(progress);
  EXPECT_TRUE(ScaledWithin("progress window width", window.width, 400));
  EXPECT_TRUE(ScaledWithin("progress window height", window.height, 100));
  EXPECT_TRUE(ScaledWithin("progress bar width", OuterSize(bar).width, 380));
  EXPECT_TRUE(ScaledWithin("progress bar height", OuterSize(bar).height, 20));
  EXPECT_TRUE(ScaledWithin("OK width", OuterSize(ok).width, 75));
  EXPECT_TRUE(ScaledWithin("OK height", OuterSize(ok).height, 25));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }));
  PostMessageW(ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(program.WaitForFirstEntry()) << program.DescribeWindows();
  ASSERT_TRUE(program.Close()) << program.DescribeWindows();
}

}  // namespace
}  // namespace lexmora::e2e
