#include <gtest/gtest.h>

#include "base/CharClasses.h"

namespace lexmora {
namespace {

TEST(CharClasses, HoldTheirCategoriesAndNothingElse) {
  enum Class { kFormat, kPunctuation, kSeparator, kNone };
  const struct {
    char32_t code;
    Class want;
    const char* what;
  } cases[] = {
      {0x200E, kFormat, "left-to-right mark"},
      {0x200F, kFormat, "right-to-left mark"},
      {0x202A, kFormat, "left-to-right embedding"},
      {0x2066, kFormat, "left-to-right isolate"},
      {0x00AD, kFormat, "soft hyphen"},
      {0x200B, kFormat, "zero width space"},
      {0x200D, kFormat, "zero width joiner"},
      {0x2060, kFormat, "word joiner"},
      {0xFEFF, kFormat, "byte order mark"},
      {0xE0041, kFormat, "tag letter beyond the basic plane"},
      {0x002E, kPunctuation, "full stop"},
      {0x2026, kPunctuation, "ellipsis"},
      {0x00AB, kPunctuation, "left guillemet"},
      {0x201E, kPunctuation, "low double quotation mark"},
      {0x0028, kPunctuation, "left parenthesis"},
      {0x005F, kPunctuation, "low line (Pc)"},
      {0x2014, kPunctuation, "em dash"},
      {0x00BF, kPunctuation, "inverted question mark"},
      {0x3001, kPunctuation, "ideographic comma"},
      {0x1039F, kPunctuation, "word divider beyond the basic plane"},
      {0x0020, kSeparator, "space"},
      {0x00A0, kSeparator, "no-break space"},
      {0x202F, kSeparator, "narrow no-break space"},
      {0x2029, kSeparator, "paragraph separator"},
      {0x002B, kNone, "plus sign (Sm)"},
      {0x0024, kNone, "dollar sign (Sc)"},
      {0x0301, kNone, "combining acute (Mn)"},
      {0x0449, kNone, "Cyrillic shcha"},
      {0x000A, kNone, "line feed (Cc)"},
      {0xD800, kNone, "a surrogate (Cs)"},
      {0x10FFFF, kNone, "last code point"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsFormatCharacter(c.code), c.want == kFormat) << c.what;
    EXPECT_EQ(IsPunctuation(c.code), c.want == kPunctuation) << c.what;
    EXPECT_EQ(IsSeparator(c.code), c.want == kSeparator) << c.what;
  }
}

}  // namespace
}  // namespace lexmora
