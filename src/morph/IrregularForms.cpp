#include "morph/IrregularForms.h"

#include <windows.h>

#include <algorithm>

#include "base/Text.h"
#include "morph/TextLines.h"

namespace lexmora {

namespace {

// A field of the table as text: underscores are spaces; lower-cased.
std::wstring WordOfField(std::string_view field) {
  std::wstring word = FromUtf8(std::string(field));
  std::replace(word.begin(), word.end(), L'_', L' ');
  CharLowerBuffW(word.data(), static_cast<DWORD>(word.size()));
  return word;
}

}  // namespace

IrregularForms IrregularForms::FromText(std::string_view text) {
  IrregularForms table;
  for (std::string_view line : LinesOf(text)) {
    std::vector<std::wstring> fields;
    for (std::string_view field : FieldsOf(line))
      fields.push_back(WordOfField(field));
    if (fields.size() < 2)
      continue;
    std::vector<std::wstring>& bases = table.bases_[fields[0]];
    for (size_t i = 1; i < fields.size(); ++i) {
      if (fields[i] != fields[0] && std::find(bases.begin(), bases.end(), fields[i]) == bases.end())
        bases.push_back(fields[i]);
    }
  }
  return table;
}

const std::vector<std::wstring>& IrregularForms::BasesOf(const std::wstring& lowerCaseForm) const {
  static const std::vector<std::wstring> kNone;
  const auto found = bases_.find(lowerCaseForm);
  return found == bases_.end() ? kNone : found->second;
}

}  // namespace lexmora
