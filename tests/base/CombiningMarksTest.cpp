#include <gtest/gtest.h>

#include "base/CombiningMarks.h"

namespace lexmora {
namespace {

TEST(CombiningMarks, AreTheNonspacingMarksAndNothingElse) {
  const struct {
    char32_t code;
    bool mark;
    const char* what;
  } cases[] = {
      {0x0301, true, "combining acute, the stress mark"},
      {0x0300, true, "combining grave"},
      {0x036F, true, "last of the combining diacritics"},
      {0x0483, true, "Cyrillic titlo"},
      {0x05B0, true, "Hebrew point"},
      {0xFE0F, true, "variation selector"},
      {0x1D167, true, "musical mark beyond the basic plane"},
      {0xE0100, true, "variation selector beyond the basic plane"},
      {0x0041, false, "Latin A"},
      {0x00E9, false, "precomposed e with acute"},
      {0x0439, false, "Cyrillic short i"},
      {0x00B4, false, "spacing acute"},
      {0x0488, false, "enclosing mark (Me)"},
      {0x093F, false, "spacing mark (Mc)"},
      {0x200D, false, "zero width joiner (Cf)"},
      {0x1D165, false, "spacing musical mark beyond the basic plane (Mc)"},
      {0x10FFFF, false, "last code point"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.mark, IsCombiningMark(c.code)) << c.what;
}

TEST(CombiningMarks, AreLeftOutOfText) {
  const struct {
    std::wstring text, want;
  } cases[] = {
      {L"\u043A\u044A\u0301\u0449\u0430", L"\u043A\u044A\u0449\u0430"},  // stress on the vowel
      {L"\u043A\u044A\u0449\u0430\u0300", L"\u043A\u044A\u0449\u0430"},  // at the end
      {L"\u0301a\u0301\u0301b", L"ab"},                                  // first, and two in a row
      {L"caf\u00E9", L"caf\u00E9"},                                      // precomposed stays
      {L"x\xD834\xDD67y", L"xy"},              // a mark beyond the basic plane
      {L"x\xD834\xDD65y", L"x\xD834\xDD65y"},  // a pair that is no mark stays
      {L"\xD834x\xDD67", L"\xD834x\xDD67"},    // lone surrogates stay
      {L"", L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.want, WithoutCombiningMarks(c.text));
}

}  // namespace
}  // namespace lexmora
