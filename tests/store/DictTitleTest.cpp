// A dictionary's title, read from the first line of its file whatever the file holds.
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "store/DictTitle.h"

namespace lexmora {
namespace {

TEST(ReadDictionaryTitle, TheFirstLineTrimmedAndCut) {
  test::TempDir dir;
  const std::wstring longLine(kMaxTitleChars + 20, L'x');
  const struct {
    const char* what;
    test::Bytes bytes;
    std::wstring want;
  } cases[] = {
      {"a title line",
       test::Utf16Le(L"\xFEFF  English - Bulgarian \r\n\x00B7"
                     L"a\r\nb"),
       L"English - Bulgarian"},
      {"ended by the first entry",
       test::Utf16Le(L"\xFEFFTitle\x00B7"
                     L"a\r\nb"),
       L"Title"},
      {"an entry first",
       test::Utf16Le(L"\xFEFF\x00B7"
                     L"a\r\nb"),
       L""},
      {"too long", test::Utf16Le(L"\xFEFF" + longLine), std::wstring(kMaxTitleChars, L'x')},
      {"an odd byte at the end", {0xFF, 0xFE, 'A', 0, 'B'}, L"A"},
      {"the mark alone", {0xFF, 0xFE}, L""},
      {"empty", {}, L""},
  };
  for (const auto& c : cases) {
    const std::string path = dir.File("t.dat");
    test::WriteBytes(path, c.bytes);
    EXPECT_EQ(ToAnsi(ReadDictionaryTitle(ToWide(path))), ToAnsi(c.want)) << c.what;
  }
  EXPECT_THROW(ReadDictionaryTitle(ToWide(dir.File("missing.dat"))), EFOpenError);
}

}  // namespace
}  // namespace lexmora
