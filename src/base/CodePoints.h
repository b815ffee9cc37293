#pragma once
// Code points in UTF-16 text, and sets of them given as ranges (the generated tables of Unicode
// general categories).
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lexmora {

inline bool IsHighSurrogate(wchar_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}

inline bool IsLowSurrogate(wchar_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// The code point that starts at text[at] and how many units it takes: a surrogate pair is one
// code point of two units; a lone surrogate stands for itself.
struct CodePointAt {
  char32_t code;
  size_t units;
};
CodePointAt CodePointFrom(std::wstring_view text, size_t at);
// The code point that ends at text[end - 1]; `end` > 0.
CodePointAt CodePointBefore(std::wstring_view text, size_t end);

struct CodePointRange {
  char32_t first, last;
};

// A set of code points: ranges ascending and apart, held by the caller for the set's lifetime
// (the static tables); the basic plane also as one bit per code point, for a lookup without a
// search.
class CodePointSet {
 public:
  CodePointSet(const CodePointRange* begin, const CodePointRange* end);
  bool Contains(char32_t code) const;

 private:
  std::bitset<0x10000> basic_;
  const CodePointRange* begin_;
  const CodePointRange* end_;
};

// `text` without the code points of `set`.
std::wstring WithoutCodePoints(std::wstring_view text, const CodePointSet& set);

}  // namespace lexmora
