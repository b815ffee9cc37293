// lexmora-several-check: with several dictionaries in use, does a lookup show the entries it
// should? The dictionaries are opened and looked up as the main window does it (the leading one
// by the script typed, FindHeadword there, then the others' entries with the same headword).
//
//   lexmora-several-check FOLDER ENGLISH-1 ENGLISH-2 CYRILLIC
//
// FOLDER holds NAME.dat (and NAME.ind, built when missing) of each name; the three are in use in
// that order, without letter conversion. Two figures, each on 40 headwords spread evenly:
//   - of the headwords both English dictionaries hold (found by reading every entry of both),
//     how many show the entries of both;
//   - of the Cyrillic headwords of the third, how many show its entry.
// Exit code 0 when measured, 2 on wrong arguments or errors.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "base/Text.h"
#include "shell/DictsInUse.h"
#include "shell/ScriptRule.h"
#include "store/HeadwordLookup.h"

namespace lexmora {
namespace {

constexpr size_t kSample = 40;
constexpr int32_t kHeadwordChars = 200;

// The headwords of every entry, as written.
std::vector<std::wstring> Headwords(TADict& dict) {
  std::vector<std::wstring> headwords;
  for (int32_t k = 0; k < dict.EntryCount(); ++k)
    headwords.push_back(HeadwordOf(dict.ReadEntry(k, kHeadwordChars)));
  return headwords;
}

// `count` of `items` spread evenly (all of them when there are fewer).
std::vector<std::wstring> Spread(const std::vector<std::wstring>& items, size_t count) {
  std::vector<std::wstring> picked;
  for (size_t k = 0; k < count && k < items.size(); ++k)
    picked.push_back(items[k * items.size() / std::min(count, items.size())]);
  return picked;
}

// Whether looking `headword` up shows an entry of `dict` whose headword is it.
bool Shows(const std::vector<ShownEntry>& shown, TADict& dict, const std::wstring& headword) {
  return std::any_of(shown.begin(), shown.end(), [&](const ShownEntry& s) {
    return s.dict == &dict &&
           FoldHeadword(dict, HeadwordOf(s.dict->ReadEntry(s.entry, kHeadwordChars))) ==
               FoldHeadword(dict, headword);
  });
}

std::vector<ShownEntry> LookUp(TDictsInUse& dicts, const std::wstring& typed) {
  dicts.LeadFor(typed);
  return dicts.EntriesFor(FindHeadword(*dicts.Lead(), typed));
}

int Run(const std::wstring& folder, const std::vector<std::wstring>& names) {
  TDictsInUse dicts([] { throw; });
  dicts.Open(
      names,
      [&](const std::wstring& name) {
        return std::make_unique<TADict>(folder + L"\\" + name + L".dat",
                                        folder + L"\\" + name + L".ind", true, false, false);
      },
      [](const std::wstring& name) { return name; });
  TADict& english1 = dicts.Dict(0);
  TADict& english2 = dicts.Dict(1);
  TADict& cyrillic = dicts.Dict(2);

  std::set<std::wstring> second;
  for (const std::wstring& h : Headwords(english2))
    second.insert(FoldHeadword(english2, h));
  std::vector<std::wstring> both, cyrillicHeadwords;
  for (const std::wstring& h : Headwords(english1)) {
    if (ScriptOfText(h) == Script::Latin && second.count(FoldHeadword(english1, h)) > 0)
      both.push_back(h);
  }
  for (const std::wstring& h : Headwords(cyrillic)) {
    if (ScriptOfText(h) == Script::Cyrillic)
      cyrillicHeadwords.push_back(h);
  }

  size_t bothShown = 0, bothTried = 0;
  for (const std::wstring& h : Spread(both, kSample)) {
    const std::vector<ShownEntry> shown = LookUp(dicts, h);
    ++bothTried;
    if (Shows(shown, english1, h) && Shows(shown, english2, h)) {
      ++bothShown;
    } else {
      std::printf("  not both: %s\n", ToUtf8(h).c_str());
    }
  }
  size_t cyrillicShown = 0, cyrillicTried = 0;
  for (const std::wstring& h : Spread(cyrillicHeadwords, kSample)) {
    ++cyrillicTried;
    if (Shows(LookUp(dicts, h), cyrillic, h)) {
      ++cyrillicShown;
    } else {
      std::printf("  not shown: %s\n", ToUtf8(h).c_str());
    }
  }
  std::printf(
      "headwords both English dictionaries hold (%zu in all): %zu of %zu show both entries\n",
      both.size(), bothShown, bothTried);
  std::printf("Cyrillic headwords of %s (%zu in all): %zu of %zu show its entry\n",
              ToUtf8(names[2]).c_str(), cyrillicHeadwords.size(), cyrillicShown, cyrillicTried);
  return 0;
}

}  // namespace
}  // namespace lexmora

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 5) {
    std::fprintf(stderr, "usage: lexmora-several-check FOLDER ENGLISH-1 ENGLISH-2 CYRILLIC\n");
    return 2;
  }
  try {
    return lexmora::Run(argv[1], {argv[2], argv[3], argv[4]});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lexmora-several-check: %s\n", e.what());
    return 2;
  }
}
