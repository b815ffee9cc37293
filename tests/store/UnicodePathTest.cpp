// A dictionary whose folder and file names the system code page cannot spell (Cyrillic under
// a Western code page): it opens, and its index and word index are written and found beside it.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "store/TextSearch.h"

namespace lexmora {
namespace {

const std::wstring kFolder = L"\u0420\u0435\u0447\u043D\u0438\u043A\\";  // Речник
// български речник
const std::wstring kName =
    L"\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438 \u0440\u0435\u0447\u043D\u0438\u043A";
const std::vector<std::wstring> kEntries = {
    L"\u0430\u0437\r\nI", L"\u043A\u043E\u0442\u043A\u0430\r\ncat",
    L"\u043A\u0443\u0447\u0435\r\ndog", L"\u043A\u044A\u0449\u0430\r\nhouse"};

class UnicodePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    test::WriteBytes(Path(L".dat"), test::DictBytes(kEntries, L"Title\r\n"));
  }
  std::wstring Path(const wchar_t* extension) const { return folder_ + kName + extension; }

  test::TempDir dir_;
  const std::wstring folder_ = ToWide(dir_.Path()) + kFolder;
};

TEST_F(UnicodePathTest, OpensAndKeepsItsIndexesBesideIt) {
  test::CountingHost host;
  test::ScopedBuildHost scope(host);
  const struct {
    bool doSort, onDisk;
    int builds;  // with the index of the case before kept
  } cases[] = {{false, false, 1}, {false, true, 0}, {true, false, 1}, {true, true, 0}};
  for (const auto& c : cases) {
    if (c.builds > 0)
      DeleteFileW(Path(L".ind").c_str());
    host.builds = 0;
    TADict dict(Path(L".dat"), Path(L".ind"), c.doSort, c.onDisk, false);
    SCOPED_TRACE(testing::Message() << "doSort " << c.doSort << ", on disk " << c.onDisk);
    EXPECT_EQ(host.builds, c.builds);
    EXPECT_TRUE(FileExists(Path(L".ind")));
    EXPECT_EQ(dict.EntryCount(), 4);
    EXPECT_EQ(dict.ReadEntry(dict.FindWord(L"\u043A\u0443\u0447"), -1), kEntries[2]);
    EXPECT_EQ(dict.DataFilePath(), Path(L".dat"));
  }

  TADict dict(Path(L".dat"), Path(L".ind"), false, false, false);
  EXPECT_EQ(FindInText(dict, L"house", 10), std::vector<int32_t>{3});
  EXPECT_EQ(WordIndexFileName(dict.DataFilePath()), Path(L".wix"));
  EXPECT_TRUE(FileExists(Path(L".wix")));
  TADict reopened(Path(L".dat"), Path(L".ind"), false, false, false);
  EXPECT_TRUE(WordIndexReady(reopened)) << "the word index file beside it was not read";
}

TEST_F(UnicodePathTest, ErrorsQuoteTheNameAsItIs) {
  const std::wstring missing = folder_ + L"\u043D\u044F\u043C\u0430.dat";  // няма.dat
  try {
    TADict dict(missing, Path(L".ind"), false, false, false);
    FAIL() << "a missing dictionary opened";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.WideMessage(),
              L"Cannot open file \"" + missing + L"\". " + ToWide(SysErrorMessage(2)));
  }
}

}  // namespace
}  // namespace lexmora
