#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

#include "StoreTestSupport.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "store/ADictU.h"
#include "store/IndexWriter.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::kSep;
using test::TempDir;

struct ScanResult {
  TIndexList offsets;
  FILETIME time{};
  std::vector<int32_t> reports;
};

ScanResult Scan(const std::string& path, bool doSort) {
  ScanResult r;
  ScanEntries(path, doSort, r.offsets, r.time, [&](int32_t count) { r.reports.push_back(count); });
  return r;
}

std::string Show(const TIndexList& list) {
  std::string out;
  for (int32_t v : list)
    out += std::to_string(v) + " ";
  return out;
}

// Bytes of `units` code units of filler text with separators at the given unit positions.
Bytes UnitsWithSeparators(size_t units, const std::vector<size_t>& separatorUnits) {
  std::wstring text(units, L'x');
  for (size_t u : separatorUnits)
    text[u] = kSep;
  return test::Utf16Le(text);
}

TEST(ScanEntries, WritesByteExactIndexFiles) {
  struct Case {
    const char* name;
    Bytes dat;
    TIndexList offsets;
  } cases[] = {
      {"empty file", {}, {}},
      {"no separator", test::Utf16Le(L"just a title line"), {}},
      {"byte-order mark, one entry", {0xFF, 0xFE, 0xB7, 0x00, 'a', 0, 'b', 0}, {4}},
      {"empty entries and separator at the end",
       {0xB7, 0, 'a', 0, 0xB7, 0, 0xB7, 0, 'b', 0, 0xB7, 0},
       {2, 6, 8, 12}},
      {"odd length, lone B7 at the end is no separator", {0xB7, 0, 'a', 0, 0xB7}, {2}},
      {"B7 as high byte is no separator", {0xB7, 0, 0x00, 0xB7, 0xB7, 0}, {2, 6}},
      {"separator as the last unit of a block", UnitsWithSeparators(16400, {0, 16383}), {2, 32768}},
      {"separator as the first unit of the second block",
       UnitsWithSeparators(16400, {16384}),
       {32770}},
      {"exactly one block ending in a separator",
       UnitsWithSeparators(16384, {5, 16383}),
       {12, 32768}},
  };
  // One block plus a lone byte B7: odd length across the block boundary.
  Bytes oddAfterBlock = UnitsWithSeparators(16384, {1});
  oddAfterBlock.push_back(0xB7);
  for (const auto& c : cases) {
    TempDir dir;
    test::WriteBytes(dir.File("d.dat"), c.dat);
    ScanResult r = Scan(dir.File("d.dat"), false);
    EXPECT_EQ(Show(c.offsets), Show(r.offsets)) << c.name;
    WriteIndexFile(dir.File("d.ind"), r.offsets, r.time);
    Bytes want = test::IndexBytes(test::LastWriteTime(dir.File("d.dat")), c.offsets);
    EXPECT_EQ(test::Hex(want), test::Hex(test::ReadBytes(dir.File("d.ind")))) << c.name;
  }
  TempDir dir;
  test::WriteBytes(dir.File("odd.dat"), oddAfterBlock);
  EXPECT_EQ("4 ", Show(Scan(dir.File("odd.dat"), false).offsets));
}

// A file denser in entries than the room reserved for it (one per 64 bytes): the list grows
// during the scan and its room is made present in several pieces; offsets already in the list
// stay in front of the new ones.
TEST(ScanEntries, UnsortedScanGrowsItsListPastTheReservedRoom) {
  for (size_t bytes : {size_t{65536}, size_t{5} << 20}) {
    TempDir dir;
    Bytes dat(bytes, 0);
    for (size_t i = 0; i < bytes; i += 2)
      dat[i] = 0xB7;
    test::WriteBytes(dir.File("dense.dat"), dat);
    TIndexList list{7, 9};
    list.shrink_to_fit();
    FILETIME time{};
    ScanEntries(dir.File("dense.dat"), false, list, time, nullptr);
    TIndexList want{7, 9};
    for (size_t offset = 2; offset <= bytes; offset += 2)
      want.push_back(static_cast<int32_t>(offset));
    ASSERT_EQ(want.size(), list.size()) << bytes << " bytes";
    const auto [got, wanted] = std::mismatch(list.begin(), list.end(), want.begin());
    EXPECT_TRUE(got == list.end()) << bytes << " bytes: element " << (got - list.begin()) << " is "
                                   << *got << ", want " << *wanted;
  }
}

TEST(ScanEntries, ReportsProgressAfterBlocksThatReachANewHundredth) {
  struct Case {
    size_t bytes;
    size_t reports;
    int32_t firstCount;  // offsets collected at the first report
  } cases[] = {
      {0, 0, 0},
      {2, 1, 1},               // under 100 bytes: unit 1
      {99, 1, 49},             // odd: the last byte is ignored
      {32766, 1, 16383},       // under one block: one report, at the end
      {32768, 1, 16384},       // the second, empty read reaches no new hundredth
      {65536, 2, 16384},       // two blocks, two reports
      {131074, 5, 16384},      // the short last block counts as a whole one: 163840 / 1310
      {10485760, 100, 65536},  // 320 blocks: the first report after block 4 (131072 bytes)
  };
  for (const auto& c : cases) {
    TempDir dir;
    // Every code unit a separator, so the count at a report tells where the scan was.
    Bytes dat(c.bytes, 0);
    for (size_t i = 0; i + 1 < c.bytes; i += 2)
      dat[i] = 0xB7;
    test::WriteBytes(dir.File("p.dat"), dat);
    ScanResult r = Scan(dir.File("p.dat"), false);
    ASSERT_EQ(c.reports, r.reports.size()) << c.bytes << " bytes";
    if (c.reports == 0)
      continue;
    EXPECT_EQ(c.firstCount, r.reports.front()) << c.bytes << " bytes";
    EXPECT_EQ(static_cast<int32_t>(c.bytes / 2), r.reports.back()) << c.bytes << " bytes";
    EXPECT_TRUE(std::is_sorted(r.reports.begin(), r.reports.end())) << c.bytes << " bytes";
  }
}

TEST(ScanEntries, MissingFileRaisesFileOpenErrorAndWritesNothing) {
  TempDir dir;
  std::string path = dir.File("none.dat");
  TIndexList list;
  FILETIME time{};
  try {
    ScanEntries(path, false, list, time, nullptr);
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(Format("Cannot open file \"%s\". %s", path.c_str(),
                     SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str()),
              e.what());
  }
}

TEST(ScanEntries, RefusesAFileOf2GiBBeforeReadingIt) {
  TempDir dir;
  std::string path = dir.File("big.dat");
  {
    // A sparse file of exactly 2^31 bytes.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = kMaxDictionaryFileSize;
    ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
  }
  const std::string want =
      "The dictionary file \"" + path +
      "\" is too large: dictionary files must be smaller than 2147483648 bytes (2 GiB).";
  TIndexList list;
  FILETIME time{};
  int reports = 0;
  try {
    ScanEntries(path, false, list, time, [&](int32_t) { ++reports; });
    FAIL() << "no exception";
  } catch (const EDictionaryTooLarge& e) {
    EXPECT_EQ(want, e.what());
  }
  EXPECT_EQ(0, reports);
  EXPECT_TRUE(list.empty());

  // Opening it as a dictionary gives the same error without asking for a build.
  test::CountingHost host;
  test::ScopedBuildHost scoped(host);
  for (bool onDisk : {false, true}) {
    try {
      TADict dict(path, dir.File("big.ind"), false, onDisk, false);
      FAIL() << "no exception";
    } catch (const EDictionaryTooLarge& e) {
      EXPECT_EQ(want, e.what());
    }
  }
  EXPECT_EQ(0, host.builds);
  EXPECT_FALSE(FileExists(dir.File("big.ind")));
}

// The oracle for sorted builds: the offsets ordered by their 49-unit lower-cased sort keys with
// a stable sort, so entries with equal keys stay in file order.
TIndexList SortedByKey(const std::wstring& text, const TIndexList& fileOrder) {
  auto key = [&](int32_t offset) {
    std::wstring k = text.substr(std::min<size_t>(offset / 2, text.size()), 49);
    if (!k.empty())
      CharLowerBuffW(k.data(), static_cast<DWORD>(k.size()));
    return k;
  };
  TIndexList sorted = fileOrder;
  std::stable_sort(sorted.begin(), sorted.end(), [&](int32_t a, int32_t b) {
    std::wstring ka = key(a), kb = key(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ka.c_str(),
                          static_cast<int>(ka.size()), kb.c_str(),
                          static_cast<int>(kb.size())) == CSTR_LESS_THAN;
  });
  return sorted;
}

TEST(ScanEntries, SortedBuildsOrderByKeyOnBothSidesOfTheThreshold) {
  std::mt19937 rng(7);
  auto word = [&](size_t len) {
    std::wstring w;
    for (size_t k = 0; k < len; ++k)
      w += static_cast<wchar_t>(L'a' + rng() % 26);
    return w;
  };
  struct Case {
    std::string name;
    std::vector<std::wstring> entries;
  };
  std::vector<Case> cases;
  for (size_t n : {1, 2, 7, 8, 9, 40}) {
    std::vector<std::wstring> descending;
    for (size_t k = 0; k < n; ++k)
      descending.push_back(std::wstring(1, L'z' - k % 26) + L"word");
    std::sort(descending.rbegin(), descending.rend());
    cases.push_back({"descending keys, " + std::to_string(n), descending});
    std::vector<std::wstring> random;
    for (size_t k = 0; k < n; ++k)
      random.push_back(word(1 + rng() % 6));
    cases.push_back({"random keys, " + std::to_string(n), random});
  }
  // Pairs of entries whose 49-unit keys are equal apart from case, the later one in the file
  // must follow the earlier one directly.
  for (size_t n : {3, 12}) {
    std::vector<std::wstring> pairs;
    for (size_t k = 0; k < n; ++k) {
      std::wstring head = word(3) + std::wstring(50, L'q');
      std::wstring upper = head;
      CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
      pairs.push_back(head);
      pairs.push_back(word(4));
      pairs.push_back(upper);
    }
    cases.push_back({"equal keys, " + std::to_string(n) + " pairs", pairs});
  }
  // A separator as the last unit: its empty key goes before every other.
  cases.push_back({"empty last entry", {L"m", L"c", L"x", L"b", L"a", L"k", L"q", L"d", L""}});

  for (const auto& c : cases) {
    TempDir dir;
    Bytes dat = test::DictBytes(c.entries, L"title ");
    test::WriteBytes(dir.File("s.dat"), dat);
    TIndexList fileOrder = Scan(dir.File("s.dat"), false).offsets;
    ScanResult sorted = Scan(dir.File("s.dat"), true);
    std::wstring text(dat.size() / 2, L'\0');
    std::memcpy(text.data(), dat.data(), text.size() * 2);
    EXPECT_EQ(Show(SortedByKey(text, fileOrder)), Show(sorted.offsets)) << c.name;
  }
}

TEST(FindSortedPosition, ReadsKeysAndRestoresThePosition) {
  TempDir dir;
  // Entries at offsets 2 ("apple"), 14 ("Cherry"), 28 ("banana").
  test::WriteBytes(dir.File("k.dat"), test::DictBytes({L"apple", L"Cherry", L"banana"}));
  FileStream data = FileStream::OpenRead(dir.File("k.dat"));
  EXPECT_EQ(std::wstring(L"cherry") + kSep + L"banana", ReadKeyAt(data, 14));
  EXPECT_EQ(L"", ReadKeyAt(data, 42));
  data.Seek(28);
  EXPECT_EQ(1, FindSortedPosition(data, {2, 14}));
  EXPECT_EQ(28, data.Position());
  data.Seek(2);
  EXPECT_EQ(0, FindSortedPosition(data, {28, 14}));
  EXPECT_EQ(2, data.Position());
}

TEST(ReadKeyAt, KeepsFortyNineCharacters) {
  TempDir dir;
  std::wstring text =
      std::wstring(1, kSep) + L"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ";
  test::WriteBytes(dir.File("l.dat"), test::Utf16Le(text));
  FileStream data = FileStream::OpenRead(dir.File("l.dat"));
  EXPECT_EQ(L"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvw", ReadKeyAt(data, 2));
}

TEST(WriteIndexFile, ReplacesALongerFileAndReportsIoErrors) {
  TempDir dir;
  FILETIME time{0x11223344, 0x01D00000};
  test::WriteBytes(dir.File("w.ind"), Bytes(100, 0xEE));
  WriteIndexFile(dir.File("w.ind"), {2, 6}, time);
  EXPECT_EQ(test::Hex(test::IndexBytes(time, {2, 6})),
            test::Hex(test::ReadBytes(dir.File("w.ind"))));

  struct Case {
    const char* name;
    std::string path;
    const char* text;
  } cases[] = {
      {"missing folder", dir.File("no\\such\\x.ind"), "Invalid filename"},
      {"read-only file", dir.File("ro.ind"), "File access denied"},
  };
  test::WriteBytes(dir.File("ro.ind"), Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  SetFileAttributesA(dir.File("ro.ind").c_str(), FILE_ATTRIBUTE_READONLY);
  for (const auto& c : cases) {
    try {
      WriteIndexFile(c.path, {2}, time);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const EInOutError& e) {
      EXPECT_STREQ(c.text, e.what()) << c.name;
    }
  }
  EXPECT_EQ((Bytes{1, 2, 3, 4, 5, 6, 7, 8}), test::ReadBytes(dir.File("ro.ind")))
      << "a refused index must stay untouched";
}

TEST(WriteIndexFile, AWriteFailingPartWayLeavesNoTimeThatPassesForFresh) {
  TempDir dir;
  FILETIME time{0x55667788, 0x01D00001};
  const size_t block = detail::kWriteBlockRecords;
  TIndexList list(2 * block + block / 2);
  std::iota(list.begin(), list.end(), 1);
  for (auto& v : list)
    v *= 2;
  test::WriteBytes(dir.File("f.ind"), test::IndexBytes(time, {2, 4}));  // an old, fresh index
  for (size_t failAt : {size_t{0}, block, 2 * block}) {
    try {
      detail::WriteIndexFile(ToWide(dir.File("f.ind")), list, time, [&](size_t written) {
        if (written == failAt)
          throw EInOutError(io_error::kDiskFull);
      });
      FAIL() << "no exception";
    } catch (const EInOutError& e) {
      EXPECT_STREQ("Disk full", e.what());
    }
    FILETIME stored = test::StoredTime(dir.File("f.ind"));
    EXPECT_EQ(0u, stored.dwLowDateTime) << "failing at " << failAt;
    EXPECT_EQ(0u, stored.dwHighDateTime) << "failing at " << failAt;
    EXPECT_EQ(8 + 4 * failAt, test::ReadBytes(dir.File("f.ind")).size()) << "failing at " << failAt;
  }
}

}  // namespace
}  // namespace lexmora
