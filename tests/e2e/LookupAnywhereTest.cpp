// Looking words up from other programs: a text that another program copies twice, and the
// hotkey Ctrl+Alt+L, with the program behind another window, minimized, or showing a dialog.
// Which copies count is the copy detector's (tests/shellcore/CopiedTextTest.cpp); here the
// program's wiring: the clipboard's notices with their times, the window, the option.
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>

#include <functional>
#include <optional>

#include "E2eTest.h"
#include "MainIds.h"
#include "OptionsIds.h"
#include "RemoteWindow.h"

namespace lexmora::e2e {
namespace {

// In the order of the comparison: a space sorts before the line break, letters after it.
const std::vector<std::wstring> kEntries = {
    L"bee\r\nпчела", L"heather\r\nпирен",  L"honey badger\r\nмедояд", L"honey bee\r\nпчела",
    L"honey\r\nмед", L"honeycomb\r\nпита", L"house\r\nкъща",          L"къща\r\nhouse"};
constexpr int kHeather = 1, kHoney = 4, kHouse = 6, kKashta = 7;

constexpr wchar_t kHotKeyFree[] = L"Ctrl+Alt+L brings Lexmora to the front";
constexpr wchar_t kHotKeyHeld[] = L"Ctrl+Alt+L is in use by another program";

class LookupAnywhereTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    folder_.AddDictionary("honey", kEntries);
    folder_.AddConversionTables();
    WriteSetting("Dict", StringValue("honey"));
  }

  // Opens the options dialog from the tool bar.
  HWND OpenOptions(const MainWindow& main) {
    PostMessageW(main.wnd, WM_COMMAND, MAKEWPARAM(IDC_TBTNOPTIONS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main.wnd, IDC_TOOLBAR)));
    HWND dialog = program_->WaitForWindow([](HWND w) { return TextOf(w) == L"Options"; });
    EXPECT_NE(dialog, nullptr) << program_->DescribeWindows();
    return dialog;
  }
};

void Minimize(const MainWindow& main) {
  PostMessageW(main.wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main.wnd) != FALSE; })) << "not minimized";
}

bool SearchingInsideEntries(const MainWindow& main) {
  DWORD_PTR checked = 0;
  SendMessageTimeoutW(GetDlgItem(main.wnd, IDC_TOOLBAR), TB_ISBUTTONCHECKED, IDC_TBTNFINDINTEXT, 0,
                      SMTO_ABORTIFHUNG, 3000, &checked);
  return checked != 0;
}

// The main window is in front and not minimized, the search box holds `text`, all of it
// selected, and has the focus.
::testing::AssertionResult InFrontWithSearchText(const RunningProgram& program,
                                                 const MainWindow& main, const std::wstring& text) {
  DWORD_PTR selection = 0;
  auto state = [&] {
    SendMessageTimeoutW(main.searchEdit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 3000, &selection);
    return GetForegroundWindow() == main.wnd && !IsIconic(main.wnd) &&
           program.Focus() == main.searchEdit && main.SearchText() == text &&
           LOWORD(selection) == 0 && HIWORD(selection) == text.size();
  };
  if (WaitUntil(state))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "foreground is the main window: " << (GetForegroundWindow() == main.wnd)
         << ", minimized: " << (IsIconic(main.wnd) != FALSE)
         << ", focus in the search box: " << (program.Focus() == main.searchEdit)
         << ", search text \"" << Narrow(main.SearchText()) << "\" (wanted \"" << Narrow(text)
         << "\") selected from " << LOWORD(selection) << " to " << HIWORD(selection);
}

TEST_F(LookupAnywhereTest, ATextCopiedTwiceIsLookedUpInFront) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  OtherWindow other;
  const struct {
    const char* name;
    std::function<void()> before;
    std::wstring copied;
    std::wstring wantedText;
    int wantedEntry;
  } cases[] = {
      {"behind another program's window, searching inside the entries; Cyrillic capitals",
       [&] {
         PostMessageW(main.wnd, WM_COMMAND, MAKEWPARAM(IDM_FINDINTEXT, 1), 0);
         ASSERT_TRUE(WaitUntil([&] { return SearchingInsideEntries(main); }));
       },
       L"КЪЩА", L"къща", kKashta},
      {"minimized; a line with its end, in capitals", [&] { Minimize(main); }, L"  House\r\n",
       L"house", kHouse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(other.ComeForward());
    c.before();
    ASSERT_TRUE(CopyTwice(main, c.copied));
    EXPECT_TRUE(InFrontWithSearchText(*program_, main, c.wantedText));
    EXPECT_TRUE(ShowsEntry(main, kEntries, c.wantedEntry));
    EXPECT_FALSE(SearchingInsideEntries(main)) << "still searching inside the entries";
  }
  CloseWithSuccess(*program_);
}

// The two copies count by the times of their changes: more than half a second apart they are
// two single copies.
TEST_F(LookupAnywhereTest, CopiesMoreThanHalfASecondApartChangeNothing) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  TypeSearch(main, L"heather");
  ASSERT_TRUE(ShowsEntry(main, kEntries, kHeather));
  OtherWindow other;
  ASSERT_TRUE(other.ComeForward());
  // However late the program reads them, the changes were this far apart.
  ASSERT_TRUE(SetClipboardText(L"honey"));
  Sleep(kPairMs + 200);
  ASSERT_TRUE(SetClipboardText(L"honey"));
  ASSERT_TRUE(WaitForPostedMessages(main));
  EXPECT_NE(GetForegroundWindow(), main.wnd) << "the program came to the front";
  EXPECT_EQ(Narrow(main.SearchText()), "heather");
  EXPECT_TRUE(ShowsEntry(main, kEntries, kHeather));
  // The program was listening all along.
  ASSERT_TRUE(CopyTwice(main, L"house"));
  EXPECT_TRUE(InFrontWithSearchText(*program_, main, L"house"));
  EXPECT_TRUE(ShowsEntry(main, kEntries, kHouse));
  CloseWithSuccess(*program_);
}

// Words near each other in a Bulgarian dictionary: a word with a hidden character in it, or the
// first entry, is what a copy with those characters or quotes around it used to show.
const std::vector<std::wstring> kBulgarian = {
    L"house\r\n\u043A\u044A\u0449\u0430", L"\u0430\r\nand", L"\u043A\u044A\u0434\u0435\r\nwhere",
    L"\u043A\u044A\u0441\u043D\u043E\r\nlate", L"\u043A\u044A\u0449\u0430\r\nhouse"};
constexpr int kBgHouse = 0, kBgA = 1, kBgKashta = 4;
const std::wstring kKashtaWord = L"\u043A\u044A\u0449\u0430";

class CopiedWordsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    folder_.AddDictionary("bg", kBulgarian);
    folder_.AddConversionTables();
    WriteSetting("Dict", StringValue("bg"));
  }
};

// Text copied from real pages carries bidirectional marks, soft hyphens and zero-width spaces,
// and quotes, brackets or a full stop around the word: the word alone is looked up. Which
// characters go is ShortCopiedText's (CopiedTextTest); here, that the lookup takes its text.
TEST_F(CopiedWordsTest, HiddenCharactersAndPunctuationAroundACopiedWordAreLeftOut) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  OtherWindow other;
  const struct {
    const char* name;
    std::wstring copied;
    std::wstring wantedText;
    int wantedEntry;
  } cases[] = {
      {"a right-to-left mark, guillemets and a soft hyphen inside",
       L"\u200F\u00AB\u043A\u044A\u00AD\u0449\u0430\u00BB", kKashtaWord, kBgKashta},
      {"straight quotes and a full stop", L"\"house\".", L"house", kBgHouse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TypeSearch(main, L"\u0430");
    ASSERT_TRUE(ShowsEntry(main, kBulgarian, kBgA));
    ASSERT_TRUE(other.ComeForward());
    ASSERT_TRUE(CopyTwice(main, c.copied));
    EXPECT_TRUE(InFrontWithSearchText(*program_, main, c.wantedText));
    EXPECT_TRUE(ShowsEntry(main, kBulgarian, c.wantedEntry));
  }
  CloseWithSuccess(*program_);
}

// Invisible characters typed or pasted into the search box cannot be meant: they go, and typing
// goes on where it was.
TEST_F(CopiedWordsTest, FormatCharactersTypedIntoTheBoxAreLeftOut) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  TypeSearch(main, L"\u200F\u043A\u044A\u00AD\u0449\u200B\u0430\u200E");
  EXPECT_TRUE(ShowsEntry(main, kBulgarian, kBgKashta));
  EXPECT_EQ(Narrow(main.SearchText()), Narrow(kKashtaWord));
  CloseWithSuccess(*program_);
}

// The main pane's text copied twice, as Ctrl+C pressed twice there copies it; the program leaves
// what it copied itself alone.
TEST_F(LookupAnywhereTest, CopiesMadeInTheProgramItselfAreNotLookedUp) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  TypeSearch(main, L"heather");
  ASSERT_TRUE(ShowsEntry(main, kEntries, kHeather));
  ClickAt(main.meaning, 5, 5);
  ASSERT_TRUE(WaitUntil([&] { return program_->Focus() == main.meaning; }));
  PostMessageW(main.meaning, EM_SETSEL, 0, 5);  // "heath"
  // Ctrl+C in the pane copies when the program handles it.
  ASSERT_TRUE(CopyTwiceInTime(main, [&] {
    return PostMessageW(main.meaning, WM_COPY, 0, 0) && WaitForPostedMessages(main);
  }));
  EXPECT_EQ(Narrow(ClipboardText().value_or(L"<none>")), "heath");
  EXPECT_EQ(Narrow(main.SearchText()), "heather");
  EXPECT_NE(program_->Focus(), main.searchEdit) << "the focus went to the search box";
  CloseWithSuccess(*program_);
}

TEST_F(LookupAnywhereTest, TheOptionTurnsCopiedTextLookupOffAndOn) {
  WriteSetting("LookupCopied", DwordValue(0));
  MainWindow main = Start();
  ASSERT_TRUE(main);
  OtherWindow other;
  ASSERT_TRUE(other.ComeForward());
  ASSERT_TRUE(CopyTwice(main, L"honey"));
  ASSERT_TRUE(WaitForPostedMessages(main));
  EXPECT_NE(GetForegroundWindow(), main.wnd) << "the program came to the front";
  EXPECT_EQ(Narrow(main.SearchText()), "");

  HWND dialog = OpenOptions(main);
  ASSERT_NE(dialog, nullptr);
  HWND box = GetDlgItem(dialog, IDC_OPT_CHBLOOKUPCOPIED);
  ASSERT_EQ(TextOf(box), L"Look up copied text");
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  PostMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  PostMessageW(remote::FindDescendantById(dialog, IDC_OPT_BTNOK), BM_CLICK, 0, 0);
  // The dialog goes once the window has taken its values.
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

  ASSERT_TRUE(other.ComeForward());
  ASSERT_TRUE(CopyTwice(main, L"honey"));
  EXPECT_TRUE(InFrontWithSearchText(*program_, main, L"honey"));
  EXPECT_TRUE(ShowsEntry(main, kEntries, kHoney));
  CloseWithSuccess(*program_);
  EXPECT_EQ(ReadSetting("LookupCopied"), DwordValue(1));
}

// Ctrl+Alt+L from any program: the window comes forward with the search text selected, wherever
// the focus was in it.
TEST_F(LookupAnywhereTest, TheHotKeyBringsTheWindowForwardWithTheSearchTextSelected) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  TypeSearch(main, L"honey");
  ASSERT_TRUE(ShowsEntry(main, kEntries, kHoney));
  OtherWindow other;
  const struct {
    const char* name;
    std::function<void()> before;
  } cases[] = {
      {"behind another program's window", [] {}},
      {"minimized", [&] { Minimize(main); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClickAt(main.meaning, 5, 5);
    ASSERT_TRUE(WaitUntil([&] { return program_->Focus() == main.meaning; }));
    ASSERT_TRUE(other.ComeForward());
    c.before();
    ASSERT_TRUE(SendKeys({VK_CONTROL, VK_MENU}, 'L'));
    EXPECT_TRUE(InFrontWithSearchText(*program_, main, L"honey"));
    EXPECT_TRUE(ShowsEntry(main, kEntries, kHoney));
  }
  CloseWithSuccess(*program_);
}

// While the options dialog is up, the hotkey and a word copied twice bring the dialog forward,
// and the word is not looked up behind it.
TEST_F(LookupAnywhereTest, WhileADialogIsUpTheDialogComesForward) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  TypeSearch(main, L"heather");
  ASSERT_TRUE(ShowsEntry(main, kEntries, kHeather));
  HWND dialog = OpenOptions(main);
  ASSERT_NE(dialog, nullptr);
  OtherWindow other;
  const struct {
    const char* name;
    std::function<void()> act;
  } cases[] = {
      {"copied twice", [&] { ASSERT_TRUE(CopyTwice(main, L"honey")); }},
      {"the hotkey",
       [] {
         ASSERT_TRUE(SendKeys({VK_CONTROL, VK_MENU}, 'L'));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(other.ComeForward());
    c.act();
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }))
        << "the options dialog did not come forward";
    ASSERT_TRUE(WaitForPostedMessages(main));
    EXPECT_EQ(Narrow(main.SearchText()), "heather");
    EXPECT_TRUE(ShowsEntry(main, kEntries, kHeather));
  }
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  CloseWithSuccess(*program_);
}

// Another program holds Ctrl+Alt+L when the program starts: the options say so, and no message
// box does. Once the other program lets the key go, the next showing of the options takes it.
TEST_F(LookupAnywhereTest, AHotKeyHeldByAnotherProgramIsNotedInTheOptions) {
  constexpr int kTestHotKey = 1;
  ASSERT_TRUE(RegisterHotKey(nullptr, kTestHotKey, MOD_CONTROL | MOD_ALT, 'L'))
      << "the test cannot hold the hotkey (error " << GetLastError() << ")";
  struct Release {
    bool held = true;
    void operator()() {
      if (held)
        UnregisterHotKey(nullptr, kTestHotKey);
      held = false;
    }
    ~Release() { (*this)(); }
  } release;
  MainWindow main = Start();
  ASSERT_TRUE(main);
  EXPECT_EQ(program_->Windows().size(), 1u) << program_->DescribeWindows();

  const struct {
    const char* name;
    std::function<void()> before;
    const wchar_t* wantedNote;
  } showings[] = {
      {"held by the test", [] {}, kHotKeyHeld},
      {"let go", [&] { release(); }, kHotKeyFree},
  };
  for (const auto& s : showings) {
    SCOPED_TRACE(s.name);
    s.before();
    HWND dialog = OpenOptions(main);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Narrow(TextOf(GetDlgItem(dialog, IDC_OPT_LBLHOTKEY))), Narrow(s.wantedNote));
    PostMessageW(remote::FindDescendantById(dialog, IDC_OPT_BTNCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  OtherWindow other;
  ASSERT_TRUE(other.ComeForward());
  ASSERT_TRUE(SendKeys({VK_CONTROL, VK_MENU}, 'L'));
  EXPECT_TRUE(InFrontWithSearchText(*program_, main, L""));
  CloseWithSuccess(*program_);
}

}  // namespace
}  // namespace lexmora::e2e
