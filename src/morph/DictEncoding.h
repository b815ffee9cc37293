#pragma once
// The encoding of a Hunspell dictionary, as its affix file declares it (SET), and words
// converted between it and UTF-16 with the system's code page services.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace lexmora {

// The encoding name of the affix file's SET line ("UTF-8", "KOI8-R", ...); ISO8859-1, Hunspell's
// own default, when it has none.
std::string DeclaredEncoding(std::string_view affixText);

// The Windows code page of an encoding name as Hunspell reads it: "UTF-8" exactly, or one of its
// 8-bit tables, whose names it compares in lower case without punctuation ("microsoft-cp1251",
// "ISO8859-5"). 0 when Hunspell or the system does not know it.
UINT CodePageOfEncoding(const std::string& name);

// The word in code page `codePage`; nothing when a character of it has no code there (never a
// stand-in character), or when it holds an unpaired surrogate.
std::optional<std::string> ToCodePage(std::wstring_view word, UINT codePage);
// Text of code page `codePage` in UTF-16; bytes that are no character there come out as U+FFFD.
std::wstring FromCodePage(std::string_view text, UINT codePage);
// True when every byte of `text` belongs to a character of code page `codePage`.
bool IsTextOfCodePage(std::string_view text, UINT codePage);

}  // namespace lexmora
