#include "base/CombiningMarks.h"

#include <iterator>

#include "base/CodePoints.h"

namespace lexmora {

namespace {

constexpr CodePointRange kMarkRanges[] = {
#include "base/CombiningMarkRanges.inc"
};

const CodePointSet& Marks() {
  static const CodePointSet marks(std::begin(kMarkRanges), std::end(kMarkRanges));
  return marks;
}

}  // namespace

bool IsCombiningMark(char32_t code) {
  return Marks().Contains(code);
}

std::wstring WithoutCombiningMarks(const std::wstring& text) {
  return WithoutCodePoints(text, Marks());
}

}  // namespace lexmora
