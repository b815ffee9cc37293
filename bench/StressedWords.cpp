// How searching inside the entries copes with stress marks on a real dictionary: takes Cyrillic
// words written with a stress mark (U+0301 or U+0300 after the vowel) from the meanings of a
// dictionary, and
// searches for each typed without its marks, and with them; counts how many find the entry they
// were taken from.
//
//   lexmora_stressed_words DICTIONARY.dat [COUNT]   (COUNT words, 200 by default)
//
// The words are picked at random (the same ones each run) among the distinct stressed words of
// the meanings (every line of an entry but the first). The dictionary is opened with letter
// conversion on, with the shipped tables in Data\ beside the program; its word index is built
// first when it is missing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "base/Text.h"
#include "store/ADictU.h"
#include "store/TextSearch.h"

namespace lexmora {
namespace {

// The Cyrillic words of `text` that carry a stress mark (U+0301 or U+0300): runs of letters and
// combining marks that start with a letter, as the system classes each character.
std::vector<std::wstring> MarkedWords(const std::wstring& text) {
  std::vector<std::wstring> words;
  const int n = static_cast<int>(text.size());
  std::vector<WORD> type1(text.size() + 1), type3(text.size() + 1);
  if (n == 0 || !GetStringTypeW(CT_CTYPE1, text.c_str(), n, type1.data()) ||
      !GetStringTypeW(CT_CTYPE3, text.c_str(), n, type3.data())) {
    return words;
  }
  std::wstring word;
  bool marked = false;
  for (int i = 0; i <= n; ++i) {
    const wchar_t c = i < n ? text[static_cast<size_t>(i)] : L' ';
    const bool mark = i < n && (type3[i] & C3_NONSPACING) != 0;
    const bool letter = i < n && !mark && (type1[i] & (C1_ALPHA | C1_DIGIT)) != 0;
    if (letter || (mark && !word.empty())) {
      word += c;
      marked = marked || c == 0x0301 || c == 0x0300;
      continue;
    }
    if (marked && word[0] >= 0x0400 && word[0] <= 0x04FF)
      words.push_back(word);
    word.clear();
    marked = false;
  }
  return words;
}

std::wstring WithoutMarks(const std::wstring& word) {
  std::wstring out;
  for (wchar_t c : word) {
    WORD type3 = 0;
    GetStringTypeW(CT_CTYPE3, &c, 1, &type3);
    if ((type3 & C3_NONSPACING) == 0)
      out += c;
  }
  return out;
}

bool Holds(const std::vector<int32_t>& entries, int32_t entry) {
  return std::binary_search(entries.begin(), entries.end(), entry);
}

int Run(const std::string& dat, size_t count) {
  const std::string ind = dat.substr(0, dat.size() - 4) + ".ind";
  TADict dict(dat, ind, false, false, true);
  // Each distinct marked word of the meanings, with the first entry it was seen in.
  std::map<std::wstring, int32_t> taken;
  size_t occurrences = 0;
  for (int32_t i = 0; i < dict.EntryCount(); ++i) {
    const std::wstring entry = dict.ReadEntry(i, -1);
    const size_t meanings = entry.find(L'\r');
    if (meanings == std::wstring::npos)
      continue;
    for (const std::wstring& word : MarkedWords(entry.substr(meanings))) {
      ++occurrences;
      taken.emplace(word, i);
    }
  }
  std::vector<std::pair<std::wstring, int32_t>> words(taken.begin(), taken.end());
  std::mt19937 rng(13);
  std::shuffle(words.begin(), words.end(), rng);
  words.resize(std::min(count, words.size()));

  const double start = Now();
  FindInText(dict, L"a", 1);  // the word index, built here when it is missing
  const double firstSearch = Now() - start;
  size_t plainFound = 0, markedFound = 0;
  std::string misses;
  for (const auto& [word, entry] : words) {
    const bool plain = Holds(FindInText(dict, WithoutMarks(word), INT32_MAX), entry);
    const bool marked = Holds(FindInText(dict, word, INT32_MAX), entry);
    plainFound += plain ? 1 : 0;
    markedFound += marked ? 1 : 0;
    if (!plain || !marked) {
      misses += "  " + ToUtf8(word) + " (entry " + std::to_string(entry) + "): without marks " +
                (plain ? "found" : "MISSED") + ", with marks " + (marked ? "found" : "MISSED") +
                "\n";
    }
  }
  std::printf("%s: %d entries, %zu stressed words in the meanings (%zu distinct)\n", dat.c_str(),
              dict.EntryCount(), occurrences, taken.size());
  std::printf("first search (word index built or read) %.2f s\n", firstSearch);
  std::printf(
      "%zu stressed words taken at random; typed without their marks, %zu find the entry "
      "they were taken from; typed with them, %zu\n",
      words.size(), plainFound, markedFound);
  std::printf("%s", misses.c_str());
  return plainFound == words.size() && markedFound == words.size() ? 0 : 1;
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: lexmora_stressed_words DICTIONARY.dat [COUNT]\n");
    return 2;
  }
  try {
    return lexmora::Run(argv[1], argc == 3 ? std::stoul(argv[2]) : 200);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.what());
    return 2;
  }
}
