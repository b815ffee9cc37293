// The script of a text and of a dictionary's headwords, and the headings that tell dictionaries
// apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "shell/DictsInUse.h"
#include "shell/ScriptRule.h"

namespace lexmora {
namespace {

const char* NameOf(Script s) {
  return s == Script::Latin ? "Latin" : s == Script::Cyrillic ? "Cyrillic" : "Other";
}

TEST(ScriptOfText, OneScriptOnlyWhenEveryLetterIsOfIt) {
  const struct {
    const wchar_t* text;
    Script want;
  } cases[] = {
      {L"house", Script::Latin},
      {L"Caf\u00E9 au lait", Script::Latin},
      {L"\u043A\u044A\u0449\u0430\u0442\u0430", Script::Cyrillic},  // къщата
      {L"\u0401\u043B\u043A\u0430-2", Script::Cyrillic},            // Ёлка-2
      {L"e-\u043F\u043E\u0449\u0430", Script::Other},               // mixed
      {L"\u03BF\u03AF\u03BA\u03BF\u03C2", Script::Other},           // Greek
      {L"house \u03BF\u03AF\u03BA\u03BF\u03C2", Script::Other},
      {L"42 ...", Script::Other},
      {L"", Script::Other},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(NameOf(ScriptOfText(c.text)), NameOf(c.want)) << ToAnsi(c.text);
}

TEST(ScriptOfWords, MoreThanHalfOfTheWordsWithLetters) {
  const std::wstring cyr = L"\u0434\u043E\u043C";  // дом
  const struct {
    const char* what;
    std::vector<std::wstring> words;
    Script want;
  } cases[] = {
      {"Latin", {L"a", L"b", cyr}, Script::Latin},
      {"Cyrillic", {cyr, cyr, L"x"}, Script::Cyrillic},
      {"half and half", {L"a", cyr}, Script::Other},
      {"words without letters do not count", {L"1", L"2", L"3", cyr}, Script::Cyrillic},
      {"mixed words count against both", {L"a", L"b", L"a" + cyr, L"b" + cyr}, Script::Other},
      {"none", {}, Script::Other},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(NameOf(ScriptOfWords(c.words)), NameOf(c.want)) << c.what;
}

TEST(DictionaryHeadings, TheTitleAndTheFileNameWhereTitlesAreShared) {
  EXPECT_EQ(
      DictionaryHeadings({L"English-Bulgarian", L"Demo", L"", L"Demo"},
                         {L"eng-bul", L"d1", L"plain", L"d2"}),
      (std::vector<std::wstring>{L"English-Bulgarian", L"Demo (d1)", L"plain", L"Demo (d2)"}));
}

}  // namespace
}  // namespace lexmora
