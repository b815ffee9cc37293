// Hunspell morphology figures: the load time of each shipped language, the working set with all
// of them loaded, the time of Stems on the words of real text, and the stems of a few forms.
// Run by scripts/bench.sh (--morph alone):
//   lexmora_morph_bench MORPHOLOGY_FOLDER NAME=TEXT_FILE...
// where each TEXT_FILE is UTF-8 text in the language NAME (bg_BG, ru_RU, en_US).
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchSupport.h"
#include "base/Text.h"
#include "morph/Morphology.h"

using namespace lexmora;

namespace {

PROCESS_MEMORY_COUNTERS_EX Memory() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return counters;
}

// The words of a UTF-8 text file: runs of letters.
std::vector<std::wstring> WordsOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::vector<std::wstring> words = LetterRuns(FromUtf8(bytes.str()));
  words.erase(std::remove_if(words.begin(), words.end(),
                             [](const std::wstring& word) { return word.size() < 2; }),
              words.end());
  return words;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(share * values.size()))];
}

std::string Stems(MorphLanguage& language, const wchar_t* word) {
  std::wstring all;
  for (const std::wstring& stem : language.Stems(word))
    all += (all.empty() ? L"" : L", ") + stem;
  return ToUtf8(std::wstring(word) + L" -> " + (all.empty() ? L"(none)" : all));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: lexmora_morph_bench MORPHOLOGY_FOLDER NAME=TEXT_FILE...\n");
    return 2;
  }
  Morphology morphology(ToWide(argv[1]));
  const SIZE_T before = Memory().WorkingSetSize;
  const double start = Now();
  morphology.LoadAll();
  const double all = (Now() - start) * 1000;
  const PROCESS_MEMORY_COUNTERS_EX loaded = Memory();
  for (const auto& language : morphology.Languages()) {
    Row("load " + ToUtf8(language->Name()),
        language->State() == MorphState::Ready ? Fixed(language->LoadMilliseconds(), 0) + " ms"
                                               : ToUtf8(language->OffReason()),
        "-");
  }
  Row("load all, on one thread", Fixed(all, 0) + " ms", "-");
  Row("working set before / after loading",
      Fixed(Mb(static_cast<double>(before)), 1) + " / " +
          Fixed(Mb(static_cast<double>(loaded.WorkingSetSize)), 1) + " MiB (commit " +
          Fixed(Mb(static_cast<double>(loaded.PagefileUsage)), 1) + " MiB)",
      "-");

  for (int i = 2; i < argc; ++i) {
    const std::string argument = argv[i];
    const size_t equals = argument.find('=');
    MorphLanguage* language = morphology.Find(ToWide(argument.substr(0, equals)));
    if (language == nullptr || equals == std::string::npos)
      continue;
    const std::vector<std::wstring> words = WordsOfFile(argument.substr(equals + 1));
    std::vector<double> micros;
    size_t withStems = 0;
    for (int pass = 0; pass < 3; ++pass) {
      for (const std::wstring& word : words) {
        const double t = Now();
        const size_t found = language->Stems(word).size();
        micros.push_back((Now() - t) * 1e6);
        withStems += pass == 0 && found > 0 ? 1 : 0;
      }
    }
    if (micros.empty())
      continue;
    Row("Stems " + argument.substr(0, equals) + ", " + std::to_string(words.size()) +
            " words of text x 3 (" + std::to_string(withStems) + " with stems)",
        "p50 " + Fixed(Percentile(micros, 0.5), 1) + " us, p99 " +
            Fixed(Percentile(micros, 0.99), 1) + " us, max " + Fixed(Percentile(micros, 1.0), 0) +
            " us",
        "-");
  }

  const std::pair<const wchar_t*, std::vector<const wchar_t*>> forms[] = {
      {L"bg_BG", {L"къщата", L"четох", L"градовете"}},
      {L"ru_RU", {L"домами", L"стекло", L"людей"}},
      {L"en_US", {L"boxes", L"went", L"children", L"better", L"saw", L"mice"}},
  };
  for (const auto& [name, words] : forms) {
    if (MorphLanguage* language = morphology.Find(name)) {
      for (const wchar_t* word : words)
        std::printf("  %s: %s\n", ToUtf8(name).c_str(), Stems(*language, word).c_str());
    }
  }
  return 0;
}
