// Searching inside the entries in the main window, on real windows: the two modes of the search
// box, the search after a pause, the matches in the panes, stepping and clicking through them,
// and the word index built on a thread of its own.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "MainIds.h"
#include "MainWinTestSupport.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "shell/ChooseU.h"
#include "shell/ConstU.h"
#include "shell/MainU.h"
#include "shell/SingleInstance.h"
#include "shell/TextSearchMode.h"
#include "store/TextSearch.h"
#include "ui/Application.h"

namespace lexmora {
namespace {

using test::Pump;

constexpr UINT kTestPauseMs = 20;

const std::vector<std::wstring> kEntries = {
    L"apple\r\nfruit one, red or green",          // 0
    L"banana\r\nfruit two, yellow",               // 1
    L"carrot\r\nvegetable, orange",               // 2
    L"cherry\r\nfruit three, red",                // 3
    L"kale\r\nvegetable, green",                  // 4
    L"lime\r\nfruit four, green",                 // 5
    L"plum\r\nfruit five",                        // 6
    L"\u043A\u044A\u0301\u0449\u0430\r\nhouse"};  // 7: къ́ща, with a stress mark

std::string Narrow(const std::wstring& text) {
  return ToAnsi(text);
}

// A pane's text on one line: paragraph breaks as spaces.
std::wstring Flat(const TControl& pane) {
  std::wstring out;
  for (wchar_t c : pane.Text()) {
    if (c != L'\n')
      out.push_back(c == L'\r' ? L' ' : c);
  }
  while (!out.empty() && out.back() == L' ')
    out.pop_back();
  return out;
}

std::wstring FlatEntry(int32_t i) {
  std::wstring out;
  for (wchar_t c : kEntries[static_cast<size_t>(i)]) {
    if (c != L'\n')
      out.push_back(c == L'\r' ? L' ' : c);
  }
  return out;
}

std::wstring PreviewOf(int32_t i) {
  return i < 0 ? L" ..." : FlatEntry(i).substr(0, 50) + L" ...";
}

HWND SearchEdit(const TfmMain& form) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(form.cbSearch.Handle(), &info);
  return info.hwndItem;
}

std::wstring Cue(const TfmMain& form) {
  wchar_t text[64] = L"";
  SendMessageW(SearchEdit(form), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(text), 64);
  return text;
}

void Click(const TControl& pane) {
  PostMessageW(pane.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(pane.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Handles messages until `done` holds, for at most five seconds.
bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + 5000;
  while (!done()) {
    if (GetTickCount64() > end)
      return false;
    Application().ProcessMessages();
    Sleep(5);
  }
  return true;
}

// Where `control` lies in the main window's client area.
RECT InMainWindow(const TfmMain& form, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The parts stacked below the tool bar, top to bottom, where they lie.
std::vector<RECT> StackBelowBar(const TfmMain& form) {
  const TControl* const parts[] = {&form.pnlTop,    &form.reTop1,    &form.pnlTop1,
                                   &form.reTop2,    &form.bvlTop,    &form.reMeaning,
                                   &form.bvlBottom, &form.reBottom2, &form.pnlBottom1,
                                   &form.reBottom1, &form.pnlBottom};
  std::vector<RECT> stack;
  for (const TControl* part : parts)
    stack.push_back(part->BoundsRect());
  return stack;
}

std::vector<LONG> Edges(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// Chooses the dictionary `name` in the chooser that the code under test is about to show.
void ChooseSoon(const std::wstring& name) {
  test::RunSoon([name] {
    TListBox& list = fmChooseDict->lbFiles;
    for (int32_t k = 0; k < list.Count(); ++k) {
      if (list.Item(k) == name)
        list.SetItemIndex(k);
    }
    fmChooseDict->SetModalResult(mrOk);
  });
}

// One switch of the search box's mode and the mode it leaves the box in.
struct ModeStep {
  const char* action;
  std::function<void()> act;
  bool active;
};

// Ctrl+F, clicks on the tool button and Escape, switching the mode on and off in turn.
std::vector<ModeStep> ModeSteps(const TfmMain& form) {
  RECT button{};
  SendMessageW(form.tbToolbar.Handle(), TB_GETRECT, IDC_TBTNFINDINTEXT,
               reinterpret_cast<LPARAM>(&button));
  const LPARAM middle =
      MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  const HWND bar = form.tbToolbar.Handle(), window = form.Handle(), edit = SearchEdit(form);
  const auto click = [bar, middle] {
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(bar, WM_LBUTTONUP, 0, middle);
  };
  const auto ctrlF = [window] { SendMessageW(window, WM_COMMAND, IDM_FINDINTEXT, 0); };
  return {{"Ctrl+F", ctrlF, true},
          {"Ctrl+F again", ctrlF, false},
          {"a click on the button", click, true},
          {"Escape", [edit] { PostMessageW(edit, WM_CHAR, VK_ESCAPE, 0); }, false},
          {"another click", click, true},
          {"a click to leave", click, false}};
}

class TextSearchTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    dictionaries.Add("words", kEntries);
    test::StoreString(kDictValue, "words");
    test::StoreDword(kRefineTextValue, 0);
  }

  // The main window, searching after a short pause so that the tests do not wait out the
  // usual one at every step.
  FormPtr<TfmMain> ShowMain() {
    FormPtr<TfmMain> form = MainWindowFixture::ShowMain();
    form->TextSearch().SetPause(kTestPauseMs);
    return form;
  }

  std::string Wix(const std::string& name) const { return dictionaries.Folder() + name + ".wix"; }
  // A dictionary of 20000 entries, opened at start.
  void UseLargeDictionary() {
    std::vector<std::wstring> many;
    for (int k = 0; k < 20000; ++k) {
      many.push_back(L"entry" + std::to_wstring(k) + L"\r\nsome meaning words here, number " +
                     std::to_wstring(k % 1000));
    }
    dictionaries.Add("large", many);
    test::StoreString(kDictValue, "large");
  }
  // Types `text` over the search text in search mode and waits for the pause to end and the
  // search (with its word index build) to be over.
  void Search(TfmMain& form, const std::wstring& text) {
    form.cbSearch.SetText(L"");
    for (wchar_t c : text)
      PostMessageW(SearchEdit(form), WM_CHAR, c, 0);
    Pump();
    EXPECT_TRUE(PumpUntil([&] { return !form.TextSearch().Waiting(); }));
    Pump();
  }
  // The label, the main pane and the four previews show match `position` of `matches`.
  void ExpectMatch(TfmMain& form, const std::vector<int32_t>& matches, int32_t position,
                   const std::string& when) {
    const auto count = static_cast<int32_t>(matches.size());
    EXPECT_EQ(Narrow(form.TextSearch().lblMatches.Text()),
              std::to_string(position + 1) + " of " + std::to_string(count))
        << when;
    EXPECT_EQ(Narrow(Flat(form.reMeaning)), Narrow(FlatEntry(matches[position]))) << when;
    const struct {
      const char* name;
      const TRichEdit& pane;
      int offset;
    } previews[] = {
        {"reTop1", form.reTop1, -2},
        {"reTop2", form.reTop2, -1},
        {"reBottom2", form.reBottom2, 1},
        {"reBottom1", form.reBottom1, 2},
    };
    for (const auto& p : previews) {
      const int32_t at = position + p.offset;
      const int32_t entry = at >= 0 && at < count ? matches[at] : -1;
      EXPECT_EQ(Narrow(Flat(p.pane)), Narrow(PreviewOf(entry))) << p.name << ", " << when;
    }
    EXPECT_EQ(form.Text(), L"Lexmora - BETA RELEASE") << when;
  }
};

TEST_F(TextSearchTest, CtrlFTheButtonAndEscapeSwitchTheSearchBoxMode) {
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  for (const ModeStep& step : ModeSteps(*form)) {
    step.act();
    Pump();
    EXPECT_EQ(search.Active(), step.active) << step.action;
    EXPECT_EQ(search.tbtnFindInText->Down(), step.active) << step.action;
    EXPECT_EQ(Narrow(Cue(*form)), step.active ? "Search inside entries" : "Look up a headword")
        << step.action;
    EXPECT_EQ(form->Text(), L"Lexmora - BETA RELEASE") << step.action;
    // With nothing typed, the entry shown stays.
    EXPECT_EQ(Narrow(Flat(form->reMeaning)), Narrow(FlatEntry(0))) << step.action;
  }
  EXPECT_EQ(search.tbtnFindInText->Hint(), "Search inside entries (Ctrl+F)");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// The empty search box says what typing there will do: its cue is drawn anew with each change of
// the mode, not only when something else makes the box paint again.
TEST_F(TextSearchTest, TheEmptySearchBoxShowsTheCueOfTheModeAtOnce) {
  auto form = ShowMain();
  const HWND edit = SearchEdit(*form);
  ASSERT_TRUE(form->cbSearch.Text().empty());
  for (const ModeStep& step : ModeSteps(*form)) {
    step.act();
    Pump();
    ASSERT_EQ(form->TextSearch().Active(), step.active) << step.action;
    // The blinking caret would change the pixels between two looks.
    HideCaret(nullptr);
    EXPECT_TRUE(test::ShowsItsLatestPaint(edit)) << step.action << ": the box shows an old cue";
    ShowCaret(nullptr);
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// The count has a strip of its own below the tool bar while the mode is on, wide enough for what
// it says at the usual and at the smallest width; the panes below make room for it by taking it
// from the main pane, and get it back when the mode is off.
TEST_F(TextSearchTest, TheCountHasAStripBelowTheToolBarWhileTheModeIsOn) {
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  const TLabel& label = search.lblMatches;
  MINMAXINFO smallest{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&smallest));
  const struct {
    const char* name;
    int width;
  } widths[] = {{"the usual width", 400}, {"the smallest width", smallest.ptMinTrackSize.x}};
  const std::wstring texts[] = {L"indexing 45%", L"12 of 340", L"no matches", L"123456 of 1000000"};
  for (const auto& w : widths) {
    SCOPED_TRACE(w.name);
    SetWindowPos(form->Handle(), nullptr, 0, 0, w.width, 300, SWP_NOMOVE | SWP_NOZORDER);
    const std::vector<RECT> off = StackBelowBar(*form);
    SendMessageW(form->Handle(), WM_COMMAND, IDM_FINDINTEXT, 0);  // Ctrl+F
    Pump();
    ASSERT_TRUE(search.Active());
    const std::vector<RECT> on = StackBelowBar(*form);

    EXPECT_TRUE(label.Visible());
    const RECT strip = InMainWindow(*form, label.Handle());
    const RECT bar = InMainWindow(*form, form->tbToolbar.Handle());
    EXPECT_GE(strip.top, bar.bottom) << "the label overlaps the tool bar";
    EXPECT_LE(strip.bottom, on.front().top) << "the label overlaps the parts below";
    const auto margins = static_cast<DWORD>(SendMessageW(SearchEdit(*form), EM_GETMARGINS, 0, 0));
    EXPECT_EQ(strip.left, InMainWindow(*form, SearchEdit(*form)).left + LOWORD(margins))
        << "the count begins under the search text";
    const LONG shift = on.front().top - off.front().top;
    EXPECT_GE(shift, strip.bottom - strip.top) << "the parts below move down by the strip";
    for (size_t k = 0; k < on.size(); ++k) {
      // The main pane (the sixth part) and the parts above it move down; those below it stay.
      RECT want = off[k];
      if (k < 5)
        OffsetRect(&want, 0, shift);
      if (k == 5)
        want.top += shift;
      EXPECT_EQ(Edges(on[k]), Edges(want)) << "part " << k << " below the bar";
    }
    const WindowDC dc(label.Handle());
    HGDIOBJ old = SelectObject(dc.Get(), label.Font());
    RECT room{};
    GetClientRect(label.Handle(), &room);
    for (const std::wstring& text : texts) {
      SIZE extent{};
      GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
      EXPECT_GE(room.right, extent.cx) << Narrow(text) << " does not fit";
      EXPECT_GE(room.bottom, extent.cy) << Narrow(text) << " does not fit";
    }
    SelectObject(dc.Get(), old);

    PostMessageW(SearchEdit(*form), WM_CHAR, VK_ESCAPE, 0);
    Pump();
    ASSERT_FALSE(search.Active());
    EXPECT_FALSE(label.Visible());
    const std::vector<RECT> back = StackBelowBar(*form);
    for (size_t k = 0; k < back.size(); ++k)
      EXPECT_EQ(Edges(back[k]), Edges(off[k])) << "part " << k << " with the mode off";
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(TextSearchTest, MatchesAreShownSteppedThroughAndClickedThrough) {
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  form->TextSearch().SetActive(true);
  // Before a search the previews show the dictionary's neighbours, and a click leads there.
  const int32_t neighbour = form->reBottom2.Tag;
  Click(form->reBottom2);
  Pump();
  EXPECT_EQ(Narrow(Flat(form->reMeaning)), Narrow(FlatEntry(neighbour)))
      << "a click on a preview before a search";
  EXPECT_EQ(form->reTop2.Tag, neighbour - 1);

  Search(*form, L"FRUIT");
  const std::vector<int32_t> fruit = {0, 1, 3, 5, 6};
  ASSERT_EQ(search.Matches(), fruit);
  ExpectMatch(*form, fruit, 0, "after typing");

  // The matched word is highlighted where it stands in the entry ("apple\rfruit ...").
  CHARRANGE word{6, 11};
  SendMessageW(form->reMeaning.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&word));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(form->reMeaning.Handle(), EM_GETCHARFORMAT, SCF_SELECTION,
               reinterpret_cast<LPARAM>(&format));
  EXPECT_TRUE((format.dwMask & CFM_BACKCOLOR) && !(format.dwEffects & CFE_AUTOBACKCOLOR))
      << "\"fruit\" is not highlighted";

  const struct {
    const char* action;
    std::function<void()> act;
    int32_t position;
  } steps[] = {
      {"F3", [&] { SendMessageW(form->Handle(), WM_COMMAND, IDM_NEXTMATCH, 0); }, 1},
      {"F3 twice more",
       [&] {
         SendMessageW(form->Handle(), WM_COMMAND, IDM_NEXTMATCH, 0);
         SendMessageW(form->Handle(), WM_COMMAND, IDM_NEXTMATCH, 0);
       },
       3},
      {"a click on reBottom1, beyond the last match", [&] { Click(form->reBottom1); }, 3},
      {"a click on reBottom2", [&] { Click(form->reBottom2); }, 4},
      {"F3 on the last match", [&] { SendMessageW(form->Handle(), WM_COMMAND, IDM_NEXTMATCH, 0); },
       4},
      {"Shift+F3", [&] { SendMessageW(form->Handle(), WM_COMMAND, IDM_PREVIOUSMATCH, 0); }, 3},
      {"a click on reTop1", [&] { Click(form->reTop1); }, 1},
  };
  for (const auto& step : steps) {
    step.act();
    Pump();
    EXPECT_EQ(search.Position(), step.position) << step.action;
    ExpectMatch(*form, fruit, step.position, step.action);
  }

  const struct {
    std::wstring typed;
    std::vector<int32_t> matches;
  } searches[] = {
      {L"fruit red", {0, 3}},
      {L"green", {4, 5, 0}},               // a sense of its own in 4 and 5
      {L"\u043A\u044A\u0449\u0430", {7}},  // къща, typed without the mark
  };
  for (const auto& s : searches) {
    Search(*form, s.typed);
    EXPECT_EQ(search.Matches(), s.matches) << Narrow(s.typed);
    ExpectMatch(*form, s.matches, 0, "searching " + Narrow(s.typed));
  }
  // A search that finds nothing leaves no earlier match in the panes, with its highlight and
  // its neighbours, under a label that says there is none; F3 and clicks then do nothing.
  const struct {
    std::wstring typed;
    const char* label;
  } empty[] = {{L"zebra", "no matches"}, {L"", ""}, {L"  ,", "no matches"}};
  for (const auto& e : empty) {
    Search(*form, L"green");
    ASSERT_EQ(search.Matches(), (std::vector<int32_t>{4, 5, 0}));
    if (e.typed.empty()) {
      // The text erased as a user erases it.
      form->cbSearch.SelectAll();
      PostMessageW(SearchEdit(*form), WM_CHAR, VK_BACK, 0);
      Pump();
      EXPECT_TRUE(PumpUntil([&] { return !search.Waiting(); }));
    } else {
      Search(*form, e.typed);
    }
    EXPECT_EQ(Narrow(search.lblMatches.Text()), e.label) << Narrow(e.typed);
    EXPECT_TRUE(search.Matches().empty()) << Narrow(e.typed);
    SendMessageW(form->Handle(), WM_COMMAND, IDM_NEXTMATCH, 0);
    Click(form->reBottom2);
    Pump();
    for (const TRichEdit* pane : {static_cast<const TRichEdit*>(&form->reTop1),
                                  static_cast<const TRichEdit*>(&form->reTop2),
                                  static_cast<const TRichEdit*>(&form->reMeaning),
                                  static_cast<const TRichEdit*>(&form->reBottom2),
                                  static_cast<const TRichEdit*>(&form->reBottom1)}) {
      EXPECT_EQ(Narrow(Flat(*pane)), "") << "searching \"" << Narrow(e.typed) << "\"";
    }
  }

  // Back to headword lookup, the panes show the headword the text finds, and F3 does nothing.
  form->cbSearch.SetText(L"kale");
  PostMessageW(SearchEdit(*form), WM_CHAR, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(Narrow(search.lblMatches.Text()), "");
  EXPECT_EQ(Narrow(Flat(form->reMeaning)), Narrow(FlatEntry(4)));
  SendMessageW(form->Handle(), WM_COMMAND, IDM_NEXTMATCH, 0);
  EXPECT_EQ(Narrow(Flat(form->reMeaning)), Narrow(FlatEntry(4)));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(TextSearchTest, AMissingWordIndexIsBuiltOnAThreadWhileTheWindowGoesOn) {
  UseLargeDictionary();
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  ASSERT_FALSE(FileExists(Wix("large")));
  // The build waits at its first step until the window has handled a key.
  std::atomic<bool> release{false};
  search.BuildStep = [&](int32_t, const std::atomic<bool>& stopping) {
    while (!release && !stopping)
      Sleep(1);
  };
  search.SetActive(true);
  form->cbSearch.SetText(L"number 7");
  search.SearchNow();
  ASSERT_TRUE(search.Building());
  EXPECT_EQ(Narrow(search.lblMatches.Text()).substr(0, 9), "indexing ");
  // The window handles typing while the index is built.
  SendMessageW(SearchEdit(*form), EM_SETSEL, 8, 8);
  PostMessageW(SearchEdit(*form), WM_CHAR, L'7', 0);
  EXPECT_TRUE(PumpUntil([&] { return form->cbSearch.Text() == L"number 77"; }));
  EXPECT_TRUE(search.Building());
  release = true;
  ASSERT_TRUE(PumpUntil([&] { return !search.Waiting(); }));
  Pump();
  EXPECT_TRUE(FileExists(Wix("large")));
  // The search that waited for the build ran with the text typed meanwhile.
  ASSERT_EQ(search.Matches().size(), 20u);
  EXPECT_EQ(search.Matches()[0], 77);
  EXPECT_EQ(Narrow(search.lblMatches.Text()), "1 of 20");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(TextSearchTest, AnotherDictionaryChosenDuringABuildStopsItAndIsSearched) {
  UseLargeDictionary();
  chooser = MakeForm<TfmChooseDict>();
  fmChooseDict = chooser.get();
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  // The build of the large dictionary waits at its first step until it is stopped.
  search.BuildStep = [](int32_t, const std::atomic<bool>& stopping) {
    while (!stopping)
      Sleep(1);
  };
  search.SetActive(true);
  form->cbSearch.SetText(L"vegetable");
  search.SearchNow();
  ASSERT_TRUE(search.Building());
  search.BuildStep = nullptr;  // not for the next build
  ChooseSoon(L"words");
  form->tbtnDictClick();
  ASSERT_EQ(form->DictName(), L"words");
  EXPECT_TRUE(PumpUntil([&] { return !search.Waiting(); }));
  Pump();
  EXPECT_FALSE(FileExists(Wix("large"))) << "the stopped build wrote its word index";
  EXPECT_EQ(search.Matches(), (std::vector<int32_t>{2, 4}));
  EXPECT_EQ(Narrow(search.lblMatches.Text()), "1 of 2");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Another dictionary chosen while the word index is being written, every entry read: the write is
// abandoned rather than waited for, and leaves no file behind.
TEST_F(TextSearchTest, AnotherDictionaryChosenDuringTheWordIndexWriteAbandonsIt) {
  UseLargeDictionary();
  chooser = MakeForm<TfmChooseDict>();
  fmChooseDict = chooser.get();
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  const std::string temporary = Wix("large") + ".*.tmp";
  auto writing = [&] {
    WIN32_FIND_DATAA found;
    const FindHandle files(FindFirstFileA(temporary.c_str(), &found));
    return files.Valid();
  };
  std::atomic<bool> held{false}, stopped{false};
  // Held once the file is being written, for longer than the switch may take.
  search.BuildStep = [&](int32_t percent, const std::atomic<bool>& stopping) {
    if (percent < 100 || held || !writing())
      return;
    held = true;
    const ULONGLONG until = GetTickCount64() + 5000;
    while (!stopping && GetTickCount64() < until)
      Sleep(1);
    stopped = stopping.load();
  };
  search.SetActive(true);
  form->cbSearch.SetText(L"vegetable");
  search.SearchNow();
  ASSERT_TRUE(PumpUntil([&] { return held.load(); })) << "the build never wrote while held";
  search.BuildStep = nullptr;  // not for the next build
  ChooseSoon(L"words");
  form->tbtnDictClick();
  ASSERT_EQ(form->DictName(), L"words");
  EXPECT_TRUE(stopped) << "the switch waited for the write to end";
  EXPECT_FALSE(FileExists(Wix("large"))) << "the abandoned write left its word index";
  EXPECT_FALSE(writing()) << "the abandoned write left its temporary file";
  EXPECT_TRUE(PumpUntil([&] { return !search.Waiting(); }));
  EXPECT_EQ(search.Matches(), (std::vector<int32_t>{2, 4}));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// The window closes while the word index is being written (the build held at its last step)
// and the program is started again meanwhile, as a second process would be (the lock belongs to
// the thread that takes it). The settings are saved before the single-copy lock goes, the start
// waits for the closing copy to end instead of running beside it on settings about to change,
// and the word index, whose entries were all read, is written before the copy ends.
TEST_F(TextSearchTest, ClosingDuringTheWordIndexWriteSavesFirstAndHoldsTheLockToTheEnd) {
  UseLargeDictionary();
  test::StoreDword(kAllowValue, 0);
  std::optional<SingleCopyLock> lock(std::in_place);  // as the program takes it at its start
  ASSERT_EQ(lock->Result(), SingleCopyLock::Start::Run);
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  std::atomic<bool> held{false}, release{false};
  search.BuildStep = [&](int32_t percent, const std::atomic<bool>& stopping) {
    if (percent < 100)
      return;
    held = true;
    while (!release && !stopping)
      Sleep(1);
  };
  search.SetActive(true);
  form->cbSearch.SetText(L"number 7");
  search.SearchNow();
  ASSERT_TRUE(PumpUntil([&] { return held.load(); }));
  form->miStayOnTopClick();  // a setting changed in this session
  lock->Closing();           // the message loop has ended

  std::atomic<bool> lockGone{false};
  SingleCopyLock::Start started = SingleCopyLock::Start::GaveUp;
  bool startedAfterLockWent = false;
  DWORD stayOnTopSeen = test::kNotStored;
  std::thread secondStart([&] {
    const SingleCopyLock second;
    started = second.Result();
    startedAfterLockWent = lockGone;
    stayOnTopSeen = test::StoredDword(kStayOnTopValue);
  });
  // The write goes on for a while after the window has gone.
  std::thread writer([&] {
    Sleep(300);
    release = true;
  });
  form.reset();
  writer.join();
  EXPECT_TRUE(FileExists(Wix("large"))) << "the word index was not written at the end";
  lockGone = true;
  lock.reset();
  secondStart.join();
  EXPECT_EQ(started, SingleCopyLock::Start::Run);
  EXPECT_TRUE(startedAfterLockWent) << "the second start ran beside the closing copy";
  EXPECT_EQ(stayOnTopSeen, 1u) << "the second start read settings not yet saved";
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Closing while the entries are still being read stops the build at once: what is left is most
// of it, and the next session builds the word index again.
TEST_F(TextSearchTest, ClosingWhileTheEntriesAreReadStopsTheBuild) {
  UseLargeDictionary();
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  std::atomic<bool> held{false}, stopped{false};
  search.BuildStep = [&](int32_t percent, const std::atomic<bool>& stopping) {
    if (percent >= 100)
      return;
    held = true;
    // A close that waited for the build would let it go on before stopping it.
    const ULONGLONG until = GetTickCount64() + TTextSearch::kClosingWriteMs / 2;
    while (!stopping && GetTickCount64() < until)
      Sleep(1);
    stopped = stopping.load();
  };
  search.SetActive(true);
  form->cbSearch.SetText(L"number 7");
  search.SearchNow();
  ASSERT_TRUE(PumpUntil([&] { return held.load(); }));
  form.reset();
  EXPECT_TRUE(stopped) << "the close waited for the build";
  EXPECT_FALSE(FileExists(Wix("large")));
}

TEST_F(TextSearchTest, AWordIndexThatCannotBeWrittenIsReportedOnceAndSearchedAllTheSame) {
  ASSERT_TRUE(CreateDirectoryA(Wix("words").c_str(), nullptr));  // in the way of the file
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  search.SetActive(true);
  Search(*form, L"green");
  EXPECT_EQ(errors.size(), 1u) << "errors reported";
  EXPECT_EQ(search.Matches(), (std::vector<int32_t>{4, 5, 0}));
  EXPECT_EQ(Narrow(search.lblMatches.Text()), "1 of 3");
  // Later searches use the index built, without building it again.
  Search(*form, L"red");
  EXPECT_EQ(errors.size(), 1u) << "errors reported";
  EXPECT_EQ(search.Matches(), (std::vector<int32_t>{3, 0}));  // a sense of its own in 3
  RemoveDirectoryA(Wix("words").c_str());
}

}  // namespace
}  // namespace lexmora
