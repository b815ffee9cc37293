#pragma once
// The main window's lookup: the entry whose headword the user typed, found near the word search's
// answer.
#include <cstdint>
#include <string>

#include "store/ADictU.h"

namespace lexmora {

// How many entries before and after each of its two starting points FindHeadword looks at.
inline constexpr int32_t kHeadwordScanBehind = 2;
inline constexpr int32_t kHeadwordScanAhead = 32;

// The entry to show for `typed`: the first entry whose headword (its first line) equals `typed`
// as the search compares text (lower case, the dictionary's letter conversion), with combining
// marks left out on both sides; FindWord's answer when none is found.
//
// Entries are ordered by their beginnings, headword, line break and meaning together, so the
// entry "honey" comes after "honey badger" (a space sorts before a line break) and FindWord,
// which stops at the first entry not below the typed text, finds the longer one. The entries
// whose headword is the typed text start where the typed text followed by a line break sorts.
// FindHeadword looks there and around FindWord's answer: from kHeadwordScanBehind entries before
// each of the two places to kHeadwordScanAhead after it, at most 2 x 35 entries, in ascending
// order. The place is found in the order of a sorted index, which letter conversion does not
// change: with conversion on, FindWord's own order differs from it wherever the conversion turns
// one letter into another that sorts elsewhere (Russian ы into и). It is searched outwards from
// FindWord's answer, near which it mostly lies, and only as far as the result needs: a headword
// found around the answer when the place is not before it ends the lookup.
//
// Each entry is read as the word search reads it (through the view of the dictionary file) and
// only as far as its headword needs; the typed text is folded once, and an entry's headword is
// folded a character at a time until it differs.
//
// Not found: an entry further than that from both places, which happens when more than 32
// entries whose headwords differ from it only by accents or marks come before it, or in an index
// whose order is not the comparison's (a file-order index of a file not sorted that way).
int32_t FindHeadword(TADict& dict, const std::wstring& typed);

// FindHeadword's answer, and whether it is an entry whose headword is the typed text (false: it
// is FindWord's answer).
struct HeadwordMatch {
  int32_t entry = 0;
  bool exact = false;
};
HeadwordMatch MatchHeadword(TADict& dict, const std::wstring& typed);

// `text` as headwords are compared: combining marks left out, lower-cased, letter-converted.
std::wstring FoldHeadword(const TADict& dict, const std::wstring& text);

// The headword of entry text: the text up to its first line break (CR or LF).
std::wstring HeadwordOf(const std::wstring& entryText);

}  // namespace lexmora
