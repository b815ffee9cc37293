// dictd dictionaries (NAME.index with NAME.dict or a dictzip NAME.dict.dz) imported and searched.
#include <gtest/gtest.h>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Text.h"
#include "store/ADictU.h"

namespace lexmora::test {
namespace {

const std::vector<WordAndText> kFreeDictLike = {
    {"00-database-short", "00-database-short\n     Bulgarian-English Test Dictionary\n"},
    {"00-database-url", "00-database-url\n     http://example.org\n"},
    {"\xD0\xB6\xD0\xB0\xD0\xB1\xD0\xB0",
     "\xD0\xB6\xD0\xB0\xD0\xB1\xD0\xB0 /\xCA\x92\xC9\x91"
     "ba/\n   frog\n   toad\n"},
    {"apple", "apple\n   \xD1\x8F\xD0\xB1\xD1\x8A\xD0\xBB\xD0\xBA\xD0\xB0\n\n   see also {pear}\n"},
    {"pear", "Pear\n   \xD0\xBA\xD1\x80\xD1\x83\xD1\x88\xD0\xB0\n"},
    {"apple", "apple\n   second sense\n"},
    {"bank", "   a line that does not repeat the headword\n"},
};

TEST(DictdImport, ImportsPlainAndDictzipData) {
  for (bool compress : {false, true}) {
    TempDir dir;
    // Chunks of 64 bytes: the data spreads over several.
    const std::string index = WriteDictd(dir.File("bg-en"), kFreeDictLike, compress, 64);
    const import::ImportResult result = Import({index}, dir.File("out.dat"));
    EXPECT_EQ(result.title, L"Bulgarian-English Test Dictionary") << compress;
    EXPECT_EQ(
        EntriesOf(dir.File("out.dat")),
        (std::vector<std::wstring>{
            L"apple\r\n\u044F\u0431\u044A\u043B\u043A\u0430\r\n\r\nsee also pear\r\nsecond sense",
            L"bank\r\na line that does not repeat the headword",
            L"Pear\r\n\u043A\u0440\u0443\u0448\u0430",
            L"\u0436\u0430\u0431\u0430\r\n/\u0292\u0251ba/\r\nfrog\r\ntoad",
        }))
        << "compressed: " << compress;
    EXPECT_EQ(result.entriesRead, 5);
    EXPECT_EQ(result.entriesMerged, 1);
  }
}

TEST(DictdImport, AnyFileOfTheDictionaryNamesIt) {
  TempDir dir;
  const std::string index = WriteDictd(dir.File("d"), kFreeDictLike, true);
  for (const std::vector<std::string>& sources :
       {std::vector<std::string>{index}, {dir.File("d.dict.dz")}, {index, dir.File("d.dict.dz")}}) {
    EXPECT_EQ(Import(sources, dir.File("out.dat")).entriesWritten, 4) << sources.size();
  }
}

TEST(DictdImport, DictzipWithManyChunksIsSearchable) {
  std::vector<WordAndText> entries;
  for (int i = 0; i < 2000; ++i) {
    std::string word = "w";
    word += std::to_string(i * 7 % 2000);
    entries.push_back({word, word + "\n   meaning of " + word + "\n"});
  }
  TempDir dir;
  const std::string index = WriteDictd(dir.File("big"), entries, true, 4096);
  Import({index}, dir.File("out.dat"));
  TADict dict(dir.File("out.dat"), dir.File("out.ind"), false, false, false);
  ASSERT_EQ(dict.EntryCount(), 2000);
  for (int i = 0; i < 2000; i += 37) {
    const std::wstring word = L"w" + std::to_wstring(i);
    EXPECT_EQ(dict.ReadEntry(dict.FindWord(word), -1), word + L"\r\nmeaning of " + word);
  }
}

TEST(DictdImport, BadSourcesNameTheFileAndEntry) {
  struct Case {
    const char* name;
    std::string index;  // "" : written from kFreeDictLike
    std::string dict;
    bool removeDict = false;
    std::string wanted;  // after the folder
  };
  const Case cases[] = {
      {"no tabs", "apple A\n", "apple\n", false,
       "d.index, line 1: expected a headword, an offset and a length separated by tabs"},
      {"bad base64", "apple\tA\tB\nmore\tA!\tB\n", "apple\n", false,
       "d.index, line 2: the offset or length of \"more\" is not a base64 number"},
      {"beyond the end", "apple\tA\tB\nfar\tZ\tB\n", "apple\n", false,
       "d.index, line 2: the definition of \"far\" (bytes 25 to 26) lies beyond the end of "},
      {"invalid UTF-8 in a definition", "bad\tA\tC\n", "b\xE9t", false,
       "d.dict: the definition of "
       "\"bad\" ("},
      {"no data file", "apple\tA\tB\n", "", true, "d.index\": neither "},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir.File("d.index"), c.index);
    if (!c.removeDict)
      WriteFile(dir.File("d.dict"), c.dict);
    ExpectRefused(c.name, dir.File("d.index"), dir.File("out.dat"), c.wanted);
  }
}

}  // namespace
}  // namespace lexmora::test
