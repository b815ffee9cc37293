// lexmora-headword-check: types every headword of a dictionary in full, as the main window looks
// it up, and counts the headwords that do not show their own entry.
//
//   lexmora-headword-check [--findword] [--marks] DICT.dat...
//
// Each dictionary is opened with its index beside it (built when missing) and with letter
// conversion on, from the tables in Data\ beside this program. A headword is typed as a user
// types it: lower-cased by the search box, at most 50 characters (longer ones are counted and
// left out), and without its combining marks unless --marks is given. It is looked up with
// FindHeadword, or with FindWord alone with --findword. A hit shows an entry whose headword
// equals the typed text as the lookup compares them. Where several entries have that headword
// and the one shown is not the first of them in index order, the case is counted and printed
// apart: letter conversion can make headwords of different spellings equal, and the first of
// them may stand far away in the index. Every miss is printed with what was shown.
//
// Exit code 0 when every typed headword hit, 1 when some missed, 2 on wrong arguments or errors.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/CombiningMarks.h"
#include "base/Text.h"
#include "store/ADictU.h"
#include "store/HeadwordLookup.h"

namespace lexmora {
namespace {

constexpr size_t kTypedChars = 50;

// Code points of text outside ASCII as U+XXXX, for telling look-alike letters apart.
std::string Spelled(const std::wstring& text) {
  std::string out;
  for (wchar_t u : text) {
    char buf[16];
    std::snprintf(buf, sizeof buf, u < 0x80 ? "%c" : "<%04X>", u);
    out += buf;
  }
  return out;
}

struct Counts {
  int entries = 0, typed = 0, tooLong = 0, misses = 0, notFirst = 0;
};

Counts Check(const std::string& dataPath, bool findWordOnly, bool withMarks) {
  std::string indexPath = dataPath.substr(0, dataPath.size() - 4) + ".ind";
  TADict dict(dataPath, indexPath, false, false, true);
  Counts counts;
  counts.entries = dict.EntryCount();
  // The first entry of each headword, folded.
  std::map<std::wstring, int32_t> firsts;
  for (int32_t i = 0; i < counts.entries; ++i)
    firsts.emplace(FoldHeadword(dict, HeadwordOf(dict.ReadEntry(i, -1))), i);
  for (int32_t i = 0; i < counts.entries; ++i) {
    const std::wstring headword = HeadwordOf(dict.ReadEntry(i, -1));
    std::wstring typed = withMarks ? headword : WithoutCombiningMarks(headword);
    if (typed.empty())
      continue;
    if (typed.size() > kTypedChars) {
      ++counts.tooLong;
      continue;
    }
    ++counts.typed;
    const int32_t shown = findWordOnly ? dict.FindWord(typed) : FindHeadword(dict, typed);
    const std::wstring shownHeadword = HeadwordOf(dict.ReadEntry(shown, -1));
    const std::wstring key = FoldHeadword(dict, typed);
    if (FoldHeadword(dict, shownHeadword) == key) {
      if (shown != firsts[key]) {
        ++counts.notFirst;
        std::printf(
            "  not the first: \"%s\" shows entry %d, the first with that headword is %d "
            "\"%s\"\n",
            ToUtf8(typed).c_str(), shown, firsts[key],
            ToUtf8(HeadwordOf(dict.ReadEntry(firsts[key], -1))).c_str());
      }
      continue;
    }
    ++counts.misses;
    std::printf("  miss: entry %d \"%s\" %s shows entry %d \"%s\" (%+d)\n", i,
                ToUtf8(typed).c_str(), Spelled(typed).c_str(), shown, ToUtf8(shownHeadword).c_str(),
                shown - i);
  }
  return counts;
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  bool findWordOnly = false, withMarks = false;
  std::vector<std::string> paths;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--findword") {
      findWordOnly = true;
    } else if (arg == "--marks") {
      withMarks = true;
    } else if (arg.size() > 4 && arg.compare(arg.size() - 4, 4, ".dat") == 0) {
      paths.push_back(arg);
    } else {
      std::fprintf(stderr, "usage: lexmora-headword-check [--findword] [--marks] DICT.dat...\n");
      return 2;
    }
  }
  if (paths.empty()) {
    std::fprintf(stderr, "usage: lexmora-headword-check [--findword] [--marks] DICT.dat...\n");
    return 2;
  }
  bool allHit = true;
  try {
    for (const std::string& path : paths) {
      std::printf("%s\n", path.c_str());
      const lexmora::Counts c = lexmora::Check(path, findWordOnly, withMarks);
      std::printf(
          "%s: %d entries, %d headwords typed (%d longer than 50 left out), %d missed; "
          "%d showed an entry with the same headword but not the first\n",
          path.c_str(), c.entries, c.typed, c.tooLong, c.misses, c.notFirst);
      std::fflush(stdout);
      allHit = allHit && c.misses == 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lexmora-headword-check: %s\n", e.what());
    return 2;
  }
  return allHit ? 0 : 1;
}
