#pragma once
// The word-form step timed on its own, for the keystroke benchmark.
#include <string>
#include <vector>

namespace lexmora {

// Prints rows of the time that LookUpWord takes, with `language` of the Hunspell pairs in
// `morphologyFolder` as the headwords' language, against FindHeadword, on the dictionary
// `dataFile` (its index `indexFile`): once on `searchTexts` (the search text after each
// keystroke), once on English forms typed letter by letter.
void FormStepRows(const std::string& dataFile, const std::string& indexFile,
                  const std::string& morphologyFolder, const std::wstring& language,
                  const std::vector<std::wstring>& searchTexts);

}  // namespace lexmora
