// Words as they stand in a text: a form typed or copied shows its dictionary form's entry, and the
// line below the tool bar names the dictionary forms, each one reachable from the keyboard.
#include <windows.h>

#include "E2eTest.h"
#include "MainIds.h"
#include "OptionsIds.h"

namespace lexmora::e2e {
namespace {

// An English-Bulgarian dictionary, in the order of the comparison.
const std::vector<std::wstring> kEntries = {
    L"go\r\nотивам", L"house\r\nкъща", L"housemate\r\nсъквартирант",
    L"saw\r\nтрион", L"see\r\nвиждам", L"wentletrap\r\nвид морски охлюв"};
constexpr int kGo = 0, kHouse = 1, kSaw = 3, kSee = 4, kWentletrap = 5;

class WordFormsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    folder_.AddDictionary("eng-bul", kEntries);
    folder_.AddConversionTables();
    folder_.AddMorphology({L"en_US", L"bg_BG"});
    WriteSetting("Dict", StringValue("eng-bul"));
  }
};

HWND Line(const MainWindow& main) {
  return GetDlgItem(main.wnd, IDC_LNKFORMS);
}

// How many languages the window says it has taken in, and how many there are; nothing when it
// does not answer.
std::optional<std::pair<int, int>> LanguagesTaken(const MainWindow& main) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(main.wnd, WM_LEXMORA_LANGUAGES, 0, 0, SMTO_NORMAL, kWaitMs, &answer))
    return std::nullopt;
  return std::pair<int, int>(LOWORD(answer), HIWORD(answer));
}

// Once the window says it has taken in every language, a form typed shows its dictionary form at
// once, whether the languages loaded or turned off (then the nearest headword).
TEST_F(WordFormsTest, AfterTheLanguagesAreTakenInFormsAnswerAtOnce) {
  const struct {
    bool damaged;
    int entry;
    std::wstring line;
  } cases[] = {{false, kHouse, L"houses \u2192 house"}, {true, kHouse + 1, L""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damaged ? "damaged languages" : "languages that load");
    if (c.damaged) {
      CloseWithSuccess(*program_);
      const std::wstring morphology = folder_.WidePath() + L"Morphology\\";
      test::WriteBytes(morphology + L"en_US.aff", {'S', 'E', 'T', 0x01, 0xFF, 0x80});
      test::WriteBytes(morphology + L"bg_BG.dic", {'1', '\n', 'a', 'b'});
    }
    MainWindow main = Start();
    ASSERT_TRUE(main);
    const auto first = LanguagesTaken(main);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->second, 2);
    EXPECT_LE(first->first, 2);
    ASSERT_TRUE(WaitUntil([&] { return LanguagesTaken(main) == std::pair(2, 2); }));
    // Typed as the benchmark types, each keystroke handled before the next is sent: when the
    // keystroke that brings the line returns, the panes it moved have been painted.
    TypeSearch(main, L"house");
    RedrawWindow(main.wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(
        SendMessageTimeoutW(main.searchEdit, WM_CHAR, L's', 1, SMTO_NORMAL, kWaitMs, &ignored));
    int unpainted = 0;
    for (int id : {IDC_RETOP1, IDC_RETOP2, IDC_REMEANING, IDC_REBOTTOM2, IDC_REBOTTOM1})
      unpainted += GetUpdateRect(GetDlgItem(main.wnd, id), nullptr, FALSE) ? 1 : 0;
    EXPECT_EQ(unpainted, 0);
    EXPECT_EQ(Narrow(main.SearchText()), "houses");
    // No waiting: the lookup the keystroke made is the one shown.
    EXPECT_EQ(Narrow(TextOf(Line(main))), Narrow(c.line));
    EXPECT_EQ(IsWindowVisible(Line(main)) != FALSE, !c.line.empty());
    EXPECT_TRUE(ShowsEntry(main, kEntries, c.entry));
  }
  CloseWithSuccess(*program_);
}

// Waits until the line shows `markup` (visible, unless it is empty).
::testing::AssertionResult LineShows(const MainWindow& main, const std::wstring& markup) {
  auto shows = [&] {
    const bool visible = IsWindowVisible(Line(main)) != FALSE;
    return markup.empty() ? !visible : visible && TextOf(Line(main)) == markup;
  };
  if (WaitUntil(shows))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "the line shows \"" << Narrow(TextOf(Line(main))) << "\" ("
         << (IsWindowVisible(Line(main)) ? "visible" : "hidden") << "), wanted \"" << Narrow(markup)
         << "\"";
}

TEST_F(WordFormsTest, AFormTypedOrCopiedShowsItsDictionaryFormsEntry) {
  MainWindow main = Start();
  ASSERT_TRUE(main);
  // The languages load on a thread; once they are there the text in the box is looked up again.
  TypeSearch(main, L"houses");
  EXPECT_TRUE(ShowsEntry(main, kEntries, kHouse));
  EXPECT_TRUE(LineShows(main, L"houses \u2192 house"));

  // A headword that is also a form of another: its own entry, the other one a link, which Tab
  // reaches and Enter follows.
  TypeSearch(main, L"saw");
  EXPECT_TRUE(ShowsEntry(main, kEntries, kSaw));
  EXPECT_TRUE(LineShows(main, L"saw \u2192 saw, <a id=\"0\">see</a>"));
  PressKey(main.searchEdit, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return program_->Focus() == Line(main); }))
      << "focus got " << Narrow(ClassOf(program_->Focus()));
  PressKey(Line(main), VK_RETURN);
  EXPECT_TRUE(ShowsEntry(main, kEntries, kSee));
  EXPECT_TRUE(LineShows(main, L"saw \u2192 <a id=\"0\">saw</a>, see"));
  EXPECT_EQ(Narrow(main.SearchText()), "saw");

  // Letter by letter, "wentletrap" passes through "went", a form of "go".
  TypeSearch(main, L"wen");
  EXPECT_TRUE(LineShows(main, L""));
  TypeSearch(main, L"went");
  EXPECT_TRUE(ShowsEntry(main, kEntries, kGo));
  EXPECT_TRUE(LineShows(main, L"went \u2192 go"));
  TypeSearch(main, L"wentletrap");
  EXPECT_TRUE(ShowsEntry(main, kEntries, kWentletrap));
  EXPECT_TRUE(LineShows(main, L""));

  // A form copied twice in another program.
  OtherWindow other;
  ASSERT_TRUE(other.ComeForward());
  ASSERT_TRUE(CopyTwice(main, L"Went."));
  EXPECT_TRUE(WaitUntil([&] { return main.SearchText() == L"went"; }))
      << "search text \"" << Narrow(main.SearchText()) << "\"";
  EXPECT_TRUE(ShowsEntry(main, kEntries, kGo));
  EXPECT_TRUE(LineShows(main, L"went \u2192 go"));
  CloseWithSuccess(*program_);
}

// With several dictionaries in use, each has the languages of its own words, and the one that
// leads a lookup gives it its forms.
TEST_F(WordFormsTest, EachDictionaryInUseHasTheFormsOfItsOwnLanguage) {
  folder_.AddDictionary("bul-eng",
                        {L"\u0432\u043e\u0434\u0430\r\nwater", L"\u0434\u043e\u043c\r\nhome",
                         L"\u043a\u044a\u0449\u0430\r\nhouse"});
  const std::string names("eng-bul\0bul-eng\0", 17);
  WriteSetting("Dicts", RegValue{REG_MULTI_SZ, test::Bytes(names.begin(), names.end())});
  MainWindow main = Start();
  ASSERT_TRUE(main);
  // Cyrillic text leads to the Bulgarian dictionary, whose headwords were found Bulgarian.
  TypeSearch(main, L"\u043a\u044a\u0449\u0430\u0442\u0430");
  EXPECT_TRUE(
      LineShows(main, L"\u043a\u044a\u0449\u0430\u0442\u0430 \u2192 \u043a\u044a\u0449\u0430"));
  TypeSearch(main, L"houses");
  EXPECT_TRUE(LineShows(main, L"houses \u2192 house"));
  CloseWithSuccess(*program_);
}

// Languages whose files are damaged are off: no form is offered from them, and the options say
// why, in the list and below it.
TEST_F(WordFormsTest, DamagedLanguagesAreOffAndTheOptionsSayWhy) {
  const std::wstring morphology = folder_.WidePath() + L"Morphology\\";
  DeleteFileW((morphology + L"en_US.aff").c_str());
  // Garbage that ends in the middle of a line.
  test::WriteBytes(morphology + L"xx_XX.aff", {'S', 'E', 'T', 0x01, 0xFF, 0x80});
  test::WriteBytes(morphology + L"xx_XX.dic", {'1', '\n', 'a', 'b'});
  MainWindow main = Start();
  ASSERT_TRUE(main);
  // Found once every language has loaded or turned off, and kept.
  ASSERT_TRUE(WaitUntil([] {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Lexmora\\Languages\\eng-bul", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }));
  TypeSearch(main, L"houses");
  EXPECT_TRUE(ShowsEntry(main, kEntries, kHouse + 1));  // the nearest: housemate
  EXPECT_TRUE(LineShows(main, L""));

  PostMessageW(main.wnd, WM_COMMAND, MAKEWPARAM(IDC_TBTNOPTIONS, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(main.wnd, IDC_TOOLBAR)));
  HWND dialog = program_->WaitForWindow([](HWND w) { return TextOf(w) == L"Options"; });
  ASSERT_NE(dialog, nullptr) << program_->DescribeWindows();
  const HWND list = GetDlgItem(dialog, IDC_OPT_CBHEADWORDFORMS);
  std::vector<std::wstring> items;
  for (int k = 0; k < static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0)); ++k) {
    wchar_t item[64] = {};
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(item));
    items.emplace_back(item);
  }
  EXPECT_EQ(items, (std::vector<std::wstring>{L"none", L"bg_BG", L"en_US (off)", L"xx_XX (off)"}));
  // English headwords without English forms: none; the meanings are Bulgarian.
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_OPT_CBMEANINGFORMS), CB_GETCURSEL, 0, 0), 1);
  const struct {
    int item;
    std::wstring state;
  } choices[] = {{2, L"en_US.aff is missing."},
                 {3, L"xx_XX.aff ends in the middle of a line: it was cut short."},
                 {1, L""}};
  for (const auto& c : choices) {
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(c.item), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_CBHEADWORDFORMS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(WaitUntil([&] {
      return TextOf(GetDlgItem(dialog, IDC_OPT_LBLHEADWORDSTATE)) == c.state;
    })) << "got \""
        << Narrow(TextOf(GetDlgItem(dialog, IDC_OPT_LBLHEADWORDSTATE))) << "\" for item " << c.item;
  }
  CloseWithSuccess(*program_);
}

}  // namespace
}  // namespace lexmora::e2e
