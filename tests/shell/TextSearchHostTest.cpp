// Searching inside the entries with a host of the test's own instead of the main window: what
// the search asks its host to show, clear and look up, step by step.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "shell/TextSearchMode.h"
#include "store/TextSearch.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace lexmora {
namespace {

const std::vector<std::wstring> kEntries = {L"apple\r\nfruit one, red or green",  // 0
                                            L"banana\r\nfruit two, yellow",       // 1
                                            L"carrot\r\nvegetable, orange",       // 2
                                            L"cherry\r\nfruit three, red",        // 3
                                            L"kale\r\nvegetable, green",          // 4
                                            L"lime\r\nfruit four, green",         // 5
                                            L"plum\r\nfruit five"};               // 6

// A window with a search box on a tool bar, a dictionary, and a record of what the search asked
// of it.
class TestHost : public TForm, public TTextSearchHost {
 public:
  explicit TestHost(const test::TempDir& dir) {
    test::WriteBytes(dir.File("words.dat"), test::DictionaryBytes(kEntries));
    dict =
        std::make_unique<TADict>(dir.File("words.dat"), dir.File("words.ind"), false, false, false);
    CreateEmpty();
    bar.Create(Handle(), nullptr);
    box.Create(Handle(), CBS_LOWERCASE, 0, 0, 144, 200);
    bar.AddControl(box, 144);
    search.CreateControls(bar);
    search.SetPause(20);
  }
  ~TestHost() override { DestroyHandle(); }

  HWND HostWindow() const override { return Handle(); }
  int WindowScale(int designed) const override { return Scale(designed); }
  TComboBox& SearchBox() override { return box; }
  TADict* Dictionary() override { return dict.get(); }
  void ShowEntries(int32_t entry, const std::vector<RtfMark>& marks,
                   const PreviewEntries& previews) override {
    std::string call = "show " + std::to_string(entry) + " marks";
    for (const RtfMark& m : marks)
      call.append(" ").append(std::to_string(m.start)).append("+").append(std::to_string(m.length));
    call += " previews";
    for (int32_t p : previews)
      call.append(" ").append(std::to_string(p));
    calls.push_back(call);
  }
  void ClearPanes() override { calls.push_back("clear"); }
  void StripChanged() override { calls.push_back("strip"); }
  void LookUpSearchText() override { calls.push_back("look up"); }

  TToolBar bar;
  TComboBox box;
  std::unique_ptr<TADict> dict;
  std::vector<std::string> calls;
  TTextSearch search{*this};

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (LRESULT result = 0; search.HandleMessage(msg, wParam, lParam, result))
      return result;
    return TForm::WndProc(msg, wParam, lParam);
  }
};

// Handles messages until the search no longer waits, for at most five seconds.
bool PumpUntilSearched(const TTextSearch& search) {
  const ULONGLONG end = GetTickCount64() + 5000;
  while (search.Waiting()) {
    if (GetTickCount64() > end)
      return false;
    Application().ProcessMessages();
    Sleep(5);
  }
  return true;
}

TEST(TextSearchHost, TheSearchAsksItsHostToShowClearAndLookUp) {
  test::TempDir dir;
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[&](const std::exception& e) { errors.push_back(e.what()); }};
  TestHost host(dir);
  TTextSearch& search = host.search;
  const auto type = [&](const wchar_t* text) {
    host.box.SetText(text);
    search.TextChanged();
  };
  const struct {
    const char* action;
    std::function<void()> act;
    std::vector<std::string> calls;
    const char* status;
  } steps[] = {
      {"the mode on with nothing typed", [&] { search.SetActive(true); }, {"strip"}, ""},
      {"typing, then a pause",
       [&] { type(L"fruit"); },
       {"show 0 marks 7+5 previews -1 -1 1 3"},
       "1 of 5"},
      {"the next match", [&] { search.Step(1); }, {"show 1 marks 8+5 previews -1 0 3 5"}, "2 of 5"},
      {"a preview of a match",
       [&] { search.ShowMatchOf(5); },
       {"show 5 marks 6+5 previews 1 3 6 -1"},
       "4 of 5"},
      {"a preview of no match", [&] { search.ShowMatchOf(4); }, {}, "4 of 5"},
      {"past the last match", [&] { search.Step(2); }, {}, "4 of 5"},
      // "green" stands alone as a sense in 4 and 5, and within one in 0: those come last.
      {"matches best first",
       [&] { type(L"green"); },
       {"show 4 marks 17+5 previews -1 -1 5 0"},
       "1 of 3"},
      {"the next match in that order",
       [&] { search.Step(1); },
       {"show 5 marks 18+5 previews -1 4 0 -1"},
       "2 of 3"},
      {"a preview of an earlier entry ranked last",
       [&] { search.ShowMatchOf(0); },
       {"show 0 marks 25+5 previews 4 5 -1 -1"},
       "3 of 3"},
      {"the match before",
       [&] { search.Step(-1); },
       {"show 5 marks 18+5 previews -1 4 0 -1"},
       "2 of 3"},
      {"nothing found", [&] { type(L"zebra"); }, {"clear"}, "no matches"},
      {"the text erased", [&] { type(L""); }, {"clear"}, ""},
      {"the mode off", [&] { search.SetActive(false); }, {"strip", "look up"}, ""},
  };
  for (const auto& step : steps) {
    host.calls.clear();
    step.act();
    ASSERT_TRUE(PumpUntilSearched(search)) << step.action;
    EXPECT_EQ(host.calls, step.calls) << step.action;
    EXPECT_EQ(search.lblMatches.Caption(), step.status) << step.action;
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Typing searches only once it pauses: until then the host is asked for nothing.
TEST(TextSearchHost, TypingSearchesOnceItPauses) {
  test::TempDir dir;
  TestHost host(dir);
  TTextSearch& search = host.search;
  search.SetActive(true);
  search.SetPause(300);
  host.calls.clear();
  host.box.SetText(L"green");
  search.TextChanged();
  Application().ProcessMessages();
  EXPECT_TRUE(search.Waiting());
  EXPECT_TRUE(host.calls.empty()) << host.calls.front();
  ASSERT_TRUE(PumpUntilSearched(search));
  EXPECT_EQ(search.Matches(), (std::vector<int32_t>{4, 5, 0}));  // best first
  EXPECT_EQ(host.calls.size(), 1u);
}

// A host with a second dictionary in use beside the first.
class TwoDictionaryHost : public TestHost {
 public:
  explicit TwoDictionaryHost(const test::TempDir& dir) : TestHost(dir) {
    test::WriteBytes(
        dir.File("more.dat"),
        test::DictionaryBytes({L"grass\r\ngreen", L"moss\r\nsmall, green plant", L"sky\r\nblue"}));
    second =
        std::make_unique<TADict>(dir.File("more.dat"), dir.File("more.ind"), false, false, false);
  }
  size_t DictionaryCount() override { return 2; }
  TADict* DictionaryAt(size_t k) override { return k == 0 ? dict.get() : second.get(); }
  void ShowEntriesOf(size_t k, int32_t entry, const std::vector<RtfMark>&,
                     const PreviewEntries& previews) override {
    std::string call = "show@" + std::to_string(k) + " " + std::to_string(entry) + " previews";
    for (int32_t p : previews)
      call.append(" ").append(std::to_string(p));
    calls.push_back(call);
  }
  std::unique_ptr<TADict> second;
};

// The matches of every dictionary in use, dictionary by dictionary, each in its own order; the
// previews stay within the dictionary of the match, and a preview leads to a match of that one.
TEST(TextSearchHost, MatchesOfEveryDictionaryInUseOneAfterTheOther) {
  test::TempDir dir;
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[&](const std::exception& e) { errors.push_back(e.what()); }};
  TwoDictionaryHost host(dir);
  TTextSearch& search = host.search;
  search.SetActive(true);
  const struct {
    const char* action;
    std::function<void()> act;
    const char* call;
    const char* status;
  } steps[] = {
      {"typing",
       [&] {
         host.box.SetText(L"green");
         search.TextChanged();
       },
       "show@0 4 previews -1 -1 5 0", "1 of 5"},
      {"the first dictionary's last match", [&] { search.Step(2); }, "show@0 0 previews 4 5 -1 -1",
       "3 of 5"},
      {"on into the second", [&] { search.Step(1); }, "show@1 0 previews -1 -1 1 -1", "4 of 5"},
      {"its last", [&] { search.Step(1); }, "show@1 1 previews -1 0 -1 -1", "5 of 5"},
      {"a preview: entry 0 of the second, not of the first", [&] { search.ShowMatchOf(0); },
       "show@1 0 previews -1 -1 1 -1", "4 of 5"},
  };
  for (const auto& step : steps) {
    host.calls.clear();
    step.act();
    ASSERT_TRUE(PumpUntilSearched(search)) << step.action;
    EXPECT_EQ(host.calls, std::vector<std::string>{step.call}) << step.action;
    EXPECT_EQ(search.lblMatches.Caption(), step.status) << step.action;
  }
  EXPECT_EQ(search.MatchDictionaries(), (std::vector<size_t>{0, 0, 0, 1, 1}));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// A search waits while the language of the dictionary's meanings is still loading, as for a pause
// in typing, and runs once it has loaded.
TEST(TextSearchHost, ASearchWaitsForTheMeaningsLanguageToLoad) {
  test::TempDir dir;
  TestHost host(dir);
  // A language without files, which is Off once loaded; its word index is built beforehand with
  // another object of the same language, so the search has nothing else to wait for.
  MorphLanguage language(ToWide(dir.Path()), L"xx_XX"), builder(ToWide(dir.Path()), L"xx_XX");
  WordIndexBuild build(*host.dict, &builder);
  ASSERT_TRUE(build.Run(nullptr));
  build.InstallInto(*host.dict);
  host.dict->SetLanguages({nullptr, &language});
  TTextSearch& search = host.search;
  search.SetActive(true);
  host.calls.clear();
  host.box.SetText(L"green");
  search.TextChanged();
  const ULONGLONG until = GetTickCount64() + 200;  // ten pauses
  while (GetTickCount64() < until) {
    Application().ProcessMessages();
    Sleep(5);
  }
  EXPECT_TRUE(search.Waiting());
  EXPECT_TRUE(host.calls.empty()) << host.calls.front();
  EXPECT_EQ(language.State(), MorphState::NotLoaded) << "the search loaded the language";
  language.Load();
  ASSERT_TRUE(PumpUntilSearched(search));
  EXPECT_EQ(search.Matches(), (std::vector<int32_t>{4, 5, 0}));
  host.dict->SetLanguages({});
}

}  // namespace
}  // namespace lexmora
