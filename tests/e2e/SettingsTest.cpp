// Settings written when the program ends come back when it starts again, and settings that are
// wrong, out of range or hostile neither stop the program nor survive its exit.
#include <algorithm>

#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

class SettingsTest : public ShippedDictionaryTest {};

using Values = std::vector<std::pair<std::string, RegValue>>;

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
      {"LookupCopied", DwordValue(0)},
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

// A large font makes the window higher than its stored height: that height opens within the work
// area, the window moved up for it; a window as high as stored stays where it was put, partly
// below the work area or not.
TEST_F(SettingsTest, AWindowTheFontMakesHigherOpensWithinTheWorkArea) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const LONG low = work.bottom - 124;  // 300 pixels high, the window reaches 176 below the area
  const struct {
    const char* name;
    uint32_t fontSize;
    LONG top;
    bool keepsTop;
  } cases[] = {{"40 points, low on the screen", 40, low, false},
               {"40 points, room below", 40, work.top + 10, true},
               {"8 points, low on the screen", 8, low, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearSettings();
    WriteSetting("Top", DwordValue(static_cast<uint32_t>(c.top)));
    WriteSetting("FontSize", DwordValue(c.fontSize));
    RunningProgram program(folder_.Exe());
    MainWindow main = program.WaitForFirstEntry();
    ASSERT_TRUE(main) << program.DescribeWindows();
    RECT r{};
    GetWindowRect(main.wnd, &r);
    if (c.keepsTop) {
      EXPECT_EQ(r.top, c.top);
    } else {
      EXPECT_GT(r.bottom - r.top, 300) << "the font did not make the window higher";
      EXPECT_EQ(r.bottom, work.bottom)
          << "the window reaches " << r.bottom - work.bottom << " pixels below the work area";
    }
    CloseWithSuccess(program);
  }
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

// An earlier copy kept its settings machine-wide: the first start takes them over into the
// per-user key and leaves the machine-wide key as it was.
TEST_F(SettingsTest, FirstStartTakesOverTheMachineWideSettingsAndLeavesThemAlone) {
  const Values old{{"Left", DwordValue(120)},  {"Top", DwordValue(90)},
                   {"Width", DwordValue(520)}, {"Height", DwordValue(380)},
                   {"History", DwordValue(5)}, {"Font", StringValue("Courier New")}};
  for (const auto& [name, value] : old)
    WriteSetting(name, value, HKEY_LOCAL_MACHINE);
  {
    RunningProgram program(folder_.Exe());
    MainWindow main = program.WaitForFirstEntry();
    ASSERT_TRUE(main) << program.DescribeWindows();
    EXPECT_TRUE(HasBounds(main.wnd, 120, 90, 520, 380));
    std::optional<DWORD> code = program.Close();
    ASSERT_TRUE(code) << program.DescribeWindows();
  }
  ExpectSettings(old);
  EXPECT_EQ(SettingNames().size(), 16u);
  std::vector<std::string> oldNames;
  for (const auto& [name, value] : old) {
    oldNames.push_back(name);
    EXPECT_EQ(ReadSetting(name, HKEY_LOCAL_MACHINE), value) << name << " changed machine-wide";
  }
  std::sort(oldNames.begin(), oldNames.end());
  EXPECT_EQ(SettingNames(HKEY_LOCAL_MACHINE), oldNames) << "values were added machine-wide";
}

// Values a hand edit or another program may have left. Each start must open the window on the
// screen with the first entry and no error, and the exit must write usable values back, keeping
// the usable ones that were stored.
TEST_F(SettingsTest, UnusableStoredValuesGiveWayToUsableOnesAndTheRestAreKept) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RegValue defaultFont = StringValue("Lucida Sans Unicode");
  auto dword = [](int32_t v) { return DwordValue(static_cast<uint32_t>(v)); };
  struct Case {
    const char* what;
    Values stored;
    Values wanted;
  };
  const Case cases[] = {
      {"Dict as a number",
       {{"Dict", dword(7)}, {"Font", StringValue("Courier New")}, {"History", dword(5)}},
       {{"Dict", StringValue("diruridu")},
        {"Font", StringValue("Courier New")},
        {"History", dword(5)}}},
      {"numbers of other kinds",
       {{"Allow", StringValue("1")},
        {"LookupCopied", StringValue("0")},
        {"Pixels", dword(20)},
        {"FontSize", {REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}}},
        {"Docking", StringValue("0")},
        {"Top", {REG_QWORD, {20, 0, 0, 0, 0, 0, 0, 0}}}},
       {{"Allow", dword(0)},
        {"LookupCopied", dword(1)},
        {"Pixels", dword(20)},
        {"FontSize", dword(8)},
        {"Docking", dword(1)},
        {"Top", dword(10)}}},
      // Higher than the smallest height at 40 points, which is more than the usual 300.
      {"too large, off the screen to the bottom right, a font name adding text",
       {{"FontSize", dword(100000)},
        {"Pixels", dword(1000)},
        {"History", dword(100000)},
        {"Left", dword(100000)},
        {"Top", dword(100000)},
        {"Height", dword(600)},
        {"Font", StringValue("Arial}}\\par INJECTED{")}},
       {{"FontSize", dword(40)},
        {"Pixels", dword(70)},
        {"History", dword(100)},
        {"Left", dword(work.right - 400)},
        {"Top", dword(work.bottom - 600)},
        {"Height", dword(600)},
        {"Font", defaultFont}}},
      // No wider than the system lets a window be dragged, no lower than the smallest height.
      {"too small or too wide, off the screen to the top left, a font name of 1500 characters",
       {{"FontSize", dword(-5)},
        {"Pixels", dword(0)},
        {"History", dword(-1)},
        {"Left", dword(-100000)},
        {"Top", dword(-100000)},
        {"Width", dword(100000)},
        {"Height", dword(-5)},
        {"Font", StringValue(std::string(1500, 'A'))}},
       {{"FontSize", dword(6)},
        {"Pixels", dword(2)},
        {"History", dword(2)},
        {"Left", dword(work.left)},
        {"Top", dword(work.top)},
        {"Width", dword(GetSystemMetrics(SM_CXMAXTRACK))},
        {"Height", dword(250)},
        {"Font", defaultFont}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearSettings();
    for (const auto& [name, value] : c.stored)
      WriteSetting(name, value);
    {
      RunningProgram program(folder_.Exe());
      MainWindow main = program.WaitForFirstEntry();
      if (!main) {
        ADD_FAILURE() << "no entry shown; " << program.DescribeWindows();
        continue;
      }
      EXPECT_TRUE(ShowsEntry(main, entries_, 0));
      EXPECT_EQ(program.Windows(), std::vector<HWND>{main.wnd})
          << "more windows than the main one; " << program.DescribeWindows();
      std::optional<DWORD> code = program.Close();
      ASSERT_TRUE(code) << program.DescribeWindows();
      EXPECT_EQ(*code, 0u);
    }
    ExpectSettings(c.wanted);
  }
}

// A dictionary name that leads out of the dictionaries folder opens nothing there and writes no
// index there: the chooser asks instead, and cancelling it keeps no such name.
TEST_F(SettingsTest, ADictionaryNameWithAPathIsTakenAsMissing) {
  const std::string victim = folder_.Path() + "victim";
  ASSERT_TRUE(CopyFileA(folder_.DataFile("diruridu").c_str(), (victim + ".dat").c_str(), FALSE));
  for (const std::string& name : {std::string("..\\victim"), std::string("../victim"), victim}) {
    SCOPED_TRACE(name);
    ClearSettings();
    WriteSetting("Dict", StringValue(name));
    {
      RunningProgram program(folder_.Exe());
      HWND chooser =
          program.WaitForWindow([](HWND w) { return TextOf(w) == L"Choose Dictionary"; });
      EXPECT_NE(chooser, nullptr) << "no chooser; " << program.DescribeWindows();
      if (chooser != nullptr)
        PostMessageW(chooser, WM_CLOSE, 0, 0);
      std::optional<DWORD> code = program.WaitForExit();
      EXPECT_TRUE(code) << "still running; " << program.DescribeWindows();
    }
    EXPECT_EQ(GetFileAttributesA((victim + ".ind").c_str()), INVALID_FILE_ATTRIBUTES)
        << "an index was written beside the dictionary outside the folder";
    DeleteFileA((victim + ".ind").c_str());
    ExpectSettings({{"Dict", StringValue("")}});
  }
}

}  // namespace
}  // namespace lexmora::e2e
