#pragma once
// Which dictionary in use leads a lookup: the script of the text typed or copied against the
// script each dictionary's headwords are mostly written in.
#include <string>
#include <vector>

namespace lexmora {

enum class Script { Other, Latin, Cyrillic };

// The script of `text`'s letters: Latin or Cyrillic when every letter is of that script, Other
// when the text mixes them, holds letters of neither, or holds no letters at all.
Script ScriptOfText(const std::wstring& text);

// The script most of `words` are in: Latin or Cyrillic when more than half of the words with a
// letter are wholly of it, else Other.
Script ScriptOfWords(const std::vector<std::wstring>& words);

}  // namespace lexmora
