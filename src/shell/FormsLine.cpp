#include "shell/FormsLine.h"

#include <algorithm>

namespace lexmora {

namespace {

// Text shown in the link control: its angle brackets could open a link's tags.
std::wstring Shown(std::wstring text) {
  std::replace(text.begin(), text.end(), L'<', L'\u2039');
  std::replace(text.begin(), text.end(), L'>', L'\u203A');
  return text;
}

void AddLink(FormsLine& line, const FormEntry& target) {
  line.markup += L"<a>" + Shown(target.form) + L"</a>";
  line.links.push_back(target.entry);
}

}  // namespace

FormsLine LineOfForms(const std::wstring& typed, const WordLookup& lookup, int32_t shown) {
  FormsLine line;
  if (lookup.forms.empty())
    return line;
  line.markup = Shown(typed) + L" \u2192 ";
  for (size_t k = 0; k < lookup.forms.size(); ++k) {
    const FormEntry& form = lookup.forms[k];
    if (k > 0)
      line.markup += L", ";
    if (form.entry == shown) {
      line.markup += Shown(form.form);
    } else {
      AddLink(line, form);
    }
  }
  return line;
}

FormsLine LineOfSuggestions(const std::vector<FormEntry>& suggestions) {
  FormsLine line;
  if (suggestions.empty())
    return line;
  line.markup = L"Did you mean: ";
  for (size_t k = 0; k < suggestions.size(); ++k) {
    if (k > 0)
      line.markup += L", ";
    AddLink(line, suggestions[k]);
  }
  line.markup += L"?";
  return line;
}

}  // namespace lexmora
