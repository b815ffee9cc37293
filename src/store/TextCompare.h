#pragma once
// Internal to the store: the one lower-casing and the one comparison that all ordering and
// matching of dictionary text uses.
#include <windows.h>

#include <string>

namespace lexmora {

// The system's lower-casing of UTF-16 text, over the whole string.
inline std::wstring LowerCase(std::wstring text) {
  if (!text.empty())
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Locale-aware, case-insensitive comparison of two whole strings: negative when a sorts before
// b, 0 when they are equal, positive when a sorts after b.
inline int CompareText(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                        b.c_str(), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

}  // namespace lexmora
