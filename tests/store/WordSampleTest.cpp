#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "base/Text.h"
#include "store/WordSample.h"

namespace lexmora {
namespace {

std::string Joined(const std::vector<std::wstring>& words) {
  std::wstring all;
  for (const std::wstring& word : words)
    all += (all.empty() ? L"" : L" ") + word;
  return ToUtf8(all);
}

// Headwords and meanings apart, marks left out, entries taken evenly from the whole index.
TEST(WordSampleTest, WordsOfHeadwordsOrMeaningsSpreadOverTheIndex) {
  test::TempDir dir;
  std::vector<std::wstring> entries;
  for (wchar_t c = L'a'; c <= L'j'; ++c)
    entries.push_back(std::wstring(2, c) + L" x\r\n" + std::wstring(2, c) + L"-ка, къ\x0301ща 12");
  test::WriteBytes(dir.File("s.dat"), test::DictBytes(entries, L"Title\r\n"));
  TADict dict(dir.File("s.dat"), dir.File("s.ind"), false, false, false);
  ASSERT_EQ(dict.EntryCount(), 10);
  EXPECT_EQ(Joined(SampleWords(dict, EntryPart::Headword, 5)), "aa x cc x ee x gg x ii x");
  EXPECT_EQ(Joined(SampleWords(dict, EntryPart::Meaning, 2)), "aa ка къща ff ка къща");
  EXPECT_EQ(SampleWords(dict, EntryPart::Headword, 100).size(), 20u);
  EXPECT_TRUE(SampleWords(dict, EntryPart::Headword, 0).empty());
}

}  // namespace
}  // namespace lexmora
