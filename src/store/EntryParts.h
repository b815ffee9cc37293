#pragma once
// Internal to the store (its tests and tools use it too): the parts of an entry's text that rank
// the matches of a search inside the entries.
//   - The headword: the words of the entry's first line.
//   - The senses: on the lines after it, the runs of words between line ends, commas, semicolons
//     and sense numbers (a number directly followed by a full stop and no digit, "1." or "2."
//     wherever it stands, as in "1. дом 2.", but not "2.0"). "баща, татко; родител" gives three
//     senses.
//   - Asides: words in parentheses, "отказвам (се от)", which qualify a sense and are no part of
//     it (the sense there is "отказвам"); a sense number is an aside of its own.
// Every word of the text belongs to exactly one part.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/WordRules.h"

namespace lexmora::detail {

enum class PartKind : uint8_t { Headword, Sense, Aside };

// The words of one part, folded, each with where it starts in the text and its length there
// (marks included). Its strings keep their room when it is cleared.
class PartWords {
 public:
  size_t Size() const noexcept { return count_; }
  const std::wstring& Word(size_t k) const noexcept { return words_[k]; }
  size_t Start(size_t k) const noexcept { return starts_[k]; }
  size_t Length(size_t k) const noexcept { return lengths_[k]; }
  void Clear() noexcept { count_ = 0; }
  void Add(const std::wstring& word, size_t start, size_t length) {
    if (count_ == words_.size()) {
      words_.emplace_back();
      starts_.emplace_back();
      lengths_.emplace_back();
    }
    words_[count_] = word;
    starts_[count_] = start;
    lengths_[count_] = length;
    ++count_;
  }

 private:
  std::vector<std::wstring> words_;
  std::vector<size_t> starts_, lengths_;
  size_t count_ = 0;
};

// Calls take(kind, part) for each part of text[0, count) that holds words, in text order (an
// aside before the sense it stands in when the sense goes on after it). `sense` and `aside`
// keep their room between calls.
template <typename Take>
void ForEachPart(const WordRules& rules, const wchar_t* text, size_t count, std::wstring& word,
                 PartWords& sense, PartWords& aside, Take&& take) {
  bool headword = true;
  int depth = 0;  // of parentheses open on the line
  size_t gapStart = 0;
  sense.Clear();  // the first line gathers here too, and is reported as the headword
  aside.Clear();
  const auto endSense = [&] {
    if (sense.Size() > 0)
      take(headword ? PartKind::Headword : PartKind::Sense, static_cast<const PartWords&>(sense));
    sense.Clear();
  };
  const auto endAside = [&] {
    if (aside.Size() > 0)
      take(PartKind::Aside, static_cast<const PartWords&>(aside));
    aside.Clear();
  };
  ForEachWord(rules, text, count, word, [&](size_t start, size_t length, const std::wstring& w) {
    for (size_t i = gapStart; i < start; ++i) {
      const wchar_t c = text[i];
      if (c == L'\r' || c == L'\n') {
        endAside();
        endSense();
        headword = false;
        depth = 0;
      } else if (headword) {
        continue;
      } else if (c == L'(') {
        if (depth++ == 0)
          endAside();
      } else if (c == L')') {
        if (depth > 0 && --depth == 0)
          endAside();
      } else if ((c == L',' || c == L';') && depth == 0) {
        endSense();
      }
    }
    gapStart = start + length;
    if (headword) {
      sense.Add(w, start, length);
    } else if (depth > 0) {
      aside.Add(w, start, length);
    } else if (gapStart < count && text[gapStart] == L'.' &&
               w.find_first_not_of(L"0123456789") == std::wstring::npos &&
               !(gapStart + 1 < count && text[gapStart + 1] >= L'0' &&
                 text[gapStart + 1] <= L'9')) {
      endSense();
      aside.Add(w, start, length);
      endAside();
    } else {
      sense.Add(w, start, length);
    }
  });
  endAside();
  endSense();
}

}  // namespace lexmora::detail
