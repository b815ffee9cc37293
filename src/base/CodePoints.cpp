#include "base/CodePoints.h"

#include <algorithm>
#include <iterator>

namespace lexmora {

CodePointAt CodePointFrom(std::wstring_view text, size_t at) {
  const wchar_t u = text[at];
  if (IsHighSurrogate(u) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
    const char32_t high = static_cast<char32_t>(u) & 0x3FF;
    const char32_t low = static_cast<char32_t>(text[at + 1]) & 0x3FF;
    return {0x10000 + (high << 10) + low, 2};
  }
  return {static_cast<char32_t>(u), 1};
}

CodePointAt CodePointBefore(std::wstring_view text, size_t end) {
  if (end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2]))
    return CodePointFrom(text, end - 2);
  return {static_cast<char32_t>(text[end - 1]), 1};
}

CodePointSet::CodePointSet(const CodePointRange* begin, const CodePointRange* end)
    : begin_(begin), end_(end) {
  for (const CodePointRange* r = begin; r != end; ++r) {
    for (char32_t c = r->first; c <= r->last && c < 0x10000; ++c)
      basic_.set(c);
  }
}

bool CodePointSet::Contains(char32_t code) const {
  if (code < 0x10000)
    return basic_.test(code);
  const CodePointRange* r = std::upper_bound(
      begin_, end_, code, [](char32_t c, const CodePointRange& range) { return c < range.first; });
  return r != begin_ && code <= std::prev(r)->last;
}

std::wstring WithoutCodePoints(std::wstring_view text, const CodePointSet& set) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const CodePointAt at = CodePointFrom(text, i);
    if (!set.Contains(at.code))
      out.append(text.substr(i, at.units));
    i += at.units;
  }
  return out;
}

}  // namespace lexmora
