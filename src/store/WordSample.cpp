#include "store/WordSample.h"

#include <algorithm>

#include "base/CombiningMarks.h"
#include "base/Text.h"
#include "store/HeadwordLookup.h"

namespace lexmora {

namespace {

// The longest part of an entry read for its words.
constexpr int32_t kSampleEntryChars = 2000;

void AddWordsOf(const std::wstring& text, std::vector<std::wstring>& words) {
  std::vector<std::wstring> runs = LetterRuns(WithoutCombiningMarks(text));
  runs.resize(std::min(runs.size(), kSampleWordsPerEntry));
  words.insert(words.end(), std::make_move_iterator(runs.begin()),
               std::make_move_iterator(runs.end()));
}

// The meanings of a translating dictionary mix the language they translate into with notes in
// the headwords' own (an English-Bulgarian entry gives Bulgarian words and an English
// definition), so the words that the headwords' language does not know tell first: when they are
// a fair share of the sample and a language knows a fair share of them, it is the meanings'. Only
// otherwise are the meanings in the language that knows most of the sample (an English-English
// dictionary's).
MorphLanguage* MeaningsLanguage(Morphology& morphology, const std::vector<std::wstring>& sample,
                                MorphLanguage* headwords) {
  if (headwords != nullptr) {
    std::vector<std::wstring> foreign;
    for (const std::wstring& word : sample) {
      if (!headwords->Knows(word))
        foreign.push_back(word);
    }
    if (static_cast<double>(foreign.size()) >= kFairShare * static_cast<double>(sample.size())) {
      if (MorphLanguage* other = DetectLanguage(morphology, foreign); other != nullptr)
        return other;
    }
  }
  return DetectLanguage(morphology, sample);
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
  MorphLanguage* headwords = DetectLanguage(morphology, SampleWords(dict, EntryPart::Headword));
  return {headwords,
          MeaningsLanguage(morphology, SampleWords(dict, EntryPart::Meaning), headwords)};
}

}  // namespace lexmora
