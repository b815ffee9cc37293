// Looking words up in the running program: typing, the ends of the dictionary, the search
// history, navigating by the previews, and the keys that move the focus.
#include <functional>
#include <optional>

#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

class LookupTest : public ShippedDictionaryTest {
 protected:
  void SetUp() override {
    ShippedDictionaryTest::SetUp();
    ASSERT_GT(entries_.size(), 4u);
  }

  std::wstring Headword(int i) const { return entries_[i].substr(0, entries_[i].find(L'\r')); }
};

std::vector<std::wstring> HistoryItems(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT k = 0; k < count; ++k) {
    wchar_t text[128] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        3000, &copied);
    items.emplace_back(text);
  }
  return items;
}

std::string Join(const std::vector<std::wstring>& items) {
  std::string out;
  for (const auto& item : items)
    out += (out.empty() ? "" : ", ") + Narrow(item);
  return "[" + out + "]";
}

TEST_F(LookupTest, TypingShowsTheEntryWithItsNeighbours) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  const int last = static_cast<int>(entries_.size()) - 1;
  const struct {
    std::wstring typed;
    std::wstring wantedText;  // capitals become small letters
    int wantedEntry;
  } cases[] = {
      {L"къща", L"къща", EntryNumber(entries_, L"къща")},
      {L"КЪЩА", L"къща", EntryNumber(entries_, L"къща")},
      {Headword(last), Headword(last), last},  // the last entry: " ..." below
      {Headword(1), Headword(1), 1},           // the second entry: one preview above
      {Headword(0), Headword(0), 0},           // the first entry: " ..." above
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("typed " + Narrow(c.typed));
    TypeSearch(main, c.typed);
    EXPECT_TRUE(ShowsEntry(main, entries_, c.wantedEntry));
    EXPECT_EQ(Narrow(main.SearchText()), Narrow(c.wantedText));
  }

  // Emptying the search box keeps the entry shown.
  TypeSearch(main, Headword(last));
  ASSERT_TRUE(ShowsEntry(main, entries_, last));
  PostMessageW(main.searchEdit, WM_CHAR, VK_BACK, 1);  // deletes the selected text
  SelectAll(main.searchEdit);
  PostMessageW(main.searchEdit, WM_CHAR, VK_BACK, 1);
  ASSERT_TRUE(WaitForPostedMessages(main));
  EXPECT_EQ(Narrow(main.SearchText()), "");
  EXPECT_TRUE(ShowsEntry(main, entries_, last));
  CloseWithSuccess(*program_);
}

TEST_F(LookupTest, EnterKeepsTheLatestTextsUpToTheHistoryLimit) {
  WriteSetting("History", DwordValue(3));
  MainWindow main = Start();
  ASSERT_TRUE(main);

  const struct {
    std::wstring text;
    std::vector<std::wstring> wanted;
  } steps[] = {
      {L"a", {L"a"}},
      {L"b", {L"a", L"b"}},
      {L"a", {L"a", L"b", L"a"}},  // duplicates stay
      {L"c", {L"b", L"a", L"c"}},  // the oldest goes
  };
  for (const auto& step : steps) {
    TypeSearch(main, step.text);
    PressKey(main.searchEdit, VK_RETURN);
    std::vector<std::wstring> got;
    EXPECT_TRUE(WaitUntil([&] { return (got = HistoryItems(main.search)) == step.wanted; }))
        << "after Enter on \"" << Narrow(step.text) << "\" the list got " << Join(got)
        << ", wanted " << Join(step.wanted);
  }
  EXPECT_EQ(Narrow(main.SearchText()), "c") << "Enter changed the search text";

  // Enter on an empty search box adds nothing. (Checked last: the character that the system
  // makes of a posted key would otherwise reach the program after the next typed text.)
  SelectAll(main.searchEdit);
  PostMessageW(main.searchEdit, WM_CHAR, VK_BACK, 1);
  ASSERT_TRUE(WaitUntil([&] { return main.SearchText().empty(); }));
  PressKey(main.searchEdit, VK_RETURN);
  ASSERT_TRUE(WaitForPostedMessages(main));
  const std::vector<std::wstring> wanted{L"b", L"a", L"c"};
  EXPECT_EQ(HistoryItems(main.search), wanted)
      << "Enter on an empty search box changed the list to " << Join(HistoryItems(main.search));
  CloseWithSuccess(*program_);
  std::optional<RegValue> history = ReadSetting("History");
  ASSERT_TRUE(history);
  EXPECT_EQ(*history, DwordValue(3)) << "History got " << Describe(*history);
}

TEST_F(LookupTest, ClickingAPreviewShowsThatEntryAndKeepsTheSearchText) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  const int house = EntryNumber(entries_, L"къща");
  TypeSearch(main, L"къща");
  ASSERT_TRUE(ShowsEntry(main, entries_, house));

  const struct {
    const char* pane;
    HWND MainWindow::*wnd;
    UINT button;
    int wantedEntry;
  } clicks[] = {
      {"reBottom2", &MainWindow::bottom2, WM_LBUTTONDOWN, house + 1},
      {"reTop1", &MainWindow::top1, WM_LBUTTONDOWN, house - 1},        // two above the entry shown
      {"reBottom1", &MainWindow::bottom1, WM_RBUTTONDOWN, house + 1},  // any mouse button
      {"reTop2", &MainWindow::top2, WM_MBUTTONDOWN, house},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.pane);
    ClickAt(main.meaning, 5, 5);  // the focus leaves the search box
    ASSERT_TRUE(WaitUntil([&] { return program_->Focus() == main.meaning; }))
        << "focus got " << Narrow(ClassOf(program_->Focus())) << ", wanted the main pane";
    PostMessageW(main.*click.wnd, click.button, 0, MAKELPARAM(5, 5));
    PostMessageW(main.*click.wnd, click.button + 1, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ShowsEntry(main, entries_, click.wantedEntry));
    EXPECT_EQ(Narrow(main.SearchText()), Narrow(L"къща"));
    EXPECT_TRUE(WaitUntil([&] { return program_->Focus() == main.searchEdit; }))
        << "focus got " << Narrow(ClassOf(program_->Focus())) << ", wanted the search box";
  }

  // A preview beyond the first entry shows " ..." and does not navigate.
  TypeSearch(main, Headword(0));
  ASSERT_TRUE(ShowsEntry(main, entries_, 0));
  ClickAt(main.top1, 5, 5);
  ClickAt(main.top2, 5, 5);
  ASSERT_TRUE(WaitForPostedMessages(main));
  EXPECT_TRUE(ShowsEntry(main, entries_, 0));
  CloseWithSuccess(*program_);
}

TEST_F(LookupTest, DoubleClickingAPreviewMovesOnceForEachPressAndSelectsNothing) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  const int house = EntryNumber(entries_, L"къща");
  const struct {
    const char* pane;
    HWND MainWindow::*wnd;
    UINT down;
    int wantedEntry;  // each press moves to the entry the preview shows at that moment
  } clicks[] = {
      {"reBottom2", &MainWindow::bottom2, WM_LBUTTONDOWN, house + 2},
      {"reTop1", &MainWindow::top1, WM_LBUTTONDOWN, house - 4},
      {"reBottom1", &MainWindow::bottom1, WM_RBUTTONDOWN, house + 4},
      {"reTop2", &MainWindow::top2, WM_MBUTTONDOWN, house - 2},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.pane);
    TypeSearch(main, L"къща");
    ASSERT_TRUE(ShowsEntry(main, entries_, house));
    DoubleClickAt(main.*click.wnd, click.down, 5, 5);
    ASSERT_TRUE(WaitForPostedMessages(main));  // the last release too, before the selection
    EXPECT_TRUE(ShowsEntry(main, entries_, click.wantedEntry));
    EXPECT_TRUE(WaitUntil([&] { return program_->Focus() == main.searchEdit; }))
        << "focus got " << Narrow(ClassOf(program_->Focus())) << ", wanted the search box";
    DWORD start = 0, end = 0;
    SendMessageTimeoutW(main.*click.wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end), SMTO_ABORTIFHUNG, 3000, nullptr);
    EXPECT_EQ(start, end) << "the preview got a selection from " << start << " to " << end;
  }
  CloseWithSuccess(*program_);
}

// Escape puts the focus in the search box with its whole text selected, wherever the focus was;
// the next typed character replaces the text. Nothing but closing ends the program.
TEST_F(LookupTest, EscapeFromAnywhereSelectsTheSearchText) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  const struct {
    const char* from;
    std::function<void()> moveFocus;
    HWND wantedFocus;
  } starts[] = {
      {"the search box", [] {}, main.searchEdit},
      {"the main pane, clicked", [&] { ClickAt(main.meaning, 5, 5); }, main.meaning},
      {"the main pane, reached by Tab", [&] { PressKey(main.searchEdit, VK_TAB); }, main.meaning},
  };
  for (const auto& start : starts) {
    SCOPED_TRACE(start.from);
    TypeSearch(main, L"къща");
    ASSERT_TRUE(WaitUntil([&] { return main.SearchText() == L"къща"; }));
    start.moveFocus();
    ASSERT_TRUE(WaitUntil([&] { return program_->Focus() == start.wantedFocus; }))
        << "focus got " << Narrow(ClassOf(program_->Focus()));
    PressKey(start.wantedFocus, VK_ESCAPE);
    ASSERT_TRUE(WaitForPostedMessages(main));  // the focus may be in the search box already
    EXPECT_TRUE(WaitUntil([&] { return program_->Focus() == main.searchEdit; }))
        << "focus got " << Narrow(ClassOf(program_->Focus())) << ", wanted the search box";
    TypeText(main.searchEdit, L"к");
    EXPECT_TRUE(WaitUntil([&] { return main.SearchText() == L"к"; }))
        << "search text got \"" << Narrow(main.SearchText())
        << "\", wanted the typed letter over the selected text";
    ASSERT_TRUE(program_->Running()) << "Escape ended the program";
  }
  CloseWithSuccess(*program_);
}

TEST_F(LookupTest, TabAndShiftTabMoveBetweenTheSearchBoxAndTheMainPane) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  const struct {
    const char* name;
    HWND MainWindow::*from;
    bool shift;
    HWND MainWindow::*wanted;
  } moves[] = {
      {"Tab from the search box", &MainWindow::searchEdit, false, &MainWindow::meaning},
      {"Tab from the main pane", &MainWindow::meaning, false, &MainWindow::searchEdit},
      {"Shift+Tab from the search box", &MainWindow::searchEdit, true, &MainWindow::meaning},
      {"Shift+Tab from the main pane", &MainWindow::meaning, true, &MainWindow::searchEdit},
  };
  for (const auto& move : moves) {
    SCOPED_TRACE(move.name);
    ClickAt(main.*move.from, 5, 5);
    ASSERT_TRUE(WaitUntil([&] { return program_->Focus() == main.*move.from; }))
        << "focus got " << Narrow(ClassOf(program_->Focus()));
    if (move.shift) {
      ASSERT_TRUE(SendChord(main.wnd, {VK_SHIFT}, VK_TAB)) << "could not type Shift+Tab";
    } else {
      PressKey(main.*move.from, VK_TAB);
    }
    EXPECT_TRUE(WaitUntil([&] { return program_->Focus() == main.*move.wanted; }))
        << "focus got " << Narrow(ClassOf(program_->Focus()));
  }
  ASSERT_TRUE(program_->Running());
  CloseWithSuccess(*program_);
}

TEST_F(LookupTest, TypingAHeadwordInFullShowsItsEntryAndItsNeighbours) {
  // In the order of the comparison: a space sorts before the line break, letters after it.
  const std::vector<std::wstring> entries = {
      L"heather\r\nпирен",  L"honey badger\r\nмедояд", L"honey bee\r\nпчела", L"honey\r\nмед",
      L"honeycomb\r\nпита", L"house\r\nкъща",          L"housefly\r\nмуха"};
  folder_.AddDictionary("honey", entries);
  WriteSetting("Dict", StringValue("honey"));
  MainWindow main = Start();
  ASSERT_TRUE(main);

  ASSERT_TRUE(TypeWord(main, L"honey"));
  EXPECT_TRUE(ShowsEntry(main, entries, 3));  // not "honey badger", the first entry from "honey" on
  PressKey(main.searchEdit, VK_RETURN);
  ASSERT_TRUE(WaitForPostedMessages(main));
  EXPECT_EQ(Join(HistoryItems(main.search)), Join({L"honey"}));
  EXPECT_TRUE(ShowsEntry(main, entries, 3)) << "after Enter";
  ClickAt(main.bottom1, 5, 5);  // two below the entry shown
  EXPECT_TRUE(ShowsEntry(main, entries, 5));
  CloseWithSuccess(*program_);
}

}  // namespace
}  // namespace lexmora::e2e
