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
  const std::wstring lower = LowerCase(all);
  const std::wstring folded = dict.ConvertLetters(lower);
  rules.fold.assign(folded.begin(), folded.end());
  rules.fold.resize(kUnitCount, L'\0');
  rules.lower.assign(lower.begin(), lower.end());
  rules.lower.resize(kUnitCount, L'\0');
  rules.converts.resize(kUnitCount);
  for (size_t u = 0; u < kUnitCount; ++u)
    rules.converts[u] = rules.fold[u] != rules.lower[u] ? 1 : 0;
  const uint64_t kindSum = Checksum(rules.kind.data(), rules.kind.size());
  const uint64_t foldSum =
      Checksum(reinterpret_cast<const uint8_t*>(rules.fold.data()), rules.fold.size() * 2);
  rules.fingerprint = kindSum ^ std::rotl(foldSum, 17);
  return rules;
}

std::wstring SpellingOf(const WordRules& rules, const wchar_t* text, size_t start, size_t length) {
  std::wstring spelling;
  spelling.reserve(length);
  for (size_t i = start; i < start + length; ++i) {
    const auto unit = static_cast<uint16_t>(text[i]);
    if (rules.kind[unit] != kMarkUnit)
      spelling.push_back(rules.lower[unit]);
  }
  return spelling;
}

bool FoldingConverts(const WordRules& rules, const wchar_t* text, size_t start, size_t length) {
  for (size_t i = start; i < start + length; ++i) {
    if (rules.converts[static_cast<uint16_t>(text[i])] != 0)
      return true;
  }
  return false;
}

std::wstring FoldedWord(const WordRules& rules, const std::wstring& word) {
  std::wstring folded;
  folded.reserve(word.size());
  for (wchar_t unit : word) {
    const auto u = static_cast<uint16_t>(unit);
    if (rules.kind[u] != kMarkUnit)
      folded.push_back(rules.fold[u]);
  }
  return folded;
}

}  // namespace lexmora::detail
