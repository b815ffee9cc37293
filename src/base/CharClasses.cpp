#include "base/CharClasses.h"

#include <iterator>

#include "base/CodePoints.h"

namespace lexmora {

namespace {

constexpr CodePointRange kFormatRanges[] = {
#include "base/FormatCharacterRanges.inc"
};
constexpr CodePointRange kPunctuationRanges[] = {
#include "base/PunctuationRanges.inc"
};
constexpr CodePointRange kSeparatorRanges[] = {
#include "base/SeparatorRanges.inc"
};

const CodePointSet& FormatCharacters() {
  static const CodePointSet set(std::begin(kFormatRanges), std::end(kFormatRanges));
  return set;
}

}  // namespace

bool IsFormatCharacter(char32_t code) {
  return FormatCharacters().Contains(code);
}

bool IsPunctuation(char32_t code) {
  static const CodePointSet set(std::begin(kPunctuationRanges), std::end(kPunctuationRanges));
  return set.Contains(code);
}

bool IsSeparator(char32_t code) {
  static const CodePointSet set(std::begin(kSeparatorRanges), std::end(kSeparatorRanges));
  return set.Contains(code);
}

std::wstring WithoutFormatCharacters(std::wstring_view text) {
  return WithoutCodePoints(text, FormatCharacters());
}

}  // namespace lexmora
