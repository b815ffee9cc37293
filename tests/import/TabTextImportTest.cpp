// Tab-separated word lists imported into the program's format, and what every import shares:
// the file layout, merging, the search order, the fresh index and leaving nothing half-written.
#include <gtest/gtest.h>
#include <windows.h>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Text.h"
#include "import/EntryTable.h"
#include "import/Readers.h"
#include "store/ADictU.h"
#include "store/TextCompare.h"

namespace lexmora::test {
namespace {

std::wstring DatText(const std::string& path) {
  const std::string bytes = ReadFile(path);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

TEST(TabTextImport, WritesTheProgramsLayout) {
  struct Case {
    const char* name;
    std::string source;
    std::wstring wanted;  // after the byte-order mark and the title line
  };
  const Case cases[] = {
      {"one entry", "word\tmeaning\n", L"\u00B7word\r\nmeaning"},
      {"line breaks and backslashes", "w\tone\\ntwo\\\\n\\x\n", L"\u00B7w\r\none\r\ntwo\\n\\x"},
      {"CR LF lines, BOM, blank lines",
       "\xEF\xBB\xBF"
       "b\tB\r\n\r\n  \r\na\tA\r\n",
       L"\u00B7a\r\nA\u00B7b\r\nB"},
      {"no final line break", "a\tA", L"\u00B7a\r\nA"},
      {"CR-only line ends", "b\tB\ra\tA\r", L"\u00B7a\r\nA\u00B7b\r\nB"},
      {"CR, LF and CR LF mixed", "c\tC\r\nb\tB\ra\tA\n", L"\u00B7a\r\nA\u00B7b\r\nB\u00B7c\r\nC"},
      {"middle dots replaced", "x\xC2\xB7y\tp\xC2\xB7q\n", L"\u00B7x\u2022y\r\np\u2022q"},
      {"tabs after the first stay in the meaning", "k\tv1\tv2\n", L"\u00B7k\r\nv1\tv2"},
      {"same headword merged, repeated meaning once", "k\tfirst\nk\tsecond\nk\tfirst\n",
       L"\u00B7k\r\nfirst\r\nsecond"},
      {"different case is another headword", "Polish\tof Poland\npolish\tto shine\n",
       L"\u00B7Polish\r\nof Poland\u00B7polish\r\nto shine"},
      {"empty lines inside a meaning kept once, none at the ends", "k\t\\n\\none\\n\\n\\ntwo\\n\n",
       L"\u00B7k\r\none\r\n\r\ntwo"},
      {"entries without meaning left out", "lonely\t   \nk\tv\n", L"\u00B7k\r\nv"},
      {"UTF-8 outside the BMP", "\xF0\x9F\x98\x80\tsmile\n", L"\u00B7\U0001F600\r\nsmile"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir.File("list.txt"), c.source);
    Import({dir.File("list.txt")}, dir.File("out.dat"));
    EXPECT_EQ(DatText(dir.File("out.dat")), L"\uFEFFlist\r\n" + c.wanted) << c.name;
  }
}

// The entries read from `path` a block of `blockBytes` at a time, or the error it raises.
std::vector<std::wstring> ReadInBlocks(const std::string& path, size_t blockBytes) {
  const import::SourceSet source{
      import::SourceFormat::TabText, ToWide(path), ToWide(path), {}, {}, {}};
  import::EntryTable entries;
  std::vector<std::string> notes;
  const import::ImportProgress progress;
  import::ReadContext context{entries, notes, progress, {}};
  try {
    import::ReadTabText(source, context, blockBytes);
  } catch (const import::EImportError& e) {
    return {ToWide(e.what())};
  }
  std::vector<std::wstring> texts;
  for (size_t i = 0; i < entries.Size(); ++i)
    texts.push_back(entries.Text(i));
  return texts;
}

// The file is read a block at a time: a line, a CR LF pair, a UTF-8 sequence or the byte-order
// mark cut by the end of a block reads as it does in one piece.
TEST(TabTextImport, ReadsTheSameWhateverTheBlockSize) {
  const std::string sources[] = {
      "\xEF\xBB\xBF"
      "b\tB\r\n\r\na\tA\rc\tC\n\xD0\xB6\tz\xC3\xA9\\n\xF0\x9F\x98\x80\r\nlast\tno end",
      "a\tA\r\nb\tB\r\n\r\nbroken\r\n",
      "a\tA\rb\tB\xC3\n",
      "a\tA\r",
  };
  TempDir dir;
  for (const std::string& source : sources) {
    WriteFile(dir.File("list.txt"), source);
    const std::vector<std::wstring> whole = ReadInBlocks(dir.File("list.txt"), 1 << 20);
    ASSERT_FALSE(whole.empty());
    for (const size_t blockBytes : {1, 2, 3, 5, 7, 64}) {
      EXPECT_EQ(ReadInBlocks(dir.File("list.txt"), blockBytes), whole)
          << "blocks of " << blockBytes << " bytes: " << ToAnsi(whole[0]);
    }
  }
}

TEST(TabTextImport, KeepOrderKeepsTheSourceOrderAndMergesIntoTheFirst) {
  TempDir dir;
  WriteFile(dir.File("list.txt"), "zebra\tZ\napple\tA\nzebra\tZ2\nmango\tM\n");
  const import::ImportResult result = Import({dir.File("list.txt")}, dir.File("out.dat"), false);
  EXPECT_EQ(EntriesOf(dir.File("out.dat")),
            (std::vector<std::wstring>{L"zebra\r\nZ\r\nZ2", L"apple\r\nA", L"mango\r\nM"}));
  EXPECT_EQ(result.entriesWritten, 3);
  EXPECT_EQ(result.entriesRead, 4);
  EXPECT_EQ(result.entriesMerged, 1);
}

std::string TabSource(const std::vector<std::pair<std::wstring, std::wstring>>& words) {
  std::string source;
  for (const auto& [w, m] : words)
    source += ToUtf8(w) + "\t" + ToUtf8(m) + "\n";
  return source;
}

// The order is that of whole entry keys (headword, CR LF, meaning), which the comparison can
// interleave: "a b" sorts before "a" (a space before a CR), "word's" among "words" (the
// apostrophe weighs nothing), "ete" and "été" by their meanings. The file must come out
// ascending in the search's own terms: each entry's first 50 characters as the store reads them,
// lower-cased, under the store's comparison.
TEST(TabTextImport, OrdersByWholeEntryKeys) {
  const std::vector<std::pair<std::wstring, std::wstring>> words = {
      {L"a", L"zzz first letter"},
      {L"a b", L"aaa two words"},
      {L"ab", L"abbreviation"},
      {L"a-b", L"hyphenated"},
      {L"Ab", L"capital"},
      {L"co-op", L"shop"},
      {L"coop", L"hen house"},
      {L"co", L"company"},
      {L"word's", L"genitive"},
      {L"words", L"plural"},
      {L"word", L"zzz"},
      {L"\u0451", L"yo"},
      {L"\u0435", L"ye"},
      {L"stra\u00DFe", L"street"},
      {L"strasse", L"street too"},
      {L"\u00E9t\u00E9", L"summer"},
      {L"ete", L"plain"},
      {L"x y", L"short"},
      {L"x", L"a very long meaning that runs past fifty characters of key and further on"},
      {L"x", L"a very long meaning that runs past fifty characters of key and then differs"},
  };
  TempDir dir;
  WriteFile(dir.File("list.txt"), TabSource(words));
  Import({dir.File("list.txt")}, dir.File("out.dat"));

  const std::vector<std::wstring> entries = EntriesOf(dir.File("out.dat"));
  ASSERT_EQ(entries.size(), words.size() - 1);
  for (size_t i = 1; i < entries.size(); ++i) {
    const std::wstring a = LowerCase(entries[i - 1].substr(0, 50));
    const std::wstring b = LowerCase(entries[i].substr(0, 50));
    EXPECT_LE(CompareText(a, b), 0) << "entries " << i - 1 << " and " << i
                                    << " out of order: " << ToAnsi(a) << " / " << ToAnsi(b);
  }
}

// Headwords that are prefixes of others, with meanings that would order them differently from
// their headwords alone: the program's own search finds each of them.
TEST(TabTextImport, EveryHeadwordIsFoundByTheSearch) {
  const std::vector<std::pair<std::wstring, std::wstring>> words = {
      {L"abc", L"alphabet"},
      {L"ab", L"zzz abbreviation"},
      {L"a", L"zzz first letter"},
      {L"abd", L"aaa"},
      {L"cooper", L"barrel maker"},
      {L"coop", L"hen house"},
      {L"co", L"zzz company"},
      {L"wordy", L"aaa"},
      {L"words", L"plural"},
      {L"word", L"zzz"},
      {L"\u0436\u0430\u0431\u0430", L"frog"},
      {L"\u0436", L"zh"},
      {L"\u0430\u0431\u0432", L"a"},
      {L"\u0430\u0431", L"x"},
      {L"\u0430", L"and"},
      {L"\u0411\u0443\u043A\u0432\u0430", L"letter"},
      {L"10", L"ten"},
      {L"1", L"one"},
      {L"2", L"two"},
      {L"x", L"a very long meaning that runs past fifty characters of key and further on"},
      {L"xa", L"short"},
      {L"Zebra", L"animal"},
      {L"zebra", L"crossing"},
  };
  TempDir dir;
  WriteFile(dir.File("list.txt"), TabSource(words));
  Import({dir.File("list.txt")}, dir.File("out.dat"));

  TADict dict(dir.File("out.dat"), dir.File("out.ind"), false, false, false);
  ASSERT_EQ(dict.EntryCount(), static_cast<int32_t>(words.size()));
  for (const auto& [w, m] : words) {
    const std::wstring found = dict.ReadEntry(dict.FindWord(w), -1);
    const std::wstring headword = found.substr(0, found.find(L'\r'));
    // The search ignores case: "Zebra" and "zebra" both lead to the first of the two.
    EXPECT_EQ(LowerCase(headword), LowerCase(w))
        << "searching " << ToAnsi(w) << " found " << ToAnsi(found);
  }
}

TEST(TabTextImport, WritesAFreshIndexThatTheStoreKeeps) {
  TempDir dir;
  WriteFile(dir.File("list.txt"), "b\tB\na\tA\nc\tC\n");
  WriteFile(dir.File("out.ind"), "stale index of an earlier file");
  const import::ImportResult result = Import({dir.File("list.txt")}, dir.File("out.dat"));
  ASSERT_TRUE(result.indexWritten);
  const std::string written = ReadFile(dir.File("out.ind"));

  TIndexList list;
  FILETIME time{};
  ScanEntries(dir.File("out.dat"), false, list, time, nullptr);
  std::string wanted(reinterpret_cast<const char*>(&time), sizeof time);
  wanted.append(reinterpret_cast<const char*>(list.data()), list.size() * 4);
  EXPECT_EQ(written.substr(0, wanted.size()), wanted);

  // Opening it does not rebuild it: the file stays as it was, byte for byte.
  EXPECT_EQ(EntriesOf(dir.File("out.dat")),
            (std::vector<std::wstring>{L"a\r\nA", L"b\r\nB", L"c\r\nC"}));
  EXPECT_EQ(ReadFile(dir.File("out.ind")), written);
}

TEST(TabTextImport, TitlesComeFromTheOptionOrTheFileName) {
  TempDir dir;
  WriteFile(dir.File("Bulgarian-English.tsv"), "a\tb\n");
  import::ImportOptions options;
  options.sources = {ToWide(dir.File("Bulgarian-English.tsv"))};
  options.output = ToWide(dir.File("out.dat"));
  EXPECT_EQ(import::ImportDictionary(options).title, L"Bulgarian-English");
  options.title = L"My \u00B7 words\r\nsecond";
  import::ImportDictionary(options);
  EXPECT_TRUE(DatText(dir.File("out.dat")).starts_with(L"\uFEFFMy \u2022 words  second\r\n\u00B7a"))
      << ToAnsi(DatText(dir.File("out.dat")));
}

// Failures name the file and the line, and leave the folder as it was: no new or half-written
// dictionary, no temporary file, an earlier dictionary of that name untouched.
TEST(TabTextImport, BadSourcesFailCleanly) {
  struct Case {
    const char* name;
    std::string source;
    std::string wantedMessage;  // after the source's path
  };
  const Case cases[] = {
      {"no tab", "a\tA\nbroken line\n", ", line 2: no tab between the headword and the meaning"},
      {"CR-only lines counted", "a\tA\rb\tB\r\rbroken\r",
       ", line 4: no tab between the headword and the meaning"},
      {"CR LF counted once", "a\tA\r\n\r\nbroken\r\n",
       ", line 3: no tab between the headword and the meaning"},
      {"invalid UTF-8", "a\tA\n\nb\t\xC3\x28\n", ", line 3 is not valid UTF-8"},
      {"overlong UTF-8", "\xC0\xAF\tx\n", ", line 1 is not valid UTF-8"},
      {"encoded surrogate", "\xED\xA0\x80\tx\n", ", line 1 is not valid UTF-8"},
      {"truncated sequence", "a\tx\xE2\x82", ", line 1 is not valid UTF-8"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir.File("list.txt"), c.source);
    WriteFile(dir.File("out.dat"), "earlier");
    const std::optional<std::string> error =
        ImportError({dir.File("list.txt")}, dir.File("out.dat"));
    if (!error) {
      ADD_FAILURE() << c.name << ": no error";
    } else {
      EXPECT_EQ(*error, dir.File("list.txt") + c.wantedMessage) << c.name;
    }
    EXPECT_EQ(ReadFile(dir.File("out.dat")), "earlier") << c.name;
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"list.txt", "out.dat"})) << c.name;
  }
}

TEST(TabTextImport, BadRequestsFailCleanly) {
  TempDir dir;
  WriteFile(dir.File("list.txt"), "a\tA\n");
  WriteFile(dir.File("empty.txt"), "\n\n");
  struct Case {
    const char* name;
    std::vector<std::string> sources;
    std::string output;
    std::string wantedMessage;
  };
  const Case cases[] = {
      {"missing source",
       {dir.File("none.txt")},
       dir.File("o.dat"),
       "\"" + dir.File("none.txt") + "\" does not exist"},
      {"output not .dat",
       {dir.File("list.txt")},
       dir.File("o.txt"),
       "The output \"" + dir.File("o.txt") + "\" must be a file name ending in .dat"},
      {"output folder missing",
       {dir.File("list.txt")},
       dir.File("sub\\o.dat"),
       "The folder \"" + dir.File("sub\\") + "\" does not exist"},
      {"nothing to write",
       {dir.File("empty.txt")},
       dir.File("o.dat"),
       "The sources hold no entries with a headword and a meaning"},
      {"output is a source", {dir.File("list.txt"), dir.File("o.dat")}, dir.File("o.dat"), ""},
  };
  WriteFile(dir.File("o.dat"), "x\ty\n");
  for (const Case& c : cases) {
    const std::optional<std::string> error = ImportError(c.sources, c.output);
    if (!error) {
      ADD_FAILURE() << c.name << ": no error";
    } else if (!c.wantedMessage.empty()) {
      EXPECT_EQ(*error, c.wantedMessage) << c.name;
    }
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"empty.txt", "list.txt", "o.dat"}))
        << c.name;
  }
}

TEST(TabTextImport, RefusesAnOutputAtTheSizeLimitBeforeWriting) {
  TempDir dir;
  WriteFile(dir.File("list.txt"), "abc\tdef\n");
  WriteFile(dir.File("out.dat"), "earlier");
  import::ImportOptions options;
  options.sources = {ToWide(dir.File("list.txt"))};
  options.output = ToWide(dir.File("out.dat"));
  // BOM, "list", CR LF, separator, "abc", CR LF, "def": 16 units, 32 bytes.
  options.maxOutputBytes = 32;
  EXPECT_THROW(import::ImportDictionary(options), import::EImportError);
  EXPECT_EQ(ReadFile(dir.File("out.dat")), "earlier");
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"list.txt", "out.dat"}));
  options.maxOutputBytes = 33;
  EXPECT_EQ(import::ImportDictionary(options).outputBytes, 32);
}

TEST(TabTextImport, AnOpenDictionaryIsNotReplaced) {
  TempDir dir;
  WriteFile(dir.File("list.txt"), "a\tA\n");
  Import({dir.File("list.txt")}, dir.File("out.dat"));
  const std::string before = ReadFile(dir.File("out.dat"));
  WriteFile(dir.File("list.txt"), "b\tB\n");
  {
    TADict open(dir.File("out.dat"), dir.File("out.ind"), false, false, false);
    EXPECT_THROW(Import({dir.File("list.txt")}, dir.File("out.dat")), import::EImportError);
  }
  EXPECT_EQ(ReadFile(dir.File("out.dat")), before);
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"list.txt", "out.dat", "out.ind"}));
}

}  // namespace
}  // namespace lexmora::test
