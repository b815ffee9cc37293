#include <gtest/gtest.h>

#include <atomic>

#include "MorphTestSupport.h"
#include "base/Text.h"
#include "morph/DictEncoding.h"
#include "morph/Morphology.h"

namespace lexmora {
namespace {

using test::Joined;

struct FormCase {
  const wchar_t* language;
  const wchar_t* form;
  std::vector<std::wstring> stems;
};

// The shipped data, as the later lookup will meet it: forms with affixes, forms no rule makes
// (from the table of irregular forms), words with two dictionary forms, case, and words of
// another language.
TEST(MorphologyTest, StemsOfFormsOnTheShippedDictionaries) {
  Morphology morphology(test::ShippedMorphology());
  const std::vector<FormCase> cases = {
      {L"bg_BG", L"къщата", {L"къща"}},
      {L"bg_BG", L"Къщата", {L"къща"}},
      {L"bg_BG", L"четох", {L"чета"}},
      {L"bg_BG", L"къща", {L"къща"}},
      {L"bg_BG", L"boxes", {}},
      {L"ru_RU", L"домами", {L"дом"}},
      {L"ru_RU", L"стекло", {L"стекло", L"стечь"}},
      {L"ru_RU", L"ДОМАМИ", {L"дом"}},
      {L"ru_RU", L"къщата", {}},
      {L"en_US", L"boxes", {L"box"}},
      {L"en_US", L"went", {L"went", L"go"}},
      {L"en_US", L"children", {L"children", L"child"}},
      {L"en_US", L"Children", {L"children", L"child"}},
      {L"en_US", L"better", {L"better", L"good", L"well"}},
      {L"en_US", L"saw", {L"saw", L"see"}},
      {L"en_US", L"mice", {L"mice", L"mouse"}},
      {L"en_US", L"xqzt", {}},
      {L"en_US", L"", {}},
      {L"en_US", std::wstring(200, L'a').c_str(), {}},
  };
  for (const FormCase& c : cases) {
    MorphLanguage* language = morphology.Find(c.language);
    ASSERT_NE(language, nullptr) << ToUtf8(c.language);
    EXPECT_EQ(Joined(language->Stems(c.form)), Joined(c.stems))
        << ToUtf8(c.language) << " " << ToUtf8(c.form);
  }
  for (const auto& language : morphology.Languages())
    EXPECT_EQ(language->State(), MorphState::Ready) << ToUtf8(language->OffReason());
}

TEST(MorphologyTest, KnowsAndSuggests) {
  Morphology morphology(test::ShippedMorphology());
  MorphLanguage& english = *morphology.Find(L"EN_us");
  EXPECT_TRUE(english.Knows(L"houses"));
  EXPECT_FALSE(english.Knows(L"housez"));
  const std::vector<std::wstring> suggested = english.Suggest(L"housez", 3);
  EXPECT_LE(suggested.size(), 3u);
  EXPECT_NE(std::find(suggested.begin(), suggested.end(), L"houses"), suggested.end())
      << Joined(suggested);
  EXPECT_TRUE(english.Suggest(L"housez", 0).empty());
  EXPECT_TRUE(morphology.Find(L"ru_RU")->Knows(L"стекло"));
}

// A dictionary in an 8-bit encoding: the Russian one converted to KOI8-R gives the same stems,
// and a word with a letter KOI8-R lacks is unknown, not taken for the nearest word it can spell.
TEST(MorphologyTest, DictionaryInKoi8R) {
  test::TempDir dir;
  const std::wstring folder = ToWide(dir.Path());
  const auto toKoi8 = [](const std::string& utf8) {
    std::optional<std::string> bytes = ToCodePage(FromUtf8(utf8), 20866);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or("");
  };
  std::string affix = test::ReadShipped(L"ru_RU.aff");
  ASSERT_EQ(affix.rfind("SET UTF-8\n", 0), 0u);
  test::WriteText(folder + L"ru_KOI8.aff", "SET KOI8-R\n" + toKoi8(affix.substr(10)));
  test::WriteText(folder + L"ru_KOI8.dic", toKoi8(test::ReadShipped(L"ru_RU.dic")));

  MorphLanguage russian(folder, L"ru_KOI8");
  EXPECT_EQ(Joined(russian.Stems(L"домами")), "дом") << ToUtf8(russian.OffReason());
  EXPECT_EQ(Joined(russian.Stems(L"стекло")), "стекло, стечь");
  EXPECT_TRUE(russian.Knows(L"грунт"));
  EXPECT_FALSE(russian.Knows(L"ґрунт"));
  EXPECT_TRUE(russian.Stems(L"ґрунт").empty());
  EXPECT_FALSE(russian.Knows(L"дом\xD800"));
}

TEST(MorphologyTest, EncodingNamesAsHunspellReadsThem) {
  const std::vector<std::pair<std::string, UINT>> cases = {
      {"UTF-8", CP_UTF8},   {"utf-8", 0},           {"microsoft-cp1251", 1251}, {"KOI8-R", 20866},
      {"ISO8859-5", 28595}, {"ISO-8859-15", 28605}, {"ISO8859-10", 0},          {"EBCDIC", 0},
  };
  for (const auto& [name, codePage] : cases)
    EXPECT_EQ(CodePageOfEncoding(name), codePage) << name;
  EXPECT_EQ(DeclaredEncoding("# SET KOI8-R\nSET  KOI8-R \r\n"), "KOI8-R");
  EXPECT_EQ(DeclaredEncoding("TRY abc\n"), "ISO8859-1");
}

// The program folder may be named in letters the system code page lacks.
TEST(MorphologyTest, FolderWithCyrillicName) {
  test::TempDir dir;
  const std::wstring folder = ToWide(dir.Path()) + L"Речник\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  for (const wchar_t* file : {L"en_US.aff", L"en_US.dic", L"en_US.exc"})
    test::WriteText(folder + file, test::ReadShipped(file));
  Morphology morphology(folder);
  ASSERT_EQ(morphology.Languages().size(), 1u);
  MorphLanguage& english = *morphology.Languages()[0];
  EXPECT_EQ(Joined(english.Stems(L"boxes")), "box") << ToUtf8(english.OffReason());
  EXPECT_EQ(Joined(english.Stems(L"went")), "went, go");
}

TEST(MorphologyTest, LoadsInTheBackground) {
  Morphology morphology(test::ShippedMorphology());
  std::atomic<int> loaded{0};
  const DWORD caller = GetCurrentThreadId();
  std::atomic<bool> otherThread{true};
  morphology.LoadInBackground([&](MorphLanguage& language) {
    otherThread = otherThread && GetCurrentThreadId() != caller &&
                  language.State() == MorphState::Ready && language.LoadMilliseconds() > 0;
    ++loaded;
  });
  // Asked while the thread loads, a language waits for it or loads itself, and answers.
  EXPECT_EQ(Joined(morphology.Find(L"ru_RU")->Stems(L"домами")), "дом");
  for (int i = 0; i < 600 && loaded < 3; ++i)
    Sleep(50);
  EXPECT_EQ(loaded, 3);
  EXPECT_TRUE(otherThread);
}

TEST(MorphologyTest, DetectsTheLanguageOfASample) {
  Morphology morphology(test::ShippedMorphology());
  struct Case {
    std::vector<std::wstring> sample;
    const wchar_t* language;
  };
  const std::vector<Case> cases = {
      {{L"къща", L"град", L"вода", L"хляб", L"книга", L"пътят", L"стол", L"котка"}, L"bg_BG"},
      {{L"дом", L"город", L"вода", L"хлеб", L"книга", L"улица", L"стол", L"кошка"}, L"ru_RU"},
      {{L"house", L"town", L"water", L"bread", L"book", L"street", L"chair", L"cat"}, L"en_US"},
      // German: English knows "so" and "man" alone, below a fair share.
      {{L"Haus", L"Stadt", L"Wasser", L"Brot", L"Buch", L"Straße", L"so", L"man"}, nullptr},
      {{}, nullptr},
  };
  for (const Case& c : cases) {
    MorphLanguage* found = DetectLanguage(morphology, c.sample);
    EXPECT_EQ(found ? ToUtf8(found->Name()) : "none", c.language ? ToUtf8(c.language) : "none")
        << Joined(c.sample);
  }
}

}  // namespace
}  // namespace lexmora
