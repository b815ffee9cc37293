#include "store/HeadwordLookup.h"

#include <algorithm>
#include <utility>

#include "base/CombiningMarks.h"
#include "store/DictFormat.h"
#include "store/TextCompare.h"

namespace lexmora {

namespace {

// Whether entry i's headword, folded, equals `key` (folded, not empty). Reads a little more of
// the entry than the key, and the whole entry only when its first line runs on past that and
// could still equal the key (marks make a headword longer than its key). A headword whose length
// without marks differs from the key's is told apart before it is folded.
bool HeadwordEquals(TADict& dict, int32_t i, const std::wstring& key) {
  constexpr int32_t kSlack = 8;
  const auto wanted = static_cast<int32_t>(key.size()) + kSlack;
  const std::wstring text = dict.ReadEntry(i, wanted);
  const std::wstring line = HeadwordOf(text);
  std::wstring headword = WithoutCombiningMarks(line);
  if (line.size() == static_cast<size_t>(wanted)) {
    if (headword.size() > key.size())
      return false;
    headword = WithoutCombiningMarks(HeadwordOf(dict.ReadEntry(i, -1)));
  }
  return headword.size() == key.size() &&
         dict.ConvertLetters(LowerCase(std::move(headword))) == key;
}

// The first entry whose beginning, lower-cased but not letter-converted, does not sort before
// `lowered`: where `lowered` stands in the order of a sorted index, which letter conversion does
// not change. Entry count when every entry sorts before it.
int32_t SortPlace(TADict& dict, const std::wstring& lowered) {
  int32_t low = 0, high = dict.EntryCount();
  while (low < high) {
    const int32_t mid = low + (high - low) / 2;
    if (CompareText(LowerCase(dict.ReadEntry(mid, dict_format::kKeyChars)), lowered) < 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

}  // namespace

std::wstring FoldHeadword(const TADict& dict, const std::wstring& text) {
  return dict.ConvertLetters(LowerCase(WithoutCombiningMarks(text)));
}

std::wstring HeadwordOf(const std::wstring& entryText) {
  return entryText.substr(0, entryText.find_first_of(L"\r\n"));
}

int32_t FindHeadword(TADict& dict, const std::wstring& typed) {
  const int32_t found = dict.FindWord(typed);
  const std::wstring key = FoldHeadword(dict, typed);
  if (key.empty())
    return found;
  const int32_t lineStart = SortPlace(dict, LowerCase(WithoutCombiningMarks(typed)) + L"\r\n");
  const int32_t count = dict.EntryCount();
  // The two stretches of entries, in ascending order, as one when they meet.
  auto stretch = [count](int32_t around) {
    return std::pair{std::max(0, around - kHeadwordScanBehind),
                     static_cast<int32_t>(std::min<int64_t>(count - int64_t{1},
                                                            int64_t{around} + kHeadwordScanAhead))};
  };
  auto [from1, to1] = stretch(std::min(found, lineStart));
  auto [from2, to2] = stretch(std::max(found, lineStart));
  if (from2 <= to1 + 1) {
    to1 = to2;
    from2 = to2 + 1;
  }
  for (int32_t i = from1; i <= to1; ++i) {
    if (HeadwordEquals(dict, i, key))
      return i;
  }
  for (int32_t i = from2; i <= to2; ++i) {
    if (HeadwordEquals(dict, i, key))
      return i;
  }
  return found;
}

}  // namespace lexmora
