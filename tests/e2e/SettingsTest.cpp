// Settings written when the program ends come back when it starts again.
#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

class SettingsTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    folder_.AddShippedDictionary("diruridu");
    folder_.AddConversionTables();
  }

  void ExpectSettings(const std::vector<std::pair<std::string, RegValue>>& wanted) {
    for (const auto& [name, value] : wanted) {
      std::optional<RegValue> got = ReadSetting(name);
      if (!got) {
        ADD_FAILURE() << name << ": got no value, wanted " << Describe(value);
      } else {
        EXPECT_EQ(*got, value) << name << ": got " << Describe(*got) << ", wanted "
                               << Describe(value);
      }
    }
  }

  ProgramFolder folder_;
};

::testing::AssertionResult HasBounds(HWND wnd, int left, int top, int width, int height) {
  RECT r{};
  if (WaitUntil([&] {
        GetWindowRect(wnd, &r);
        return r.left == left && r.top == top && r.right - r.left == width &&
               r.bottom - r.top == height;
      })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "window got at " << r.left << "," << r.top << " size " << r.right - r.left << "x"
         << r.bottom - r.top << ", wanted at " << left << "," << top << " size " << width << "x"
         << height;
}

bool IsTopmost(HWND wnd) {
  return (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST_F(SettingsTest, MovedWindowAndStoredOptionsComeBackAtTheNextStart) {
  // Options as the options dialog would have left them at an earlier exit.
  const std::vector<std::pair<std::string, RegValue>> options{
      {"Font", StringValue("Courier New")},
      {"FontSize", DwordValue(11)},
      {"Pixels", DwordValue(20)},
      {"History", DwordValue(5)},
      {"StayOnTop", DwordValue(1)},
      {"Docking", DwordValue(0)},
      {"ReadHDD", DwordValue(1)},
      {"RefineText", DwordValue(0)},
      {"Allow", DwordValue(1)},
  };
  for (const auto& [name, value] : options)
    WriteSetting(name, value);
  {
    RunningProgram program(folder_.Exe());
    MainWindow main = program.WaitForFirstEntry();
    ASSERT_TRUE(main) << program.DescribeWindows();
    EXPECT_TRUE(IsTopmost(main.wnd)) << "StayOnTop stored on, but the window is not topmost";
    SetWindowPos(main.wnd, nullptr, 120, 90, 520, 380, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(HasBounds(main.wnd, 120, 90, 520, 380));
    std::optional<DWORD> code = program.Close();
    ASSERT_TRUE(code) << program.DescribeWindows();
    EXPECT_EQ(*code, 0u);
  }
  ExpectSettings({{"Left", DwordValue(120)},
                  {"Top", DwordValue(90)},
                  {"Width", DwordValue(520)},
                  {"Height", DwordValue(380)},
                  {"IsMaximized", DwordValue(0)}});
  ExpectSettings(options);

  RunningProgram again(folder_.Exe());
  MainWindow main = again.WaitForFirstEntry();
  ASSERT_TRUE(main) << again.DescribeWindows();
  EXPECT_TRUE(HasBounds(main.wnd, 120, 90, 520, 380));
  EXPECT_TRUE(IsTopmost(main.wnd));
  std::optional<DWORD> code = again.Close();
  ASSERT_TRUE(code) << again.DescribeWindows();
  ExpectSettings(options);
}

// A window maximized at exit starts maximized, and restoring it gives the geometry of the last
// exit in a normal state.
TEST_F(SettingsTest, MaximizedAtExitStartsMaximizedAndRestoresTheEarlierGeometry) {
  const std::vector<std::pair<std::string, RegValue>> geometry{
      {"Left", DwordValue(40)},
      {"Top", DwordValue(30)},
      {"Width", DwordValue(450)},
      {"Height", DwordValue(320)},
  };
  for (const auto& [name, value] : geometry)
    WriteSetting(name, value);
  {
    RunningProgram program(folder_.Exe());
    MainWindow main = program.WaitForFirstEntry();
    ASSERT_TRUE(main) << program.DescribeWindows();
    ASSERT_TRUE(HasBounds(main.wnd, 40, 30, 450, 320));
    ShowWindow(main.wnd, SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main.wnd) != FALSE; })) << "not maximized";
    std::optional<DWORD> code = program.Close();
    ASSERT_TRUE(code) << program.DescribeWindows();
  }
  ExpectSettings({{"IsMaximized", DwordValue(1)}});
  ExpectSettings(geometry);

  RunningProgram again(folder_.Exe());
  MainWindow main = again.WaitForFirstEntry();
  ASSERT_TRUE(main) << again.DescribeWindows();
  EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main.wnd) != FALSE; }))
      << "IsMaximized stored, but the window starts in a normal state";
  ShowWindow(main.wnd, SW_RESTORE);
  EXPECT_TRUE(HasBounds(main.wnd, 40, 30, 450, 320));
  std::optional<DWORD> code = again.Close();
  ASSERT_TRUE(code) << again.DescribeWindows();
  ExpectSettings({{"IsMaximized", DwordValue(0)}});
  ExpectSettings(geometry);
}

}  // namespace
}  // namespace lexmora::e2e
