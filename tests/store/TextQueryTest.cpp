// The search inside the entries as a reader of the meanings uses it: the best matches first, the
// forms of a word found through the language of the meanings, quotes keeping a word exact, and
// queries that are mostly not words.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "store/TextSearch.h"

namespace lexmora {
namespace {

using test::TempDir;
using Entries = std::vector<int32_t>;
using test::Show;

class TextQueryTest : public ::testing::Test {
 protected:
  TextQueryTest() : scopedReporter_(reporter) {}

  TADict& Open(const std::vector<std::wstring>& entries) {
    dict.reset();
    test::WriteBytes(dir.File("q.dat"), test::DictBytes(entries, L"Title\r\n"));
    DeleteFileA(dir.File("q.ind").c_str());
    DeleteFileA(dir.File("q.wix").c_str());
    dict = std::make_unique<TADict>(dir.File("q.dat"), dir.File("q.ind"), false, false, false);
    return *dict;
  }

  struct Case {
    std::wstring query;
    Entries want;
  };
  void Expect(const std::vector<Case>& cases, MorphLanguage* language, const char* what) {
    for (const Case& c : cases) {
      const Entries got = FindInText(*dict, c.query, INT32_MAX, language);
      EXPECT_EQ(got, c.want) << what << ", query \"" << ToUtf8(c.query) << "\": got " << Show(got)
                             << ", wanted " << Show(c.want);
    }
  }

  TempDir dir;
  std::unique_ptr<TADict> dict;
  test::RecordingReporter reporter;

 private:
  ScopedReporter scopedReporter_;
};

// The shipped Bulgarian Hunspell dictionary, loaded once for all tests here.
MorphLanguage& Bulgarian() {
  static Morphology morphology(ToWide(LEXMORA_MORPHOLOGY_DATA));
  static MorphLanguage* bulgarian = [] {
    MorphLanguage* language = morphology.Find(L"bg_BG");
    language->Load();
    return language;
  }();
  return *bulgarian;
}

// Entries that give the words as a sense of their own come first, then those whose headword
// holds them, then the rest, each group in entry order; a limit takes the first of that order.
TEST_F(TextQueryTest, MatchesComeSensesFirstThenHeadwordsThenTheRest) {
  Open({
      L"shelter\r\nподслон, дом за бездомни",       // 0: in a longer sense
      L"дом\r\nhouse",                              // 1: the headword
      L"home\r\n1. дом 2. родина",                  // 2: a numbered sense
      L"brothel\r\nпубличен дом",                   // 3: in a sense of two words
      L"house\r\nкъща; дом",                        // 4: after a semicolon
      L"domestic\r\nдомашен (за дом)",              // 5: in parentheses only
      L"дом и семейство\r\nhome and family",        // 6: in the headword
      L"household\r\nдомакинство, дом, семейство",  // 7: between commas
      L"публичен дом\r\nbrothel",                   // 8: both words in the headword
      L"bawdy house\r\nдом, публичен",              // 9: each a sense of its own
      L"abode\r\nжилище\r\nдом",                    // 10: a line of its own
      L"building\r\nдом (сграда)",                  // 11: a sense with an aside
      L"домът\r\nthe house",                        // 12: another word
  });
  Expect(
      {
          {L"дом", {2, 4, 7, 9, 10, 11, 1, 6, 8, 0, 3, 5}},
          {L"ДОМ", {2, 4, 7, 9, 10, 11, 1, 6, 8, 0, 3, 5}},
          {L"публичен дом", {3, 8, 9}},
          {L"дом публичен", {3, 8, 9}},  // a sense of just those words, in any order
          {L"дом семейство", {6, 7}},    // the headword before two senses apart
          {L"за дом", {0, 5}},           // in a longer sense, in an aside
          {L"сграда", {11}},
          {L"домът", {12}},
      },
      nullptr, "no language");
  const struct {
    int32_t limit;
    Entries want;
  } limits[] = {{1, {2}}, {4, {2, 4, 7, 9}}, {7, {2, 4, 7, 9, 10, 11, 1}}, {0, {}}};
  for (const auto& l : limits) {
    const Entries got = FindInText(*dict, L"дом", l.limit, nullptr);
    EXPECT_EQ(got, l.want) << "limit " << l.limit << ": got " << Show(got);
  }
}

// An unquoted word finds the entries that hold any of its forms, and is found by any of them; a
// word in quotes finds itself only. Stress marks are ignored either way.
TEST_F(TextQueryTest, FormsAreFoundAndQuotesKeepAWordExact) {
  MorphLanguage& bulgarian = Bulgarian();
  ASSERT_EQ(bulgarian.State(), MorphState::Ready) << ToUtf8(bulgarian.OffReason());
  Open({
      L"house\r\nкъща",                      // 0
      L"the house\r\nкъ\u0301щата",          // 1: with a stress mark
      L"houses\r\nкъщи",                     // 2
      L"home\r\nдом",                        // 3
      L"at home\r\nу дома",                  // 4
      L"homes\r\nдомове, жилища",            // 5
      L"hut\r\nкъщурка",                     // 6: another word that starts the same
      L"domestic\r\nдомашен",                // 7: another word that starts the same
      L"houses and homes\r\nкъщи и домове",  // 8
  });
  Expect(
      {
          {L"къща", {0, 1, 2, 8}},
          {L"къщата", {0, 1, 2, 8}},
          {L"къ\u0301щи", {0, 1, 2, 8}},
          {L"дом", {3, 5, 4, 8}},
          {L"домове", {3, 5, 4, 8}},
          {L"къща дом", {8}},
          {L"\"дом\"", {3}},
          {L"\"къщата\"", {1}},
          {L"\u201Eкъщи\u201C", {2, 8}},
          {L"\"къщи\" дом", {8}},
          {L"домашен", {7}},
          {L"къщурка", {6}},
      },
      &bulgarian, "Bulgarian");

  // The forms found are the words shown as matched, marks included.
  const std::wstring text = dict->ReadEntry(8, -1);
  EXPECT_EQ(MatchingWords(*dict, text, L"къщата дом", &bulgarian),
            (std::vector<TextSpan>{{18, 4}, {25, 6}}))
      << ToUtf8(text);
  EXPECT_EQ(MatchingWords(*dict, text, L"\"къщата\" дом", &bulgarian),
            (std::vector<TextSpan>{{25, 6}}))
      << ToUtf8(text);

  Expect({{L"къща", {0}}, {L"дом", {3}}}, nullptr, "no language");
}

// Without a language given, a search takes the forms of the dictionary's meanings, not those of
// its headwords.
TEST_F(TextQueryTest, TheDictionarysMeaningsLanguageGivesTheForms) {
  MorphLanguage& bulgarian = Bulgarian();
  Open({L"house\r\nкъща", L"the house\r\nкъщата"});
  dict->SetLanguages({&bulgarian, nullptr});
  EXPECT_EQ(FindInText(*dict, L"къща", 10), Entries{0});
  dict->SetLanguages({nullptr, &bulgarian});
  EXPECT_EQ(FindInText(*dict, L"къща", 10), (Entries{0, 1}));
  EXPECT_EQ(MatchingWords(*dict, L"the house\r\nкъщата", L"къща"),
            (std::vector<TextSpan>{{11, 6}}));
  dict->SetLanguages({});
}

// The word index is made again by itself when the language of the forms changes, or its files.
TEST_F(TextQueryTest, TheWordIndexFollowsTheLanguageAndItsFiles) {
  const std::wstring folder = ToWide(dir.File("morph\\"));
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring shipped = ToWide(LEXMORA_MORPHOLOGY_DATA);
  for (const wchar_t* file : {L"bg_BG.aff", L"bg_BG.dic"})
    ASSERT_TRUE(CopyFileW((shipped + file).c_str(), (folder + file).c_str(), FALSE));
  Morphology morphology(folder);
  MorphLanguage* bulgarian = morphology.Find(L"bg_BG");
  ASSERT_NE(bulgarian, nullptr);
  Open({L"house\r\nкъща", L"houses\r\nкъщи"});

  EXPECT_EQ(FindInText(*dict, L"къща", 10, nullptr), Entries{0});
  EXPECT_TRUE(WordIndexReady(*dict, nullptr));
  EXPECT_FALSE(WordIndexReady(*dict, bulgarian)) << "an index without forms taken for one with";
  EXPECT_EQ(FindInText(*dict, L"къща", 10, bulgarian), (Entries{0, 1}));
  EXPECT_TRUE(WordIndexReady(*dict, bulgarian));
  {
    TADict reopened(dir.File("q.dat"), dir.File("q.ind"), false, false, false);
    EXPECT_TRUE(WordIndexReady(reopened, bulgarian)) << "the file made with forms is not taken";
    EXPECT_FALSE(WordIndexReady(reopened, nullptr));
  }

  const std::string aff = ToUtf8(folder) + "bg_BG.aff";
  test::SetLastWriteTime(aff, test::ShiftTime(test::LastWriteTime(aff), 10000000));
  EXPECT_FALSE(WordIndexReady(*dict, bulgarian)) << "the language's files changed";
  EXPECT_EQ(FindInText(*dict, L"къщи", 10, bulgarian), (Entries{0, 1}));
  EXPECT_TRUE(WordIndexReady(*dict, bulgarian));
}

// Queries of many words, of punctuation or quotes only, or with a quote left open, find the
// matches of their words or nothing.
TEST_F(TextQueryTest, OddQueriesFindTheirWordsOrNothing) {
  MorphLanguage& bulgarian = Bulgarian();
  Open({L"home\r\nдом", L"homes\r\nдомове", L"house\r\nкъща, дом"});
  std::wstring thousand, thousandFound;
  for (int k = 0; k < 1000; ++k) {
    thousand += L"дума" + std::to_wstring(k) + L" ";
    thousandFound += k % 2 == 0 ? L"дом " : L"ДОМОВЕ ";
  }
  Expect(
      {
          {L"", {}},
          {L",.;:!? - \u2014 ()", {}},
          {L"\"", {}},
          {L"\"\"\"\"", {}},
          {L"\u201E\u201C\u00AB\u00BB", {}},
          {L"\"дом", {0, 2}},     // open to the end: exact
          {L"дом\"", {0, 1, 2}},  // the quote opens after the word
          {L"\"дом\" \"", {0, 2}},
          {L"\"\" дом", {0, 1, 2}},
          {L"къща \"дом", {2}},
          {thousand, {}},
          {thousandFound, {0, 1, 2}},
          {thousandFound + L"къща", {2}},
      },
      &bulgarian, "Bulgarian");
}

}  // namespace
}  // namespace lexmora
