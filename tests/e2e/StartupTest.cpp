// Starting the program: the first start's settings, the chooser for a missing dictionary, the
// index progress window, and a second start with and without several copies allowed.
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

constexpr char kShipped[] = "diruridu";

class StartupTest : public ShippedDictionaryTest {};

class MissingIndexTest : public StartupTest {
 protected:
  MissingIndexTest() { index_ = false; }
};

const std::vector<std::pair<std::string, RegValue>>& DefaultSettings() {
  static const std::vector<std::pair<std::string, RegValue>> values{
      {"Dict", StringValue("diruridu")}, {"Font", StringValue("Lucida Sans Unicode")},
      {"Top", DwordValue(10)},           {"Left", DwordValue(10)},
      {"Width", DwordValue(400)},        {"Height", DwordValue(300)},
      {"FontSize", DwordValue(8)},       {"Pixels", DwordValue(10)},
      {"History", DwordValue(10)},       {"StayOnTop", DwordValue(0)},
      {"IsMaximized", DwordValue(0)},    {"Docking", DwordValue(1)},
      {"ReadHDD", DwordValue(0)},        {"RefineText", DwordValue(1)},
      {"Allow", DwordValue(0)},          {"LookupCopied", DwordValue(1)},
  };
  return values;
}

void ExpectDefaultSettings(const char* when) {
  SCOPED_TRACE(when);
  ExpectSettings(DefaultSettings());
  std::vector<std::string> wantedNames;
  for (const auto& [name, wanted] : DefaultSettings())
    wantedNames.push_back(name);
  std::sort(wantedNames.begin(), wantedNames.end());
  EXPECT_EQ(SettingNames(), wantedNames) << "the settings key holds other values than the sixteen";
}

TEST_F(StartupTest, FirstStartCreatesTheDefaultsAndShowsTheFirstEntry) {
  RunningProgram program(folder_.Exe());
  MainWindow main = program.WaitForFirstEntry();
  ASSERT_TRUE(main) << program.DescribeWindows();

  ExpectDefaultSettings("while running");
  EXPECT_TRUE(ShowsEntry(main, entries_, 0));
  EXPECT_EQ(main.SearchText(), L"");
  RECT r{};
  GetWindowRect(main.wnd, &r);
  EXPECT_TRUE(r.left == 10 && r.top == 10 && r.right - r.left == 400 && r.bottom - r.top == 300)
      << "window got at " << r.left << "," << r.top << " size " << r.right - r.left << "x"
      << r.bottom - r.top << ", wanted at 10,10 size 400x300";
  EXPECT_EQ(GetWindowLongW(main.wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0)
      << "the window stays on top although StayOnTop is off";

  std::optional<DWORD> code = program.Close();
  ASSERT_TRUE(code) << "the program did not end after WM_CLOSE\n" << program.DescribeWindows();
  EXPECT_EQ(*code, 0u);
  ExpectDefaultSettings("after exit");
  EXPECT_TRUE(SettingNames(HKEY_LOCAL_MACHINE).empty()) << "settings were written machine-wide";
}

// The remembered dictionary is gone: the chooser comes up, and cancelling it ends the program,
// which keeps the remembered name.
TEST_F(StartupTest, MissingDictionaryAsksAndCancelEndsTheProgram) {
  const std::pair<const char*, void (*)(HWND dialog, HWND list)> cancels[] = {
      {"Escape", [](HWND, HWND list) { PressKey(list, VK_ESCAPE); }},
      {"WM_CLOSE", [](HWND dialog, HWND) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
  };
  for (const auto& [how, cancel] : cancels) {
    SCOPED_TRACE(how);
    ClearSettings();
    WriteSetting("Dict", StringValue("gone"));
    RunningProgram program(folder_.Exe());
    HWND chooser = program.WaitForWindow([](HWND w) { return TextOf(w) == L"Choose Dictionary"; });
    ASSERT_NE(chooser, nullptr) << "no chooser; " << program.DescribeWindows();
    HWND list = FindChild(chooser, [](HWND w) { return HasClass(w, L"ListBox"); });
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1) << "one dictionary in the folder";

    cancel(chooser, list);
    std::optional<DWORD> code = program.WaitForExit();
    ASSERT_TRUE(code) << "the program did not end; " << program.DescribeWindows();
    EXPECT_EQ(*code, 0u);
    std::optional<RegValue> dict = ReadSetting("Dict");
    ASSERT_TRUE(dict);
    EXPECT_EQ(*dict, StringValue("gone")) << "Dict got " << Describe(*dict) << ", wanted gone";
  }
}

TEST_F(StartupTest, MissingDictionaryChosenFromTheListIsOpenedAndRemembered) {
  WriteSetting("Dict", StringValue("gone"));
  // Files that the pattern *.dat matches by a longer extension or by their short 8.3 names: no
  // dictionaries, and not listed.
  for (const char* other : {"x.data", "longname-dictionary.dat~"})
    test::WriteBytes(folder_.Path() + "Dictionaries\\" + other, {0xFF, 0xFE});
  RunningProgram program(folder_.Exe());
  HWND chooser = program.WaitForWindow([](HWND w) { return TextOf(w) == L"Choose Dictionary"; });
  ASSERT_NE(chooser, nullptr) << "no chooser; " << program.DescribeWindows();
  HWND list = FindChild(chooser, [](HWND w) { return HasClass(w, L"ListBox"); });
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
  wchar_t item[64] = L"";
  SendMessageTimeoutW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item), SMTO_ABORTIFHUNG, 3000,
                      nullptr);
  EXPECT_STREQ(item, L"diruridu");

  PressKey(list, VK_DOWN);  // selects the one item, as a user would
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
  PressKey(list, VK_RETURN);
  MainWindow main = program.WaitForFirstEntry();
  ASSERT_TRUE(main) << program.DescribeWindows();
  EXPECT_TRUE(ShowsEntry(main, entries_, 0));

  std::optional<DWORD> code = program.Close();
  ASSERT_TRUE(code) << program.DescribeWindows();
  EXPECT_EQ(*code, 0u);
  std::optional<RegValue> dict = ReadSetting("Dict");
  ASSERT_TRUE(dict);
  EXPECT_EQ(*dict, StringValue("diruridu")) << "Dict got " << Describe(*dict);
}

TEST_F(MissingIndexTest, ProgressWindowBuildsTheIndexAndOkContinues) {
  RunningProgram program(folder_.Exe());
  HWND progress = program.WaitForWindow(IsProgressWindow);
  ASSERT_NE(progress, nullptr) << "no progress window; " << program.DescribeWindows();
  HWND ok = FindChild(progress, [](HWND c) { return TextOf(c) == L"OK"; });
  HWND bar = FindChild(progress, [](HWND c) { return HasClass(c, PROGRESS_CLASSW); });

  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }))
      << "OK was never enabled; " << program.DescribeWindows();
  EXPECT_NE(
      FindChild(progress,
                [](HWND c) { return TextOf(c) == L"Index file created. Click OK to continue..."; }),
      nullptr)
      << "no closing text; " << program.DescribeWindows();
  // The file is smaller than one read block of 32768 bytes: one report, one step of the bar;
  // once the index is written, the bar is full all the same.
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
  const test::Bytes wanted = FileOrderIndex(folder_.DataFile(kShipped));
  const test::Bytes got = test::ReadBytes(folder_.IndexFile(kShipped));
  EXPECT_EQ(got.size(), wanted.size()) << "index file size";
  EXPECT_TRUE(got == wanted) << "the index file differs from the stored time and offsets wanted";

  MainWindow main = program.WaitForMainWindow(0);
  ASSERT_TRUE(main);
  EXPECT_FALSE(IsWindowEnabled(main.wnd)) << "the main window takes input during the build";
  PressKey(ok, VK_ESCAPE);  // there is no cancel button: Escape leaves the window open
  ASSERT_TRUE(WaitForPostedMessages(main));
  EXPECT_TRUE(IsWindow(progress) && IsWindowVisible(progress)) << "Escape closed the window";

  PostMessageW(ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(progress) || !IsWindowVisible(progress); }))
      << program.DescribeWindows();
  EXPECT_TRUE(ShowsEntry(main, entries_, 0));
  EXPECT_TRUE(IsWindowEnabled(main.wnd));
  CloseWithSuccess(program);
}

// Conversion tables of different lengths: the message that says so is owned by the main window,
// which takes no input behind it, so that no dictionary can be chosen meanwhile.
TEST_F(StartupTest, TheMessageAboutMismatchedConversionTablesHoldsTheMainWindow) {
  const std::string to = folder_.Path() + "Data\\conv_to.txt";
  test::Bytes units = test::ReadBytes(to);
  units.resize(units.size() - 2);  // one letter fewer than conv_from.txt has groups
  test::WriteBytes(to, units);
  RunningProgram program(folder_.Exe());
  HWND box =
      program.WaitForWindow([](HWND w) { return HasClass(w, L"#32770") && TextOf(w) == L"Error"; });
  ASSERT_NE(box, nullptr) << "no message box; " << program.DescribeWindows();
  MainWindow main = program.WaitForMainWindow(0);
  ASSERT_TRUE(main);
  EXPECT_EQ(GetWindow(box, GW_OWNER), main.wnd) << "the box is not owned by the main window";
  EXPECT_FALSE(IsWindowEnabled(main.wnd)) << "the main window takes input behind the box";
  SendChord(main.wnd, {VK_CONTROL}, 'D');
  EXPECT_EQ(program.WaitForWindow([](HWND w) { return TextOf(w) == L"Choose Dictionary"; }, 1000),
            nullptr)
      << "Ctrl+D opened the chooser behind the box";

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(ShowsEntry(main, entries_, 0));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main.wnd) != FALSE; }));
  CloseWithSuccess(program);
}

// With "Allow" off, a second start hands over: it ends with exit code 0 and no window, and the
// first copy's window comes back from minimized and to the foreground.
TEST_F(StartupTest, SecondStartBringsTheRunningWindowForward) {
  WriteSetting("Allow", DwordValue(0));
  RunningProgram first(folder_.Exe());
  MainWindow main = first.WaitForFirstEntry();
  ASSERT_TRUE(main) << first.DescribeWindows();
  ShowWindow(main.wnd, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main.wnd) != FALSE; })) << "could not minimize";

  RunningProgram second(folder_.Exe());
  std::optional<DWORD> code = second.WaitForExit();
  ASSERT_TRUE(code) << "the second copy keeps running; " << second.DescribeWindows();
  EXPECT_EQ(*code, 0u);

  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main.wnd) && IsWindowVisible(main.wnd); }))
      << "the first window was not restored";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main.wnd; }))
      << "foreground window got " << GetForegroundWindow() << ", wanted " << main.wnd;
  EXPECT_TRUE(first.Running());
  CloseWithSuccess(first);
}

// A first copy that does not answer holds the second one up for a few seconds at most.
TEST_F(StartupTest, SecondStartEndsWhenTheRunningCopyHangs) {
  WriteSetting("Allow", DwordValue(0));
  RunningProgram first(folder_.Exe());
  ASSERT_TRUE(first.WaitForFirstEntry()) << first.DescribeWindows();
  first.Hang();
  RunningProgram second(folder_.Exe());
  std::optional<DWORD> code = second.WaitForExit(15000);
  first.Resume();
  ASSERT_TRUE(code) << "the second copy still waits for the hung one after 15 s";
  EXPECT_EQ(*code, 0u);
  // Until it takes messages again the system counts the first copy as hung, and its window
  // gives no answer to the search.
  ASSERT_TRUE(first.WaitForMainWindow()) << "the first copy did not come back";
  CloseWithSuccess(first);
}

// The top-level windows of the screen, topmost first.
std::vector<HWND> ZOrder() {
  std::vector<HWND> order;
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
    order.push_back(w);
  return order;
}

// A second start while the first copy shows a modal dialog brings that dialog forward, not the
// main window that the dialog disables.
TEST_F(StartupTest, SecondStartBringsTheRunningCopysDialogForward) {
  const struct {
    const char* dialog;
    const char* dict;  // the remembered dictionary
    UINT key;          // pressed in the main window to open the dialog, or 0
  } cases[] = {
      {"Choose Dictionary", "gone", 0},  // the chooser of the first activation
      {"Options", kShipped, VK_F10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialog);
    ClearSettings();
    WriteSetting("Allow", DwordValue(0));
    WriteSetting("Dict", StringValue(c.dict));
    RunningProgram first(folder_.Exe());
    MainWindow main = first.WaitForMainWindow();
    ASSERT_TRUE(main) << first.DescribeWindows();
    if (c.key != 0) {
      ASSERT_TRUE(first.WaitForFirstEntry());
      PressKey(main.searchEdit, c.key);
    }
    const std::wstring title(c.dialog, c.dialog + strlen(c.dialog));
    HWND dialog = first.WaitForWindow([&](HWND w) { return TextOf(w) == title; });
    ASSERT_NE(dialog, nullptr) << first.DescribeWindows();
    // Another program's window is in front, as when the user starts the program again.
    std::unique_ptr<HWND__, decltype(&DestroyWindow)> other(
        CreateWindowExW(0, L"Static", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                        200, 100, nullptr, nullptr, nullptr, nullptr),
        &DestroyWindow);
    SetForegroundWindow(other.get());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.get(); }));

    RunningProgram second(folder_.Exe());
    std::optional<DWORD> code = second.WaitForExit();
    ASSERT_TRUE(code) << "the second copy keeps running";
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }))
        << "foreground window got \"" << Narrow(TextOf(GetForegroundWindow())) << "\"";
    const std::vector<HWND> order = ZOrder();
    const auto dialogAt = std::find(order.begin(), order.end(), dialog);
    const auto mainAt = std::find(order.begin(), order.end(), main.wnd);
    EXPECT_TRUE(dialogAt < mainAt) << "the main window lies over the dialog";
    EXPECT_TRUE(IsWindowVisible(dialog) && IsWindowEnabled(dialog));
    EXPECT_FALSE(IsWindowEnabled(main.wnd)) << "the dialog no longer holds the main window";
  }
}

TEST_F(StartupTest, SecondStartRunsItsOwnCopyWhenAllowed) {
  WriteSetting("Allow", DwordValue(1));
  RunningProgram first(folder_.Exe());
  ASSERT_TRUE(first.WaitForFirstEntry()) << first.DescribeWindows();
  RunningProgram second(folder_.Exe());
  MainWindow secondMain = second.WaitForFirstEntry();
  ASSERT_TRUE(secondMain) << "the second copy shows no window; " << second.DescribeWindows();
  EXPECT_TRUE(ShowsEntry(secondMain, entries_, 0));
  for (RunningProgram* program : {&second, &first}) {
    std::optional<DWORD> code = program->Close();
    ASSERT_TRUE(code) << program->DescribeWindows();
    EXPECT_EQ(*code, 0u);
  }
}

// The title bar's buttons are glyphs of the Marlett font: without it they show as "0 1 r". The
// scripts put the font into the prefix that runs the program and the tests.
TEST(TitleBarTest, TheFontOfTheButtonGlyphsIsInstalled) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcscpy(wanted.lfFaceName, L"Marlett");
  HDC screen = GetDC(nullptr);
  bool found = false;
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(found) << "no font named Marlett";
}

}  // namespace
}  // namespace lexmora::e2e
