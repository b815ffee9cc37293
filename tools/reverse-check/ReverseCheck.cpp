// lexmora-reverse-check: how well searching inside the entries serves a reader who looks a word
// of the meanings up (a Bulgarian word in an English-Bulgarian dictionary).
//
//   lexmora-reverse-check DICT.dat MORPHOLOGY-FOLDER [LANGUAGE]
//
// The dictionary is opened with its index beside it (built when missing) and with letter
// conversion on, from the tables in Data\ beside this program; LANGUAGE (default bg_BG) is the
// Hunspell pair of MORPHOLOGY-FOLDER that its meanings are written in. Two figures:
//   - the words of the meanings, in Cyrillic, that stand as a sense of their own in some entry and
//     occur in at least 10 entries: for how many an entry giving the word as a sense comes among
//     the first 3 matches, before (the entries holding the word as written, in entry order) and
//     now (FindInText: forms, best matches first);
//   - on the 100 Cyrillic words of three letters or more found in most entries: the entries found
//     with forms against those holding the word as written.
// Exit code 0 when measured, 2 on wrong arguments or errors.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/Text.h"
#include "morph/Morphology.h"
#include "store/ADictU.h"
#include "store/EntryParts.h"
#include "store/TextSearch.h"
#include "store/WordRules.h"

namespace lexmora {
namespace {

constexpr size_t kLeastEntries = 10;
constexpr size_t kFirstMatches = 3;
constexpr size_t kCommonWords = 100;

bool IsCyrillicWord(const std::wstring& word) {
  return std::all_of(word.begin(), word.end(),
                     [](wchar_t c) { return c >= 0x0400 && c <= 0x04FF; });
}

// Per Cyrillic word (folded): the entries holding it, ascending, and those where it is a sense of
// its own.
struct WordEntries {
  std::vector<int32_t> holding;
  std::set<int32_t> asSense;
};

std::map<std::wstring, WordEntries> ScanEntries(TADict& dict) {
  const detail::WordRules rules = detail::MakeWordRules(dict);
  std::map<std::wstring, WordEntries> words;
  std::wstring word;
  detail::PartWords sense, aside;
  for (int32_t entry = 0; entry < dict.EntryCount(); ++entry) {
    const std::wstring text = dict.ReadEntry(entry, -1);
    detail::ForEachPart(rules, text.data(), text.size(), word, sense, aside,
                        [&](detail::PartKind kind, const detail::PartWords& part) {
                          for (size_t k = 0; k < part.Size(); ++k) {
                            if (!IsCyrillicWord(part.Word(k)))
                              continue;
                            WordEntries& found = words[part.Word(k)];
                            if (found.holding.empty() || found.holding.back() != entry)
                              found.holding.push_back(entry);
                            if (kind == detail::PartKind::Sense && part.Size() == 1)
                              found.asSense.insert(entry);
                          }
                        });
  }
  return words;
}

bool AnySenseAmongFirst(const std::vector<int32_t>& matches, const WordEntries& found) {
  const size_t n = std::min(matches.size(), kFirstMatches);
  return std::any_of(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(n),
                     [&](int32_t e) { return found.asSense.count(e) != 0; });
}

std::string Percent(size_t part, size_t whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f %%", whole == 0 ? 0.0 : 100.0 * part / whole);
  return buf;
}

int Measure(const std::string& dataPath, const std::wstring& folder, const std::wstring& name) {
  Morphology morphology(folder);
  MorphLanguage* language = morphology.Find(name);
  if (language == nullptr) {
    std::fprintf(stderr, "no language %s in %s\n", ToUtf8(name).c_str(), ToUtf8(folder).c_str());
    return 2;
  }
  language->Load();
  if (language->State() != MorphState::Ready) {
    std::fprintf(stderr, "%s\n", ToUtf8(language->OffReason()).c_str());
    return 2;
  }
  TADict dict(dataPath, dataPath.substr(0, dataPath.size() - 4) + ".ind", false, false, true);
  const std::map<std::wstring, WordEntries> words = ScanEntries(dict);

  size_t measured = 0, before = 0, now = 0;
  std::vector<std::wstring> missed;
  for (const auto& [word, found] : words) {
    if (found.asSense.empty() || found.holding.size() < kLeastEntries)
      continue;
    ++measured;
    before += AnySenseAmongFirst(found.holding, found) ? 1 : 0;
    if (AnySenseAmongFirst(FindInText(dict, word, kFirstMatches, language), found)) {
      ++now;
    } else {
      missed.push_back(word);
    }
  }
  std::printf("%s: %d entries\n", dataPath.c_str(), dict.EntryCount());
  std::printf("words standing as a sense of their own, in at least %zu entries: %zu\n",
              kLeastEntries, measured);
  std::printf("  an entry giving the word as a sense among the first %zu matches:\n",
              kFirstMatches);
  std::printf("    before (the word as written, entry order): %zu = %s\n", before,
              Percent(before, measured).c_str());
  std::printf("    now (forms, best matches first):           %zu = %s\n", now,
              Percent(now, measured).c_str());
  for (const std::wstring& word : missed)
    std::printf("    not among the first now: %s\n", ToUtf8(word).c_str());

  std::vector<std::pair<size_t, std::wstring>> common;
  for (const auto& [word, found] : words) {
    if (word.size() >= 3)
      common.emplace_back(found.holding.size(), word);
  }
  std::sort(common.rbegin(), common.rend());
  common.resize(std::min(common.size(), kCommonWords));
  size_t written = 0, withForms = 0, gained = 0;
  std::vector<double> gains;
  for (const auto& [count, word] : common) {
    const size_t found = FindInText(dict, word, INT32_MAX, language).size();
    written += count;
    withForms += found;
    gained += found > count ? 1 : 0;
    gains.push_back(static_cast<double>(found) / static_cast<double>(count));
  }
  std::sort(gains.begin(), gains.end());
  std::printf("the %zu Cyrillic words of 3 letters or more in most entries:\n", common.size());
  std::printf(
      "  entries found: %zu as written, %zu with forms (%s more); %zu of the words find "
      "more; per word, median %.2f x, largest %.2f x\n",
      written, withForms, Percent(withForms - std::min(withForms, written), written).c_str(),
      gained, gains.empty() ? 0.0 : gains[gains.size() / 2], gains.empty() ? 0.0 : gains.back());
  return 0;
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: lexmora-reverse-check DICT.dat MORPHOLOGY-FOLDER [LANGUAGE]\n");
    return 2;
  }
  try {
    std::wstring folder = lexmora::ToWide(argv[2]);
    if (folder.back() != L'\\')
      folder += L'\\';
    return lexmora::Measure(argv[1], folder, argc == 4 ? lexmora::ToWide(argv[3]) : L"bg_BG");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lexmora-reverse-check: %s\n", e.what());
    return 2;
  }
}
