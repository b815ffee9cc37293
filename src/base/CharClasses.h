#pragma once
// Classes of characters by their Unicode general category, from tables generated from the
// Unicode database (tools/make_char_tables.py), so that they hold every character of a class
// and read the same on every system.
#include <string>
#include <string_view>

namespace lexmora {

// Format characters (Cf): bidirectional marks and controls, the soft hyphen, zero-width spaces,
// joiners and non-joiners, the word joiner, the byte order mark, ... Invisible in text.
bool IsFormatCharacter(char32_t code);
// Punctuation of any script (Pc, Pd, Ps, Pe, Pi, Pf, Po): full stops, commas, dashes, quotation
// marks, brackets, the ellipsis, ...
bool IsPunctuation(char32_t code);
// Space, line and paragraph separators (Zs, Zl, Zp).
bool IsSeparator(char32_t code);

// `text` without its format characters; one outside the basic plane is recognised by its
// surrogate pair, lone surrogates are kept.
std::wstring WithoutFormatCharacters(std::wstring_view text);

}  // namespace lexmora
