// The main window on real windows: its layout at every font size, the lookup and its previews,
// the history, preview clicks, the dialogs it shows, stay on top, the hand-over, and the window
// with no dictionary open. Its settings are MainSettingsTest.cpp.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "MainIds.h"
#include "MainWinTestSupport.h"
#include "base/Text.h"
#include "shell/AboutU.h"
#include "shell/ChooseU.h"
#include "shell/ConstU.h"
#include "shell/DockManU.h"
#include "shell/MainU.h"
#include "shell/OptionsU.h"
#include "shell/Settings.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lexmora {
namespace {

using test::Choose;
using test::ChooseWhenShown;
using test::CleanSettings;
using test::PaneFontOf;
using test::PaneText;
using test::Pump;
using test::RunSoon;
using test::SearchEdit;
using test::Stored;
using test::StoredDword;
using test::StoreDword;
using test::StoreString;
using test::Topmost;
using test::Type;

const char kDictName[] = "mainwin";
// Sorted, so that the word search finds each of them.
const std::vector<std::wstring> kEntries = {
    L"apple\r\nfruit one",
    L"banana\r\nfruit two",
    L"cherry\r\nfruit three",
    L"date\r\nfruit four",
    L"elder\r\na long entry whose preview is cut after fifty characters, before this",
    L"fig\r\nfruit six",
    L"grape\r\nfruit seven"};
const int32_t kCount = static_cast<int32_t>(kEntries.size());

bool InDictionary(int32_t i) {
  return i >= 0 && i < kCount;
}

std::wstring WantMeaning(int32_t i) {
  if (!InDictionary(i))
    return L"";
  std::wstring text;
  for (wchar_t c : kEntries[i]) {
    if (c != L'\r')
      text.push_back(c);
  }
  return text;
}

// The first 50 characters and " ...", a line break becoming one space.
std::wstring WantPreview(int32_t i) {
  std::wstring text, entry = InDictionary(i) ? kEntries[i].substr(0, 50) : L"";
  for (wchar_t c : entry + L" ...") {
    if (c == L'\r')
      text.push_back(L' ');
    else if (c != L'\n')
      text.push_back(c);
  }
  return text;
}

std::string Narrow(const std::wstring& text) {
  return ToAnsi(text);
}

int ClientHeight(const TControl& pane) {
  RECT r{};
  GetClientRect(pane.Handle(), &r);
  return r.bottom;
}

// Where, from the top of the pane's client area, its first line ends as the pane lays it out: the
// top of its formatting area and the first line's height. A paragraph is added to the end so that
// there is a second line to measure to, whether or not the pane scrolls for it.
int FirstLineBottom(TRichEdit& pane) {
  const HWND hwnd = pane.Handle();
  const int length = GetWindowTextLengthW(hwnd);
  SendMessageW(hwnd, EM_SETSEL, length, length);
  SendMessageW(hwnd, EM_SETREADONLY, FALSE, 0);
  SendMessageW(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\rx"));
  SendMessageW(hwnd, EM_SETREADONLY, TRUE, 0);
  const auto top = [hwnd](WPARAM line) {
    POINTL at{};
    SendMessageW(hwnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at),
                 SendMessageW(hwnd, EM_LINEINDEX, line, 0));
    return static_cast<int>(at.y);
  };
  RECT area{};
  SendMessageW(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  return static_cast<int>(area.top) + top(1) - top(0);
}

std::vector<std::wstring> HistoryItems(const TfmMain& form) {
  std::vector<std::wstring> items;
  for (int32_t k = 0; k < form.cbSearch.Count(); ++k)
    items.push_back(form.cbSearch.Item(k));
  return items;
}

class MainWindowTest : public test::MainWindowFixture {
 protected:
  void SetUp() override { dictionaries.Add(kDictName, kEntries); }

  // Settings that open the test dictionary without letter conversion.
  void UseTestDictionary() {
    StoreString(kDictValue, kDictName);
    StoreDword(kRefineTextValue, 0);
  }
  // The dictionary chooser, as the program keeps it.
  void MakeChooser() {
    chooser = MakeForm<TfmChooseDict>();
    fmChooseDict = chooser.get();
  }
};

TEST_F(MainWindowTest, PanesStackOverTheClientAreaInTabOrder) {
  auto form = MakeForm<TfmMain>();
  SetWindowPos(form->Handle(), nullptr, 0, 0, 600, 500, SWP_NOZORDER | SWP_NOMOVE);
  const LONG h = form->ClientRect().bottom;
  struct Case {
    const char* name;
    const TControl& control;
    LONG top, bottom;
  } cases[] = {{"tbToolbar", form->tbToolbar, 0, 30},
               {"reTop1", form->reTop1, 39, 56},
               {"reTop2", form->reTop2, 65, 82},
               {"reMeaning", form->reMeaning, 91, h - 61},
               {"reBottom2", form->reBottom2, h - 52, h - 35},
               {"reBottom1", form->reBottom1, h - 26, h - 9}};
  for (const Case& c : cases) {
    RECT r = c.control.BoundsRect();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{0, c.top, form->ClientRect().right, c.bottom}))
        << c.name;
  }
  HWND first = GetNextDlgTabItem(form->Handle(), nullptr, FALSE);
  EXPECT_TRUE(first == form->cbSearch.Handle() || IsChild(form->cbSearch.Handle(), first));
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), form->cbSearch.Handle(), FALSE),
            form->reMeaning.Handle());
  EXPECT_EQ(GetNextDlgTabItem(form->Handle(), form->reMeaning.Handle(), FALSE), first);
}

// The window cannot be made narrower than the designed smallest width, nor than the tool bar
// needs to show all its buttons.
TEST_F(MainWindowTest, AtTheSmallestWidthEveryToolButtonIsWhole) {
  auto form = MakeForm<TfmMain>();
  EXPECT_GE(test::ShrinkToSmallestWidth(form->Handle()), 320);
  const std::vector<std::string> cut = test::ButtonsCutOff(form->tbToolbar.Handle());
  EXPECT_TRUE(cut.empty()) << "cut off: " << cut.front() << ", bar "
                           << form->tbToolbar.BoundsRect().right << " wide";
}

// Font sizes from the smallest to the largest and back, and whether the window's parts keep their
// designed heights at each.
const struct FontStep {
  int32_t size;
  bool designedHeight;
} kFontSteps[] = {{kMinFontSize, true}, {8, true}, {20, false}, {kMaxFontSize, false}, {8, true}};

// At every font size the search box lies wholly on the tool bar, where its text can be read, and
// the parts below start under the bar; at the usual sizes the bar keeps its designed height.
TEST_F(MainWindowTest, TheToolBarHoldsTheSearchBoxAtEveryFontSize) {
  auto form = MakeForm<TfmMain>();
  for (const FontStep& c : kFontSteps) {
    SCOPED_TRACE(c.size);
    form->ApplyFont(form->PaneFont().name, c.size);
    const RECT bar = form->tbToolbar.BoundsRect();
    RECT box{};
    GetWindowRect(form->cbSearch.Handle(), &box);
    MapWindowPoints(HWND_DESKTOP, form->tbToolbar.Handle(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_GE(box.top, 0) << "the search box sticks out above the bar";
    EXPECT_LE(box.bottom, bar.bottom - bar.top) << "the bar cuts the search box off";
    EXPECT_GE(form->pnlTop.BoundsRect().top, bar.bottom) << "the parts below overlap the bar";
    if (c.designedHeight) {
      EXPECT_EQ(bar.bottom - bar.top, 30);
    }
  }
}

// At every font size each preview shows a whole line of its font, and the main pane still shows
// one at the smallest window height, which grows with the font; at the usual sizes every part
// keeps its designed height.
TEST_F(MainWindowTest, EveryPaneShowsAWholeLineAtEveryFontSize) {
  UseTestDictionary();
  auto form = ShowMain();
  for (const FontStep& c : kFontSteps) {
    SCOPED_TRACE(c.size);
    // The window stands at the smallest height of the size before; a lower one grows.
    form->ApplyFont(form->PaneFont().name, c.size);
    RECT window{};
    GetWindowRect(form->Handle(), &window);
    const int smallest = test::ShrinkToSmallestHeight(form->Handle());
    EXPECT_GE(window.bottom - window.top, smallest) << "the window stayed lower than it may be";
    form->ShowEntryAt(3);
    const struct {
      const char* name;
      TRichEdit& pane;
    } panes[] = {{"reTop1", form->reTop1},
                 {"reTop2", form->reTop2},
                 {"reMeaning", form->reMeaning},
                 {"reBottom2", form->reBottom2},
                 {"reBottom1", form->reBottom1}};
    for (const auto& p : panes) {
      const int height = ClientHeight(p.pane);
      EXPECT_GE(height, FirstLineBottom(p.pane)) << p.name << " cuts its first line off";
      if (c.designedHeight && &p.pane != &form->reMeaning) {
        EXPECT_EQ(height, 17) << p.name;
      }
    }
    if (c.designedHeight) {
      EXPECT_EQ(smallest, 250) << "the smallest window height";
    }
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// In search mode the strip with the match count takes its room from the main pane, which still
// shows a whole line at the smallest window height, whether the font or the mode changes last.
TEST_F(MainWindowTest, InSearchModeTheMainPaneShowsAWholeLineAtEveryFontSize) {
  UseTestDictionary();
  auto form = ShowMain();
  for (const FontStep& c : kFontSteps) {
    SCOPED_TRACE(c.size);
    for (bool modeLast : {false, true}) {
      SCOPED_TRACE(modeLast ? "search mode turned on after the font" : "font after search mode");
      if (modeLast) {
        form->ApplyFont(form->PaneFont().name, c.size);
        form->TextSearch().SetActive(true);
      } else {
        form->TextSearch().SetActive(true);
        form->ApplyFont(form->PaneFont().name, c.size);
      }
      test::ShrinkToSmallestHeight(form->Handle());
      form->ShowEntryAt(3);
      EXPECT_GE(ClientHeight(form->reMeaning), FirstLineBottom(form->reMeaning))
          << "the main pane cuts its first line off";
      form->TextSearch().SetActive(false);
      const int smallest = test::ShrinkToSmallestHeight(form->Handle());
      if (c.designedHeight) {
        EXPECT_EQ(smallest, 250) << "out of search mode the smallest height is the designed one";
      }
    }
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// A window that a large font makes higher stays within the work area it lay in: one at the work
// area's bottom (docked there) grows upwards, one with room below keeps its top; one that lay
// partly below the work area already is left where the user put it.
TEST_F(MainWindowTest, AWindowGrowingWithTheFontStaysWithinTheWorkArea) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  auto form = ShowMain();
  const struct {
    const char* name;
    int bottomGap;  // from the window's bottom to the work area's bottom
    bool keepsTop;
  } cases[] = {{"docked at the bottom", 0, false},
               {"a little above the bottom", 20, false},
               {"room below", 600, true},
               {"partly below the work area", -40, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form->ApplyFont(form->PaneFont().name, 8);
    const int low = test::ShrinkToSmallestHeight(form->Handle());
    const int top = static_cast<int>(work.bottom) - c.bottomGap - low;
    SetWindowPos(form->Handle(), nullptr, static_cast<int>(work.left) + 50, top, 400, low,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    form->ApplyFont(form->PaneFont().name, kMaxFontSize);
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    ASSERT_GT(r.bottom - r.top, low) << "the window grew";
    if (c.keepsTop) {
      EXPECT_EQ(r.top, top);
    } else {
      EXPECT_EQ(r.bottom, work.bottom) << "the bottom lies on the work area's bottom";
      EXPECT_GE(r.top, work.top);
    }
    EXPECT_EQ(r.left, work.left + 50) << "the window moves only up";
  }
}

TEST_F(MainWindowTest, ShowEntryAtFillsTheMainPaneAndTheFourPreviews) {
  UseTestDictionary();
  auto form = ShowMain();
  ASSERT_NE(form->Dict(), nullptr);
  for (int32_t i : {0, 1, 3, 4, 5, 6, -1, -7, 7, 9}) {
    if (i != 0)
      form->ShowEntryAt(i);
    EXPECT_EQ(Narrow(PaneText(form->reMeaning)), Narrow(WantMeaning(i))) << "entry " << i;
    struct Preview {
      const char* name;
      const TRichEdit& pane;
      int32_t entry;
    } previews[] = {{"reTop1", form->reTop1, i - 2},
                    {"reTop2", form->reTop2, i - 1},
                    {"reBottom2", form->reBottom2, i + 1},
                    {"reBottom1", form->reBottom1, i + 2}};
    for (const Preview& p : previews) {
      EXPECT_EQ(p.pane.Tag, p.entry) << p.name << " at entry " << i;
      EXPECT_EQ(Narrow(PaneText(p.pane)), Narrow(WantPreview(p.entry)))
          << p.name << " at entry " << i;
    }
    CHARRANGE sel{-1, -1};
    SendMessageW(form->reMeaning.Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(sel.cpMin, 0) << "entry " << i;
    EXPECT_EQ(sel.cpMax, 0) << "entry " << i;
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(MainWindowTest, TypingLooksUpLowerCasedTextAndClearingKeepsTheEntry) {
  UseTestDictionary();
  auto form = ShowMain();
  Type(*form, L"CHERRY");
  EXPECT_EQ(form->cbSearch.Text(), L"cherry");
  EXPECT_EQ(Narrow(PaneText(form->reMeaning)), Narrow(WantMeaning(2)));
  Type(*form, std::wstring(6, L'\b'));
  EXPECT_EQ(form->cbSearch.Text(), L"");
  EXPECT_EQ(Narrow(PaneText(form->reMeaning)), Narrow(WantMeaning(2)));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(MainWindowTest, EnterLooksUpAndKeepsTheNewestItemsOfTheHistory) {
  UseTestDictionary();
  auto form = ShowMain();
  form->SetHistory(3);
  struct Step {
    std::wstring text;
    int32_t wantEntry;
  } steps[] = {{L"apple", 0}, {L"banana", 1}, {L"apple", 0}, {L"cherry", 2}};
  for (const Step& s : steps) {
    form->cbSearch.SetText(s.text);  // no change event: Enter alone looks the text up
    PostMessageW(SearchEdit(*form), WM_CHAR, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(Narrow(PaneText(form->reMeaning)), Narrow(WantMeaning(s.wantEntry)))
        << "after Enter on " << Narrow(s.text);
  }
  EXPECT_EQ(HistoryItems(*form), (std::vector<std::wstring>{L"banana", L"apple", L"cherry"}));

  // Enter on an empty box adds nothing; a lowered limit removes one item per Enter.
  form->cbSearch.SetText(L"");
  PostMessageW(SearchEdit(*form), WM_CHAR, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(form->cbSearch.Count(), 3);
  form->SetHistory(1);
  form->cbSearch.SetText(L"date");
  PostMessageW(SearchEdit(*form), WM_CHAR, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(HistoryItems(*form), (std::vector<std::wstring>{L"apple", L"cherry", L"date"}));
}

TEST_F(MainWindowTest, ClickingAPreviewShowsItsEntryUnlessItIsOutsideTheDictionary) {
  UseTestDictionary();
  auto form = ShowMain();
  struct Case {
    const char* name;
    HWND pane;
    UINT down, up;
    int32_t from, want;
  } cases[] = {
      {"reBottom2", form->reBottom2.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, 3, 4},
      {"reTop1", form->reTop1.Handle(), WM_RBUTTONDOWN, WM_RBUTTONUP, 3, 1},
      {"reBottom1", form->reBottom1.Handle(), WM_MBUTTONDOWN, WM_MBUTTONUP, 2, 4},
      {"reTop2 before the first entry", form->reTop2.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, 0, 0},
      {"reBottom1 after the last entry", form->reBottom1.Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, 5,
       5},
  };
  for (const Case& c : cases) {
    form->ShowEntryAt(c.from);
    form->cbSearch.SetText(L"typed");
    form->reMeaning.SetFocus();
    PostMessageW(c.pane, c.down, 0, MAKELPARAM(5, 5));
    PostMessageW(c.pane, c.up, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(Narrow(PaneText(form->reMeaning)), Narrow(WantMeaning(c.want))) << c.name;
    EXPECT_EQ(form->reTop2.Tag, c.want - 1) << c.name;
    EXPECT_EQ(form->cbSearch.Text(), L"typed") << c.name;
    EXPECT_TRUE(form->cbSearch.Focused()) << c.name;
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(MainWindowTest, EscapeSelectsTheSearchText) {
  UseTestDictionary();
  auto form = ShowMain();
  form->cbSearch.SetText(L"date");
  form->reMeaning.SetFocus();
  PostMessageW(form->reMeaning.Handle(), WM_CHAR, VK_ESCAPE, 0);
  Pump();
  EXPECT_TRUE(form->cbSearch.Focused());
  DWORD start = 99, end = 99;
  SendMessageW(form->cbSearch.Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
}

TEST_F(MainWindowTest, OptionsAreFilledFromTheWindowAndCopiedBackOnlyOnOk) {
  UseTestDictionary();
  StoreDword(kPixelsValue, 0x10000 + 25);  // clamped to the up-down's range
  StoreDword(kHistoryValue, 7);
  StoreDword(kReadHDDValue, 1);
  auto form = ShowMain();

  for (int result : {mrCancel, mrOk}) {
    bool seen = false;
    RunSoon([&] {
      ASSERT_NE(fmOptions, nullptr);
      seen = true;
      TfmOptions& dialog = *fmOptions;
      EXPECT_EQ(dialog.udPixels.Position(), 70);
      EXPECT_EQ(dialog.udItems.Position(), 7);
      EXPECT_TRUE(dialog.chbDocking.Checked());
      EXPECT_TRUE(dialog.chbReadHDD.Checked());
      EXPECT_FALSE(dialog.chbRefineText.Checked());
      EXPECT_FALSE(dialog.chbAllow.Checked());
      EXPECT_TRUE(dialog.chbLookupCopied.Checked());
      EXPECT_EQ(dialog.dlgFont.Font.name, "Lucida Sans Unicode");
      EXPECT_EQ(dialog.dlgFont.Font.size, 8);
      dialog.chbDocking.SetChecked(false);
      dialog.chbAllow.SetChecked(true);
      dialog.chbLookupCopied.SetChecked(false);
      dialog.udPixels.SetPosition(40);
      dialog.udItems.SetPosition(12);
      dialog.dlgFont.Font = {"Arial", 14};
      dialog.SetModalResult(result);
    });
    form->tbtnOptionsClick();
    ASSERT_TRUE(seen);
    EXPECT_EQ(fmOptions, nullptr);
    if (result == mrCancel) {
      EXPECT_EQ(form->Pixels(), 70) << "Cancel changes nothing";
      EXPECT_TRUE(form->Docking());
      EXPECT_TRUE(form->LookupCopied());
      EXPECT_EQ(DescribeFont(form->cbSearch.Font()).name, "Lucida Sans Unicode");
    } else {
      EXPECT_EQ(form->Pixels(), 40);
      EXPECT_EQ(form->History(), 12);
      EXPECT_FALSE(form->Docking());
      EXPECT_TRUE(form->Allow());
      EXPECT_FALSE(form->LookupCopied());
      EXPECT_TRUE(form->ReadHDD());
      EXPECT_EQ(DescribeFont(form->cbSearch.Font()).name, "Arial");
      EXPECT_EQ(PaneFontOf(form->reTop1).name, "Arial");
      EXPECT_EQ(PaneFontOf(form->reTop1).size, 14);
    }
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(MainWindowTest, FunctionKeysOpenOptionsAndHelp) {
  UseTestDictionary();
  auto form = ShowMain();
  std::vector<std::wstring> opened;
  ShellOpener previous = SetShellOpener([&](const std::wstring& file) { opened.push_back(file); });
  bool optionsShown = false;
  RunSoon([&] {
    optionsShown = fmOptions != nullptr && fmOptions->Visible();
    if (fmOptions)
      fmOptions->SetModalResult(mrCancel);
  });
  PostMessageW(SearchEdit(*form), WM_KEYDOWN, VK_F10, 1);
  Pump();
  Sleep(50);
  Pump();
  EXPECT_TRUE(optionsShown) << "F10";

  PostMessageW(SearchEdit(*form), WM_KEYDOWN, VK_F1, 1);
  Pump();
  SetShellOpener(previous);
  EXPECT_EQ(opened, std::vector<std::wstring>{ProgramFolderW() + L"Help\\Readme.html"}) << "F1";
}

TEST_F(MainWindowTest, StayOnTopFollowsTheButtonAndCtrlSToggles) {
  UseTestDictionary();
  auto form = ShowMain();
  ASSERT_FALSE(Topmost(form->Handle()));
  form->miStayOnTopClick();
  EXPECT_TRUE(form->tbtnStayOnTop->Down());
  EXPECT_TRUE(Topmost(form->Handle()));
  form->tbtnStayOnTopClick();  // applies the state, does not toggle it
  EXPECT_TRUE(Topmost(form->Handle()));
  form->miStayOnTopClick();
  EXPECT_FALSE(form->tbtnStayOnTop->Down());
  EXPECT_FALSE(Topmost(form->Handle()));

  form->miStayOnTopClick();
  form.reset();
  EXPECT_EQ(StoredDword(kStayOnTopValue), 1u);
}

TEST_F(MainWindowTest, ChangingTheDictionarySearchesItForTheTypedWord) {
  UseTestDictionary();
  dictionaries.Add("other", {L"alpha", L"beta", L"cherry pie", L"delta"});
  MakeChooser();
  auto form = ShowMain();
  form->cbSearch.SetText(L"cherry");
  RunSoon([] { Choose(L"other"); });
  form->tbtnDictClick();
  EXPECT_EQ(form->DictName(), L"other");
  EXPECT_EQ(Narrow(PaneText(form->reMeaning)), "cherry pie");

  // Cancelled: nothing changes.
  RunSoon([] { fmChooseDict->SetModalResult(mrCancel); });
  form->tbtnDictClick();
  EXPECT_EQ(form->DictName(), L"other");
  EXPECT_EQ(Narrow(PaneText(form->reMeaning)), "cherry pie");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(MainWindowTest, WithoutADictionaryTheWindowStaysUsable) {
  // A dictionary that another program holds open without sharing cannot be opened.
  dictionaries.Add("locked", kEntries);
  HANDLE locked = CreateFileA((dictionaries.Folder() + "locked.dat").c_str(), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  StoreString(kDictValue, "locked");
  MakeChooser();
  auto form = ShowMain();
  CloseHandle(locked);
  ASSERT_EQ(errors.size(), 1u) << "the failed opening is reported";
  ASSERT_EQ(form->Dict(), nullptr);

  Type(*form, L"cherry");
  PostMessageW(SearchEdit(*form), WM_CHAR, VK_RETURN, 0);
  for (HWND pane : {form->reTop1.Handle(), form->reBottom2.Handle()}) {
    PostMessageW(pane, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    PostMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  Pump();
  form->ShowEntryAt(2);
  EXPECT_EQ(PaneText(form->reMeaning), L"");
  EXPECT_EQ(PaneText(form->reBottom2), L"");
  EXPECT_EQ(HistoryItems(*form), std::vector<std::wstring>{L"cherry"});
  EXPECT_TRUE(form->cbSearch.Focused());

  // Ctrl+D's handler still opens a dictionary, and the typed word is looked up in it.
  RunSoon([] { Choose(ToWide(kDictName)); });
  form->tbtnDictClick();
  ASSERT_NE(form->Dict(), nullptr);
  EXPECT_EQ(Narrow(PaneText(form->reMeaning)), Narrow(WantMeaning(2)));
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(MainWindowTest, ADictionaryThatCannotBeOpenedLeavesEmptyPanes) {
  UseTestDictionary();
  dictionaries.AddFolder("broken");
  MakeChooser();
  auto form = ShowMain();
  form->ShowEntryAt(3);
  RunSoon([] { Choose(L"broken"); });
  // As Ctrl+D does it: through the window, which reports the error.
  SendMessageW(form->Handle(), WM_COMMAND, IDM_DICTIONARY, 0);
  ASSERT_EQ(errors.size(), 1u) << "the open error is reported";
  EXPECT_EQ(form->Dict(), nullptr);
  EXPECT_EQ(form->DictName(), ToWide(kDictName)) << "the name in use is the last that opened";
  for (const TRichEdit* pane : {static_cast<const TRichEdit*>(&form->reTop1),
                                static_cast<const TRichEdit*>(&form->reMeaning),
                                static_cast<const TRichEdit*>(&form->reBottom1)}) {
    EXPECT_EQ(PaneText(*pane), L"") << "pane " << GetDlgCtrlID(pane->Handle());
  }
  Type(*form, L"date");
  EXPECT_EQ(PaneText(form->reMeaning), L"");
  EXPECT_EQ(errors.size(), 1u);
}

// The name saved at exit is the last one that opened, so that a dictionary that failed is not
// tried again at every start.
TEST_F(MainWindowTest, ADictionaryThatCannotBeOpenedIsNotRemembered) {
  dictionaries.AddFolder("broken");
  struct Case {
    const char* name;
    const char* stored;  // Dict at start
    bool change;         // chosen through Ctrl+D after a good start, else at the first activation
  } cases[] = {
      {"chosen with Ctrl+D", kDictName, true},
      {"chosen at the first activation", "gone", false},
  };
  for (const Case& c : cases) {
    CleanSettings::Delete();
    errors.clear();
    StoreString(kDictValue, c.stored);
    StoreDword(kRefineTextValue, 0);
    MakeChooser();
    if (!c.change)
      ChooseWhenShown(L"broken");
    auto form = ShowMain();
    if (c.change) {
      ChooseWhenShown(L"broken");
      SendMessageW(form->Handle(), WM_COMMAND, IDM_DICTIONARY, 0);
    }
    ASSERT_EQ(errors.size(), 1u) << c.name << ": the opening error is reported";
    EXPECT_EQ(form->Dict(), nullptr) << c.name;
    EXPECT_EQ(form->DictName(), ToWide(c.stored)) << c.name;
    form.reset();
    auto saved = Stored(kDictValue);
    ASSERT_TRUE(saved) << c.name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved->second.data())), c.stored) << c.name;
  }
}

TEST_F(MainWindowTest, HandOverShowsAndRestoresTheWindowOnlyForDataZero) {
  UseTestDictionary();
  auto form = ShowMain();
  struct Case {
    const char* name;
    int show;
    ULONG_PTR data;
    bool wantVisible, wantIconic;
  } cases[] = {{"minimized, data 0", SW_MINIMIZE, 0, true, false},
               {"hidden, data 0", SW_HIDE, 0, true, false},
               {"minimized, data 1", SW_MINIMIZE, 1, true, true},
               {"hidden, data 1", SW_HIDE, 1, false, false}};
  for (const Case& c : cases) {
    ShowWindow(form->Handle(), SW_RESTORE);
    ShowWindow(form->Handle(), c.show);
    COPYDATASTRUCT data{c.data, 0, nullptr};
    SendMessageA(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    Pump();
    EXPECT_EQ(IsWindowVisible(form->Handle()) != 0, c.wantVisible) << c.name;
    EXPECT_EQ(IsIconic(form->Handle()) != 0, c.wantIconic) << c.name;
  }
}

TEST_F(MainWindowTest, MovingSnapsToTheWorkAreaOnlyWithDocking) {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (DWORD docking : {1u, 0u}) {
    StoreDword(kDockingValue, docking);
    StoreDword(kPixelsValue, 10);
    auto form = MakeForm<TfmMain>();
    DockMan().CheckMoveStart(0xF012);
    RECT proposed{work.left + 4, work.top + 100, work.left + 404, work.top + 400};
    SendMessageW(form->Handle(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(proposed.left, docking ? work.left : work.left + 4) << "docking " << docking;
    EXPECT_EQ(proposed.right - proposed.left, 400) << "docking " << docking;
  }
}

TEST_F(MainWindowTest, AboutBoxExistsOnlyWhileShown) {
  auto form = MakeForm<TfmMain>();
  std::string caption;
  RunSoon([&] {
    ASSERT_NE(fmAbout, nullptr);
    caption = fmAbout->Caption();
    fmAbout->btnOK.Click();
  });
  form->tbtnAboutClick();
  EXPECT_EQ(caption, "About");
  EXPECT_EQ(fmAbout, nullptr);
}

}  // namespace
}  // namespace lexmora
