#include "FormStepBench.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "BenchClock.h"
#include "BenchSupport.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "store/HeadwordLookup.h"
#include "store/WordLookup.h"

namespace lexmora {

namespace {

// English forms, regular and irregular: typed letter by letter, keystrokes on which the step
// finds stems.
const std::vector<std::wstring> kEnglishForms = {
    L"houses",  L"went",     L"children", L"better", L"running", L"studies", L"mice",
    L"taken",   L"boxes",    L"happier",  L"geese",  L"wolves",  L"cities",  L"spoke",
    L"written", L"swimming", L"flies",    L"knives", L"sang",    L"feet"};

std::vector<std::wstring> Prefixes(const std::vector<std::wstring>& words) {
  std::vector<std::wstring> texts;
  for (const std::wstring& word : words) {
    for (size_t k = 1; k <= word.size(); ++k)
      texts.push_back(word.substr(0, k));
  }
  return texts;
}

template <typename F>
std::vector<double> Microseconds(const std::vector<std::wstring>& texts, F lookUp) {
  std::vector<double> us;
  for (const std::wstring& text : texts) {
    const double start = Now();
    lookUp(text);
    us.push_back((Now() - start) * 1e6);
  }
  return us;
}

std::string Micro(std::vector<double> us) {
  std::sort(us.begin(), us.end());
  auto at = [&](double p) {
    const auto rank = static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(us.size())));
    return us[std::clamp<size_t>(rank, 1, us.size()) - 1];
  };
  return "p50 " + Fixed(at(50), 1) + ", p99 " + Fixed(at(99), 1) + ", max " + Fixed(us.back(), 1) +
         " us";
}

}  // namespace

void FormStepRows(const std::string& dataFile, const std::string& indexFile,
                  const std::string& morphologyFolder, const std::wstring& language,
                  const std::vector<std::wstring>& searchTexts) {
  Morphology morphology(ToWide(morphologyFolder));
  MorphLanguage* forms = morphology.Find(language);
  if (forms == nullptr)
    throw std::runtime_error("no language " + ToUtf8(language) + " in " + morphologyFolder);
  forms->Load();
  TADict dict(dataFile, indexFile, false, false, false);
  dict.SetLanguages({forms, nullptr});
  const std::vector<std::wstring> english = Prefixes(kEnglishForms);
  for (const auto& [what, texts] : {std::pair{"the typed keystrokes", &searchTexts},
                                    std::pair{"English forms typed", &english}}) {
    const auto find = Microseconds(*texts, [&](const std::wstring& t) { FindHeadword(dict, t); });
    const auto step = Microseconds(*texts, [&](const std::wstring& t) { LookUpWord(dict, t); });
    Row(std::string("word-form step (LookUpWord, ") + ToUtf8(language) +
            ") against FindHeadword, " + what + ", " + std::to_string(texts->size()) +
            " keystrokes, index in memory, in process",
        "LookUpWord " + Micro(step) + "; FindHeadword " + Micro(find), "-");
  }
}

}  // namespace lexmora
