// Merging entries by headword: which meanings are kept, and what merging many costs.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <psapi.h>

#include "base/Text.h"
#include "import/EntryTable.h"

namespace lexmora::test {
namespace {

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A meaning is left out when its lines already stand, line for line and in a row, in the entry.
// Enough meanings come first that the entry is past the size at which the lines are indexed.
TEST(EntryTable, KeepsEachMeaningOnce) {
  struct Case {
    const char* name;
    std::vector<std::wstring> meanings;
    std::wstring wanted;  // the merged meaning, its lines joined by "|"
  };
  auto sense = [](int i) { return L"sense " + std::to_wstring(i) + L" of the word, a long line"; };
  std::vector<std::wstring> many;
  std::wstring manyJoined;
  for (int i = 0; i < 40; ++i) {
    many.push_back(sense(i));
    manyJoined += (i > 0 ? L"|" : L"") + many.back();
  }
  auto after = [&](std::vector<std::wstring> tail) {
    std::vector<std::wstring> all = many;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
  };
  const Case cases[] = {
      {"repeated meaning", {L"one", L"two", L"one"}, L"one|two"},
      {"a line of an earlier meaning", {L"one\ntwo", L"two"}, L"one|two"},
      {"lines of two earlier meanings in a row", {L"one", L"two", L"one\ntwo"}, L"one|two"},
      {"the same lines in another order", {L"one\ntwo", L"two\none"}, L"one|two|two|one"},
      {"part of a line", {L"one two", L"one"}, L"one two|one"},
      {"empty lines inside count", {L"a\n\nb", L"a\nb"}, L"a||b|a|b"},
      {"many: repeated", after({sense(7), sense(39), sense(0)}), manyJoined},
      {"many: lines in a row", after({sense(3) + L"\n" + sense(4) + L"\n" + sense(5)}), manyJoined},
      {"many: not in a row", after({sense(3) + L"\n" + sense(5)}),
       manyJoined + L"|" + sense(3) + L"|" + sense(5)},
      {"many: part of a line", after({L"sense 1"}), manyJoined + L"|sense 1"},
      {"many: new, then repeated", after({L"x\ny", L"y", sense(39) + L"\nx"}),
       manyJoined + L"|x|y"},
  };
  for (const Case& c : cases) {
    import::EntryTable table;
    for (const std::wstring& meaning : c.meanings)
      table.Add(L"word", meaning);
    ASSERT_EQ(table.Size(), 1u) << c.name;
    std::wstring merged = table.Text(0).substr(6);
    for (size_t at = merged.find(L"\r\n"); at != std::wstring::npos; at = merged.find(L"\r\n"))
      merged.replace(at, 2, L"|");
    EXPECT_EQ(merged, c.wanted) << c.name;
  }
}

// Text comes back unit for unit, whatever its characters, and cut where asked: at a line break
// between its CR and LF, or inside a surrogate pair, as a cut of the whole text would be.
TEST(EntryTable, GivesTheTextBackUnitForUnit) {
  struct Case {
    std::wstring headword;
    std::wstring meaning;
    size_t maxUnits;
    std::wstring wanted;
  };
  const Case cases[] = {
      {L"a\u00E9\u0416\u20AC", L"x\U0001F600y", SIZE_MAX, L"a\u00E9\u0416\u20AC\r\nx\U0001F600y"},
      {L"k", L"\xD800lone\xDC00", SIZE_MAX, L"k\r\n\xD800lone\xDC00"},
      {L"k", L"one\ntwo", 6, L"k\r\none"},
      {L"k", L"one\ntwo", 7, L"k\r\none\r"},
      {L"k", L"one\ntwo", 8, L"k\r\none\r\n"},
      {L"k", L"\U0001F600", 4, L"k\r\n\xD83D"},
      {L"k", L"\u0416", 0, L""},
  };
  for (const Case& c : cases) {
    import::EntryTable table;
    table.Add(c.headword, c.meaning);
    std::wstring text = L"before";
    table.AppendText(0, text, c.maxUnits);
    EXPECT_EQ(text, L"before" + c.wanted) << ToAnsi(c.wanted);
    EXPECT_EQ(table.TextUnits(), static_cast<int64_t>(table.Text(0).size())) << ToAnsi(c.wanted);
  }
}

// A long meaning that many headwords share (a source pointing many headwords at one definition)
// is held once: memory does not grow with the entries that repeat it, and each entry reads back
// whole, also after a meaning has been merged into it, and cut anywhere.
TEST(EntryTable, ALongMeaningIsHeldOnceForAllTheEntriesThatHaveIt) {
  auto privateBytes = [] {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / (1 << 20);
  };
  const std::wstring meaning = std::wstring(1 << 18, L'\u0416') + L"\nline two";  // 512 KiB
  import::EntryTable table;
  const double before = privateBytes();
  for (int i = 0; i < 200; ++i)
    table.Add(L"w" + std::to_wstring(i), meaning);
  const double grown = privateBytes() - before;
  EXPECT_LT(grown, 30) << "MiB for 200 entries of one meaning of 0.5 MiB";

  table.Add(L"w7", L"merged");
  table.Add(L"other", meaning + L"!");
  const std::wstring text = std::wstring(1 << 18, L'\u0416') + L"\r\nline two";
  const struct {
    size_t entry;
    std::wstring wanted;
  } cases[] = {{0, L"w0\r\n" + text},
               {7, L"w7\r\n" + text + L"\r\nmerged"},
               {199, L"w199\r\n" + text},
               {200, L"other\r\n" + text + L"!"}};
  ASSERT_EQ(table.Size(), 201u);
  for (const auto& c : cases) {
    EXPECT_TRUE(table.Text(c.entry) == c.wanted) << "entry " << c.entry;
    for (const size_t cut : {size_t{0}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{900}}) {
      std::wstring part = L"x";
      table.AppendText(c.entry, part, cut);
      EXPECT_TRUE(part == L"x" + c.wanted.substr(0, cut)) << "entry " << c.entry << " cut " << cut;
    }
  }
}

// 20 000 meanings under one headword cost about what 20 000 headwords cost, not many times more.
TEST(EntryTable, MergingManyMeaningsTakesLinearTime) {
  constexpr int kCount = 20000;
  auto time = [](bool oneHeadword) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
      const double start = Seconds();
      import::EntryTable table;
      for (int i = 0; i < kCount; ++i) {
        const std::wstring n = std::to_wstring(i);
        table.Add(oneHeadword ? L"word" : L"word" + n, L"meaning number " + n);
      }
      best = std::min(best, Seconds() - start);
    }
    return best;
  };
  const double separate = time(false);
  const double merged = time(true);
  EXPECT_LT(merged, 4 * separate + 0.02)
      << "merged " << merged << " s, separate headwords " << separate << " s";
}

}  // namespace
}  // namespace lexmora::test
