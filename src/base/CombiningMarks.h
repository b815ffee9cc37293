#pragma once
// Nonspacing combining marks (Unicode general category Mn): the stress marks, accents and
// points that sit on the letter before them. Matching that should not depend on them leaves
// them out.
#include <string>

namespace lexmora {

bool IsCombiningMark(char32_t code);

// `text` without its combining marks. A mark outside the basic plane is recognised by its
// surrogate pair; lone surrogates are kept.
std::wstring WithoutCombiningMarks(const std::wstring& text);

}  // namespace lexmora
