// The sorted build against the literal algorithm: whole index files compared on dictionaries
// made to hit every decision of the sorted insertion.
#include <gtest/gtest.h>

#include <random>

#include "StoreTestSupport.h"
#include "store/ADictU.h"
#include "store/RankedList.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::kSep;
using test::TempDir;

// Stems that the comparison finds equal, nearly equal or oddly ordered: case variants, hyphens
// and apostrophes (weighed little), a soft hyphen and a combining accent (ignorable or nearly),
// ligatures and their letters, Cyrillic beside Latin look-alikes, a letter outside the basic
// plane in both cases, empty and one-letter stems that make keys run on into the next entry.
const std::vector<std::wstring> kStems = {
    L"bar",      L"Bar",     L"BAR",      L"ba-r",     L"b'ar",     L"bar-",        L"co-op",
    L"coop",     L"co'op",   L"Coop",     L"дом",      L"Дом",      L"до-м",        L"дом'",
    L"ёж",       L"еж",      L"Ёж",       L"ЁЖ",       L"résumé",   L"resume",      L"RÉSUMÉ",
    L"straße",   L"strasse", L"a",        L"A",        L"-",        L"'",           L"",
    L"ab",       L"a-b",     L"ab-",      L"\u00ADab", L"a\u0301b", L"\u01C5",      L"\u01C6",
    L"\u01C4",   L"\uFB01",  L"fi",       L"\u2177",   L"\u2167",   L"\U00010400x", L"\U00010428x",
    L"c\u0430t", L"cat",     L"\u0441at", L"ǆemal",    L"1-2",      L"12",
};

std::wstring RandomEntry(std::mt19937& rng, size_t maxTail) {
  std::wstring entry = kStems[rng() % kStems.size()];
  if (rng() % 3 == 0)
    entry += kStems[rng() % kStems.size()];
  const size_t tail = maxTail == 0 ? 0 : rng() % (maxTail + 1);
  for (size_t k = 0; k < tail; ++k) {
    static const wchar_t kTail[] = L"aAbB-' .,бБяЯ\r\n";
    entry += kTail[rng() % (std::size(kTail) - 1)];
  }
  return entry;
}

struct Built {
  TIndexList offsets;
  std::vector<int32_t> reports;
};

Built BuildSorted(const std::string& dat, const std::string& ind, bool doSort) {
  Built b;
  FILETIME time{};
  ScanEntries(dat, doSort, b.offsets, time, [&](int32_t n) { b.reports.push_back(n); });
  WriteIndexFile(ind, b.offsets, time);
  return b;
}

// Builds the sorted index of `dat` and checks it byte for byte against the oracle's, and its
// progress reports against those of an unsorted scan.
void ExpectSameAsLiteral(const TempDir& dir, const std::string& name) {
  const std::string dat = dir.File("s.dat"), ind = dir.File("s.ind");
  const Built sorted = BuildSorted(dat, ind, true);
  const TIndexList want = test::LiteralSortedOffsets(dat);
  ASSERT_EQ("", test::FirstDifference(sorted.offsets, want)) << name;
  const Bytes wantBytes = test::IndexBytes(test::LastWriteTime(dat), want);
  const Bytes gotBytes = test::ReadBytes(ind);
  EXPECT_TRUE(gotBytes == wantBytes) << name << ": index file of " << gotBytes.size()
                                     << " bytes differs from the wanted " << wantBytes.size();
  TIndexList unused;
  std::vector<int32_t> unsortedReports;
  FILETIME time{};
  ScanEntries(dat, false, unused, time, [&](int32_t n) { unsortedReports.push_back(n); });
  EXPECT_EQ(unsortedReports, sorted.reports) << name << ": progress reports";
}

TEST(SortedBuild, MatchesTheLiteralAlgorithmOnBothSidesOfTheThreshold) {
  std::mt19937 rng(20240601);
  for (size_t n = 0; n <= 20; ++n) {
    for (int round = 0; round < 4; ++round) {
      std::vector<std::wstring> entries;
      for (size_t k = 0; k < n; ++k)
        entries.push_back(RandomEntry(rng, round == 0 ? 0 : 6));
      TempDir dir;
      test::WriteBytes(dir.File("s.dat"), test::DictBytes(entries, L"\uFEFFtitle"));
      ExpectSameAsLiteral(dir, std::to_string(n) + " entries, round " + std::to_string(round));
    }
  }
}

TEST(SortedBuild, MatchesTheLiteralAlgorithmWithRunsOfEqualKeys) {
  // Keys equal over their 49 characters apart from case, in runs of up to 5: with 8 or more
  // entries a new one goes directly after the first equal key the halving meets, which need
  // not be the last of its run.
  std::mt19937 rng(5);
  for (size_t n : {9, 30, 200}) {
    std::vector<std::wstring> entries;
    while (entries.size() < n) {
      std::wstring head = RandomEntry(rng, 3) + std::wstring(49, L'q');
      const size_t run = 1 + rng() % 5;
      for (size_t k = 0; k < run; ++k) {
        std::wstring variant = head;
        if (rng() % 2 == 0)
          CharUpperBuffW(variant.data(), static_cast<DWORD>(variant.size()));
        entries.push_back(variant + std::to_wstring(k));
      }
    }
    std::shuffle(entries.begin(), entries.end(), rng);
    TempDir dir;
    test::WriteBytes(dir.File("s.dat"), test::DictBytes(entries));
    ExpectSameAsLiteral(dir, std::to_string(n) + " entries in runs");
  }
}

TEST(SortedBuild, MatchesTheLiteralAlgorithmAcrossReadBlocks) {
  // About 20 read blocks of short entries, so that keys run on through several entries and
  // across block ends; then keys cut inside a surrogate pair, at a block end and at the file's
  // end.
  std::mt19937 rng(77);
  std::vector<std::wstring> entries;
  for (int k = 0; k < 18000; ++k)
    entries.push_back(RandomEntry(rng, k % 7 == 0 ? 40 : 4));
  const std::wstring pairUpper = L"\U00010400", pairLower = L"\U00010428";
  for (int k = 0; k < 40; ++k) {
    // The 49th key unit is the first half of a pair.
    entries.push_back(std::wstring(48, L'k') + (k % 2 ? pairUpper : pairLower) + L"z");
  }
  entries.push_back(std::wstring(48, L'k') + pairUpper);  // the file ends inside the key
  {
    TempDir dir;
    test::WriteBytes(dir.File("s.dat"), test::DictBytes(entries, L"\uFEFFTitle\r\n"));
    ExpectSameAsLiteral(dir, "short entries over many blocks");
  }
  // Separators just before the end of the first block, keys straddling it; keys that differ
  // only in their 49th character, one of them in the first block, one across its end and one
  // wholly in the second block.
  std::wstring text(16384 + 200, L'x');
  auto place = [&](size_t at, wchar_t last) {
    text[at] = kSep;
    text.replace(at + 1, 48, 48, L'y');
    text[at + 49] = last;
    text[at + 50] = kSep;
  };
  place(0, L'b');
  place(60, L'a');
  place(16373, L'c');
  place(16383, L'd');
  for (size_t u : {16300, 16330, 16370})
    text[u] = kSep;
  text[16300 - 1] = pairUpper[0];
  text[16300 + 1] = pairUpper[1];
  for (bool odd : {false, true}) {
    TempDir dir;
    Bytes bytes = test::Utf16Le(text);
    if (odd)
      bytes.push_back(0xB7);
    test::WriteBytes(dir.File("s.dat"), bytes);
    ExpectSameAsLiteral(
        dir, odd ? "keys across the block end, odd length" : "keys across the block end");
  }
}

TEST(SortedBuild, MatchesTheLiteralAlgorithmOnRandomUnits) {
  // Any 16-bit units, unpaired surrogates and controls included, with separators frequent
  // enough for hundreds of entries.
  std::mt19937 rng(31337);
  for (int round = 0; round < 12; ++round) {
    const size_t units = 50 + rng() % 40000;
    std::wstring text(units, L'\0');
    for (auto& u : text) {
      const uint32_t r = rng();
      u = r % 9 == 0   ? kSep
          : r % 5 == 0 ? static_cast<wchar_t>(0xD800 + (r >> 8) % 0x800)
          : r % 3 == 0 ? static_cast<wchar_t>(r >> 16)
                       : static_cast<wchar_t>(L'a' + (r >> 8) % 4);
    }
    TempDir dir;
    test::WriteBytes(dir.File("s.dat"), test::Utf16Le(text));
    ExpectSameAsLiteral(dir, "random units, round " + std::to_string(round));
  }
}

TEST(RankedList, AgreesWithAVectorUnderRandomInsertions) {
  std::mt19937 rng(3);
  for (size_t capacity : {2, 3, 16, 2048}) {
    detail::RankedList list(capacity);
    std::vector<int32_t> want;
    for (int32_t k = 0; k < 5000; ++k) {
      // Mostly at the ends and at one hot spot, as sorted input and duplicates give.
      const uint32_t r = rng() % 4;
      const size_t at = r == 0   ? 0
                        : r == 1 ? want.size()
                        : r == 2 ? want.size() / 3
                                 : rng() % (want.size() + 1);
      list.Insert(at, k);
      want.insert(want.begin() + static_cast<ptrdiff_t>(at), k);
      if (k % 997 == 0) {
        for (size_t p = 0; p < want.size(); ++p)
          ASSERT_EQ(want[p], list.At(p)) << "position " << p << ", capacity " << capacity;
      }
    }
    ASSERT_EQ(want.size(), list.Size());
    std::vector<int32_t> got = {-1};
    list.MoveTo(got);
    got.erase(got.begin());
    EXPECT_EQ("", test::FirstDifference(got, want)) << "capacity " << capacity;
    EXPECT_EQ(0u, list.Size());
  }
}

}  // namespace
}  // namespace lexmora
