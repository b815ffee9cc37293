// The index progress window on a real display: its geometry, its texts, the progress reports for
// the listed file sizes, the modal keys and close requests, failures, and its use by TADict.
#include <gtest/gtest.h>
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "shell/IndexProgressWindow.h"
#include "store/ADictU.h"
#include "ui/Application.h"

namespace lexmora {
namespace {

using test::TempDir;

// A dictionary file of exactly `bytes` bytes: a separator, then seven letters, over and over.
void WriteDictionary(const std::string& path, size_t bytes) {
  test::Bytes data(bytes);
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    size_t unit = i / 2;
    uint16_t ch = unit % 8 == 0 ? 0x00B7 : static_cast<uint16_t>('a' + unit % 26);
    data[i] = static_cast<uint8_t>(ch & 0xFF);
    data[i + 1] = static_cast<uint8_t>(ch >> 8);
  }
  test::WriteBytes(path, data);
}

std::vector<int32_t> IndexOffsets(const std::string& path) {
  test::Bytes bytes = test::ReadBytes(path);
  std::vector<int32_t> offsets((bytes.size() - sizeof(FILETIME)) / 4);
  std::memcpy(offsets.data(), bytes.data() + sizeof(FILETIME), offsets.size() * 4);
  return offsets;
}

class IndexProgressWindowTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};

  FormPtr<TCreateIndexForm> NewForm(const std::string& data, bool doSort = false) {
    auto form = MakeForm<TCreateIndexForm>();
    form->DataFileName = ToWide(data);
    form->IndexFileName = ToWide(dir.File("dict.ind"));
    form->DoSort = doSort;
    return form;
  }

  // Builds that fail: the dictionary file cannot be read, or the index file cannot be written.
  struct BuildFailure {
    const char* name;
    std::string data;
    std::string index;
    std::string wantError;  // how the error's message begins
  };
  std::vector<BuildFailure> BuildFailures() {
    WriteDictionary(dir.File("dict.dat"), 4096);
    CreateDirectoryA(dir.File("folder.ind").c_str(), nullptr);
    return {{"dictionary file missing", dir.File("missing.dat"), dir.File("missing.ind"),
             "Cannot open file \"" + dir.File("missing.dat") + "\"."},
            {"index path is a folder", dir.File("dict.dat"), dir.File("folder.ind"),
             "File access denied"}};
  }

  // Shows the form modally; `afterBuild` runs once the build (RunBuild) has ended or failed,
  // before the modal loop starts.
  static int Run(TCreateIndexForm& form, const std::function<void()>& afterBuild) {
    auto build = form.OnActivate;
    form.OnActivate = [&] {
      try {
        build();
      } catch (...) {
        afterBuild();
        throw;
      }
      afterBuild();
    };
    return form.ShowModal();
  }
};

void Post(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  ASSERT_TRUE(PostMessageW(hwnd, msg, wParam, lParam));
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

TEST_F(IndexProgressWindowTest, IsBuiltHiddenWithoutTitleBarAndPlacedByTheClientFormulas) {
  auto form = NewForm(dir.File("dict.dat"));
  HWND hwnd = form->Handle();
  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 400);
  EXPECT_EQ(outer.bottom - outer.top, 100);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_NE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);

  RECT client = form->ClientRect();
  const int cw = client.right, ch = client.bottom;
  const int barLeft = (cw - 380) / 2, barTop = (ch - 20) / 2;
  struct Case {
    const char* name;
    RECT got;
    RECT want;
  } cases[] = {
      {"bar", form->pbProgress.BoundsRect(), {barLeft, barTop, barLeft + 380, barTop + 20}},
      {"button",
       form->btnOK.BoundsRect(),
       {(cw - 75) / 2, barTop + 27, (cw - 75) / 2 + 75, barTop + 52}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(EqualRect(&c.got, &c.want))
        << c.name << ": got " << Describe(c.got) << " want " << Describe(c.want);
  }
  RECT label = form->lblProgress.BoundsRect();
  EXPECT_EQ(label.left, barLeft);
  EXPECT_EQ(label.top, barTop - 20);

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
  for (HFONT font : {form->Font(), form->lblProgress.Font(), form->btnOK.Font()}) {
    LOGFONTA lf{};
    GetObjectA(font, sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, metrics.lfMessageFont.lfFaceName);
  }

  EXPECT_EQ(form->Cursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
  EXPECT_EQ(form->btnOK.Caption(), "OK");
  EXPECT_FALSE(form->btnOK.Enabled());
  EXPECT_EQ(form->lblProgress.Caption(), "");
  EXPECT_EQ(form->pbProgress.Min(), 0);
  EXPECT_EQ(form->pbProgress.Max(), 100);
  EXPECT_EQ(form->pbProgress.Position(), 0);
}

// The worked example: a 3-pixel frame leaves 394 x 94 of the 400 x 100 window; at 144 DPI the
// window and its parts are half as large again.
TEST(IndexProgressLayout, PlacesTheBarLabelAndButtonAsInTheWorkedExample) {
  const struct {
    int width, height, dpi;
    RECT bar;
    POINT label;
    RECT button;
  } cases[] = {
      {394, 94, 96, {7, 37, 387, 57}, {7, 17}, {159, 64, 234, 89}},
      {591, 141, 144, {10, 55, 580, 85}, {10, 25}, {239, 96, 352, 134}},
  };
  for (const auto& c : cases) {
    const ProgressLayout got = PlaceProgressParts(c.width, c.height, c.dpi);
    EXPECT_TRUE(EqualRect(&got.bar, &c.bar)) << c.dpi << " DPI: bar " << Describe(got.bar);
    EXPECT_EQ(got.labelAt.x, c.label.x) << c.dpi << " DPI";
    EXPECT_EQ(got.labelAt.y, c.label.y) << c.dpi << " DPI";
    EXPECT_TRUE(EqualRect(&got.button, &c.button))
        << c.dpi << " DPI: button " << Describe(got.button);
  }
}

// Counts the steps a progress bar is sent while the object lives.
class StepCounter {
 public:
  explicit StepCounter(HWND bar) : bar_(bar) {
    SetWindowSubclass(bar, Count, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~StepCounter() { RemoveWindowSubclass(bar_, Count, 1); }
  StepCounter(const StepCounter&) = delete;
  StepCounter& operator=(const StepCounter&) = delete;
  int Steps() const { return steps_; }

 private:
  static LRESULT CALLBACK Count(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) {
    if (msg == PBM_STEPIT)
      ++reinterpret_cast<StepCounter*>(self)->steps_;
    return DefSubclassProc(wnd, msg, wParam, lParam);
  }
  HWND bar_;
  int steps_ = 0;
};

// The bar steps once per report; once the index is written it is full, however few reports a
// small file made.
TEST_F(IndexProgressWindowTest, ReportsProgressOncePerHundredthAndAtMostOncePerBlock) {
  struct Case {
    size_t bytes;
    int wantSteps;
  } cases[] = {{0, 0}, {1000, 1}, {32766, 1}, {65536, 2}, {10485760, 100}};
  for (const Case& c : cases) {
    std::string data = dir.File("dict.dat");
    WriteDictionary(data, c.bytes);
    auto form = NewForm(data);
    const StepCounter steps(form->pbProgress.Handle());
    int bar = -1;
    std::string label;
    bool okEnabled = false;
    HCURSOR cursor = nullptr;
    int result = Run(*form, [&] {
      bar = form->pbProgress.Position();
      label = form->lblProgress.Caption();
      okEnabled = form->btnOK.Enabled();
      cursor = form->Cursor();
      Post(form->Handle(), WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(result, mrOk) << c.bytes << " bytes";
    EXPECT_EQ(steps.Steps(), c.wantSteps) << c.bytes << " bytes";
    EXPECT_EQ(bar, 100) << c.bytes << " bytes: the bar is not full when the index is written";
    EXPECT_EQ(label, "Index file created. Click OK to continue...") << c.bytes << " bytes";
    EXPECT_TRUE(okEnabled) << c.bytes << " bytes";
    EXPECT_EQ(cursor, nullptr) << c.bytes << " bytes";
    // One entry begins at every eighth code unit.
    EXPECT_EQ(IndexOffsets(ToAnsi(form->IndexFileName)).size(), (c.bytes / 2 + 7) / 8)
        << c.bytes << " bytes";
  }
  EXPECT_EQ(errors, std::vector<std::string>{});
}

TEST_F(IndexProgressWindowTest, LabelShowsTheCountAtEachReport) {
  std::string data = dir.File("dict.dat");
  WriteDictionary(data, 65536);
  auto form = NewForm(data);
  std::vector<std::string> seen;
  // A character posted now is handled at the first report, where the form's key handler sees
  // the label of that moment.
  form->OnKeyPress = [&](wchar_t&) {
    seen.push_back(form->lblProgress.Caption() + " @" +
                   std::to_string(form->pbProgress.Position()));
  };
  Post(form->Handle(), WM_CHAR, L'x');
  Run(*form, [&] { Post(form->Handle(), WM_KEYDOWN, VK_RETURN); });
  // 32768 bytes hold 2048 entries of 8 code units.
  EXPECT_EQ(seen, std::vector<std::string>{"Creating index file : 2048 entries processed @1"});
}

TEST_F(IndexProgressWindowTest, KeysAndCloseRequestsDuringAndAfterTheBuild) {
  const MSG enter{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  const MSG escapeKey{nullptr, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  const MSG escapeChar{nullptr, WM_CHAR, 27, 0, 0, {}};
  const MSG close{nullptr, WM_CLOSE, 0, 0, 0, {}};
  struct Case {
    const char* name;
    std::vector<MSG> duringBuild;  // handled by the progress reports' message processing
    std::vector<MSG> afterBuild;   // handled by the modal loop
    int wantResultAtBuildEnd;
    int want;
  } cases[] = {
      {"a close request during the build is discarded", {close}, {enter}, mrCancel, mrOk},
      {"Enter does nothing while OK is disabled", {enter}, {close}, mrNone, mrCancel},
      {"Escape never closes",
       {escapeKey, escapeChar},
       {escapeKey, escapeChar, enter},
       mrNone,
       mrOk},
  };
  for (const Case& c : cases) {
    std::string data = dir.File("dict.dat");
    WriteDictionary(data, 65536);
    auto form = NewForm(data);
    for (const MSG& m : c.duringBuild)
      Post(form->Handle(), m.message, m.wParam);
    int atBuildEnd = -1;
    int result = Run(*form, [&] {
      atBuildEnd = form->ModalResult();
      for (const MSG& m : c.afterBuild)
        Post(form->Handle(), m.message, m.wParam);
    });
    EXPECT_EQ(atBuildEnd, c.wantResultAtBuildEnd) << c.name;
    EXPECT_EQ(result, c.want) << c.name;
  }
}

// After a failed build the window does not look busy: it says the build failed, shows the
// normal pointer and takes OK, Enter or any close request.
TEST_F(IndexProgressWindowTest, AfterAFailedBuildTheWindowSaysSoAndClosesLikeAfterASuccess) {
  struct Close {
    const char* name;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    int want;
  } closes[] = {
      {"Enter", WM_KEYDOWN, VK_RETURN, 0, mrOk},
      {"WM_CLOSE", WM_CLOSE, 0, 0, mrCancel},
      {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0, mrCancel},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, 1 << 29, mrCancel},
  };
  for (const BuildFailure& f : BuildFailures()) {
    for (const Close& c : closes) {
      errors.clear();
      auto form = NewForm(f.data);
      form->IndexFileName = ToWide(f.index);
      bool okEnabled = false;
      HCURSOR cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));
      std::string label;
      int result = Run(*form, [&] {
        okEnabled = form->btnOK.Enabled();
        cursor = form->Cursor();
        label = form->lblProgress.Caption();
        Post(form->Handle(), c.msg, c.wParam, c.lParam);
        // A window that ignores the close sent is closed after a while, so that the test ends.
        SetTimer(form->Handle(), 1, 3000, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
          KillTimer(hwnd, id);
          PostMessageW(hwnd, WM_CLOSE, 0, 0);
        });
      });
      const std::string where = std::string(f.name) + ", " + c.name;
      EXPECT_EQ(result, c.want) << where;
      EXPECT_TRUE(okEnabled) << where;
      EXPECT_EQ(cursor, nullptr) << where;
      EXPECT_EQ(label, "Index file could not be created. Click OK to continue...") << where;
      EXPECT_FALSE(form->Built()) << where;
      ASSERT_EQ(errors.size(), 1u) << where;
      EXPECT_EQ(errors[0].rfind(f.wantError, 0), 0u) << where << ": got " << errors[0];
    }
  }
}

TEST_F(IndexProgressWindowTest, PassesTheSortChoiceToTheBuilder) {
  std::string data = dir.File("dict.dat");
  test::WriteBytes(data, test::Utf16Le(L"\u00B7b\u00B7a"));
  struct Case {
    bool doSort;
    std::vector<int32_t> want;
  } cases[] = {{false, {2, 6}}, {true, {6, 2}}};
  for (const Case& c : cases) {
    auto form = NewForm(data, c.doSort);
    Run(*form, [&] { Post(form->Handle(), WM_KEYDOWN, VK_RETURN); });
    EXPECT_EQ(IndexOffsets(ToAnsi(form->IndexFileName)), c.want) << "doSort " << c.doSort;
  }
}

class TMainStandIn : public TForm {
 public:
  TMainStandIn() {
    CreateEmpty();
    SetBounds(100, 80, 600, 500);
  }
};

TEST_F(IndexProgressWindowTest, IsCentredOnTheMainWindow) {
  auto main = MakeForm<TMainStandIn>();
  TForm* previousMain = Application().MainForm();
  Application().SetMainForm(main.get());
  main->Show();
  std::string data = dir.File("dict.dat");
  WriteDictionary(data, 100);
  auto form = NewForm(data);
  RECT placed{};
  Run(*form, [&] {
    GetWindowRect(form->Handle(), &placed);
    Post(form->Handle(), WM_KEYDOWN, VK_RETURN);
  });
  Application().SetMainForm(previousMain);
  RECT around;
  GetWindowRect(main->Handle(), &around);
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), main->Handle());
  EXPECT_NEAR((placed.left + placed.right) / 2.0, (around.left + around.right) / 2.0, 1.0)
      << Describe(placed) << " in " << Describe(around);
  EXPECT_NEAR((placed.top + placed.bottom) / 2.0, (around.top + around.bottom) / 2.0, 1.0)
      << Describe(placed) << " in " << Describe(around);
}

// Presses OK of a shown progress window once its build is done.
bool g_sawWindow = false;
void CALLBACK PressOkWhenDone(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM) -> BOOL {
        auto* form = dynamic_cast<TCreateIndexForm*>(TForm::FromHandle(hwnd));
        if (form != nullptr && form->Visible() && form->btnOK.Enabled()) {
          g_sawWindow = true;
          PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
        }
        return TRUE;
      },
      0);
}

TEST_F(IndexProgressWindowTest, InstalledWindowBuildsTheIndexOfADictionaryBeingOpened) {
  std::string data = dir.File("dict.dat");
  WriteDictionary(data, 4096);
  InstallIndexBuildWindow();
  UINT_PTR timer = SetTimer(nullptr, 0, 20, PressOkWhenDone);
  g_sawWindow = false;
  {
    TADict dict(data, dir.File("dict.ind"), false, false, false);
    EXPECT_EQ(dict.EntryCount(), 256);
  }
  KillTimer(nullptr, timer);
  SetIndexBuildHost(nullptr);
  EXPECT_TRUE(g_sawWindow);
  EXPECT_EQ(IndexOffsets(dir.File("dict.ind")).size(), 256u);
  EXPECT_EQ(errors, std::vector<std::string>{});
}

// Presses OK of a shown progress window once OK is enabled; a window whose OK never comes on is
// closed as the system's close command would, after a few seconds, so that no test waits for
// ever.
int g_ticksWithoutOk = 0;
std::string g_labelAtOk;
void CALLBACK PressOkOrCloseAfterAWhile(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM) -> BOOL {
        auto* form = dynamic_cast<TCreateIndexForm*>(TForm::FromHandle(hwnd));
        if (form == nullptr || !form->Visible() || !IsWindowEnabled(hwnd))
          return TRUE;
        if (form->btnOK.Enabled()) {
          g_labelAtOk = form->lblProgress.Caption();
          PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
        } else if (++g_ticksWithoutOk == 150) {
          PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return TRUE;
      },
      0);
}

// A failed build inside the window: the error is reported once, while the window is open, and
// the dictionary is not opened; no second error follows the window.
TEST_F(IndexProgressWindowTest, InstalledWindowAbandonsTheOpeningWhenTheBuildFails) {
  InstallIndexBuildWindow();
  for (const BuildFailure& c : BuildFailures()) {
    for (bool onDisk : {false, true}) {
      errors.clear();
      g_ticksWithoutOk = 0;
      g_labelAtOk.clear();
      const std::string where = std::string(c.name) + (onDisk ? ", on disk" : ", in memory");
      UINT_PTR timer = SetTimer(nullptr, 0, 20, PressOkOrCloseAfterAWhile);
      try {
        TADict dict(c.data, c.index, false, onDisk, false);
        ADD_FAILURE() << where << ": opened";
      } catch (const EAbort&) {
      } catch (const std::exception& e) {
        ADD_FAILURE() << where << ": raised \"" << e.what() << "\" after the window closed";
      }
      KillTimer(nullptr, timer);
      EXPECT_EQ(g_labelAtOk, "Index file could not be created. Click OK to continue...") << where;
      ASSERT_EQ(errors.size(), 1u) << where;
      EXPECT_EQ(errors[0].rfind(c.wantError, 0), 0u) << where << ": got " << errors[0];
    }
  }
  SetIndexBuildHost(nullptr);
}

}  // namespace
}  // namespace lexmora
