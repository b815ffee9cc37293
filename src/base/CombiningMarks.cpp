#include "base/CombiningMarks.h"

#include <algorithm>
#include <bitset>
#include <iterator>

namespace lexmora {

namespace {

struct Range {
  char32_t first, last;
};

constexpr Range kMarkRanges[] = {
#include "base/CombiningMarkRanges.inc"
};

// The marks of the basic plane, one bit per code unit, for a lookup without a search.
const std::bitset<0x10000>& BasicPlaneMarks() {
  static const std::bitset<0x10000> marks = [] {
    std::bitset<0x10000> bits;
    for (const Range& r : kMarkRanges) {
      for (char32_t c = r.first; c <= r.last && c < 0x10000; ++c)
        bits.set(c);
    }
    return bits;
  }();
  return marks;
}

bool IsHighSurrogate(wchar_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

bool IsCombiningMark(char32_t code) {
  if (code < 0x10000)
    return BasicPlaneMarks().test(code);
  const Range* end = std::end(kMarkRanges);
  const Range* r = std::upper_bound(std::begin(kMarkRanges), end, code,
                                    [](char32_t c, const Range& range) { return c < range.first; });
  return r != std::begin(kMarkRanges) && code <= std::prev(r)->last;
}

std::wstring WithoutCombiningMarks(const std::wstring& text) {
  const std::bitset<0x10000>& marks = BasicPlaneMarks();
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t u = text[i];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t code = 0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      if (!IsCombiningMark(code)) {
        out.push_back(u);
        out.push_back(text[i + 1]);
      }
      ++i;
    } else if (!marks.test(static_cast<uint16_t>(u))) {
      out.push_back(u);
    }
  }
  return out;
}

}  // namespace lexmora
