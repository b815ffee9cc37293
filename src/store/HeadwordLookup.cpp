#include "store/HeadwordLookup.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "base/CombiningMarks.h"
#include "store/DictFormat.h"
#include "store/TextCompare.h"

namespace lexmora {

namespace {

// Characters read past the key's length before a headword is read whole: room for a few marks.
constexpr int32_t kSlack = 8;
// No code unit below this one is a combining mark.
constexpr wchar_t kFirstMark = 0x0300;

// Reads the entries of one lookup as the word search reads them, with the entry count that the
// search took and one buffer for all.
class EntryReader {
 public:
  EntryReader(TADict& dict, int32_t count) : dict_(dict), count_(count) {}
  int32_t Count() const noexcept { return count_; }
  std::wstring& Read(int32_t i, int32_t maxChars) {
    dict_.ReadSearchText(i, maxChars, count_, text_);
    return text_;
  }

 private:
  TADict& dict_;
  const int32_t count_;
  std::wstring text_;
};

enum class Match { kYes, kNo, kReadMore, kAskSystem };

// Whether the headword at the start of `text`, folded a unit at a time, equals `key` (folded).
// kReadMore: the text ends inside the headword, and it was cut there (`mayBeCut`: it is as long
// as asked for). kAskSystem: the headword holds a surrogate, which only the system lower-cases.
// A mismatch is told at the first unit that differs.
Match CompareHeadword(const TADict& dict, const wchar_t* lower, std::wstring_view text,
                      bool mayBeCut, const std::wstring& key) {
  size_t k = 0;
  for (const wchar_t u : text) {
    if (u == L'\r' || u == L'\n')
      return k == key.size() ? Match::kYes : Match::kNo;
    if (IsSurrogate(u))
      return Match::kAskSystem;
    if (u >= kFirstMark && IsCombiningMark(u))
      continue;
    if (k == key.size() || dict.ConvertLetter(lower[static_cast<uint16_t>(u)]) != key[k])
      return Match::kNo;
    ++k;
  }
  if (mayBeCut)
    return Match::kReadMore;
  return k == key.size() ? Match::kYes : Match::kNo;
}

// Whether entry i's headword, folded, equals `key` (folded, not empty). Reads a little more of
// the entry than the key, and the whole entry only when its first line runs on past that while
// still equal to the key so far (marks make a headword longer than its key).
bool HeadwordEquals(TADict& dict, EntryReader& reader, int32_t i, const std::wstring& key) {
  const wchar_t* lower = LowerCaseTable();
  const auto wanted = static_cast<int32_t>(std::min<size_t>(key.size() + kSlack, INT32_MAX));
  const std::wstring& start = reader.Read(i, wanted);
  Match match =
      CompareHeadword(dict, lower, start, start.size() == static_cast<size_t>(wanted), key);
  if (match == Match::kYes || match == Match::kNo)
    return match == Match::kYes;
  const std::wstring& whole = reader.Read(i, -1);
  if (match == Match::kReadMore) {
    match = CompareHeadword(dict, lower, whole, false, key);
    if (match != Match::kAskSystem)
      return match == Match::kYes;
  }
  return FoldHeadword(dict, HeadwordOf(whole)) == key;
}

// Whether entry i's beginning, lower-cased but not letter-converted, sorts before `lowered`.
bool SortsBefore(EntryReader& reader, int32_t i, const std::wstring& lowered) {
  std::wstring& text = reader.Read(i, dict_format::kKeyChars);
  LowerCaseUnits(text.data(), text.size());
  return CompareText(text, lowered) < 0;
}

// The first entry in [low, high] whose beginning, lower-cased but not letter-converted, does not
// sort before `lowered`, given that entry high does not (or is the entry count).
int32_t Bisect(EntryReader& reader, const std::wstring& lowered, int32_t low, int32_t high) {
  while (low < high) {
    const int32_t mid = low + (high - low) / 2;
    if (SortsBefore(reader, mid, lowered)) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

// The first entry whose beginning, lower-cased but not letter-converted, does not sort before
// `lowered` (the entry count when every entry does): where `lowered` stands in the order of a
// sorted index, which letter conversion does not change. Given that the place is at or after
// `from`, it is looked for from there upwards in steps that double, then by halves, so that a
// place close to `from` costs few comparisons.
int32_t SortPlaceFrom(EntryReader& reader, const std::wstring& lowered, int32_t from) {
  const int32_t count = reader.Count();
  int32_t low = from, high = count;
  for (int64_t step = 1; low < count; step *= 2) {
    const auto probe = static_cast<int32_t>(std::min<int64_t>(from + step - 1, count - 1));
    if (!SortsBefore(reader, probe, lowered)) {
      high = probe;
      break;
    }
    low = probe + 1;
  }
  return Bisect(reader, lowered, low, high);
}

// The same, given that the place is at or before `to`: looked for from there downwards.
int32_t SortPlaceUpTo(EntryReader& reader, const std::wstring& lowered, int32_t to) {
  int32_t low = 0, high = to;
  for (int64_t step = 1; high > 0; step *= 2) {
    const auto probe = static_cast<int32_t>(std::max<int64_t>(to - step, 0));
    if (SortsBefore(reader, probe, lowered)) {
      low = probe + 1;
      break;
    }
    high = probe;
  }
  return Bisect(reader, lowered, low, high);
}

// The stretch of entries looked at around `place`, within the index.
std::pair<int32_t, int32_t> StretchAround(int32_t place, int32_t count) {
  return {std::max(0, place - kHeadwordScanBehind),
          static_cast<int32_t>(
              std::min<int64_t>(count - int64_t{1}, int64_t{place} + kHeadwordScanAhead))};
}

// The first entry in [from, to] whose headword equals `key`; -1 when none does.
int32_t FirstHeadwordMatch(TADict& dict, EntryReader& reader, int32_t from, int32_t to,
                           const std::wstring& key) {
  for (int32_t i = from; i <= to; ++i) {
    if (HeadwordEquals(dict, reader, i, key))
      return i;
  }
  return -1;
}

}  // namespace

std::wstring FoldHeadword(const TADict& dict, const std::wstring& text) {
  return dict.ConvertLetters(LowerCase(WithoutCombiningMarks(text)));
}

std::wstring HeadwordOf(const std::wstring& entryText) {
  return entryText.substr(0, entryText.find_first_of(L"\r\n"));
}

// The entries looked at are those of the stretches around FindWord's answer and around the place
// of the typed text followed by a line break, in ascending order. One comparison tells on which
// side of the answer that place lies. When it lies at or after the answer, the stretch around
// the answer comes first, and a headword found there is the result without the place's search.
HeadwordMatch MatchHeadword(TADict& dict, const std::wstring& typed) {
  int32_t count = 0;
  const int32_t found = dict.FindWord(typed, count);
  // The typed text as headwords are compared, and as it stands in the order of a sorted index
  // when a line break follows it.
  const std::wstring lowered = LowerCase(WithoutCombiningMarks(typed)) + L"\r\n";
  const std::wstring key = dict.ConvertLetters(lowered.substr(0, lowered.size() - 2));
  if (key.empty())
    return {found, false};
  EntryReader reader(dict, count);
  const auto [from, to] = StretchAround(found, count);
  int32_t match = -1;
  if (found == 0 || SortsBefore(reader, found - 1, lowered)) {
    match = FirstHeadwordMatch(dict, reader, from, to, key);
    if (match < 0) {
      const auto [lineFrom, lineTo] = StretchAround(SortPlaceFrom(reader, lowered, found), count);
      match = FirstHeadwordMatch(dict, reader, std::max(lineFrom, to + 1), lineTo, key);
    }
  } else {
    const auto [lineFrom, lineTo] = StretchAround(SortPlaceUpTo(reader, lowered, found - 1), count);
    match = FirstHeadwordMatch(dict, reader, lineFrom, lineTo, key);
    if (match < 0)
      match = FirstHeadwordMatch(dict, reader, std::max(from, lineTo + 1), to, key);
  }
  return match >= 0 ? HeadwordMatch{match, true} : HeadwordMatch{found, false};
}

int32_t FindHeadword(TADict& dict, const std::wstring& typed) {
  return MatchHeadword(dict, typed).entry;
}

}  // namespace lexmora
