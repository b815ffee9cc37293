#include "import/SearchOrder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "base/Errors.h"
#include "import/Import.h"
#include "import/SourceFiles.h"
#include "store/DictFormat.h"
#include "store/TextCompare.h"

namespace lexmora::import {

namespace {

constexpr size_t kKeyChars = dict_format::kKeyChars;
constexpr DWORD kSortKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

// The search key of entry `i`, as the store reads and lower-cases it, or its first `units` code
// units (lower-casing maps each unit on its own).
void KeyOf(const EntryTable& entries, uint32_t i, std::wstring& key, size_t units = kKeyChars) {
  key.clear();
  entries.AppendText(i, key, units);
  LowerCaseKey(key);
}

constexpr size_t kRankBytes = 12;
// Characters whose sort key usually gives the first 12 bytes of the whole key's.
constexpr size_t kShortKeyUnits = 8;

// An entry with the first 12 bytes of its sort key (zeros after the key's end), as two numbers
// that compare as the bytes do.
struct Ranked {
  uint64_t high = 0;
  uint32_t low = 0;
  uint32_t entry = 0;
};

// Calls work(begin, end) for parts of [0, count) on as many threads as the machine has cores,
// and raises what any of them raised.
template <typename Work>
void InParts(size_t count, const Work& work) {
  const size_t parts = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
  std::vector<std::exception_ptr> failures(parts);
  auto part = [&](size_t k) {
    try {
      work(count * k / parts, count * (k + 1) / parts);
    } catch (...) {
      failures[k] = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  for (size_t k = 1; k < parts; ++k)
    threads.emplace_back(part, k);
  part(0);
  for (std::thread& thread : threads)
    thread.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure)
      std::rethrow_exception(failure);
  }
}

uint64_t BigEndian(const uint8_t* bytes) {
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i)
    value = value << 8 | bytes[i];
  return value;
}

// The system's sort key of the first `units` code units of `key` under the comparison's flags,
// in `buffer`; returns its length in bytes.
size_t SortKey(const std::wstring& key, size_t units, std::vector<uint8_t>& buffer) {
  const int length = static_cast<int>(std::min(units, key.size()));
  for (;;) {
    const int bytes =
        LCMapStringW(LOCALE_USER_DEFAULT, kSortKeyFlags, key.c_str(), length,
                     reinterpret_cast<LPWSTR>(buffer.data()), static_cast<int>(buffer.size()));
    if (bytes > 0)
      return static_cast<size_t>(bytes);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
      throw EImportError("The system cannot make a sort key: " + SystemText(GetLastError()));
    buffer.resize(buffer.size() * 2);
  }
}

// Entry `i` with the first 12 bytes of the sort key of its search key. A sort key begins with
// the primary weights of the characters, one after the other, up to the first byte 1: when
// those of the first `prefixUnits` characters fill the 12 bytes, they are the whole key's first
// 12 bytes, and the short key costs a fraction of the whole one. The order is checked in the
// end in any case.
Ranked RankEntry(const EntryTable& entries, uint32_t i, size_t prefixUnits, std::wstring& key,
                 std::vector<uint8_t>& buffer) {
  KeyOf(entries, i, key, prefixUnits + 1);
  size_t bytes = SortKey(key, prefixUnits, buffer);
  const auto rankEnd = buffer.begin() + static_cast<ptrdiff_t>(kRankBytes);
  const bool primaryFills = bytes > kRankBytes && std::find(buffer.begin(), rankEnd, 1) == rankEnd;
  if (key.size() > prefixUnits && !primaryFills) {
    KeyOf(entries, i, key);
    bytes = SortKey(key, key.size(), buffer);
  }
  uint8_t first[16] = {};
  std::copy_n(buffer.data(), std::min(bytes, kRankBytes), first);
  return {BigEndian(first), static_cast<uint32_t>(BigEndian(first + 8) >> 32), i};
}

// Puts ranked[begin, end), whose sort key bytes are all equal and which are in entry order, in
// the order of the comparison, equal keys staying in entry order.
void OrderByComparison(const EntryTable& entries, std::vector<Ranked>& ranked, size_t begin,
                       size_t end) {
  std::vector<std::pair<std::wstring, uint32_t>> keys(end - begin);
  for (size_t k = begin; k < end; ++k) {
    keys[k - begin].second = ranked[k].entry;
    KeyOf(entries, ranked[k].entry, keys[k - begin].first);
  }
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return CompareText(a.first, b.first) < 0; });
  for (size_t k = begin; k < end; ++k)
    ranked[k].entry = keys[k - begin].second;
}

// Whether order[begin, end] (the last one included) ascends by the comparison, with equal keys
// in entry order.
bool InSearchOrder(const EntryTable& entries, const std::vector<uint32_t>& order, size_t begin,
                   size_t end) {
  std::wstring previous, current;
  for (size_t k = begin; k <= end && k < order.size(); ++k) {
    KeyOf(entries, order[k], current);
    if (k > begin) {
      const int c = CompareText(previous, current);
      if (c > 0 || (c == 0 && order[k - 1] > order[k]))
        return false;
    }
    previous.swap(current);
  }
  return true;
}

}  // namespace

void LowerCaseKey(std::wstring& key) {
  LowerCaseUnits(key.data(), key.size());
}

bool InSearchOrder(const EntryTable& entries, const std::vector<uint32_t>& order) {
  std::atomic<bool> ordered = true;
  InParts(order.size(), [&](size_t begin, size_t end) {
    if (!InSearchOrder(entries, order, begin, end))
      ordered = false;
  });
  return ordered;
}

std::optional<std::vector<uint32_t>> RankedOrder(const EntryTable& entries, size_t prefixUnits) {
  std::vector<Ranked> ranked(entries.Size());
  InParts(ranked.size(), [&](size_t begin, size_t end) {
    std::wstring key;
    std::vector<uint8_t> buffer(1024);
    for (size_t i = begin; i < end; ++i)
      ranked[i] = RankEntry(entries, static_cast<uint32_t>(i), prefixUnits, key, buffer);
  });
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.high != b.high)
      return a.high < b.high;
    if (a.low != b.low)
      return a.low < b.low;
    return a.entry < b.entry;
  });
  for (size_t begin = 0; begin < ranked.size();) {
    size_t end = begin + 1;
    while (end < ranked.size() && ranked[end].high == ranked[begin].high &&
           ranked[end].low == ranked[begin].low)
      ++end;
    if (end - begin > 1)
      OrderByComparison(entries, ranked, begin, end);
    begin = end;
  }
  std::vector<uint32_t> order(ranked.size());
  for (size_t k = 0; k < ranked.size(); ++k)
    order[k] = ranked[k].entry;
  std::vector<Ranked>().swap(ranked);
  if (!InSearchOrder(entries, order))
    return std::nullopt;
  return order;
}

std::vector<uint32_t> SearchOrder(const EntryTable& entries) {
  // Short keys first, whole keys should the short ones fail the check, then the comparison.
  for (const size_t prefixUnits : {kShortKeyUnits, kKeyChars}) {
    if (std::optional<std::vector<uint32_t>> order = RankedOrder(entries, prefixUnits))
      return std::move(*order);
  }
  return SearchOrderByComparison(entries);
}

std::vector<uint32_t> SearchOrderByComparison(const EntryTable& entries) {
  std::vector<std::wstring> keys(entries.Size());
  for (size_t i = 0; i < keys.size(); ++i)
    KeyOf(entries, static_cast<uint32_t>(i), keys[i]);
  std::vector<uint32_t> order(entries.Size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<uint32_t>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return CompareText(keys[a], keys[b]) < 0; });
  return order;
}

}  // namespace lexmora::import
