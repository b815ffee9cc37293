#include "store/WordSample.h"

#include <windows.h>

#include <algorithm>

#include "base/CombiningMarks.h"
#include "store/HeadwordLookup.h"

namespace lexmora {

namespace {

// The longest part of an entry read for its words.
constexpr int32_t kSampleEntryChars = 2000;

void AddWordsOf(const std::wstring& text, std::vector<std::wstring>& words) {
  const std::wstring letters = WithoutCombiningMarks(text);
  size_t taken = 0;
  size_t i = 0;
  while (i < letters.size() && taken < kSampleWordsPerEntry) {
    while (i < letters.size() && !IsCharAlphaW(letters[i]))
      ++i;
    const size_t start = i;
    while (i < letters.size() && IsCharAlphaW(letters[i]))
      ++i;
    if (i > start) {
      words.push_back(letters.substr(start, i - start));
      ++taken;
    }
  }
}

}  // namespace

std::vector<std::wstring> SampleWords(TADict& dict, EntryPart part, int32_t entries) {
  std::vector<std::wstring> words;
  const int32_t count = dict.EntryCount();
  const int32_t taken = std::min(count, std::max(entries, 0));
  for (int32_t n = 0; n < taken; ++n) {
    const auto i = static_cast<int32_t>(static_cast<int64_t>(n) * count / taken);
    const std::wstring entry = dict.ReadEntry(i, kSampleEntryChars);
    const std::wstring headword = HeadwordOf(entry);
    AddWordsOf(part == EntryPart::Headword ? headword : entry.substr(headword.size()), words);
  }
  return words;
}

DictLanguages DetectDictLanguages(TADict& dict, Morphology& morphology) {
  return {DetectLanguage(morphology, SampleWords(dict, EntryPart::Headword)),
          DetectLanguage(morphology, SampleWords(dict, EntryPart::Meaning))};
}

}  // namespace lexmora
