// The index progress window on a real display: its geometry, its texts, the progress reports for
// the listed file sizes, the modal keys and close requests, failures, and its use by TADict.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/Errors.h"
#include "shell/CreateIndexU.h"
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

class CreateIndexTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};

  FormPtr<TCreateIndexForm> NewForm(const std::string& data, bool doSort = false) {
    auto form = MakeForm<TCreateIndexForm>();
    form->DataFileName = data;
    form->IndexFileName = dir.File("dict.ind");
    form->DoSort = doSort;
    return form;
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

TEST_F(CreateIndexTest, IsBuiltHiddenWithoutTitleBarAndPlacedByTheClientFormulas) {
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
  if (cw == 394 && ch == 94) {  // a 3-pixel frame: the worked example
    EXPECT_EQ(barLeft, 7);
    EXPECT_EQ(barTop, 37);
    EXPECT_EQ(form->btnOK.BoundsRect().left, 159);
    EXPECT_EQ(form->btnOK.BoundsRect().top, 64);
  }

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

TEST_F(CreateIndexTest, ReportsProgressOncePerHundredthAndAtMostOncePerBlock) {
  struct Case {
    size_t bytes;
    int wantBar;
  } cases[] = {{0, 0}, {1000, 1}, {32766, 1}, {65536, 2}, {10485760, 100}};
  for (const Case& c : cases) {
    std::string data = dir.File("dict.dat");
    WriteDictionary(data, c.bytes);
    auto form = NewForm(data);
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
    EXPECT_EQ(bar, c.wantBar) << c.bytes << " bytes";
    EXPECT_EQ(label, "Index file created. Click OK to continue...") << c.bytes << " bytes";
    EXPECT_TRUE(okEnabled) << c.bytes << " bytes";
    EXPECT_EQ(cursor, nullptr) << c.bytes << " bytes";
    // One entry begins at every eighth code unit.
    EXPECT_EQ(IndexOffsets(form->IndexFileName).size(), (c.bytes / 2 + 7) / 8)
        << c.bytes << " bytes";
  }
  EXPECT_EQ(errors, std::vector<std::string>{});
}

TEST_F(CreateIndexTest, LabelShowsTheCountAtEachReport) {
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

TEST_F(CreateIndexTest, KeysAndCloseRequestsDuringAndAfterTheBuild) {
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

TEST_F(CreateIndexTest, AfterAFailedBuildOnlyTheSystemCloseCommandCloses) {
  struct Case {
    const char* name;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  } cases[] = {
      {"WM_CLOSE", WM_CLOSE, 0, 0},
      {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, 1 << 29},
  };
  for (const Case& c : cases) {
    errors.clear();
    auto form = NewForm(dir.File("missing.dat"));
    bool okEnabled = true;
    HCURSOR cursor = nullptr;
    int result = Run(*form, [&] {
      okEnabled = form->btnOK.Enabled();
      cursor = form->Cursor();
      Post(form->Handle(), WM_KEYDOWN, VK_RETURN);  // OK is disabled: nothing happens
      Post(form->Handle(), c.msg, c.wParam, c.lParam);
    });
    EXPECT_EQ(result, mrCancel) << c.name;
    EXPECT_FALSE(okEnabled) << c.name;
    EXPECT_EQ(cursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))) << c.name;
    ASSERT_EQ(errors.size(), 1u) << c.name;
    EXPECT_EQ(errors[0].rfind("Cannot open file \"" + dir.File("missing.dat") + "\".", 0), 0u)
        << c.name << ": got " << errors[0];
    EXPECT_EQ(form->lblProgress.Caption(), "Creating index file : 0 entries processed") << c.name;
  }
}

TEST_F(CreateIndexTest, PassesTheSortChoiceToTheBuilder) {
  std::string data = dir.File("dict.dat");
  test::WriteBytes(data, test::Utf16Le(L"\u00B7b\u00B7a"));
  struct Case {
    bool doSort;
    std::vector<int32_t> want;
  } cases[] = {{false, {2, 6}}, {true, {6, 2}}};
  for (const Case& c : cases) {
    auto form = NewForm(data, c.doSort);
    Run(*form, [&] { Post(form->Handle(), WM_KEYDOWN, VK_RETURN); });
    EXPECT_EQ(IndexOffsets(form->IndexFileName), c.want) << "doSort " << c.doSort;
  }
}

class TMainStandIn : public TForm {
 public:
  TMainStandIn() {
    CreateEmpty();
    SetBounds(100, 80, 600, 500);
  }
};

TEST_F(CreateIndexTest, IsCentredOnTheMainWindow) {
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

TEST_F(CreateIndexTest, InstalledWindowBuildsTheIndexOfADictionaryBeingOpened) {
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

}  // namespace
}  // namespace lexmora
