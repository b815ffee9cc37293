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
    for (const auto& c : cases) {
      EXPECT_EQ(c.want, dict->ReadEntry(c.i, c.maxChars))
          << "entry " << c.i << ", maxChars " << c.maxChars << ", " << ModeName(onDisk);
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

TEST_F(DictTest, DamagedOffsetsReadAsEmptyEntries) {
  WriteDat(test::DictBytes({L"alpha", L"beta"}));  // offsets 2 and 14, size 22
  const int32_t size = 22;
  TIndexList offsets = {14, -2, 3, 0, size, size + 100, INT_MIN, INT_MAX - 1, 2};
  WriteIndexFile(Ind(), offsets, test::LastWriteTime(Dat()));
  for (bool onDisk : {false, true}) {
    auto dict = Open(onDisk);
    std::vector<std::wstring> got;
    for (int32_t i = 0; i < dict->EntryCount(); ++i)
      got.push_back(dict->ReadEntry(i, -1));
    std::vector<std::wstring> want = {L"beta", L"", L"", L"", L"", L"", L"", L"", L"alpha"};
    EXPECT_EQ(want, got) << ModeName(onDisk);
    EXPECT_EQ(size + 100, dict->EntryOffset(5)) << ModeName(onDisk);
  }
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

// A host that stands in for the progress window when the disk fills up during the write: the
// error is reported (here: recorded) and opening goes on with what is on disk.
class FailingWriteHost : public IndexBuildHost {
 public:
  void BuildIndex(const IndexBuildRequest& request) override {
    TIndexList list;
    FILETIME time{};
    ScanEntries(request.dataFileName, request.doSort, list, time, nullptr);
    try {
      detail::WriteIndexFile(request.indexFileName, list, time, [](size_t written) {
        if (written > 0)
          throw EInOutError(101);
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
      // On disk, the old index is held open while it is rewritten.
      auto dict = Open(onDisk);
      ASSERT_EQ(std::vector<std::string>{"Disk full"}, failing.errors) << ModeName(onDisk);
      EXPECT_EQ(block, dict->EntryCount()) << "the partial index is used, " << ModeName(onDisk);
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

TEST_F(DictTest, OpeningFailuresRaiseTheirExactMessages) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string want;
  } cases[] = {
      {"index shorter than 8 bytes",
       [&] {
         WriteDat(test::DictBytes({L"a"}));
         test::WriteBytes(Ind(), Bytes{1, 2, 3, 4, 5});
       },
       "Read beyond end of file"},
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

TEST_F(DictTest, IndexWithTrailingPartialRecordReadsAsIfItWereAbsent) {
  WriteDat(test::DictBytes({L"a", L"b"}));
  Bytes index = test::IndexBytes(test::LastWriteTime(Dat()), {2, 6});
  for (size_t extra = 1; extra <= 3; ++extra) {
    Bytes withExtra = index;
    withExtra.resize(index.size() + extra, 0x7F);
    test::WriteBytes(Ind(), withExtra);
    for (bool onDisk : {false, true}) {
      auto dict = Open(onDisk);
      EXPECT_EQ(2, dict->EntryCount()) << extra << " extra bytes, " << ModeName(onDisk);
      EXPECT_EQ(L"b", dict->ReadEntry(1, -1)) << extra << " extra bytes, " << ModeName(onDisk);
    }
  }
}

}  // namespace
}  // namespace lexmora
