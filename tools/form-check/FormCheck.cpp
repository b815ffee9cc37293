// lexmora-form-check: types the words of a running text into a dictionary as the main window
// looks them up, and counts how many of the word forms show the entry of their dictionary form,
// with the lookup as it was (FindHeadword) and with the word-form step (LookUpWord).
//
//   lexmora-form-check MORPHOLOGY_FOLDER LANGUAGE DICT.dat TEXT.txt...
//
// The dictionary is opened with its index beside it (built when missing), with letter conversion
// from Data\ beside this program, and with LANGUAGE (a Hunspell pair of MORPHOLOGY_FOLDER) as the
// language of its headwords. The texts are UTF-8. Their words are runs of letters, combining
// marks left out, lower-cased as the search box lower-cases them, at most 50 letters.
//
// A word of the text is a headword when an entry's headword is the word itself; it is a form
// when it is no headword and some of its dictionary forms (the language's stems) are headwords;
// otherwise the dictionary does not cover it. A form hits when the entry shown is one whose
// headword is one of those dictionary forms. Forms that the language's table of irregular forms
// (LANGUAGE.exc) lists are counted apart too. Every headword of the dictionary is also typed in
// full, to check that it still shows its own entry.
//
// Exit code 0 when every headword typed showed its own entry, 1 when some did not, 2 on wrong
// arguments or errors.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/CombiningMarks.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "store/ADictU.h"
#include "store/HeadwordLookup.h"
#include "store/WordLookup.h"

namespace lexmora {
namespace {

constexpr size_t kTypedChars = 50;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::wstring> WordsOf(const std::string& utf8) {
  std::vector<std::wstring> words;
  for (std::wstring& word : LetterRuns(WithoutCombiningMarks(FromUtf8(utf8)))) {
    if (word.size() > kTypedChars)
      continue;
    CharLowerBuffW(word.data(), static_cast<DWORD>(word.size()));
    words.push_back(std::move(word));
  }
  return words;
}

// The forms that a table of irregular forms lists: the first word of each line.
std::set<std::wstring> IrregularFormsOf(const std::wstring& path) {
  std::set<std::wstring> forms;
  std::ifstream in(ToUtf8(path), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const std::string form = line.substr(0, line.find_first_of(" \t\r"));
    if (!form.empty())
      forms.insert(FromUtf8(form));
  }
  return forms;
}

struct Tally {
  long headwords = 0, forms = 0, uncovered = 0, before = 0, after = 0;
  long irregular = 0, irregularBefore = 0, irregularAfter = 0;
};

enum class Kind { Headword, Form, Uncovered };
struct Verdict {
  Kind kind = Kind::Uncovered;
  bool before = false, after = false, irregular = false;
};

class Checker {
 public:
  Checker(TADict& dict, MorphLanguage& language, std::set<std::wstring> irregular)
      : dict_(dict), language_(language), irregular_(std::move(irregular)) {}

  Verdict Judge(const std::wstring& word) {
    if (auto known = verdicts_.find(word); known != verdicts_.end())
      return known->second;
    Verdict verdict;
    if (MatchHeadword(dict_, word).exact) {
      verdict.kind = Kind::Headword;
    } else {
      std::set<std::wstring> bases;
      for (const std::wstring& stem : language_.Stems(word)) {
        if (MatchHeadword(dict_, stem).exact)
          bases.insert(FoldHeadword(dict_, stem));
      }
      if (!bases.empty()) {
        verdict.kind = Kind::Form;
        verdict.irregular = irregular_.count(word) != 0;
        verdict.before = bases.count(ShownHeadword(FindHeadword(dict_, word))) != 0;
        verdict.after = bases.count(ShownHeadword(LookUpWord(dict_, word).entry)) != 0;
        if (!verdict.after)
          std::printf("  form missed: \"%s\"\n", ToUtf8(word).c_str());
      }
    }
    verdicts_.emplace(word, verdict);
    return verdict;
  }

 private:
  std::wstring ShownHeadword(int32_t entry) {
    return FoldHeadword(dict_, HeadwordOf(dict_.ReadEntry(entry, -1)));
  }

  TADict& dict_;
  MorphLanguage& language_;
  std::set<std::wstring> irregular_;
  std::map<std::wstring, Verdict> verdicts_;
};

void Count(Tally& tally, const Verdict& v) {
  switch (v.kind) {
    case Kind::Headword:
      ++tally.headwords;
      break;
    case Kind::Uncovered:
      ++tally.uncovered;
      break;
    case Kind::Form:
      ++tally.forms;
      tally.before += v.before;
      tally.after += v.after;
      if (v.irregular) {
        ++tally.irregular;
        tally.irregularBefore += v.before;
        tally.irregularAfter += v.after;
      }
      break;
  }
}

double Percent(long part, long whole) {
  return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

void Print(const char* what, const Tally& t) {
  const long covered = t.headwords + t.forms;
  std::printf(
      "%s: %ld covered by the dictionary (%ld not), %ld headwords, %ld forms = %.1f %% of the "
      "covered\n  forms showing their dictionary form's entry: before %ld (%.1f %%), after %ld "
      "(%.1f %%)\n  irregular forms (listed in the table): %ld; before %ld (%.1f %%), after %ld "
      "(%.1f %%)\n",
      what, covered, t.uncovered, t.headwords, t.forms, Percent(t.forms, covered), t.before,
      Percent(t.before, t.forms), t.after, Percent(t.after, t.forms), t.irregular,
      t.irregularBefore, Percent(t.irregularBefore, t.irregular), t.irregularAfter,
      Percent(t.irregularAfter, t.irregular));
}

// Every headword typed in full with the word-form step; returns how many showed another entry.
long HeadwordMisses(TADict& dict) {
  long typed = 0, misses = 0;
  for (int32_t i = 0; i < dict.EntryCount(); ++i) {
    const std::wstring headword = WithoutCombiningMarks(HeadwordOf(dict.ReadEntry(i, -1)));
    if (headword.empty() || headword.size() > kTypedChars)
      continue;
    std::wstring lowered = headword;
    CharLowerBuffW(lowered.data(), static_cast<DWORD>(lowered.size()));
    ++typed;
    const WordLookup found = LookUpWord(dict, lowered);
    if (found.kind != WordLookup::Kind::Headword ||
        FoldHeadword(dict, HeadwordOf(dict.ReadEntry(found.entry, -1))) !=
            FoldHeadword(dict, headword)) {
      ++misses;
      std::printf("  headword missed: \"%s\"\n", ToUtf8(headword).c_str());
    }
  }
  std::printf("headwords typed in full: %ld, showing their own entry: %ld (%.1f %%)\n", typed,
              typed - misses, Percent(typed - misses, typed));
  return misses;
}

int Run(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: lexmora-form-check MORPHOLOGY_FOLDER LANGUAGE DICT.dat TEXT.txt...\n");
    return 2;
  }
  const std::wstring folder = ToWide(argv[1]);
  const std::wstring name = ToWide(argv[2]);
  Morphology morphology(folder);
  MorphLanguage* language = morphology.Find(name);
  if (language == nullptr) {
    std::fprintf(stderr, "no language %s in %s\n", argv[2], argv[1]);
    return 2;
  }
  language->Load();
  if (language->State() != MorphState::Ready) {
    std::fprintf(stderr, "%s is off: %s\n", argv[2], ToUtf8(language->OffReason()).c_str());
    return 2;
  }
  const std::string dataPath = argv[3];
  TADict dict(dataPath, dataPath.substr(0, dataPath.size() - 4) + ".ind", true, false, true);
  dict.SetLanguages({language, nullptr});
  std::printf("%s: %d entries, language %s\n", argv[3], dict.EntryCount(), argv[2]);
  Checker checker(dict, *language, IrregularFormsOf(folder + L"\\" + name + L".exc"));
  Tally running, distinct;
  std::set<std::wstring> seen;
  for (int k = 4; k < argc; ++k) {
    for (const std::wstring& word : WordsOf(ReadAll(argv[k]))) {
      const Verdict verdict = checker.Judge(word);
      Count(running, verdict);
      if (seen.insert(word).second)
        Count(distinct, verdict);
    }
  }
  Print("words of the text", running);
  Print("distinct words", distinct);
  return HeadwordMisses(dict) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  try {
    return lexmora::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 2;
  }
}
