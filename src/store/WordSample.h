#pragma once
// Words of a dictionary from which to tell the language of its headwords or of its meanings
// (DetectLanguage in morph/Morphology.h).
#include <cstdint>
#include <string>
#include <vector>

#include "morph/Morphology.h"
#include "store/ADictU.h"

namespace lexmora {

enum class EntryPart { Headword, Meaning };

inline constexpr int32_t kSampleEntries = 300;
inline constexpr size_t kSampleWordsPerEntry = 8;

// The words of one part of `entries` entries spread evenly over the index (every entry of a
// smaller dictionary), in index order, at most kSampleWordsPerEntry of each: runs of letters,
// combining marks left out, as spelled.
std::vector<std::wstring> SampleWords(TADict& dict, EntryPart part,
                                      int32_t entries = kSampleEntries);

// The languages of a dictionary's headwords and of its meanings, each the one DetectLanguage
// finds for the sample of that part; none where none knows enough of it. Where a fair share of
// the meanings' words are unknown to the headwords' language and another language knows a fair
// share of those, that language is the meanings' (English-Bulgarian: Bulgarian, although its
// meanings hold English definitions too). Loads the languages not
// loaded yet: for a thread that may wait, or once all are loaded.
DictLanguages DetectDictLanguages(TADict& dict, Morphology& morphology);

}  // namespace lexmora
