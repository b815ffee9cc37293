// StarDict dictionaries imported and searched: 32- and 64-bit offsets, compressed files, typed
// and same-type data, markup, synonyms, and inconsistent sources.
#include <gtest/gtest.h>

#include <functional>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Text.h"
#include "store/ADictU.h"

namespace lexmora::test {
namespace {

std::string Be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16 & 0xFF),
          static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)};
}

TEST(StarDictImport, SixtyFourBitOffsetsHtmlAndSynonyms) {
  StarDictSource source;
  source.bookname = "English-Bulgarian";
  source.sameTypeSequence = "h";
  source.offsets64 = true;
  source.entries = {
      {"go", "<b>\xD0\xBE\xD1\x82\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBC</b><br>I go &amp; you go"},
      {"run", "<div>\xD1\x82\xD0\xB8\xD1\x87\xD0\xB0\xD0\xBC</div><div>&lt;fast&gt; &#1073;</div>"},
      {"sun", "<p>\xD1\x81\xD0\xBB\xD1\x8A\xD0\xBD\xD1\x86\xD0\xB5\n   star</p>"},
  };
  source.synonyms = {{"went", 0}, {"gone", 0}, {"ran", 1}, {"Go", 0}};
  TempDir dir;
  const std::string ifo = WriteStarDict(dir.File("en-bg"), source);
  const import::ImportResult result = Import({ifo}, dir.File("out.dat"));
  EXPECT_EQ(result.title, L"English-Bulgarian");
  EXPECT_EQ(result.entriesWritten, 7);
  const std::wstring go = L"\u043E\u0442\u0438\u0432\u0430\u043C\r\nI go & you go";
  EXPECT_EQ(EntriesOf(dir.File("out.dat")),
            (std::vector<std::wstring>{
                L"Go\r\ngo\r\n" + go,  // "go" then a Latin letter sorts before the Cyrillic
                L"go\r\n" + go,
                L"gone\r\ngo\r\n" + go,
                L"ran\r\nrun\r\n\u0442\u0438\u0447\u0430\u043C\r\n<fast> \u0431",
                L"run\r\n\u0442\u0438\u0447\u0430\u043C\r\n<fast> \u0431",
                L"sun\r\n\u0441\u043B\u044A\u043D\u0446\u0435 star",
                L"went\r\ngo\r\n" + go,
            }));
  TADict dict(dir.File("out.dat"), dir.File("out.ind"), false, false, false);
  for (const wchar_t* word : {L"went", L"gone", L"ran", L"run", L"sun"}) {
    const std::wstring found = dict.ReadEntry(dict.FindWord(word), -1);
    EXPECT_EQ(found.substr(0, found.find(L'\r')), word);
  }
}

TEST(StarDictImport, TypedFieldsAndCompressedFiles) {
  StarDictSource source;
  source.gzipIndex = true;
  source.dictzipData = true;
  // Typed fields: text, a picture (left out), phonetics, Pango markup.
  source.entries = {
      {"cat", std::string("m\xD0\xBA\xD0\xBE\xD1\x82\xD0\xBA\xD0\xB0") + '\0' + "P" + Be32(3) +
                  "\x01\x02\x03" + "tk\xC3\xA6t" + '\0' + "g<i>pet</i>\nanimal" + '\0'},
      {"dog", std::string("W") + Be32(2) + std::string("\x00\x01", 2) + "mdog text" + '\0'},
      {"sound", std::string("W") + Be32(2) + std::string("\x00\x01", 2)},
  };
  TempDir dir;
  WriteStarDict(dir.File("typed"), source);
  const import::ImportResult result = Import({dir.File("typed.dict.dz")}, dir.File("out.dat"));
  EXPECT_EQ(EntriesOf(dir.File("out.dat")),
            (std::vector<std::wstring>{
                L"cat\r\n\u043A\u043E\u0442\u043A\u0430\r\n[k\u00E6t]\r\npet\r\nanimal",
                L"dog\r\ndog text"}));
  std::string notes;
  for (const std::string& n : result.notes)
    notes += n + "\n";
  EXPECT_NE(notes.find("2 fields of type 'W' (not text) were left out"), std::string::npos)
      << notes;
  EXPECT_NE(notes.find("1 fields of type 'P' (not text) were left out"), std::string::npos)
      << notes;
  EXPECT_NE(notes.find("1 entries without any text meaning were left out"), std::string::npos)
      << notes;
}

TEST(StarDictImport, InconsistentSourcesAreRefused) {
  StarDictSource good;
  good.sameTypeSequence = "m";
  good.entries = {{"alpha", "first"}, {"beta", "second"}};
  struct Case {
    const char* name;
    std::function<void(const std::string& base)> spoil;
    std::string wanted;
  };
  const Case cases[] = {
      {"index size",
       [](const std::string& b) { WriteFile(b + ".idx", ReadFile(b + ".idx") + "x"); },
       "d.idx holds 28 bytes but "},
      {"word count",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.extraInfo = "wordcount=3\n";
         WriteStarDict(b, s);
       },
       "d.idx holds 2 entries but "},
      {"data beyond the end", [](const std::string& b) { WriteFile(b + ".dict", "firstsec"); },
       "d.idx, entry 2 (\"beta\"): its data (bytes 5 to 11) lies beyond the end of "},
      {"truncated index",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.extraInfo = "idxfilesize=20\n";
         WriteStarDict(b, s);
         WriteFile(b + ".idx", ReadFile(b + ".idx").substr(0, 20));
       },
       "d.idx, entry 2: the file ends inside the entry"},
      {"synonym out of range",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.synonyms = {{"a", 1}, {"b", 2}};
         WriteStarDict(b, s);
       },
       "d.syn, entry 2 (\"b\"): it refers to entry 3 of "},
      {"synonym at the largest number",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.synonyms = {{"a", 0xFFFFFFFF}};
         WriteStarDict(b, s);
       },
       "d.syn, entry 1 (\"a\"): it refers to entry 4294967296 of "},
      {"synonym count",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.synonyms = {{"a", 1}};
         s.extraInfo = "synwordcount=2\n";
         WriteStarDict(b, s);
       },
       "d.syn holds 1 entries but "},
      {"offset bits",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.extraInfo = "idxoffsetbits=48\n";
         WriteStarDict(b, s);
       },
       "d.ifo: idxoffsetbits must be 32 or 64"},
      {"not an ifo", [](const std::string& b) { WriteFile(b + ".ifo", "hello\n"); },
       "d.ifo: not a StarDict information file (its first line is wrong)"},
      {"missing field end",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.sameTypeSequence = "mm";
         WriteStarDict(b, s);
       },
       "d.idx, entry 1): its field of type 'm' has no terminating zero"},
      {"damaged dictzip",
       [&](const std::string& b) {
         StarDictSource s = good;
         s.dictzipData = true;
         WriteStarDict(b, s);
         const std::string dz = ReadFile(b + ".dict.dz");
         WriteFile(b + ".dict.dz", dz.substr(0, dz.size() - 6));
       },
       "d.dict.dz: the file is truncated"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteStarDict(dir.File("d"), good);
    c.spoil(dir.File("d"));
    ExpectRefused(c.name, dir.File("d.ifo"), dir.File("out.dat"), c.wanted);
  }
}

}  // namespace
}  // namespace lexmora::test
