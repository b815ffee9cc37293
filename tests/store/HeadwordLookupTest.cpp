#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "StoreTestSupport.h"
#include "base/CombiningMarks.h"
#include "base/Text.h"
#include "store/HeadwordLookup.h"

namespace lexmora {
namespace {

using test::TempDir;

class HeadwordLookupTest : public ::testing::Test {
 protected:
  HeadwordLookupTest() : scopedReporter_(reporter) {
    const std::string shipped = LEXMORA_SHIPPED_DATA;
    files.Set(test::ReadBytes(shipped + "Data\\conv_to.txt"),
              test::ReadBytes(shipped + "Data\\conv_from.txt"));
  }
  // The entries in the order given, indexed sorted as an imported dictionary is.
  std::unique_ptr<TADict> Open(const std::vector<std::wstring>& entries, bool convert) {
    test::WriteBytes(dir.File("h.dat"), test::DictBytes(entries, L"Title\r\n"));
    DeleteFileA(dir.File("h.ind").c_str());
    return std::make_unique<TADict>(dir.File("h.dat"), dir.File("h.ind"), true, false, convert);
  }

  TempDir dir;
  test::ConversionFiles files;
  test::RecordingReporter reporter;

 private:
  ScopedReporter scopedReporter_;
};

TEST_F(HeadwordLookupTest, ATypedHeadwordShowsItsEntryWhereTheSearchShowsAnother) {
  std::vector<std::wstring> entries = {L"honey badger\r\nмедояд",
                                       L"honey bee\r\nпчела",
                                       L"Honey\r\nобръщение",
                                       L"honey\r\nмед",
                                       L"honeycomb\r\nпита",
                                       L"at home\r\nу дома",
                                       L"at last\r\nнай-сетне",
                                       L"at\r\nв, при",
                                       L"къща за гости\r\nguest house",
                                       L"къ́ща\r\nhouse",
                                       L"къщата\r\nthe house",
                                       L"мир\r\npeace",
                                       L"мираж\r\nmirage",
                                       L"мы\r\nwe",
                                       L"мыло\r\nsoap",
                                       L"мыть\r\nto wash",
                                       L"Kелекетиќ\r\nсемейно име",
                                       L"water\r\nвода"};
  for (const wchar_t* phrase :
       {L"bear", L"bird", L"buffalo", L"chestnut", L"lily", L"main", L"meter", L"park", L"polo",
        L"pump", L"rat", L"tower", L"vapour", L"wheel"}) {
    entries.push_back(L"water " + std::wstring(phrase) + L"\r\nводно");
  }
  const struct {
    std::wstring typed;
    std::wstring want;    // the beginning of the entry to show; empty: what FindWord shows
    bool findWordMisses;  // the search alone shows another entry
  } cases[] = {
      {L"honey", L"honey\r\nмед", true},  // the first of "honey" and "Honey"
      {L"HONEY", L"honey\r\nмед", true},
      {L"water", L"water\r\n", true},
      {L"at", L"at\r\n", true},
      {L"къща", L"къ́ща\r\n", true},  // typed without the stress mark
      {L"къ́ща", L"къ́ща\r\n", true},  // and with it
      {L"къща́", L"къ́ща\r\n", true},  // or with it elsewhere
      {L"мыло", L"мыло\r\n", true},  // ы, which conversion folds to и, sorts elsewhere
      {L"мы", L"мы\r\n", true},
      {L"kелекетиќ", L"Kелекетиќ\r\n", false},  // a Latin letter, then Cyrillic
      {L"honeycomb", L"honeycomb\r\n", false},
      {L"hone", L"", false},  // no such headword
      {L"water b", L"", false},
      {L"кщ", L"", false},  // a mark is no letter: "къ́" is not "к"
  };
  auto dict = Open(entries, true);
  for (const auto& c : cases) {
    const std::string name = "typed " + ToUtf8(c.typed);
    const int32_t found = dict->FindWord(c.typed);
    const int32_t shown = FindHeadword(*dict, c.typed);
    const std::wstring text = dict->ReadEntry(shown, -1);
    if (c.want.empty()) {
      EXPECT_EQ(found, shown) << name << ": shows \"" << ToUtf8(text) << "\"";
      continue;
    }
    EXPECT_EQ(0u, text.find(c.want)) << name << ": shows \"" << ToUtf8(text) << "\"";
    EXPECT_EQ(c.findWordMisses, dict->ReadEntry(found, -1).find(c.want) != 0)
        << name << ": FindWord shows \"" << ToUtf8(dict->ReadEntry(found, -1)) << "\"";
  }
  EXPECT_TRUE(reporter.messages.empty());
}

// A dictionary in the shapes of real ones: Latin and Cyrillic headwords, Russian letters that
// conversion folds, stress marks on headwords and in meanings, phrases and hyphenated words that
// begin with another headword, capitalised and stressed twins, a Latin letter before Cyrillic.
std::vector<std::wstring> RealisticEntries(std::mt19937& rng) {
  const std::wstring latin = L"abcdefghijklmnopqrstuvwxyz";
  const std::wstring cyrillic = L"абвгдежзийклмнопрстуфхцчшщъьюяыэё";
  const std::wstring vowels = L"аеиоуъюяыэ";
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  auto word = [&](const std::wstring& letters) {
    std::wstring w;
    for (size_t n = 1 + pick(8); n > 0; --n)
      w += letters[pick(letters.size())];
    return w;
  };
  auto stressed = [&](std::wstring w) {
    const size_t at = w.find_first_of(vowels);
    if (at != std::wstring::npos)
      w.insert(at + 1, 1, pick(4) == 0 ? L'\u0300' : L'\u0301');
    return w;
  };
  std::vector<std::wstring> headwords;
  for (int n = 0; n < 1500; ++n) {
    const bool isLatin = pick(2) == 0;
    std::wstring w = word(isLatin ? latin : cyrillic);
    if (!isLatin && pick(3) == 0)
      w = stressed(w);
    headwords.push_back(w);
    if (pick(8) == 0) {
      std::wstring capitalized = w;
      capitalized[0] = static_cast<wchar_t>(towupper(w[0]));
      headwords.push_back(isLatin ? capitalized : stressed(w));
    }
    if (pick(30) == 0)
      headwords.push_back(L"K" + word(cyrillic));
    if (pick(4) == 0) {
      for (size_t k = pick(40); k > 0; --k) {
        const wchar_t* joins[] = {L" ", L" ", L"-", L"'s ", L", "};
        headwords.push_back(w + joins[pick(5)] + word(isLatin ? latin : cyrillic));
      }
    }
  }
  std::vector<std::wstring> entries;
  for (const std::wstring& h : headwords)
    entries.push_back(h + L"\r\n" + stressed(word(cyrillic)) + L", " + word(latin));
  return entries;
}

TEST_F(HeadwordLookupTest, EveryHeadwordOfARealisticDictionaryShowsItsFirstEntry) {
  std::mt19937 rng(7);
  const std::vector<std::wstring> entries = RealisticEntries(rng);
  for (bool convert : {true, false}) {
    auto dict = Open(entries, convert);
    // The first entry of each spelling: lower case, no marks.
    auto spelling = [](std::wstring text) {
      text = WithoutCombiningMarks(text);
      CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
      return text;
    };
    std::map<std::wstring, int32_t> first;
    for (int32_t i = 0; i < dict->EntryCount(); ++i)
      first.emplace(spelling(HeadwordOf(dict->ReadEntry(i, -1))), i);
    int misses = 0, searchMisses = 0;
    for (int32_t i = 0; i < dict->EntryCount(); ++i) {
      const std::wstring typed = WithoutCombiningMarks(HeadwordOf(dict->ReadEntry(i, -1)));
      // The first entry spelled so, or an earlier one that letter conversion makes equal.
      auto shows = [&](int32_t shown) {
        return shown <= first.at(spelling(typed)) &&
               FoldHeadword(*dict, HeadwordOf(dict->ReadEntry(shown, -1))) ==
                   FoldHeadword(*dict, typed);
      };
      const int32_t shown = FindHeadword(*dict, typed);
      if (!shows(shown) && ++misses <= 5) {
        ADD_FAILURE() << "conversion " << convert << ": typed " << ToUtf8(typed) << " shows "
                      << ToUtf8(HeadwordOf(dict->ReadEntry(shown, -1))) << " (" << shown
                      << "), the first spelled so is " << first.at(spelling(typed));
      }
      searchMisses += !shows(dict->FindWord(typed));
    }
    EXPECT_EQ(0, misses) << "conversion " << convert << ", of " << dict->EntryCount();
    // The data holds the cases that the search alone gets wrong.
    EXPECT_GT(searchMisses, dict->EntryCount() / 20) << "conversion " << convert;
  }
}

}  // namespace
}  // namespace lexmora
