#pragma once
// The main window's lookup of a word as it stands in a text: a step on top of FindHeadword that
// takes a form of a word ("къщата", "went") to the entry of its dictionary form ("къща", "go")
// through the morphology language of the dictionary's headwords, and the spelling suggestions
// for a text that finds nothing.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/ADictU.h"

namespace lexmora {

// A dictionary form of the typed text, and the first entry whose headword it is.
struct FormEntry {
  std::wstring form;
  int32_t entry = 0;

  bool operator==(const FormEntry&) const = default;
};

struct WordLookup {
  enum class Kind {
    Headword,  // the typed text is a headword: its own entry
    Form,      // the typed text is a form of headwords: the first one's entry
    Nearest,   // neither: FindWord's answer
  };
  Kind kind = Kind::Nearest;
  // The entry to show.
  int32_t entry = 0;
  // Headword: the typed text's entry first, then the other headwords of which it is a form
  // (none when there are no others). Form: each headword of which it is a form, the one shown
  // first. Nearest: none.
  std::vector<FormEntry> forms;
  // The language was busy on another thread: the forms could not be asked for. Ask again soon.
  bool formsPending = false;
  // Nearest, and no headword begins with the typed text: spelling suggestions may help.
  bool lost = false;
};

// How long a lookup waits for another thread's call on the language before it gives up on forms
// for this time (WordLookup::formsPending).
inline constexpr std::chrono::milliseconds kFormsWait{4};

// The entry to show for `typed` in `dict`, with the forms of the headword language that
// `dict.Languages()` names. The word forms come only from a language that is Ready; the lookup
// never loads one and never waits for one longer than kFormsWait. A text that holds a blank is
// taken as a phrase: it has no forms. A headword typed in full shows its own entry.
WordLookup LookUpWord(TADict& dict, const std::wstring& typed);

// The most spelling suggestions offered.
inline constexpr size_t kMaxSuggestions = 5;
// How many entries on each side of FindWord's answer are looked at for headwords close in
// spelling to the typed text.
inline constexpr int32_t kSuggestionScan = 40;

// Headwords to offer for a typed text that `LookUpWord` found `lost`, at most kMaxSuggestions,
// closest in spelling first: those among `candidates` (a speller's suggestions and their
// dictionary forms, best first) that are headwords of `dict`, and the headwords among the
// kSuggestionScan entries on each side of where the typed text sorts that differ from it by at
// most two edits (one for a text of up to four letters). Letters are compared as headwords are
// (lower case, letter conversion, no marks). Each headword once, never the typed text itself.
std::vector<FormEntry> SuggestHeadwords(TADict& dict, const std::wstring& typed,
                                        const std::vector<std::wstring>& candidates);

// The number of edits (a letter put in, left out, replaced, or two neighbours swapped) that
// turn `a` into `b`.
size_t EditDistance(const std::wstring& a, const std::wstring& b);

}  // namespace lexmora
