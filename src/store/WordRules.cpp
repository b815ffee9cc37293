#include "store/WordRules.h"

#include <algorithm>
#include <bit>

#include "base/CombiningMarks.h"
#include "base/Errors.h"
#include "store/TextCompare.h"
#include "store/WordIndexFormat.h"

namespace lexmora::detail {

namespace {

constexpr size_t kUnitCount = 65536;

}  // namespace

WordRules MakeWordRules(const TADict& dict, bool ignoreMarks) {
  std::wstring all(kUnitCount, L'\0');
  for (size_t u = 0; u < kUnitCount; ++u)
    all[u] = static_cast<wchar_t>(u);
  std::vector<WORD> type1(kUnitCount), type3(kUnitCount);
  if (!GetStringTypeW(CT_CTYPE1, all.data(), static_cast<int>(kUnitCount), type1.data()) ||
      !GetStringTypeW(CT_CTYPE3, all.data(), static_cast<int>(kUnitCount), type3.data())) {
    RaiseLastError();
  }
  WordRules rules;
  rules.kind.resize(kUnitCount);
  for (size_t u = 0; u < kUnitCount; ++u) {
    uint8_t kind = kBreakUnit;
    if (u >= 0xD800 && u <= 0xDFFF) {
      kind = kBreakUnit;  // a unit of a pair is no letter on its own
    } else if (IsCombiningMark(static_cast<char32_t>(u))) {
      kind = ignoreMarks ? kMarkUnit : kBreakUnit;
    } else if ((type1[u] & (C1_ALPHA | C1_DIGIT)) != 0) {
      kind = kLetterUnit;
    } else if ((type3[u] & C3_VOWELMARK) != 0) {
      kind = ignoreMarks ? kJoinedUnit : kBreakUnit;
    }
    rules.kind[u] = kind;
  }
  const std::wstring folded = dict.ConvertLetters(LowerCase(all));
  rules.fold.assign(folded.begin(), folded.end());
  rules.fold.resize(kUnitCount, L'\0');
  const uint64_t kindSum = Checksum(rules.kind.data(), rules.kind.size());
  const uint64_t foldSum =
      Checksum(reinterpret_cast<const uint8_t*>(rules.fold.data()), rules.fold.size() * 2);
  rules.fingerprint = kindSum ^ std::rotl(foldSum, 17);
  return rules;
}

std::vector<std::wstring> DistinctWords(const WordRules& rules, const std::wstring& text) {
  std::vector<std::wstring> words;
  std::wstring word;
  ForEachWord(rules, text.data(), text.size(), word, [&](size_t, size_t, const std::wstring& w) {
    if (std::find(words.begin(), words.end(), w) == words.end())
      words.push_back(w);
  });
  return words;
}

}  // namespace lexmora::detail
