#pragma once
// Internal to the store: the one lower-casing and the one comparison that all ordering and
// matching of dictionary text uses.
#include <windows.h>

#include <cstddef>
#include <string>

namespace lexmora {

// The system's lower-casing of UTF-16 text, over the whole string.
inline std::wstring LowerCase(std::wstring text) {
  if (!text.empty())
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// The system's lower-casing of each code unit outside the surrogates, indexed by the unit: made
// once, for text lower-cased a unit at a time. The system maps those units each on its own;
// a surrogate pair it may map as one character, so a surrogate's entry is the unit itself.
const wchar_t* LowerCaseTable();

// `count` units lowered in place as LowerCase lowers them: through the table, or by the system
// when they hold a surrogate.
void LowerCaseUnits(wchar_t* text, size_t count);

inline bool IsSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit < 0xE000;
}

// Locale-aware, case-insensitive comparison of two whole strings: negative when a sorts before
// b, 0 when they are equal, positive when a sorts after b.
inline int CompareText(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                        b.c_str(), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

}  // namespace lexmora
