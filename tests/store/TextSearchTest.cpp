#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "StoreTestSupport.h"
#include "base/CombiningMarks.h"
#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "store/TextSearch.h"
#include "store/WordIndex.h"
#include "store/WordRules.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::TempDir;
using Entries = std::vector<int32_t>;
using test::Show;
using WordSet = std::set<std::wstring>;

constexpr wchar_t kAcute = 0x0301, kGrave = 0x0300;

// The words of `text` picked out the slow way, character by character of the whole text, with
// what the system says of each: runs of letters and digits, carrying on through combining marks
// (left out of the word) and vowel signs, then lower-cased and letter-converted as words.
WordSet WordsOf(const TADict& dict, const std::wstring& text) {
  WordSet words;
  const int n = static_cast<int>(text.size());
  std::vector<WORD> type1(text.size() + 1), type3(text.size() + 1);
  if (n > 0) {
    GetStringTypeW(CT_CTYPE1, text.c_str(), n, type1.data());
    GetStringTypeW(CT_CTYPE3, text.c_str(), n, type3.data());
  }
  std::wstring word;
  auto flush = [&] {
    if (!word.empty()) {
      std::wstring lower = word;
      CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
      words.insert(dict.ConvertLetters(lower));
    }
    word.clear();
  };
  bool inWord = false;
  for (int i = 0; i < n; ++i) {
    const wchar_t c = text[static_cast<size_t>(i)];
    const bool half = c >= 0xD800 && c <= 0xDFFF;
    const bool mark = !half && IsCombiningMark(c);
    const bool letter = !half && !mark && (type1[i] & (C1_ALPHA | C1_DIGIT)) != 0;
    const bool sign = !half && !mark && !letter && (type3[i] & C3_VOWELMARK) != 0;
    if (letter || (inWord && sign)) {
      word += c;
      inWord = true;
    } else if (!(inWord && mark)) {
      flush();
      inWord = false;
    }
  }
  flush();
  return words;
}

// The entries holding every word of the query, by reading every entry.
Entries BruteForce(TADict& dict, const std::vector<WordSet>& entryWords,
                   const std::wstring& query) {
  const WordSet wanted = WordsOf(dict, query);
  Entries found;
  for (size_t i = 0; i < entryWords.size() && !wanted.empty(); ++i) {
    if (std::includes(entryWords[i].begin(), entryWords[i].end(), wanted.begin(), wanted.end()))
      found.push_back(static_cast<int32_t>(i));
  }
  return found;
}

std::vector<WordSet> EveryEntrysWords(TADict& dict) {
  std::vector<WordSet> words;
  for (int32_t i = 0; i < dict.EntryCount(); ++i)
    words.push_back(WordsOf(dict, dict.ReadEntry(i, -1)));
  return words;
}

// The entries in ascending order: what a search finds, whatever order it ranks them in (an entry
// found twice stays twice).
Entries Ascending(Entries entries) {
  std::sort(entries.begin(), entries.end());
  return entries;
}

class TextSearchTest : public ::testing::Test {
 protected:
  TextSearchTest() : scopedReporter_(reporter) {}

  std::string Dat() const { return dir.File("d.dat"); }
  std::string Ind() const { return dir.File("d.ind"); }
  std::string Wix() const { return dir.File("d.wix"); }
  void Write(const std::vector<std::wstring>& entries) {
    test::WriteBytes(Dat(), test::DictBytes(entries, L"Title\r\n"));
  }
  std::unique_ptr<TADict> Open(bool doSort = false, bool onDisk = false, bool convert = false) {
    return std::make_unique<TADict>(Dat(), Ind(), doSort, onDisk, convert);
  }
  // The sound word index of `dict` in its file, or null.
  std::unique_ptr<detail::WordIndex> Load(TADict& dict) {
    return detail::LoadWordIndex(ToWide(Wix()), test::LastWriteTime(Dat()), dict.EntryCount(),
                                 detail::EntryOrderChecksum(dict.EntryOffsets()),
                                 detail::MakeWordRules(dict).fingerprint);
  }
  void SetConversion() {
    // ё folds to е, ѝ to и.
    files.Set(test::ConversionFiles::Text(L"еи"), test::ConversionFiles::Text(L"ё\r\nѝ"));
  }

  TempDir dir;
  test::ConversionFiles files;
  test::RecordingReporter reporter;

 private:
  ScopedReporter scopedReporter_;
};

// A dictionary of random entries over words that stress the rules: marks inside and at the ends
// of words, capitals, digits, hyphens and apostrophes, letters that conversion folds, and one
// entry longer than what is read of an entry.
std::vector<std::wstring> RandomEntries(std::mt19937& rng, int count) {
  const std::vector<std::wstring> words = {L"house",
                                           L"mouse",
                                           L"water",
                                           L"bear",
                                           L"ice",
                                           L"cream",
                                           L"don",
                                           L"t",
                                           L"42",
                                           L"x2",
                                           L"къща",
                                           std::wstring(L"къ") + kAcute + L"ща",
                                           std::wstring(L"къща") + kAcute,
                                           std::wstring(L"во") + kGrave + L"да",
                                           L"вода",
                                           L"ѝ",
                                           L"и",
                                           L"ёлка",
                                           L"елка",
                                           std::wstring(L"е") + kAcute + L"лка",
                                           L"na\u00EFve",
                                           L"nai\u0308ve",
                                           L"naive",
                                           L"stra\u00DFe",
                                           L"\u03A3\u039F\u03A6\u0399\u0391",
                                           L"\u0915\u093F\u0924\u093E\u092C"};
  const std::vector<std::wstring> gaps = {L" ", L", ",     L"-",      L"'",       L"\r\n", L". ",
                                          L"(", L"\u00A0", L"\u2019", L" \u0301", L"_"};
  std::vector<std::wstring> entries;
  for (int e = 0; e < count; ++e) {
    std::wstring entry;
    const int n = static_cast<int>(rng() % 12);
    for (int k = 0; k < n; ++k) {
      std::wstring w = words[rng() % words.size()];
      if (rng() % 4 == 0)
        CharUpperBuffW(w.data(), static_cast<DWORD>(w.size()));
      entry += w + gaps[rng() % gaps.size()];
    }
    entries.push_back(entry);
  }
  entries.push_back(std::wstring(9995, L'z') + L" ice withincut " + std::wstring(50, L'y') +
                    L" beyondcut");
  std::shuffle(entries.begin(), entries.end(), rng);
  return entries;
}

TEST_F(TextSearchTest, FindsWhatReadingEveryEntryFindsInEveryMode) {
  SetConversion();
  std::mt19937 rng(7);
  Write(RandomEntries(rng, 300));
  const std::vector<std::wstring> queries = {L"house",
                                             L"HOUSE mouse",
                                             L"къща",
                                             std::wstring(L"къ") + kAcute + L"ща",
                                             L"КЪЩА вода",
                                             L"ѝ",
                                             L"и",
                                             L"ёлка",
                                             L"елка",
                                             L"naive",
                                             L"na\u00EFve",
                                             L"\u03C3\u03BF\u03C6\u03B9\u03B1",
                                             L"\u0915\u093F\u0924\u093E\u092C",
                                             L"ice-cream",
                                             L"don't",
                                             L"42",
                                             L"x2",
                                             L"x",
                                             L"withincut",
                                             L"beyondcut",
                                             L"zebra",
                                             L"house zebra",
                                             L"bear water ice",
                                             L"\u0301",
                                             L"-",
                                             L""};
  for (bool doSort : {false, true}) {
    for (bool onDisk : {false, true}) {
      for (bool convert : {false, true}) {
        DeleteFileA(Ind().c_str());
        auto dict = Open(doSort, onDisk, convert);
        const std::vector<WordSet> entryWords = EveryEntrysWords(*dict);
        for (const std::wstring& query : queries) {
          const Entries want = BruteForce(*dict, entryWords, query);
          const Entries got = FindInText(*dict, query, INT32_MAX);
          EXPECT_EQ(Ascending(got), want)
              << "query \"" << ToUtf8(query) << "\" sorted " << doSort << " on disk " << onDisk
              << " conversion " << convert << ": got " << Show(got) << ", wanted " << Show(want);
          const Entries first = FindInText(*dict, query, 3);
          EXPECT_EQ(first, Entries(got.begin(), got.begin() + std::min<size_t>(got.size(), 3)))
              << "limit 3, query \"" << ToUtf8(query) << "\"";
        }
      }
    }
  }
}

TEST_F(TextSearchTest, ShippedDictionaryFindsEachOfItsWordsWhereReadingFindsIt) {
  const std::string shipped = LEXMORA_SHIPPED_DATA;
  ASSERT_TRUE(CopyFileA((shipped + "Dictionaries\\diruridu.dat").c_str(), Dat().c_str(), FALSE));
  files.Set(test::ReadBytes(shipped + "Data\\conv_to.txt"),
            test::ReadBytes(shipped + "Data\\conv_from.txt"));
  auto dict = Open(false, false, true);
  const std::vector<WordSet> entryWords = EveryEntrysWords(*dict);
  WordSet all;
  for (const WordSet& words : entryWords)
    all.insert(words.begin(), words.end());
  ASSERT_GT(all.size(), 500u);
  std::vector<std::wstring> queries(all.begin(), all.end());
  for (size_t k = 0; k + 7 < queries.size(); k += 7)
    queries.push_back(queries[k] + L" " + queries[k + 7]);
  int mismatches = 0;
  for (const std::wstring& query : queries) {
    const Entries want = BruteForce(*dict, entryWords, query);
    const Entries got = FindInText(*dict, query, INT32_MAX);
    if (Ascending(got) != want && ++mismatches <= 5) {
      ADD_FAILURE() << "query \"" << ToUtf8(query) << "\": got " << Show(got) << ", wanted "
                    << Show(want);
    }
  }
  EXPECT_EQ(mismatches, 0) << "of " << queries.size() << " queries";
}

TEST_F(TextSearchTest, StressMarksAreIgnoredInBothDirections) {
  const std::wstring acute(1, kAcute), grave(1, kGrave);
  Write({L"къ" + acute + L"ща\r\nhouse",      // 0: the mark inside the word
         L"къща" + acute + L" - a house",     // 1: at its end
         L"къща\r\nhome",                     // 2: none
         L"хубава къ" + grave + L"ща",        // 3: a grave accent
         L"къщата\r\nthe house",              // 4: another word
         L"ку" + grave + L"чето\r\nthe dog",  // 5
         L"кучето " + acute + L"лае"});       // 6: a mark after a space belongs to no word
  auto dict = Open();
  const struct {
    std::wstring query;
    Entries want;
  } cases[] = {
      {L"къща", {0, 1, 2, 3}},
      {L"къ" + acute + L"ща", {0, 1, 2, 3}},
      {L"къща" + acute, {0, 1, 2, 3}},
      {L"КЪ" + acute + L"ЩА", {0, 1, 2, 3}},
      {L"к" + grave + L"ъ" + acute + acute + L"ща", {0, 1, 2, 3}},
      {L"къщата", {4}},
      {L"кучето", {5, 6}},
      {L"ку" + acute + L"чето", {5, 6}},
      {L"лае", {6}},
      {L"къ", {}},
      {acute, {}},
  };
  for (const auto& c : cases) {
    const Entries got = FindInText(*dict, c.query, INT32_MAX);
    EXPECT_EQ(got, c.want) << "query \"" << ToUtf8(c.query) << "\": got " << Show(got)
                           << ", wanted " << Show(c.want);
  }
  // The matched words are shown where they stand, marks included.
  const std::wstring text = dict->ReadEntry(1, -1);
  const std::vector<TextSpan> spans = MatchingWords(*dict, text, L"къща house");
  const std::vector<TextSpan> want = {{0, 5}, {10, 5}};
  EXPECT_EQ(spans, want) << "in \"" << ToUtf8(text) << "\"";
}

TEST_F(TextSearchTest, WordsEndAtHyphensApostrophesAndTheEndOfWhatIsRead) {
  Write({L"ice-cream", L"don't", L"route 66", L"x2", L"House", std::wstring(10000, L'a') + L"b c",
         L"über\u00B7"});
  auto dict = Open();
  const struct {
    std::wstring query;
    Entries want;
  } cases[] = {
      {L"ice", {0}}, {L"cream", {0}}, {L"ice-cream", {0}}, {L"icecream", {}},
      {L"don", {1}}, {L"t", {1}},     {L"66", {2}},        {L"6", {}},
      {L"x2", {3}},  {L"x", {}},      {L"house", {4}},     {L"hous", {}},
      {L"c", {}},    {L"ÜBER", {6}},  {L"house x2", {}},   {L"  ,.-", {}},
  };
  for (const auto& c : cases) {
    const Entries got = FindInText(*dict, c.query, INT32_MAX);
    EXPECT_EQ(got, c.want) << "query \"" << ToUtf8(c.query) << "\": got " << Show(got)
                           << ", wanted " << Show(c.want);
  }
  EXPECT_EQ(FindInText(*dict, L"ice", 0), Entries{});
  EXPECT_EQ(FindInText(*dict, L"ice", -1), Entries{});
}

TEST_F(TextSearchTest, TheWordIndexIsBuiltOnFirstUseAndRebuiltWhenItsDictionaryChanges) {
  SetConversion();
  Write({L"ёлка house", L"house mouse", L"mouse"});
  const FILETIME marked = test::ShiftTime(test::LastWriteTime(Dat()), -36000000000);
  {
    auto dict = Open();
    EXPECT_FALSE(FileExists(Wix())) << "opening a dictionary built its word index";
    EXPECT_EQ(FindInText(*dict, L"mouse", 10), (Entries{1, 2}));
    ASSERT_TRUE(FileExists(Wix()));
    WIN32_FIND_DATAA found;
    FindHandle temporary(FindFirstFileA((Wix() + ".*.tmp").c_str(), &found));
    EXPECT_FALSE(temporary) << "left behind: " << found.cFileName;
  }
  const struct {
    const char* change;
    std::function<void()> apply;
    bool doSort, convert;
    bool rebuilt;
    std::wstring query;
    Entries want;
  } cases[] = {
      {"nothing", [] {}, false, false, false, L"mouse", {1, 2}},
      {"the dictionary's time",
       [&] { test::SetLastWriteTime(Dat(), marked); },
       false,
       false,
       true,
       L"mouse",
       {1, 2}},
      // Sorted: "house mouse", "mouse", "ёлка house".
      {"the entry order", [&] { DeleteFileA(Ind().c_str()); }, true, false, true, L"mouse", {0, 1}},
      {"letter conversion", [] {}, true, true, true, L"елка", {2}},
      {"nothing again", [] {}, true, true, false, L"елка", {2}},
  };
  for (const auto& c : cases) {
    c.apply();
    test::SetLastWriteTime(Wix(), marked);
    auto dict = Open(c.doSort, false, c.convert);
    EXPECT_EQ(FindInText(*dict, c.query, 10), c.want) << "after changing " << c.change;
    const FILETIME written = test::LastWriteTime(Wix());
    const bool rebuilt = CompareFileTime(&marked, &written) != 0;
    EXPECT_EQ(rebuilt, c.rebuilt) << "after changing " << c.change;
    EXPECT_TRUE(Load(*dict)) << "after changing " << c.change << " the file is not sound";
  }
}

TEST_F(TextSearchTest, DamagedWordIndexFilesAreRefusedAndRebuilt) {
  Write({L"alpha beta", L"beta gamma", L"gamma delta alpha"});
  Bytes sound;
  {
    auto dict = Open();
    FindInText(*dict, L"alpha", 10);
    sound = test::ReadBytes(Wix());
  }
  ASSERT_GT(sound.size(), detail::kHeaderSize + 40);
  auto flip = [&](size_t at) {
    Bytes b = sound;
    b[at] ^= 0x10;
    return b;
  };
  const size_t body = detail::kHeaderSize;
  const struct {
    const char* damage;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"header cut short", Bytes(sound.begin(), sound.begin() + 79)},
      {"last byte missing", Bytes(sound.begin(), sound.end() - 1)},
      {"a byte too many",
       [&] {
         Bytes b = sound;
         b.push_back(0);
         return b;
       }()},
      {"magic", flip(0)},
      {"entry count", flip(24)},
      {"word table", flip(body + 2)},
      {"pool", flip(sound.size() - 12)},
      {"postings", flip(sound.size() - 1)},
      {"garbage", Bytes(1000, 0x5A)},
  };
  for (const auto& c : cases) {
    test::WriteBytes(Wix(), c.bytes);
    auto dict = Open();
    EXPECT_EQ(FindInText(*dict, L"alpha", 10), (Entries{0, 2})) << c.damage;
    EXPECT_EQ(test::ReadBytes(Wix()), sound) << c.damage << ": not rebuilt as it was";
  }

  // A sound index followed by far more bytes than memory holds (a sparse file of 1 TiB) is
  // refused by its length alone, before anything past the header is read.
  test::WriteBytes(Wix(), sound);
  {
    FileHandle file(
        CreateFileA(Wix().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER end{};
    end.QuadPart = int64_t{1} << 40;
    ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.Get()));
  }
  {
    auto dict = Open();
    EXPECT_NO_THROW(EXPECT_EQ(FindInText(*dict, L"alpha", 10), (Entries{0, 2})))
        << "a huge file behind a sound header";
  }
  EXPECT_EQ(test::ReadBytes(Wix()), sound) << "a huge file behind a sound header: not rebuilt";
}

// A build stopped at one of the reports it makes once every entry is read (between the steps of
// laying out the index, and before each piece of its file) stops there and leaves no file.
TEST_F(TextSearchTest, ABuildCanBeStoppedUntilItsFileIsWritten) {
  std::vector<std::wstring> entries;
  for (int k = 0; k < 40000; ++k)  // a word index of three pieces
    entries.push_back(L"word" + std::to_wstring(k) + L" meaning" + std::to_wstring(k));
  Write(entries);
  auto dict = Open();
  int chances = 0;
  {
    WordIndexBuild whole(*dict);
    ASSERT_TRUE(whole.Run([&](int32_t done, int32_t total) {
      chances += done == total ? 1 : 0;
      return true;
    }));
  }
  // Reading done, sorting, laying out, the check of what was laid out, three pieces.
  ASSERT_GE(chances, 7);
  ASSERT_TRUE(DeleteFileA(Wix().c_str()));
  for (const int stopAt : {1, 2, 3, chances / 2, chances - 2, chances - 1, chances}) {
    WordIndexBuild build(*dict);
    int seen = 0;
    EXPECT_FALSE(build.Run([&](int32_t done, int32_t total) {
      return done != total || ++seen < stopAt;
    })) << "stopped at "
        << stopAt << " of " << chances;
    EXPECT_EQ(seen, stopAt) << "went on after it was stopped";
    build.InstallInto(*dict);
    EXPECT_FALSE(WordIndexReady(*dict)) << "stopped at " << stopAt << " of " << chances;
    WIN32_FIND_DATAA found;
    FindHandle others(FindFirstFileA((Wix() + "*").c_str(), &found));
    EXPECT_FALSE(others) << "stopped at " << stopAt << ", left behind: " << found.cFileName;
  }
  EXPECT_EQ(FindInText(*dict, L"meaning39999", 10), Entries{39999});
}

TEST_F(TextSearchTest, ABuildAwayFromTheSearchCanBeStoppedOrHandedOver) {
  Write({L"alpha beta", L"beta gamma"});
  auto dict = Open();
  EXPECT_FALSE(WordIndexReady(*dict));
  {
    WordIndexBuild stopped(*dict);
    EXPECT_FALSE(stopped.Run([](int32_t, int32_t) { return false; }));
    stopped.InstallInto(*dict);
    EXPECT_FALSE(FileExists(Wix()));
    EXPECT_FALSE(WordIndexReady(*dict));
  }
  std::vector<std::pair<int32_t, int32_t>> reports;
  WordIndexBuild build(*dict);
  EXPECT_TRUE(build.Run([&](int32_t done, int32_t total) {
    reports.emplace_back(done, total);
    return true;
  }));
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), std::make_pair(2, 2));
  // Handed over, it serves the dictionary without its file.
  ASSERT_TRUE(DeleteFileA(Wix().c_str()));
  test::WriteBytes(dir.File("other.dat"), test::DictBytes({L"beta"}));
  TADict other(dir.File("other.dat"), dir.File("other.ind"), false, false, false);
  build.InstallInto(other);
  EXPECT_FALSE(WordIndexReady(other));
  build.InstallInto(*dict);
  EXPECT_TRUE(WordIndexReady(*dict));
  EXPECT_EQ(FindInText(*dict, L"beta", 10), (Entries{0, 1}));
  EXPECT_FALSE(FileExists(Wix()));
}

// Another program (outside Windows) cuts the dictionary file shorter while a build reads it:
// the build stops with an error instead of faulting on the pages that are gone.
TEST_F(TextSearchTest, ABuildOfAFileCutShorterWhileItIsReadRaises) {
  std::vector<std::wstring> entries;
  for (int k = 0; k < 40000; ++k)
    entries.push_back(L"word" + std::to_wstring(k) + L" meaning" + std::to_wstring(k % 7));
  const struct {
    const char* when;
    int32_t cutAt;  // the progress report (entries done) at which the file is cut
    int64_t size;
  } cases[] = {
      {"to a few entries, before the first is read", 0, 200},
      {"to nothing, half way", 16384, 0},
      {"to an odd length, half way", 16384, 2 * 20001 + 1},
  };
  for (const auto& c : cases) {
    Write(entries);
    auto dict = Open();
    WordIndexBuild build(*dict);
    bool cut = false;
    try {
      build.Run([&](int32_t done, int32_t) {
        if (done == c.cutAt && !cut)
          cut = test::CutFromOutside(Dat(), c.size);
        return true;
      });
      ADD_FAILURE() << c.when << ": the build read on past the file's end";
    } catch (const EInOutError& e) {
      EXPECT_STREQ(e.what(), "Read beyond end of file") << c.when;
    }
    if (!cut)
      GTEST_SKIP() << "files cannot be cut from outside here";
  }
}

TEST_F(TextSearchTest, AWordIndexThatCannotBeWrittenIsNamedAndServesFromMemory) {
  Write({L"alpha beta", L"beta gamma"});
  ASSERT_TRUE(CreateDirectoryA(Wix().c_str(), nullptr));  // in the way of the file
  auto dict = Open();
  try {
    FindInText(*dict, L"gamma", 10);
    ADD_FAILURE() << "no error";
  } catch (const EWordIndexNotSaved& e) {
    EXPECT_EQ(WideMessageOf(e),
              L"The word index \"" + ToWide(ExpandFileName(Wix())) +
                  L"\" cannot be saved: a folder has that name.\r\nSearching inside entries "
                  L"still works, but the word index cannot be kept and is built again each time "
                  L"the dictionary is opened.");
  }
  EXPECT_EQ(FindInText(*dict, L"gamma", 10), Entries{1});
  RemoveDirectoryA(Wix().c_str());
}

// Every entry found holds the word where the dictionary shows it, and every entry that holds it
// is found.
void ExpectFoundWhereShown(TADict& dict, const std::wstring& word, const char* when) {
  Entries want;
  for (int32_t i = 0; i < dict.EntryCount(); ++i) {
    if (!MatchingWords(dict, dict.ReadEntry(i, -1), word).empty())
      want.push_back(i);
  }
  Entries got;
  EXPECT_NO_THROW(got = FindInText(dict, word, INT32_MAX)) << when;
  EXPECT_EQ(Ascending(got), want) << when << ": \"" << ToUtf8(word) << "\" got " << Show(got)
                                  << ", shown in " << Show(want);
}

// The dictionary searched keeps its own entry order while its index file is deleted or rebuilt
// in another order by another copy of the program (or is rebuilt under the dictionary that
// reads it from disk); the search counts the entries in that order.
TEST_F(TextSearchTest, SearchesFollowTheEntryOrderOfTheDictionarySearched) {
  const std::vector<std::wstring> entries = {L"zebra\r\nzebrameaning", L"banana\r\nfruit",
                                             L"apple\r\nfruit zebrameaning", L"mango"};
  // Written over in place: a view of the file held open denies cutting it.
  auto sortIndexFile = [&] {
    TIndexList list;
    FILETIME time{};
    ScanEntries(ToWide(Dat()), true, list, time, nullptr);
    const Bytes bytes = test::IndexBytes(time, list);
    FileHandle file(CreateFileA(Ind().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr));
  };
  auto deleteIndexFile = [&] { ASSERT_TRUE(DeleteFileA(Ind().c_str())); };
  auto reopenSorted = [&] {
    deleteIndexFile();
    TADict other(Dat(), Ind(), true, false, false);  // another copy, sorting its new index
  };
  const struct {
    const char* sequence;
    bool onDisk;
    std::function<void()> change;
  } cases[] = {
      {"index file deleted", false, deleteIndexFile},
      {"index file deleted, then built sorted by another copy", false, reopenSorted},
      {"index file on disk written over sorted", true, sortIndexFile},
  };
  for (const auto& c : cases) {
    for (const bool searchedBefore : {false, true}) {
      Write(entries);
      DeleteFileA(Ind().c_str());
      DeleteFileA(Wix().c_str());
      auto dict = Open(false, c.onDisk);
      if (searchedBefore)
        ExpectFoundWhereShown(*dict, L"zebrameaning", c.sequence);
      c.change();
      ExpectFoundWhereShown(*dict, L"zebrameaning", c.sequence);
      ExpectFoundWhereShown(*dict, L"fruit", c.sequence);
      if (!c.onDisk) {
        EXPECT_EQ(dict->ReadEntry(0, -1), entries[0])
            << c.sequence << ": the order in memory changed";
      }
    }
  }
}

}  // namespace
}  // namespace lexmora
