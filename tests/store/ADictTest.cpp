#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <random>
#include <set>

#include "StoreTestSupport.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "store/ADictU.h"
#include "store/HeadwordLookup.h"
#include "store/IndexWriter.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::kSep;
using test::TempDir;

class DictTest : public ::testing::Test {
 protected:
  DictTest() : scopedReporter_(reporter) {}

  std::string Dat() const { return dir.File("d.dat"); }
  std::string Ind() const { return dir.File("d.ind"); }
  void WriteDat(const Bytes& bytes) { test::WriteBytes(Dat(), bytes); }
  std::unique_ptr<TADict> Open(bool onDisk, bool doSort = false, bool convert = false) {
    return std::make_unique<TADict>(Dat(), Ind(), doSort, onDisk, convert);
  }
  std::string ModeName(bool onDisk) { return onDisk ? "on disk" : "in memory"; }

  TempDir dir;
  test::RecordingReporter reporter;

 private:
  ScopedReporter scopedReporter_;
};

TEST_F(DictTest, FindWordPicksTheBestMatchInBothModes) {
  struct Case {
    std::vector<std::wstring> entries;
    std::wstring word;
    int32_t want;
  } cases[] = {
      {{}, L"anything", 0},
      {{L"only"}, L"zzz", 0},
      {{L"only"}, L"a", 0},
      {{L"bar", L"foo"}, L"fo", 1},  // 2 leading characters against 0
      {{L"bar", L"foo"}, L"zz", 0},  // 0 against 0: the lower entry
      {{L"bar", L"foo"}, L"bar", 0},
      {{L"b", L"f", L"m", L"t", L"x"}, L"m", 2},
      {{L"b", L"f", L"m", L"t", L"x"}, L"a", 0},
      {{L"b", L"f", L"m", L"t", L"x"}, L"xz", 4},
      {{L"b", L"f", L"m", L"t", L"x"}, L"z", 3},  // "x" shares no leading character with "z"
      {{L"b", L"f", L"m", L"t", L"x"}, L"M", 2},  // case does not matter
      {{L"apple - fruit", L"bread - food", L"cat - animal", L"dog - animal"}, L"CAT", 2},
      {{L"apple", L"apricot", L"banana", L"berry", L"cherry", L"date", L"fig"}, L"ber", 3},
      {{L"apple", L"apricot", L"banana", L"berry", L"cherry", L"date", L"fig"}, L"apr", 1},
  };
  for (const auto& c : cases) {
    WriteDat(test::DictBytes(c.entries, L"Title\r\n"));
    for (bool onDisk : {false, true}) {
      auto dict = Open(onDisk);
      EXPECT_EQ(c.want, dict->FindWord(c.word))
          << "word \"" << ToAnsi(c.word) << "\" in " << c.entries.size() << " entries, "
          << ModeName(onDisk);
      int32_t count = -1;
      EXPECT_EQ(c.want, dict->FindWord(c.word, count)) << ToAnsi(c.word) << ", with its count";
      EXPECT_EQ(dict->EntryCount(), count) << ToAnsi(c.word) << ", " << ModeName(onDisk);
    }
    DeleteFileA(Ind().c_str());
  }
}

TEST_F(DictTest, ReadEntryCutsAtSeparatorLengthAndFileEnd) {
  std::wstring longEntry(10005, L'w');
  WriteDat(test::DictBytes({L"first entry", L"", longEntry, L"second\r\nline", L""}, L"pre"));
  struct Case {
    int32_t i;
    int32_t maxChars;
    std::wstring want;
  } cases[] = {
      {0, -1, L"first entry"},
      {0, 5, L"first"},
      {0, 0, L""},
      {0, INT_MAX, L"first entry"},
      {0, -2, L""},
      {1, -1, L""},
      {2, -1, std::wstring(10000, L'w')},
      {3, -1, L"second\r\nline"},
      {4, -1, L""},  // separator as the last unit of the file
      {-1, -1, L""},
      {5, -1, L""},
      {INT_MIN, 50, L""},
  };
  for (bool onDisk : {false, true}) {
    auto dict = Open(onDisk);
    ASSERT_EQ(5, dict->EntryCount()) << ModeName(onDisk);
    // The word search's reads give the same texts into one buffer, and nothing from an entry
    // count on.
    std::wstring text = L"left from the read before";
    for (const auto& c : cases) {
      const std::string where =
          "entry " + std::to_string(c.i) + ", maxChars " + std::to_string(c.maxChars);
      EXPECT_EQ(c.want, dict->ReadEntry(c.i, c.maxChars)) << where << ", " << ModeName(onDisk);
      dict->ReadSearchText(c.i, c.maxChars, 5, text);
      EXPECT_EQ(c.want, text) << where << ", read as the search reads, " << ModeName(onDisk);
      dict->ReadSearchText(c.i, c.maxChars, c.i, text);
      EXPECT_EQ(L"", text) << where << ", count " << c.i << ", " << ModeName(onDisk);
    }
  }
  EXPECT_TRUE(reporter.beeps.empty());
}

TEST_F(DictTest, ReadEntryBeepsWhenTheFileEndsInsideTheLastWantedCharacter) {
  // "ab" then one byte: the file ends one byte into the third character.
  WriteDat(Bytes{0xB7, 0, 'a', 0, 'b', 0, 'c'});
  auto dict = Open(false);
  struct Case {
    int32_t maxChars;
    std::wstring want;
    size_t beeps;
  } cases[] = {{3, L"ab", 1}, {2, L"ab", 0}, {4, L"ab", 0}, {-1, L"ab", 0}};
  for (const auto& c : cases) {
    reporter.beeps.clear();
    EXPECT_EQ(c.want, dict->ReadEntry(0, c.maxChars)) << "maxChars " << c.maxChars;
    EXPECT_EQ(c.beeps, reporter.beeps.size()) << "maxChars " << c.maxChars;
    for (UINT type : reporter.beeps)
      EXPECT_EQ(0u, type) << "beep type";
  }
}

// Every index below is opened beside the same dictionary: "alpha", "beta", "gamma" and an empty
// last entry after a final separator, at offsets 2, 14, 24 and 36 (the file's size).
TEST_F(DictTest, DamagedIndexIsRebuiltInBothModes) {
  WriteDat(test::DictBytes({L"alpha", L"beta", L"gamma", L""}));
  const FILETIME time = test::LastWriteTime(Dat());
  const Bytes fresh = test::IndexBytes(time, {2, 14, 24, 36});
  auto cut = [&](size_t size) { return Bytes(fresh.begin(), fresh.begin() + size); };
  auto padded = [](Bytes b, size_t extra) {
    b.resize(b.size() + extra, 0x5A);
    return b;
  };
  const std::vector<std::wstring> inFileOrder = {L"alpha", L"beta", L"gamma", L""};
  const Bytes inOtherOrder = test::IndexBytes(time, {36, 24, 14, 2});
  const std::vector<std::wstring> otherOrder = {L"", L"gamma", L"beta", L"alpha"};
  struct Case {
    const char* name;
    Bytes index;
    int64_t extendTo;  // when not 0: the index file is made this long (sparse) after writing
    int wantBuilds;
    std::vector<std::wstring> want;
  } cases[] = {
      {"empty file", {}, 0, 1, inFileOrder},
      {"4 bytes", cut(4), 0, 1, inFileOrder},
      {"7 bytes", cut(7), 0, 1, inFileOrder},
      {"more offsets than the file has characters", test::IndexBytes(time, TIndexList(19, 2)), 0, 1,
       inFileOrder},
      {"1 GiB of offsets", fresh, int64_t{1} << 30, 1, inFileOrder},
      {"odd offset", test::IndexBytes(time, {2, 15, 24, 36}), 0, 1, inFileOrder},
      {"offset 0", test::IndexBytes(time, {0, 14, 24, 36}), 0, 1, inFileOrder},
      {"negative offset", test::IndexBytes(time, {2, -14, 24, 36}), 0, 1, inFileOrder},
      {"offset past the end", test::IndexBytes(time, {2, 14, 24, 38}), 0, 1, inFileOrder},
      {"largest offset", test::IndexBytes(time, {2, 14, INT_MAX - 1, 36}), 0, 1, inFileOrder},
      {"smallest offset", test::IndexBytes(time, {INT_MIN, 14, 24, 36}), 0, 1, inFileOrder},
      // Sound indexes are used as they are.
      {"fresh", fresh, 0, 0, inFileOrder},
      {"fresh, other order", inOtherOrder, 0, 0, otherOrder},
      {"fresh, no offsets", cut(8), 0, 0, {}},
      // 1 to 3 bytes after the last whole record are read as if absent, wherever they come
      // from: an index in another order than the file's (sorted) is kept, not rebuilt in file
      // order.
      {"1 byte after the last record", padded(inOtherOrder, 1), 0, 0, otherOrder},
      {"3 bytes after the last record", padded(inOtherOrder, 3), 0, 0, otherOrder},
      {"cut inside the first offset", cut(10), 0, 0, {}},
      {"cut inside the last offset", cut(fresh.size() - 2), 0, 0, {L"alpha", L"beta", L"gamma"}},
      {"most offsets the file could hold", test::IndexBytes(time, TIndexList(18, 14)), 0, 0,
       std::vector<std::wstring>(18, L"beta")},
  };
  for (const auto& c : cases) {
    for (bool onDisk : {false, true}) {
      test::WriteBytes(Ind(), c.index);
      if (c.extendTo != 0) {
        HANDLE h = CreateFileA(Ind().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = c.extendTo;
        ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
      }
      test::CountingHost host;
      test::ScopedBuildHost scoped(host);
      auto dict = Open(onDisk);
      EXPECT_EQ(c.wantBuilds, host.builds) << c.name << ", " << ModeName(onDisk);
      std::vector<std::wstring> got;
      for (int32_t i = 0; i < dict->EntryCount() && i < 100; ++i)
        got.push_back(dict->ReadEntry(i, -1));
      EXPECT_EQ(c.want, got) << c.name << ", " << ModeName(onDisk);
      dict.reset();
      if (c.wantBuilds > 0) {
        EXPECT_EQ(test::Hex(fresh), test::Hex(test::ReadBytes(Ind())))
            << c.name << ", " << ModeName(onDisk);
      }
    }
  }
}

// On disk the index file stays open and shared for writing: offsets that another program
// damages after the opening read as empty entries.
TEST_F(DictTest, OffsetsDamagedOnDiskAfterOpeningReadAsEmptyEntries) {
  WriteDat(test::DictBytes({L"alpha", L"beta"}));  // offsets 2 and 14, size 22
  const int32_t size = 22;
  WriteIndexFile(Ind(), {2, 14}, test::LastWriteTime(Dat()));
  auto dict = Open(true);
  const TIndexList offsets = {14, -2, 3, 0, size, size + 100, INT_MIN, INT_MAX - 1, 2};
  {
    HANDLE h = CreateFileA(Ind().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const Bytes records = test::IndexBytes(FILETIME{}, offsets);
    LARGE_INTEGER at;
    at.QuadPart = 8;
    DWORD put = 0;
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(
        WriteFile(h, records.data() + 8, static_cast<DWORD>(records.size() - 8), &put, nullptr));
    CloseHandle(h);
  }
  std::vector<std::wstring> got;
  for (int32_t i = 0; i < dict->EntryCount(); ++i)
    got.push_back(dict->ReadEntry(i, -1));
  std::vector<std::wstring> want = {L"beta", L"", L"", L"", L"", L"", L"", L"", L"alpha"};
  EXPECT_EQ(want, got);
  EXPECT_EQ(size + 100, dict->EntryOffset(5));
  const int32_t found = dict->FindWord(L"beta");
  EXPECT_TRUE(found >= 0 && found < 9) << found;
}

TEST_F(DictTest, BothModesAgree) {
  std::mt19937 rng(11);
  // Distinct words of one length and plain letters: no entry begins another, so the order of
  // the sort keys and the order of the entries agree.
  std::set<std::wstring> words;
  while (words.size() < 300) {
    std::wstring w;
    for (int n = 0; n < 6; ++n)
      w += static_cast<wchar_t>(L'a' + rng() % 26);
    words.insert(w);
  }
  std::vector<std::wstring> entries(words.begin(), words.end());
  std::shuffle(entries.begin(), entries.end(), rng);
  WriteDat(test::DictBytes(entries, L"Title"));
  for (bool doSort : {false, true}) {
    DeleteFileA(Ind().c_str());
    auto memory = Open(false, doSort);
    auto disk = Open(true, doSort);
    ASSERT_EQ(300, memory->EntryCount());
    ASSERT_EQ(300, disk->EntryCount());
    for (int32_t i = 0; i < 300; ++i) {
      ASSERT_EQ(memory->EntryOffset(i), disk->EntryOffset(i)) << "entry " << i;
      ASSERT_EQ(memory->ReadEntry(i, -1), disk->ReadEntry(i, -1)) << "entry " << i;
    }
    for (int k = 0; k < 100; ++k) {
      std::wstring word = entries[rng() % entries.size()].substr(0, 1 + rng() % 4);
      ASSERT_EQ(memory->FindWord(word), disk->FindWord(word)) << ToAnsi(word);
    }
    if (doSort) {
      // In a sorted index every entry is found by its own text.
      for (int32_t i = 0; i < 300; ++i) {
        EXPECT_EQ(i, memory->FindWord(memory->ReadEntry(i, -1))) << "entry " << i;
      }
    }
  }
}

TEST_F(DictTest, StaleIndexIsRebuiltForAnyTimeDifference) {
  WriteDat(test::DictBytes({L"one", L"two", L"three"}));  // offsets 2, 10, 18
  const FILETIME datTime = test::LastWriteTime(Dat());
  const Bytes fresh = test::IndexBytes(datTime, {2, 10, 18});
  struct Case {
    const char* name;
    int64_t shift;
  } cases[] = {
      {"later", 10000000}, {"earlier", -10000000}, {"one tick later", 1}, {"zero time", 0}};
  for (const auto& c : cases) {
    for (bool onDisk : {false, true}) {
      FILETIME stale = c.shift == 0 ? FILETIME{} : test::ShiftTime(datTime, c.shift);
      // A wrong offset list too, so that a missed rebuild shows.
      test::WriteBytes(Ind(), test::IndexBytes(stale, {18, 2}));
      test::CountingHost host;
      test::ScopedBuildHost scoped(host);
      auto dict = Open(onDisk);
      EXPECT_EQ(1, host.builds) << c.name << ", " << ModeName(onDisk);
      EXPECT_EQ(3, dict->EntryCount()) << c.name << ", " << ModeName(onDisk);
      EXPECT_EQ(L"two", dict->ReadEntry(1, -1)) << c.name << ", " << ModeName(onDisk);
      dict.reset();
      EXPECT_EQ(test::Hex(fresh), test::Hex(test::ReadBytes(Ind())))
          << c.name << ", " << ModeName(onDisk);
    }
  }
  // A fresh index is used as it is, even when its offsets are not those of the file.
  test::WriteBytes(Ind(), test::IndexBytes(datTime, {18, 2}));
  test::CountingHost host;
  test::ScopedBuildHost scoped(host);
  auto dict = Open(true);
  EXPECT_EQ(0, host.builds);
  EXPECT_EQ(L"three", dict->ReadEntry(0, -1));
}

TEST_F(DictTest, ReopeningOnDiskAfterTheDictionaryChangedReadsTheNewIndex) {
  WriteDat(test::DictBytes({L"a", L"b"}));
  Open(true).reset();
  WriteDat(test::DictBytes({L"a", L"b", L"c"}));
  test::SetLastWriteTime(Dat(), test::ShiftTime(test::LastWriteTime(Dat()), 20000000));
  auto dict = Open(true);
  EXPECT_EQ(3, dict->EntryCount());
  EXPECT_EQ(L"c", dict->ReadEntry(2, -1));
  FILETIME stored = test::StoredTime(Ind()), datTime = test::LastWriteTime(Dat());
  EXPECT_EQ(0, CompareFileTime(&stored, &datTime));
}

// A host that reports the error of a write that fills the disk (here: records it) and returns
// as if the build were done.
class FailingWriteHost : public IndexBuildHost {
 public:
  void BuildIndex(const IndexBuildRequest& request) override {
    TIndexList list;
    FILETIME time{};
    ScanEntries(request.dataFileName, request.doSort, list, time, nullptr);
    try {
      detail::WriteIndexFile(request.indexFileName, list, time, [](size_t written) {
        if (written > 0)
          throw EInOutError(io_error::kDiskFull);
      });
    } catch (const EInOutError& e) {
      errors.push_back(e.what());
    }
  }
  std::vector<std::string> errors;
};

TEST_F(DictTest, AFailedRebuildIsRepeatedAtTheNextOpening) {
  const auto block = static_cast<int32_t>(detail::kWriteBlockRecords);
  const int32_t total = block + block / 4;
  std::vector<std::wstring> entries(static_cast<size_t>(total), L"e");
  for (bool onDisk : {false, true}) {
    WriteDat(test::DictBytes({L"old"}));
    Open(onDisk).reset();
    WriteDat(test::DictBytes(entries));
    test::SetLastWriteTime(Dat(), test::ShiftTime(test::LastWriteTime(Dat()), 30000000));
    {
      FailingWriteHost failing;
      test::ScopedBuildHost scoped(failing);
      // On disk, the old index is held open while it is rewritten. The partial index is not
      // used.
      EXPECT_THROW(Open(onDisk), EIndexNotBuilt) << ModeName(onDisk);
      ASSERT_EQ(std::vector<std::string>{"Disk full"}, failing.errors) << ModeName(onDisk);
    }
    FILETIME stored = test::StoredTime(Ind());
    EXPECT_EQ(0u, stored.dwLowDateTime | stored.dwHighDateTime) << ModeName(onDisk);
    test::CountingHost host;
    test::ScopedBuildHost scoped(host);
    auto dict = Open(onDisk);
    EXPECT_EQ(1, host.builds) << ModeName(onDisk);
    EXPECT_EQ(total, dict->EntryCount()) << ModeName(onDisk);
    dict.reset();
    TIndexList offsets;
    for (int32_t k = 0; k < total; ++k)
      offsets.push_back(2 + 4 * k);
    EXPECT_EQ(test::IndexBytes(test::LastWriteTime(Dat()), offsets), test::ReadBytes(Ind()))
        << ModeName(onDisk);
  }
}

// A host whose build does something else than build: raise, or return with no fresh index.
class MisbehavingHost : public IndexBuildHost {
 public:
  explicit MisbehavingHost(std::function<void(const IndexBuildRequest&)> build)
      : build_(std::move(build)) {}
  void BuildIndex(const IndexBuildRequest& request) override {
    ++builds;
    build_(request);
  }
  int builds = 0;

 private:
  std::function<void(const IndexBuildRequest&)> build_;
};

TEST_F(DictTest, AFailedBuildLeavesTheDictionaryUnopened) {
  const std::string notBuilt =
      Format("The index file \"%s\" could not be built.", ExpandFileName(Ind()).c_str());
  struct Case {
    const char* name;
    std::function<void(const IndexBuildRequest&)> build;
    std::string wantWhenStale;  // the old index is stale and lists other entries
    std::string wantWhenMissing;
    // A missing index is built, then built again when the first build left it unfit.
    int buildsWhenMissing;
  } cases[] = {
      {"raises", [](const IndexBuildRequest&) { throw EInOutError(io_error::kAccessDenied); },
       "File access denied", "File access denied", 1},
      {"raises after reporting", [](const IndexBuildRequest&) { throw EAbort(); },
       "Operation aborted", "Operation aborted", 1},
      {"returns without building", [](const IndexBuildRequest&) {}, notBuilt, "File not found", 1},
      {"writes a stale index",
       [](const IndexBuildRequest& r) {
         WriteIndexFile(r.indexFileName, {2, 6}, FILETIME{});
       },
       notBuilt, notBuilt, 2},
      {"writes a damaged index",
       [&](const IndexBuildRequest& r) {
         test::WriteBytes(r.indexFileName, test::IndexBytes(test::LastWriteTime(Dat()), {3}));
       },
       notBuilt, notBuilt, 2},
  };
  for (const auto& c : cases) {
    for (bool missing : {false, true}) {
      for (bool onDisk : {false, true}) {
        WriteDat(test::DictBytes({L"a", L"b"}));
        DeleteFileA(Ind().c_str());
        if (!missing)
          test::WriteBytes(Ind(), test::IndexBytes(FILETIME{7, 7}, {6, 2}));
        MisbehavingHost host(c.build);
        test::ScopedBuildHost scoped(host);
        const std::string where =
            std::string(c.name) + (missing ? ", index missing, " : ", ") + ModeName(onDisk);
        try {
          Open(onDisk);
          ADD_FAILURE() << where << ": opened";
        } catch (const Exception& e) {
          EXPECT_EQ(missing ? c.wantWhenMissing : c.wantWhenStale, e.what()) << where;
        }
        EXPECT_EQ(missing ? c.buildsWhenMissing : 1, host.builds) << where;
      }
    }
  }
}

// Another program cuts a file of the open dictionary shorter, which only programs outside
// Windows can do. Nothing is read past the file's new end.
TEST_F(DictTest, FilesCutShorterWhileOpenAreReadToTheirNewEnd) {
  std::vector<std::wstring> entries;
  for (int k = 0; k < 3000; ++k) {
    wchar_t word[16];
    swprintf(word, 16, L"word%05d", k);
    entries.push_back(std::wstring(word) + L" - a meaning that fills the line");
  }
  const Bytes dat = test::DictBytes(entries);
  const int32_t entryBytes = static_cast<int32_t>(2 * (entries[0].size() + 1));
  const int32_t cutEntry = 1000;  // the dictionary file ends 4 characters into it
  struct Case {
    const char* name;
    bool onDisk;
    bool cutIndex;
    int32_t wantCount;
    std::wstring wantAtCut;
  } cases[] = {
      {"dictionary file, in memory", false, false, 3000, L"word"},
      {"dictionary file, on disk", true, false, 3000, L"word"},
      {"index file, on disk", true, true, cutEntry, L""},
  };
  for (const auto& c : cases) {
    WriteDat(dat);
    DeleteFileA(Ind().c_str());
    auto dict = Open(c.onDisk);
    ASSERT_EQ(2999, dict->FindWord(L"word02999")) << c.name;  // the views are in use
    const bool cut = c.cutIndex
                         ? test::CutFromOutside(Ind(), 8 + 4 * int64_t{cutEntry})
                         : test::CutFromOutside(Dat(), int64_t{2} + cutEntry * entryBytes + 8);
    if (!cut)
      GTEST_SKIP() << "files cannot be cut from outside here";
    for (const wchar_t* word : {L"word02999", L"word01000", L"word00001", L"zzz", L"a"}) {
      const int32_t found = dict->FindWord(word);
      EXPECT_TRUE(found >= 0 && found < c.wantCount)
          << c.name << ": \"" << ToAnsi(word) << "\" found " << found;
      const int32_t shown = FindHeadword(*dict, word);
      EXPECT_TRUE(shown >= 0 && shown < c.wantCount)
          << c.name << ": \"" << ToAnsi(word) << "\" shows " << shown;
    }
    EXPECT_EQ(c.wantCount, dict->EntryCount()) << c.name;
    EXPECT_EQ(entries[cutEntry - 1], dict->ReadEntry(cutEntry - 1, -1)) << c.name;
    EXPECT_EQ(c.wantAtCut, dict->ReadEntry(cutEntry, -1)) << c.name;
    EXPECT_EQ(L"", dict->ReadEntry(2999, 50)) << c.name;
    EXPECT_EQ(0, dict->CommonPrefixLength(2500, L"word02500")) << c.name;
  }
}

TEST_F(DictTest, OpeningFailuresRaiseTheirExactMessages) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string want;
  } cases[] = {
      {"read-only index",
       [&] {
         WriteDat(test::DictBytes({L"a"}));
         WriteIndexFile(Ind(), {2}, test::LastWriteTime(Dat()));
         SetFileAttributesA(Ind().c_str(), FILE_ATTRIBUTE_READONLY);
       },
       "File access denied"},
      {"dictionary missing, index present",
       [&] {
         test::WriteBytes(Ind(), test::IndexBytes(FILETIME{1, 1}, {2}));
       },
       Format("Cannot open file \"%s\". %s", ExpandFileName(dir.File("d.dat")).c_str(),
              SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str())},
      {"dictionary and index missing", [] {},
       Format("Cannot open file \"%s\". %s", ExpandFileName(dir.File("d.dat")).c_str(),
              SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str())},
  };
  for (const auto& c : cases) {
    for (bool onDisk : {false, true}) {
      SetFileAttributesA(Ind().c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(Ind().c_str());
      DeleteFileA(Dat().c_str());
      c.arrange();
      Bytes indexBefore = FileExists(Ind()) ? test::ReadBytes(Ind()) : Bytes{};
      try {
        Open(onDisk);
        ADD_FAILURE() << c.name << ", " << ModeName(onDisk) << ": no exception";
      } catch (const Exception& e) {
        EXPECT_EQ(c.want, e.what()) << c.name << ", " << ModeName(onDisk);
      }
      Bytes indexAfter = FileExists(Ind()) ? test::ReadBytes(Ind()) : Bytes{};
      EXPECT_EQ(indexBefore, indexAfter) << c.name << ": the index must stay as it was";
    }
  }
}

TEST_F(DictTest, EntryOffsetOutsideTheIndexRaises) {
  WriteDat(test::DictBytes({L"a", L"b"}));
  auto memory = Open(false);
  auto disk = Open(true);
  EXPECT_THROW(memory->EntryOffset(2), EListError);
  EXPECT_THROW(memory->EntryOffset(-1), EListError);
  EXPECT_THROW(disk->EntryOffset(-1), EListError);
  try {
    disk->EntryOffset(2);
    FAIL() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_STREQ("Read beyond end of file", e.what());
  }
}

}  // namespace
}  // namespace lexmora
