#pragma once
// The languages of a dictionary's word forms, kept per user with the dictionary, in the key
// <settings key>\Languages\<dictionary name>: found by themselves once, and kept for as long as
// the dictionary file and the languages at hand stay as they were; or chosen in the options, and
// kept until chosen again.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace lexmora {

struct KeptLanguages {
  // A language's name ("bg_BG"); empty for none.
  std::wstring headwords;
  std::wstring meanings;
  // The user chose them; otherwise they were found.
  bool chosen = false;

  bool operator==(const KeptLanguages&) const = default;
};

// A language of word forms as the options offer it: its name, whether it is off, and why it
// cannot be used now (empty when it can).
struct LanguageOffer {
  std::wstring name;
  std::wstring state;
  bool off = false;
};

// What languages found by themselves depend on: the dictionary file, by its size and last-write
// time, and the names of the languages at hand. Empty when the file cannot be looked at.
std::wstring LanguageStamp(const std::wstring& dataPath,
                           const std::vector<std::wstring>& languageNames);

// The languages kept for the dictionary `dictName` under `settingsKey` of `root` that still
// hold: chosen ones whatever the stamp, found ones while `stamp` is the one they were found for.
// Nothing when none are kept, a value is missing or of another type, or they were found for
// another stamp (or for an empty one).
std::optional<KeptLanguages> ReadKeptLanguages(HKEY root, const std::string& settingsKey,
                                               const std::wstring& dictName,
                                               const std::wstring& stamp);

// Keeps `languages` for `dictName`, with `stamp`. Raises ERegistryException when the key cannot
// be made or a value written.
void KeepLanguages(HKEY root, const std::string& settingsKey, const std::wstring& dictName,
                   const KeptLanguages& languages, const std::wstring& stamp);

}  // namespace lexmora
