#include "shell/ScriptRule.h"

#include <windows.h>

#include <algorithm>

#include "render/ARtfDisplayU.h"

namespace lexmora {

Script ScriptOfText(const std::wstring& text) {
  bool latin = false;
  bool cyrillic = false;
  for (wchar_t c : text) {
    if (IsLatinChar(c)) {
      latin = true;
    } else if (IsCyrillicChar(c)) {
      cyrillic = true;
    } else if (IsCharAlphaW(c)) {
      return Script::Other;  // a letter of another script
    }
  }
  if (latin == cyrillic)
    return Script::Other;  // both, or no letter
  return latin ? Script::Latin : Script::Cyrillic;
}

Script ScriptOfWords(const std::vector<std::wstring>& words) {
  size_t lettered = 0;
  size_t latin = 0;
  size_t cyrillic = 0;
  for (const std::wstring& word : words) {
    if (std::none_of(word.begin(), word.end(), [](wchar_t c) { return IsCharAlphaW(c) != 0; }))
      continue;
    ++lettered;
    const Script script = ScriptOfText(word);
    latin += script == Script::Latin ? 1 : 0;
    cyrillic += script == Script::Cyrillic ? 1 : 0;
  }
  if (2 * latin > lettered)
    return Script::Latin;
  if (2 * cyrillic > lettered)
    return Script::Cyrillic;
  return Script::Other;
}

}  // namespace lexmora
