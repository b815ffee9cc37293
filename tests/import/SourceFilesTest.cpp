// Source text decoded as the importer reads it.
#include <gtest/gtest.h>

#include "import/SourceFiles.h"

namespace lexmora::test {
namespace {

TEST(Utf8, DecodesStrictly) {
  struct Case {
    std::string text;
    bool valid;
    std::wstring wanted;
  };
  const Case cases[] = {
      {"plain", true, L"plain"},
      {"\xD0\xB6\xD0\xB0\xD0\xB1\xD0\xB0", true, L"\u0436\u0430\u0431\u0430"},
      {"\xE2\x82\xAC", true, L"\u20AC"},
      {"\xF4\x8F\xBF\xBF", true, L"\U0010FFFF"},
      {"\xF4\x90\x80\x80", false, L""},
      {"\xE0\x80\x80", false, L""},
      {"\x80", false, L""},
      {"\xFF", false, L""},
      {"\xD0", false, L""},
  };
  for (const Case& c : cases) {
    std::wstring out;
    EXPECT_EQ(import::AppendUtf8(c.text, out), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(out, c.wanted) << c.text;
    }
  }
}

}  // namespace
}  // namespace lexmora::test
