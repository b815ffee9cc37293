#pragma once
// A table of irregular forms beside a Hunspell dictionary (<name>.exc): forms that no affix
// rule makes, each with its dictionary forms. UTF-8 text, one form a line, the form first and
// then its dictionary forms, separated by spaces; an underscore stands for a space within one
// ("went go", "better good well", "aides-de-camp aide-de-camp"). Lines of the same form add up.
// This is the layout of WordNet's exception lists.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

class IrregularForms {
 public:
  // The table of a file's text, which CheckText has passed as UTF-8.
  static IrregularForms FromText(std::string_view text);

  // The dictionary forms of a form in lower case; none for a form the table lacks. A line's
  // own form among them is left out.
  const std::vector<std::wstring>& BasesOf(const std::wstring& lowerCaseForm) const;
  size_t FormCount() const { return bases_.size(); }

 private:
  std::map<std::wstring, std::vector<std::wstring>, std::less<>> bases_;
};

}  // namespace lexmora
