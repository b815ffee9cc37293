#pragma once
// The dictionaries in use, open, in the user's order: the first is the one the Dict setting
// names. Each keeps its name, its title and, once found, the script of its headwords; the
// leading one of a lookup is the first whose script is the text's (ScriptRule.h).
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/ScriptRule.h"
#include "store/ADictU.h"

namespace lexmora {

// The headings of dictionaries with these titles and file names (in the same order): the title,
// or the file name where the title is empty; a title two of them share is followed by the file
// name in parentheses.
std::vector<std::wstring> DictionaryHeadings(const std::vector<std::wstring>& titles,
                                             const std::vector<std::wstring>& names);

// An entry shown in the large pane: its dictionary, its place there, and the heading above it
// (empty with one dictionary in use).
struct ShownEntry {
  TADict* dict = nullptr;
  int32_t entry = 0;
  std::wstring heading;
};

class TDictsInUse {
 public:
  // Opens the dictionary of a name, raising what opening raises.
  using Opener = std::function<std::unique_ptr<TADict>(const std::wstring& name)>;
  // Reports the exception being handled (inside a catch block).
  using Reporter = std::function<void()>;

  explicit TDictsInUse(Reporter report) : report_(std::move(report)) {}

  // Closes the dictionaries in use and opens `names` in order, each through `open`. One that
  // fails to open is reported and left out; the others stay in use. `title` gives a dictionary's
  // title from its name (an error there leaves the title empty).
  void Open(const std::vector<std::wstring>& names, const Opener& open,
            const std::function<std::wstring(const std::wstring&)>& title);
  void Close() noexcept {
    dicts_.clear();
    lead_ = 0;
  }

  size_t Count() const noexcept { return dicts_.size(); }
  bool Empty() const noexcept { return dicts_.empty(); }
  TADict& Dict(size_t k) const { return *dicts_.at(k).dict; }
  // The first dictionary in use; null when none is.
  TADict* First() const noexcept { return dicts_.empty() ? nullptr : dicts_.front().dict.get(); }
  std::vector<std::wstring> Names() const;
  const std::wstring& Name(size_t k) const { return dicts_.at(k).name; }
  // The place of `dict` among those in use; Count() when it is not one of them.
  size_t IndexOf(const TADict* dict) const noexcept;

  // Makes the dictionary that leads a lookup of `text` the leading one. Each dictionary's script
  // is found from a sample of its headwords the first time it is needed, and kept; with one
  // dictionary in use, none is sampled.
  void LeadFor(const std::wstring& text);
  // The leading dictionary: the first in use until a text chose another; null when none is open.
  TADict* Lead() const noexcept {
    return lead_ < dicts_.size() ? dicts_[lead_].dict.get() : nullptr;
  }

  // Entry `entry` of the leading dictionary, then the entry of every other dictionary in use
  // whose headword is the same (as each compares headwords), or else a dictionary form of it in
  // that dictionary's headword language (LookUpWord), in the order of use,
  // each under its heading. A dictionary whose entries cannot be read is left out after its
  // error. Raises what reading the leading dictionary raises.
  std::vector<ShownEntry> EntriesFor(int32_t entry);
  // The heading line shown above dictionary k's entry when several are in use.
  std::wstring Heading(size_t k) const;

  // Leaves dictionary k out of use after an error of its own (its file gone or unreadable) and
  // reports that error, the exception being handled (call it in the catch block), once. The
  // others stay in use; the leading one stays, or, when k led, the first leads.
  void DropAfterError(size_t k);

 private:
  struct InUse {
    std::wstring name;
    std::unique_ptr<TADict> dict;
    std::wstring title;
    std::optional<Script> script;
  };
  Script ScriptOf(InUse& used);
  // The entry of dictionary k whose headword is `headword` or a dictionary form of it, if any.
  std::optional<int32_t> EntryWithHeadword(size_t k, const std::wstring& headword);

  Reporter report_;
  std::vector<InUse> dicts_;
  size_t lead_ = 0;
};

}  // namespace lexmora
