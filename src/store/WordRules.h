#pragma once
// Internal to the store (its tests and benchmark use it too): the words of entry text as the
// text search matches them. A word is a run of letters and digits, carried on through combining
// marks (left out of it) and spacing vowel signs (kept in it); it is matched folded: lower-cased,
// then letter-converted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/ADictU.h"

namespace lexmora::detail {

// What a unit of text is to the words.
enum UnitKind : uint8_t {
  kBreakUnit = 0,   // ends a word: spaces, punctuation, hyphens, apostrophes, ...
  kLetterUnit = 1,  // letters and digits: starts or continues a word
  kJoinedUnit = 2,  // spacing combining marks: continue a word, and count in it
  kMarkUnit = 3,    // combining marks (IsCombiningMark): continue a word, and are left out of it
};

// The units' kinds and their folded forms (lower case, then the dictionary's letter conversion),
// with a fingerprint of both, which a word index records to be rebuilt when they change. Word
// forms are asked of a word as it is spelled: lower-cased, not converted.
struct WordRules {
  std::vector<uint8_t> kind;      // 65536 UnitKinds
  std::vector<wchar_t> fold;      // 65536 units
  std::vector<wchar_t> lower;     // 65536 units: lower case alone
  std::vector<uint8_t> converts;  // 65536 flags: folding does more than lower-casing the unit
  uint64_t fingerprint = 0;
};

// The rules for `dict`. With ignoreMarks false, combining marks end words as punctuation does
// (only for measuring what ignoring them costs). Raises EInOutError when the system cannot
// classify the units.
WordRules MakeWordRules(const TADict& dict, bool ignoreMarks = true);

// Calls found(start, length, word) for each word of text[0, count): where it stands in the text
// (its marks included) and the word as it is matched (folded, without marks), kept in `word`.
template <typename Found>
void ForEachWord(const WordRules& rules, const wchar_t* text, size_t count, std::wstring& word,
                 Found&& found) {
  const uint8_t* kind = rules.kind.data();
  const wchar_t* fold = rules.fold.data();
  size_t i = 0;
  for (;;) {
    while (i < count && kind[static_cast<uint16_t>(text[i])] != kLetterUnit)
      ++i;
    if (i == count)
      return;
    const size_t start = i;
    word.clear();
    for (; i < count; ++i) {
      const auto unit = static_cast<uint16_t>(text[i]);
      const uint8_t k = kind[unit];
      if (k == kLetterUnit || k == kJoinedUnit) {
        word.push_back(fold[unit]);
      } else if (k != kMarkUnit) {
        break;
      }
    }
    found(start, i - start, word);
  }
}

// The word of text[start, start + length) as it is spelled: lower-cased, its combining marks left
// out, its letters not converted.
std::wstring SpellingOf(const WordRules& rules, const wchar_t* text, size_t start, size_t length);
// True when folding the word of text[start, start + length) converts a letter, so that its
// spelling differs from the word matched.
bool FoldingConverts(const WordRules& rules, const wchar_t* text, size_t start, size_t length);
// `word` (lower-cased) folded as the words of text are.
std::wstring FoldedWord(const WordRules& rules, const std::wstring& word);

}  // namespace lexmora::detail
