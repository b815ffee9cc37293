#pragma once
// The text of the line below the tool bar in headword lookup: which dictionary forms a typed
// form leads to ("къщата → къща"), or which headwords may have been meant. Each word that leads
// to an entry not shown is a link; the line knows which entry each link leads to.
#include <cstdint>
#include <string>
#include <vector>

#include "store/WordLookup.h"

namespace lexmora {

struct FormsLine {
  // For the link control: the text, with the links in <a>...</a>; empty when there is nothing
  // to say.
  std::wstring markup;
  // The entry each link leads to, in the order of the links.
  std::vector<int32_t> links;

  bool operator==(const FormsLine&) const = default;
};

// "typed → form, form": the forms of `lookup` (a typed form, or a headword that is also a form of
// others), the one whose entry is `shown` plain and the others links. Nothing for a lookup with
// fewer than one form that is not the typed text's own.
FormsLine LineOfForms(const std::wstring& typed, const WordLookup& lookup, int32_t shown);

// "Did you mean: a, b?" with each suggestion a link; nothing without suggestions.
FormsLine LineOfSuggestions(const std::vector<FormEntry>& suggestions);

}  // namespace lexmora
