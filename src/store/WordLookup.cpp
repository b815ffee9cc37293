#include "store/WordLookup.h"

#include <algorithm>
#include <cwctype>
#include <optional>

#include "base/CombiningMarks.h"
#include "morph/Morphology.h"
#include "store/HeadwordLookup.h"
#include "store/TextCompare.h"

namespace lexmora {

namespace {

// Characters read of an entry beyond the typed text's length to tell whether its headword begins
// with that text: room for marks, which the comparison leaves out.
constexpr int32_t kBeginningSlack = 16;
// Characters read of an entry for its headword when looking for headwords close in spelling.
constexpr int32_t kSuggestionHeadwordChars = 100;

bool HoldsBlank(const std::wstring& text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) { return iswspace(c) != 0; });
}

bool HoldsEntry(const std::vector<FormEntry>& forms, int32_t entry) {
  return std::any_of(forms.begin(), forms.end(),
                     [entry](const FormEntry& f) { return f.entry == entry; });
}

// The headwords among `stems`, each entry once, after those already in `forms`; `own` is the
// typed text folded, which is either a headword already in `forms` or none.
void AddHeadwordForms(TADict& dict, const std::vector<std::wstring>& stems, const std::wstring& own,
                      std::vector<FormEntry>& forms) {
  for (const std::wstring& stem : stems) {
    if (FoldHeadword(dict, stem) == own)
      continue;
    const HeadwordMatch match = MatchHeadword(dict, stem);
    if (match.exact && !HoldsEntry(forms, match.entry))
      forms.push_back({stem, match.entry});
  }
}

// Whether the headword of an entry near `entry` (the one before, itself, the one after) begins
// with `key` (folded).
bool HeadwordBeginsNear(TADict& dict, int32_t entry, const std::wstring& key) {
  const int32_t count = dict.EntryCount();
  const auto wanted = static_cast<int32_t>(key.size()) + kBeginningSlack;
  for (int32_t i = std::max(entry - 1, 0); i <= std::min(entry + 1, count - 1); ++i) {
    const std::wstring headword = FoldHeadword(dict, HeadwordOf(dict.ReadEntry(i, wanted)));
    if (headword.compare(0, key.size(), key) == 0)
      return true;
  }
  return false;
}

}  // namespace

WordLookup LookUpWord(TADict& dict, const std::wstring& typed) {
  WordLookup result;
  const HeadwordMatch match = MatchHeadword(dict, typed);
  result.entry = match.entry;
  result.kind = match.exact ? WordLookup::Kind::Headword : WordLookup::Kind::Nearest;
  const std::wstring word = LowerCase(WithoutCombiningMarks(typed));
  MorphLanguage* language = dict.Languages().headwords;
  if (language != nullptr && !word.empty() && !HoldsBlank(word)) {
    const std::optional<std::vector<std::wstring>> stems = language->StemsIfFree(word, kFormsWait);
    if (stems) {
      if (match.exact)
        result.forms.push_back({word, match.entry});
      AddHeadwordForms(dict, *stems, FoldHeadword(dict, word), result.forms);
      if (match.exact && result.forms.size() == 1)
        result.forms.clear();
    } else {
      result.formsPending = language->State() == MorphState::Ready;
    }
  }
  if (!match.exact && !result.forms.empty()) {
    result.kind = WordLookup::Kind::Form;
    result.entry = result.forms.front().entry;
  }
  if (result.kind == WordLookup::Kind::Nearest && !word.empty() && !result.formsPending)
    result.lost = !HeadwordBeginsNear(dict, match.entry, FoldHeadword(dict, word));
  return result;
}

std::vector<FormEntry> SuggestHeadwords(TADict& dict, const std::wstring& typed,
                                        const std::vector<std::wstring>& candidates) {
  struct Offer {
    FormEntry headword;
    std::wstring folded;
    size_t distance;
  };
  std::vector<Offer> offers;
  const std::wstring key = FoldHeadword(dict, typed);
  if (key.empty())
    return {};
  auto offer = [&](const std::wstring& headword, std::wstring folded, int32_t entry) {
    const bool taken = std::any_of(offers.begin(), offers.end(), [&](const Offer& o) {
      return o.folded == folded || o.headword.entry == entry;
    });
    if (!taken && folded != key) {
      const size_t distance = EditDistance(key, folded);
      offers.push_back({{headword, entry}, std::move(folded), distance});
    }
  };
  for (const std::wstring& candidate : candidates) {
    const HeadwordMatch match = MatchHeadword(dict, candidate);
    if (match.exact)
      offer(candidate, FoldHeadword(dict, candidate), match.entry);
  }
  const size_t reach = key.size() <= 4 ? 1 : 2;
  const int32_t count = dict.EntryCount();
  const int32_t found = dict.FindWord(typed);
  for (int32_t i = std::max(found - kSuggestionScan, 0);
       i <= std::min(found + kSuggestionScan, count - 1); ++i) {
    const std::wstring headword = HeadwordOf(dict.ReadEntry(i, kSuggestionHeadwordChars));
    std::wstring folded = FoldHeadword(dict, headword);
    if (!folded.empty() && EditDistance(key, folded) <= reach)
      offer(headword, std::move(folded), i);
  }
  std::stable_sort(offers.begin(), offers.end(),
                   [](const Offer& a, const Offer& b) { return a.distance < b.distance; });
  std::vector<FormEntry> headwords;
  for (size_t k = 0; k < offers.size() && k < kMaxSuggestions; ++k)
    headwords.push_back(std::move(offers[k].headword));
  return headwords;
}

// Optimal string alignment: the edits never touch a letter twice.
size_t EditDistance(const std::wstring& a, const std::wstring& b) {
  const size_t n = a.size(), m = b.size();
  std::vector<size_t> before(m + 1), previous(m + 1), current(m + 1);
  for (size_t j = 0; j <= m; ++j)
    previous[j] = j;
  for (size_t i = 1; i <= n; ++i) {
    current[0] = i;
    for (size_t j = 1; j <= m; ++j) {
      const size_t replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[m];
}

}  // namespace lexmora
