#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "StoreTestSupport.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "store/HeadwordLookup.h"
#include "store/WordLookup.h"
#include "store/WordSample.h"

namespace lexmora {
namespace {

using test::TempDir;
using Kind = WordLookup::Kind;

std::wstring Joined(const std::vector<std::wstring>& words) {
  std::wstring text;
  for (const std::wstring& word : words)
    text += (text.empty() ? L"" : L", ") + word;
  return text;
}

// The shipped Hunspell dictionaries, loaded once for all tests here.
Morphology& Shipped() {
  static Morphology morphology(ToWide(LEXMORA_MORPHOLOGY_DATA));
  static const bool loaded = (morphology.LoadAll(), true);
  (void)loaded;
  return morphology;
}

class WordLookupTest : public ::testing::Test {
 protected:
  WordLookupTest() : scopedReporter_(reporter) {}
  // A sorted dictionary of the headwords, each with a meaning, whose headwords have the forms of
  // `language` (none when empty).
  TADict& Open(const std::vector<std::wstring>& headwords, const std::wstring& language) {
    dict.reset();
    std::vector<std::wstring> entries;
    for (const std::wstring& headword : headwords)
      entries.push_back(headword + L"\r\nmeaning of " + headword);
    test::WriteBytes(dir.File("w.dat"), test::DictBytes(entries, L"Title\r\n"));
    DeleteFileA(dir.File("w.ind").c_str());
    dict = std::make_unique<TADict>(dir.File("w.dat"), dir.File("w.ind"), true, false, false);
    dict->SetLanguages({language.empty() ? nullptr : Shipped().Find(language), nullptr});
    return *dict;
  }
  std::wstring HeadwordAt(int32_t entry) { return HeadwordOf(dict->ReadEntry(entry, -1)); }

  TempDir dir;
  std::unique_ptr<TADict> dict;
  test::RecordingReporter reporter;

 private:
  ScopedReporter scopedReporter_;
};

struct FormCase {
  const wchar_t* typed;
  Kind kind;
  const wchar_t* shown;  // the headword of the entry shown; null: FindHeadword's answer
  std::vector<std::wstring> lineForms;  // the forms the line offers, in order
  bool lost = false;
};

struct LanguageTable {
  const wchar_t* language;
  std::vector<std::wstring> headwords;
  std::vector<FormCase> cases;
};

TEST_F(WordLookupTest, FormsShowTheirDictionaryFormsEntryPerLanguage) {
  const std::vector<LanguageTable> tables = {
      {L"bg_BG",
       {L"град", L"градина", L"дом", L"къща", L"къщурка", L"къта", L"чета", L"четвърт"},
       {
           {L"къщата", Kind::Form, L"къща", {L"къща"}},
           {L"къщи", Kind::Form, L"къща", {L"къща"}},
           {L"градовете", Kind::Form, L"град", {L"град"}},
           {L"четох", Kind::Form, L"чета", {L"чета"}},
           {L"къща", Kind::Headword, L"къща", {}},
           {L"къ́щата", Kind::Form, L"къща", {L"къща"}},  // a stress mark typed too
           {L"къщ", Kind::Nearest, L"къща", {}},
           {L"къшта", Kind::Nearest, nullptr, {}, true},
           {L"градините", Kind::Form, L"градина", {L"градина"}},
       }},
      {L"ru_RU",
       {L"дом", L"дома", L"стекло", L"стечь", L"человек", L"люди", L"стол"},
       {
           {L"домами", Kind::Form, L"дом", {L"дом"}},
           {L"стекло", Kind::Headword, L"стекло", {L"стекло", L"стечь"}},
           {L"столами", Kind::Form, L"стол", {L"стол"}},
           {L"дома", Kind::Headword, L"дома", {L"дома", L"дом"}},
           {L"стол", Kind::Headword, L"стол", {}},
       }},
      {L"en_US",
       {L"box", L"child", L"go", L"house", L"housemate", L"mouse", L"saw", L"see", L"wentletrap"},
       {
           {L"houses", Kind::Form, L"house", {L"house"}},
           {L"boxes", Kind::Form, L"box", {L"box"}},
           {L"went", Kind::Form, L"go", {L"go"}},
           {L"children", Kind::Form, L"child", {L"child"}},
           {L"mice", Kind::Form, L"mouse", {L"mouse"}},
           {L"seen", Kind::Form, L"see", {L"see"}},
           {L"saw", Kind::Headword, L"saw", {L"saw", L"see"}},
           {L"wentletrap", Kind::Headword, L"wentletrap", {}},
           {L"wentl", Kind::Nearest, L"wentletrap", {}},
           {L"house", Kind::Headword, L"house", {}},
           {L"housem", Kind::Nearest, L"housemate", {}},
           {L"went to", Kind::Nearest, L"wentletrap", {}, true},  // a phrase has no forms
           {L"qqq", Kind::Nearest, nullptr, {}, true},
       }},
  };
  for (const LanguageTable& table : tables) {
    TADict& d = Open(table.headwords, table.language);
    for (const FormCase& c : table.cases) {
      const std::string what = ToUtf8(table.language) + " \"" + ToUtf8(c.typed) + "\"";
      const WordLookup found = LookUpWord(d, c.typed);
      EXPECT_EQ(static_cast<int>(found.kind), static_cast<int>(c.kind)) << what;
      if (c.shown == nullptr) {
        EXPECT_EQ(found.entry, FindHeadword(d, c.typed)) << what;
      } else {
        EXPECT_EQ(ToUtf8(HeadwordAt(found.entry)), ToUtf8(c.shown)) << what;
      }
      std::vector<std::wstring> forms;
      for (const FormEntry& f : found.forms) {
        forms.push_back(f.form);
        EXPECT_EQ(FoldHeadword(d, HeadwordAt(f.entry)), FoldHeadword(d, f.form)) << what;
      }
      EXPECT_EQ(ToUtf8(Joined(forms)), ToUtf8(Joined(c.lineForms))) << what;
      if (!found.forms.empty()) {
        EXPECT_EQ(found.forms.front().entry, found.entry) << what;
      }
      EXPECT_EQ(found.lost, c.lost) << what;
      EXPECT_FALSE(found.formsPending) << what;
    }
  }
}

TEST_F(WordLookupTest, WithoutAReadyLanguageTheLookupIsFindHeadwordsAndLoadsNothing) {
  Morphology unloaded(ToWide(LEXMORA_MORPHOLOGY_DATA));
  TADict& d = Open({L"go", L"house", L"housemate"}, L"");
  for (MorphLanguage* language : {static_cast<MorphLanguage*>(nullptr), unloaded.Find(L"en_US")}) {
    d.SetLanguages({language, nullptr});
    for (const wchar_t* typed : {L"houses", L"went", L"house", L"zzz"}) {
      const WordLookup found = LookUpWord(d, typed);
      EXPECT_EQ(found.entry, FindHeadword(d, typed)) << ToUtf8(typed);
      EXPECT_TRUE(found.forms.empty()) << ToUtf8(typed);
      EXPECT_FALSE(found.formsPending) << ToUtf8(typed);
    }
  }
  EXPECT_EQ(unloaded.Find(L"en_US")->State(), MorphState::NotLoaded);
}

// A long call on the language by another thread (a suggestion) leaves the lookup without forms
// for the moment, and says so, instead of waiting for it.
TEST_F(WordLookupTest, ALanguageBusyElsewhereGivesTheFindHeadwordAnswerAndAsksForLater) {
  TADict& d = Open({L"go", L"house", L"housemate"}, L"en_US");
  MorphLanguage& english = *Shipped().Find(L"en_US");
  bool sawPending = false;
  std::atomic<bool> done{false};
  std::thread suggesting([&] {
    for (int k = 0; k < 20; ++k)
      english.Suggest(L"hozsesmattes", 5);
    done = true;
  });
  while (!done && !sawPending) {
    const WordLookup found = LookUpWord(d, L"houses");
    if (found.formsPending) {
      sawPending = true;
      EXPECT_EQ(found.kind, Kind::Nearest);
      EXPECT_TRUE(found.forms.empty());
    } else {
      EXPECT_EQ(ToUtf8(HeadwordAt(found.entry)), "house");
    }
  }
  suggesting.join();
  EXPECT_TRUE(sawPending);
  EXPECT_FALSE(LookUpWord(d, L"houses").formsPending);
}

TEST_F(WordLookupTest, SuggestionsAreHeadwordsCloseToTheTypedText) {
  TADict& d = Open({L"къра", L"кърта", L"къта", L"къ́ща", L"къщурка", L"лъжа", L"хижа"}, L"bg_BG");
  MorphLanguage& bulgarian = *Shipped().Find(L"bg_BG");
  const struct {
    const wchar_t* typed;
    std::vector<std::wstring> candidates;
    std::vector<std::wstring> offered;
  } cases[] = {
      // Hunspell's own list for къшта lacks къща; the index around it has it.
      {L"къшта",
       SpellingCandidates(bulgarian, L"къшта", 10),
       {L"къта", L"кърта", L"къра", L"къ́ща"}},
      {L"къшта", {}, {L"кърта", L"къта", L"къра", L"къ́ща"}},
      // A speller's word that is no headword, and the typed text itself, are not offered.
      {L"хижъ", {L"хижа", L"хиж", L"хижъ"}, {L"хижа"}},
      {L"лъжъ", {L"лъжа"}, {L"лъжа"}},
      {L"zzzz", {}, {}},
      {L"", {L"хижа"}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::wstring> offered;
    for (const FormEntry& f : SuggestHeadwords(d, c.typed, c.candidates)) {
      offered.push_back(f.form);
      EXPECT_EQ(FoldHeadword(d, HeadwordAt(f.entry)), FoldHeadword(d, f.form));
    }
    EXPECT_EQ(ToUtf8(Joined(offered)), ToUtf8(Joined(c.offered))) << ToUtf8(c.typed);
  }
}

TEST_F(WordLookupTest, AtMostFiveSuggestionsClosestFirst) {
  TADict& d = Open({L"cab", L"cat", L"cot", L"cut", L"bat", L"hat", L"mat", L"rat", L"act"}, L"");
  std::vector<std::wstring> offered;
  for (const FormEntry& f : SuggestHeadwords(d, L"cta", {L"mat"}))
    offered.push_back(f.form);
  EXPECT_EQ(ToUtf8(Joined(offered)), "cat, mat");
  offered.clear();
  for (const FormEntry& f : SuggestHeadwords(d, L"zat", {L"cab"}))
    offered.push_back(f.form);
  ASSERT_EQ(offered.size(), kMaxSuggestions);
  EXPECT_EQ(ToUtf8(offered.front()), "bat");
}

// Each part's language is the one that knows most of its words, the meanings' first among the
// words the headwords' language does not know; a part of numbers has none.
TEST_F(WordLookupTest, EachPartOfADictionaryHasTheLanguageItsWordsAreIn) {
  const struct {
    std::vector<std::wstring> entries;
    const wchar_t* headwords;
    const wchar_t* meanings;
  } cases[] = {
      {{L"house\r\nкъща, дом", L"water\r\nвода", L"go\r\nотивам, вървя", L"child\r\nдете"},
       L"en_US",
       L"bg_BG"},
      {{L"дом\r\nкъща", L"вода\r\nвода", L"ребёнок\r\nдете", L"идти\r\nотивам"},
       L"ru_RU",
       L"bg_BG"},
      {{L"1\r\n2", L"3\r\n4", L"5\r\n6"}, L"", L""},
      // Translations with the pronunciation and an English definition, as FreeDict writes them.
      {{L"house\r\n/haʊs/ <n>\r\nкъща, дом\r\na building that people live in",
        L"water\r\n/ˈwɔːtə/ <n>\r\nвода\r\nthe clear liquid that falls as rain",
        L"go\r\n/ɡəʊ/ <v>\r\nотивам, вървя\r\nto move from one place to another",
        L"child\r\n/tʃaɪld/ <n>\r\nдете\r\na young person"},
       L"en_US",
       L"bg_BG"},
      {{L"house\r\na building that people live in", L"water\r\nthe clear liquid of rain",
        L"go\r\nto move from one place to another", L"child\r\na young person, a son"},
       L"en_US",
       L"en_US"},
  };
  for (const auto& c : cases) {
    dict.reset();
    test::WriteBytes(dir.File("l.dat"), test::DictBytes(c.entries, L"Title\r\n"));
    DeleteFileA(dir.File("l.ind").c_str());
    dict = std::make_unique<TADict>(dir.File("l.dat"), dir.File("l.ind"), true, false, false);
    const DictLanguages found = DetectDictLanguages(*dict, Shipped());
    EXPECT_EQ(ToUtf8(found.headwords ? found.headwords->Name() : L""), ToUtf8(c.headwords));
    EXPECT_EQ(ToUtf8(found.meanings ? found.meanings->Name() : L""), ToUtf8(c.meanings));
  }
}

TEST(EditDistanceTest, CountsInsertionsDeletionsReplacementsAndSwaps) {
  const struct {
    const wchar_t* a;
    const wchar_t* b;
    size_t distance;
  } cases[] = {{L"", L"", 0},          {L"", L"abc", 3},          {L"къшта", L"къща", 2},
               {L"къшта", L"къта", 1}, {L"cta", L"cat", 1},       {L"abcd", L"acbd", 1},
               {L"ca", L"abc", 3},     {L"kitten", L"sitting", 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(EditDistance(c.a, c.b), c.distance) << ToUtf8(c.a) << " " << ToUtf8(c.b);
    EXPECT_EQ(EditDistance(c.b, c.a), c.distance) << ToUtf8(c.b) << " " << ToUtf8(c.a);
  }
}

}  // namespace
}  // namespace lexmora
