// The main window's settings on real windows: the values created at the first start, stored values
// applied, unreadable ones giving way to their defaults, and the place of a maximized window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "MainWinTestSupport.h"
#include "shell/ConstU.h"
#include "shell/MainU.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lexmora {
namespace {

using test::CleanSettings;
using test::PaneFontOf;
using test::Stored;
using test::StoredDword;
using test::StoreDword;
using test::StoreRaw;
using test::StoreString;
using test::Topmost;

class MainSettingsTest : public test::MainWindowFixture {
 protected:
  // Settings that open a small dictionary without letter conversion.
  void UseTestDictionary() {
    dictionaries.Add("settings", {L"apple\r\nfruit one", L"banana\r\nfruit two"});
    StoreString(kDictValue, "settings");
    StoreDword(kRefineTextValue, 0);
  }
};

TEST_F(MainSettingsTest, FirstLoadCreatesAllValuesWithDefaultsInTableOrder) {
  auto form = MakeForm<TfmMain>();
  struct Want {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  auto sz = [](const std::string& s) {
    std::vector<BYTE> b(s.begin(), s.end());
    b.push_back(0);
    return b;
  };
  auto dw = [](DWORD v) {
    return std::vector<BYTE>{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
  };
  const std::vector<Want> want = {
      {"Dict", REG_SZ, sz("diruridu")},  {"Font", REG_SZ, sz("Lucida Sans Unicode")},
      {"Top", REG_DWORD, dw(10)},        {"Left", REG_DWORD, dw(10)},
      {"Width", REG_DWORD, dw(400)},     {"Height", REG_DWORD, dw(300)},
      {"FontSize", REG_DWORD, dw(8)},    {"Pixels", REG_DWORD, dw(10)},
      {"History", REG_DWORD, dw(10)},    {"StayOnTop", REG_DWORD, dw(0)},
      {"IsMaximized", REG_DWORD, dw(0)}, {"Docking", REG_DWORD, dw(1)},
      {"ReadHDD", REG_DWORD, dw(0)},     {"RefineText", REG_DWORD, dw(1)},
      {"Allow", REG_DWORD, dw(0)},       {"LookupCopied", REG_DWORD, dw(1)}};
  for (const Want& w : want) {
    auto got = Stored(w.name);
    ASSERT_TRUE(got.has_value()) << w.name << " missing";
    EXPECT_EQ(got->first, w.type) << w.name;
    EXPECT_EQ(got->second, w.data) << w.name;
  }
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(kSettingsRoot, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(count, want.size()) << "values in the key";

  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<LONG>{10, 10, 400, 300}));
  EXPECT_EQ(form->PaneFont().name, "Lucida Sans Unicode");
  EXPECT_EQ(form->PaneFont().size, 8);
  EXPECT_EQ(DescribeFont(form->cbSearch.Font()).name, "Lucida Sans Unicode");
  EXPECT_EQ(form->DictName(), L"diruridu");
  EXPECT_TRUE(form->Docking());
  EXPECT_EQ(form->Pixels(), 10);
  EXPECT_TRUE(form->RefineText());
  EXPECT_FALSE(form->tbtnStayOnTop->Down());
  EXPECT_TRUE(form->FirstActivationPending());
  EXPECT_TRUE(errors.empty()) << errors.front();

  // Other copies find the window by its exact class and title.
  char cls[64] = "", title[64] = "";
  GetClassNameA(form->Handle(), cls, sizeof cls);
  GetWindowTextA(form->Handle(), title, sizeof title);
  EXPECT_STREQ(cls, "TfmMain.UnicodeClass");
  EXPECT_STREQ(title, "Lexmora - BETA RELEASE");
  EXPECT_EQ(FindWindowA(kMainWindowClass, kAppTitle), form->Handle());
  EXPECT_TRUE(IsWindowUnicode(form->Handle()));
  EXPECT_EQ(Application().Title(), kAppTitle);
}

TEST_F(MainSettingsTest, StoredValuesAreKeptAndAppliedWithTheSmallestSize) {
  StoreDword(kWidthValue, 500);
  StoreDword(kHeightValue, 100);
  StoreString(kFontValue, "Arial");
  StoreDword(kFontSizeValue, 12);
  StoreDword(kPixelsValue, 25);
  StoreDword(kStayOnTopValue, 1);
  auto form = MakeForm<TfmMain>();

  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 500);
  // The 12-point previews are higher than designed, and the smallest height with them.
  MINMAXINFO smallest{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&smallest));
  EXPECT_GT(smallest.ptMinTrackSize.y, 250);
  EXPECT_EQ(r.bottom - r.top, smallest.ptMinTrackSize.y)
      << "the height stays at the smallest window height";
  EXPECT_EQ(StoredDword(kWidthValue), 500u);
  EXPECT_EQ(StoredDword(kHeightValue), 100u) << "loading rewrites nothing";
  EXPECT_EQ(StoredDword(kTopValue), 10u) << "a missing value is created";
  TFontSpec font = PaneFontOf(form->reMeaning);
  EXPECT_EQ(font.name, "Arial");
  EXPECT_EQ(font.size, 12);
  EXPECT_EQ(form->Pixels(), 25);
  EXPECT_TRUE(form->tbtnStayOnTop->Down());
  EXPECT_TRUE(Topmost(form->Handle()));
}

// A value that cannot be read as its kind counts as missing: it is written with its default at
// once, and loading goes on with every other value.
TEST_F(MainSettingsTest, AValueOfTheWrongTypeTakesItsDefaultAndTheRestAreApplied) {
  struct Case {
    std::string value;
    DWORD type;
    std::vector<BYTE> data;
    DWORD wantType;
  } cases[] = {
      {"Dict", REG_DWORD, {1, 0, 0, 0}, REG_SZ},
      {"History", REG_SZ, {'x', 0}, REG_DWORD},
      {"Top", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, REG_DWORD},
  };
  // Stored values that differ from the defaults, to tell applied from not applied.
  for (const Case& c : cases) {
    CleanSettings::Delete();
    errors.clear();
    StoreDword(kPixelsValue, 25);
    StoreDword(kRefineTextValue, 0);
    StoreDword(kLeftValue, 30);
    StoreRaw(c.value, c.type, c.data);
    auto form = MakeForm<TfmMain>();
    EXPECT_TRUE(errors.empty()) << c.value << ": " << errors.front();
    EXPECT_EQ(form->DictName(), L"diruridu") << c.value;
    EXPECT_EQ(form->History(), 10) << c.value;
    EXPECT_EQ(form->Pixels(), 25) << c.value;
    EXPECT_FALSE(form->RefineText()) << c.value;
    EXPECT_TRUE(form->FirstActivationPending()) << c.value;
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 30) << c.value;
    EXPECT_EQ(r.top, 10) << c.value;
    auto stored = Stored(c.value);
    ASSERT_TRUE(stored.has_value()) << c.value;
    EXPECT_EQ(stored->first, c.wantType) << c.value << " is not written with its default";
  }
}

TEST_F(MainSettingsTest, ABooleanStoredAsFiveReadsTrueAndIsSavedAsOne) {
  StoreDword(kDockingValue, 5);
  auto form = MakeForm<TfmMain>();
  EXPECT_TRUE(form->Docking());
  form.reset();
  EXPECT_EQ(StoredDword(kDockingValue), 1u);
}

TEST_F(MainSettingsTest, MaximizedExitKeepsTheLastNormalGeometry) {
  UseTestDictionary();
  StoreDword(kTopValue, 100);
  StoreDword(kLeftValue, 120);
  StoreDword(kWidthValue, 500);
  StoreDword(kHeightValue, 400);
  StoreDword(kIsMaximizedValue, 1);
  auto stored = [] {
    return std::vector<DWORD>{StoredDword(kTopValue), StoredDword(kLeftValue),
                              StoredDword(kWidthValue), StoredDword(kHeightValue),
                              StoredDword(kIsMaximizedValue)};
  };

  auto form = ShowMain();
  EXPECT_TRUE(IsZoomed(form->Handle()));
  form.reset();
  EXPECT_EQ(stored(), (std::vector<DWORD>{100, 120, 500, 400, 1}));

  // Restored, it comes back to that geometry; an exit in the normal state writes it.
  form = ShowMain();
  ASSERT_TRUE(IsZoomed(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<LONG>{120, 100, 500, 400}));
  SetWindowPos(form->Handle(), nullptr, 50, 60, 450, 350, SWP_NOZORDER);
  form.reset();
  EXPECT_EQ(stored(), (std::vector<DWORD>{60, 50, 450, 350, 0}));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace lexmora
