// The order entries are written in: the ranking by sort keys gives the order of the direct
// sort, the check that guards it finds every disorder, and an import writes the same files
// either way.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Text.h"
#include "import/EntryTable.h"
#include "import/SearchOrder.h"
#include "store/TextCompare.h"

namespace lexmora::test {
namespace {

using Words = std::vector<std::pair<std::wstring, std::wstring>>;

// Headwords and meanings made of pieces that order in awkward ways: case variants, punctuation
// that weighs nothing, accents composed and combined, expansions, Cyrillic, digits, a character
// outside the BMP, long shared beginnings, whole keys that are equal; with headwords given
// again, so that meanings merge.
Words AwkwardWords(int count) {
  const std::vector<std::wstring> pieces = {
      L"a",      L"A",      L"b",       L"-",           L"'",      L" ",      L"co",
      L"op",     L"\u00E9", L"e\u0301", L"\u00DF",      L"ss",     L"\u0451", L"\u0435",
      L"\u0416", L"\u0436", L"1",       L"10",          L"2",      L".",      L"\U0001F600",
      L"\u00C6", L"ae",     L"x",       L"internation", L"\u00B7", L"\t",     L"zz"};
  const std::vector<std::wstring> meanings = {
      L"m", L"M", L"another meaning", L"a meaning long enough to run past fifty characters of key",
      L"a meaning long enough to run past fifty characters of key, then differing"};
  std::mt19937 random(20240607);
  auto pick = [&](const std::vector<std::wstring>& from) { return from[random() % from.size()]; };
  Words words;
  for (int i = 0; i < count; ++i) {
    std::wstring headword;
    if (!words.empty() && random() % 8 == 0) {
      headword = words[random() % words.size()].first;  // merged, or one more case variant
      if (random() % 2 == 0)
        headword = LowerCase(headword);
    } else {
      for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n)
        headword += pick(pieces);
    }
    words.push_back(
        {headword, pick(meanings) + (random() % 3 == 0 ? L"\n" + pick(meanings) : L"")});
  }
  return words;
}

import::EntryTable TableOf(const Words& words){import::EntryTable table;
for (const auto& [headword, meaning] : words)
  table.Add(headword, meaning);
table.EndAdding();
return table;
}  // namespace

TEST(SearchOrder, RankingGivesTheOrderOfTheDirectSort) {
  const import::EntryTable table = TableOf(AwkwardWords(6000));
  const std::vector<uint32_t> direct = import::SearchOrderByComparison(table);
  for (const size_t prefixUnits : {size_t{8}, size_t{50}}) {
    const std::optional<std::vector<uint32_t>> ranked = import::RankedOrder(table, prefixUnits);
    ASSERT_TRUE(ranked.has_value()) << "the ranking failed its check, prefix " << prefixUnits;
    EXPECT_TRUE(*ranked == direct) << "prefix " << prefixUnits;
  }
  EXPECT_TRUE(import::SearchOrder(table) == direct);
}

// Every code unit, and keys with characters outside the BMP, come out as the system's own
// lower-casing gives them.
TEST(SearchOrder, LowerCasesAsTheSystemDoes) {
  std::vector<std::wstring> keys = {L"\U00010400\U00010428 Deseret", L"A\xD801", L"\xDC00Z"};
  for (wchar_t c = 1; c != 0; ++c)
    keys.push_back(std::wstring(1, c) + L"A");
  for (const std::wstring& key : keys) {
    std::wstring ours = key, system = key;
    import::LowerCaseKey(ours);
    CharLowerBuffW(system.data(), static_cast<DWORD>(system.size()));
    if (ours != system)
      ADD_FAILURE() << "unit " << std::hex << int(key[0]) << ": " << int(ours[0]) << ", wanted "
                    << int(system[0]);
  }
}

TEST(SearchOrder, TheCheckFindsEveryDisorder) {
  // Entries 0 and 2 have equal keys (the search ignores case); 1 sorts first.
  const import::EntryTable table = TableOf({{L"Word", L"x"}, {L"apple", L"y"}, {L"word", L"x"}});
  struct Case {
    std::vector<uint32_t> order;
    bool wanted;
  };
  const Case cases[] = {
      {{1, 0, 2}, true},   // ascending, equal keys in entry order
      {{1, 2, 0}, false},  // equal keys out of entry order
      {{0, 1, 2}, false},  // a key above the next
      {{0, 2, 1}, false},  // the last one below the one before
      {{1}, true},        {{}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(import::InSearchOrder(table, c.order), c.wanted)
        << c.order.size() << " entries, first " << (c.order.empty() ? -1 : int(c.order[0]));
  }
}

// The dictionary and its index, written with the ranking and with the direct sort, from a list
// with ties, case variants and merged headwords: the same bytes (the index after its stored
// time, which is each file's own).
TEST(SearchOrder, AnImportWritesTheSameFilesEitherWay) {
  TempDir dir;
  std::string list;
  for (const auto& [headword, meaning] : AwkwardWords(20000)) {
    std::wstring escaped = meaning;
    for (size_t at = escaped.find(L'\n'); at != std::wstring::npos; at = escaped.find(L'\n'))
      escaped.replace(at, 1, L"\\n");
    list += ToUtf8(headword) + "\t" + ToUtf8(escaped) + "\n";
  }
  WriteFile(dir.File("list.txt"), list);
  for (const bool direct : {false, true}) {
    import::ImportOptions options;
    options.sources = {ToWide(dir.File("list.txt"))};
    options.output = ToWide(dir.File(direct ? "direct.dat" : "ranked.dat"));
    options.sortByComparisonOnly = direct;
    const import::ImportResult result = import::ImportDictionary(options);
    ASSERT_TRUE(result.indexWritten);
    ASSERT_GT(result.entriesMerged, 1000);
  }
  EXPECT_TRUE(ReadFile(dir.File("ranked.dat")) == ReadFile(dir.File("direct.dat")));
  EXPECT_TRUE(ReadFile(dir.File("ranked.ind")).substr(8) ==
              ReadFile(dir.File("direct.ind")).substr(8));
}

}  // namespace lexmora::test
}  // namespace lexmora::test
