#include "shell/DictsInUse.h"

#include <algorithm>

#include "store/HeadwordLookup.h"
#include "store/WordLookup.h"
#include "store/WordSample.h"

namespace lexmora {

namespace {

// The longest part of an entry read for its headword.
constexpr int32_t kHeadwordChars = 200;

}  // namespace

std::vector<std::wstring> DictionaryHeadings(const std::vector<std::wstring>& titles,
                                             const std::vector<std::wstring>& names) {
  std::vector<std::wstring> headings;
  for (size_t k = 0; k < titles.size() && k < names.size(); ++k) {
    if (titles[k].empty()) {
      headings.push_back(names[k]);
      continue;
    }
    const bool shared = std::count(titles.begin(), titles.end(), titles[k]) > 1;
    headings.push_back(shared ? titles[k] + L" (" + names[k] + L")" : titles[k]);
  }
  return headings;
}

void TDictsInUse::Open(const std::vector<std::wstring>& names, const Opener& open,
                       const std::function<std::wstring(const std::wstring&)>& title) {
  Close();
  for (const std::wstring& name : names) {
    InUse used{name, nullptr, {}, std::nullopt};
    try {
      used.dict = open(name);
    } catch (...) {
      report_();
      continue;
    }
    try {
      used.title = title(name);
    } catch (...) {
      used.title.clear();  // the file name stands for it
    }
    dicts_.push_back(std::move(used));
  }
}

std::vector<std::wstring> TDictsInUse::Names() const {
  std::vector<std::wstring> names;
  for (const InUse& used : dicts_)
    names.push_back(used.name);
  return names;
}

size_t TDictsInUse::IndexOf(const TADict* dict) const noexcept {
  const auto it = std::find_if(dicts_.begin(), dicts_.end(),
                               [&](const InUse& used) { return used.dict.get() == dict; });
  return static_cast<size_t>(it - dicts_.begin());
}

Script TDictsInUse::ScriptOf(InUse& used) {
  if (!used.script)
    used.script = ScriptOfWords(SampleWords(*used.dict, EntryPart::Headword));
  return *used.script;
}

void TDictsInUse::LeadFor(const std::wstring& text) {
  lead_ = 0;
  const Script script = ScriptOfText(text);
  if (dicts_.size() < 2 || script == Script::Other)
    return;
  for (size_t k = 0; k < dicts_.size();) {
    try {
      if (ScriptOf(dicts_[k]) == script) {
        lead_ = k;
        return;
      }
      ++k;
    } catch (...) {
      DropAfterError(k);  // its headwords cannot be read
    }
  }
}

std::optional<int32_t> TDictsInUse::EntryWithHeadword(size_t k, const std::wstring& headword) {
  const WordLookup found = LookUpWord(*dicts_[k].dict, headword);
  if (found.kind == WordLookup::Kind::Nearest)
    return std::nullopt;
  return found.entry;
}

std::vector<ShownEntry> TDictsInUse::EntriesFor(int32_t entry) {
  TADict* lead = Lead();
  if (lead == nullptr)
    return {};
  if (dicts_.size() == 1)
    return {{lead, entry, {}}};
  const std::wstring headword = HeadwordOf(lead->ReadEntry(entry, kHeadwordChars));
  std::vector<ShownEntry> shown{{lead, entry, {}}};
  for (size_t k = 0; k < dicts_.size() && !headword.empty();) {
    if (k == lead_) {
      ++k;
      continue;
    }
    try {
      if (const std::optional<int32_t> found = EntryWithHeadword(k, headword))
        shown.push_back({dicts_[k].dict.get(), *found, {}});
      ++k;
    } catch (...) {
      DropAfterError(k);
    }
  }
  // The headings, once the dictionaries still in use are known; none when one is left.
  for (ShownEntry& s : shown)
    s.heading = dicts_.size() > 1 ? Heading(IndexOf(s.dict)) : std::wstring();
  return shown;
}

std::wstring TDictsInUse::Heading(size_t k) const {
  std::vector<std::wstring> titles;
  for (const InUse& used : dicts_)
    titles.push_back(used.title);
  return DictionaryHeadings(titles, Names()).at(k);
}

void TDictsInUse::DropAfterError(size_t k) {
  if (k >= dicts_.size())
    return;
  dicts_.erase(dicts_.begin() + static_cast<std::ptrdiff_t>(k));
  if (lead_ == k) {
    lead_ = 0;
  } else if (lead_ > k) {
    --lead_;
  }
  report_();
}

}  // namespace lexmora
