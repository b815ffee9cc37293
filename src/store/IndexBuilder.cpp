// The index builder: scanning a dictionary file for its entries, sorting them by key, and
// writing the index file.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <unordered_map>

#include "base/Errors.h"
#include "base/Text.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"
#include "store/IndexWriter.h"
#include "store/RankedList.h"
#include "store/TextCompare.h"

namespace lexmora {

namespace {

constexpr uint32_t kReadBlockSize = 32768;
constexpr uint16_t kSeparator = dict_format::kEntrySeparator;
// Characters read for a sort key, and how many of them are kept.
constexpr uint32_t kKeyReadChars = dict_format::kKeyChars;
constexpr size_t kKeyChars = dict_format::kSortKeyChars;
// Up to this many entries a new key is placed by scanning the list from its end; from one more
// on, by halving.
constexpr size_t kLinearSearchLimit = 7;
// A long sorted scan gives its caller a chance to handle messages at least this often.
constexpr ULONGLONG kKeepAliveMilliseconds = 50;

IndexBuildHost defaultHost;
IndexBuildHost* currentHost = &defaultHost;

// Where a new key goes among n keys in sorted order, given compareAt(j), the comparison of key
// j with the new key. Up to kLinearSearchLimit keys: after the last key less than or equal to
// it, scanning from the end. From one more on, by halving: directly after the first equal key
// met, otherwise after the last smaller key.
template <typename CompareAt>
size_t InsertionPosition(size_t n, CompareAt compareAt) {
  if (n <= kLinearSearchLimit) {
    for (size_t j = n; j-- > 0;) {
      if (compareAt(j) <= 0)
        return j + 1;
    }
    return 0;
  }
  size_t low = 0, high = n;
  while (low < high) {
    const size_t mid = (low + high) / 2;
    const int c = compareAt(mid);
    if (c == 0)
      return mid + 1;
    if (c > 0) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low;
}

}  // namespace

EDictionaryTooLarge::EDictionaryTooLarge(const std::wstring& fullPath)
    : Exception(L"The dictionary file \"" + fullPath +
                ToWide(Format("\" is too large: dictionary files must be smaller than %lld bytes "
                              "(2 GiB).",
                              static_cast<long long>(kMaxDictionaryFileSize)))) {}

std::wstring ReadKeyAt(FileStream& data, int32_t offset) {
  data.Seek(offset);
  wchar_t buffer[kKeyReadChars];
  uint32_t got = data.Read(buffer, sizeof buffer);
  std::wstring key(buffer, std::min<size_t>(got / 2, kKeyChars));
  return LowerCase(std::move(key));
}

int32_t FindSortedPosition(FileStream& data, const TIndexList& list) {
  const int64_t start = data.Position();
  const std::wstring newKey = ReadKeyAt(data, static_cast<int32_t>(start));
  const size_t position = InsertionPosition(
      list.size(), [&](size_t j) { return CompareText(ReadKeyAt(data, list[j]), newKey); });
  data.Seek(start);
  return static_cast<int32_t>(position);
}

namespace {

// Orders the entries of a sorted scan with the decisions of FindSortedPosition, but with each
// key read once and the list held in a RankedList, so that a build costs O(n log n)
// comparisons and O(n log^2 n) in all rather than O(n^2).
//
// Keys: each block's units are lower-cased into one buffer the size of the file as the block
// is read, and an entry's key is a view into it. FindSortedPosition lower-cases the key's own
// characters on their own, so every key is checked against exactly that lower-casing; where
// the two could differ (a key running past the block, or a character whose lower case depends
// on its neighbours, as a surrogate pair cut by the key's end could), the entry keeps its key
// separately. Such entries are marked in the list by bit 0 of their offset, which is free
// because offsets are even.
class SortedInsertion {
 public:
  explicit SortedInsertion(int64_t fileSize)
      : units_(static_cast<size_t>(fileSize / 2)),
        lowered_(std::make_unique_for_overwrite<wchar_t[]>(units_ + 1)) {}

  size_t Size() const noexcept { return list_.Size(); }

  // Lower-cases the `count` units of a block that starts at unit `first`.
  void AddBlock(size_t first, const uint16_t* block, size_t count) {
    wchar_t* target = lowered_.get() + first;
    std::memcpy(target, block, count * 2);
    if (count > 0)
      CharLowerBuffW(target, static_cast<DWORD>(count));
  }

  // Inserts the entry at `offset`, whose key starts at unit `index` of the current block of
  // `count` units; `next` holds the first units of the following block (`nextCount` of them).
  void Insert(int32_t offset, const uint16_t* block, size_t index, size_t count,
              const uint16_t* next, size_t nextCount) {
    const int32_t entry = RegisterKey(offset, block, index, count, next, nextCount);
    const Key newKey = KeyOf(entry);
    const size_t position = InsertionPosition(
        list_.Size(), [&](size_t j) { return Compare(KeyOf(list_.At(j)), newKey); });
    list_.Insert(position, entry);
  }

  // Appends the offsets in sorted order to `list`.
  void MoveTo(TIndexList& list) {
    const size_t first = list.size();
    list_.MoveTo(list);
    for (size_t k = first; k < list.size(); ++k)
      list[k] &= ~int32_t{1};
    separateKeys_.clear();
  }

 private:
  struct Key {
    const wchar_t* text;
    int length;
  };

  // Returns the offset as it is kept in the list: marked when its key is kept separately.
  int32_t RegisterKey(int32_t offset, const uint16_t* block, size_t index, size_t count,
                      const uint16_t* next, size_t nextCount) {
    const size_t start = static_cast<size_t>(offset) / 2;
    const size_t length = std::min(kKeyChars, units_ - std::min(start, units_));
    const size_t inBlock = std::min(length, count - std::min(index, count));
    const size_t fromNext = std::min(length - inBlock, nextCount);
    wchar_t own[kKeyChars];
    std::memcpy(own, block + index, inBlock * 2);
    std::memcpy(own + inBlock, next, fromNext * 2);
    const size_t got = inBlock + fromNext;
    if (got > 0)
      CharLowerBuffW(own, static_cast<DWORD>(got));
    if (got == length && inBlock == length &&
        std::wmemcmp(own, lowered_.get() + start, length) == 0) {
      return offset;
    }
    separateKeys_.emplace(offset, std::wstring(own, got));
    return offset | 1;
  }

  Key KeyOf(int32_t entry) const {
    if ((entry & 1) != 0) {
      const std::wstring& key = separateKeys_.at(entry & ~int32_t{1});
      return {key.c_str(), static_cast<int>(key.size())};
    }
    const size_t start = static_cast<size_t>(entry) / 2;
    return {lowered_.get() + start, static_cast<int>(std::min(kKeyChars, units_ - start))};
  }

  // CompareText of the two keys. Equal texts compare equal without asking the system.
  static int Compare(const Key& a, const Key& b) {
    if (a.length == b.length && std::wmemcmp(a.text, b.text, static_cast<size_t>(a.length)) == 0)
      return 0;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.text, a.length, b.text,
                          b.length) -
           CSTR_EQUAL;
  }

  size_t units_;
  std::unique_ptr<wchar_t[]> lowered_;
  std::unordered_map<int32_t, std::wstring> separateKeys_;
  detail::RankedList list_;
};

// The room of an unsorted scan's list: before each block, room for the most offsets the block
// can add is made without moving the list, and the pages of that room are made present a
// megabyte at a time. One VirtualLock (then VirtualUnlock) per megabyte brings 256 pages in with
// a single call; left to first touches, each page costs a fault, which on some hosts (virtual
// machines, Wine) takes several microseconds. Where the system refuses the lock (a small
// working-set quota), the pages are simply touched as the offsets are written.
class ListRoom {
 public:
  explicit ListRoom(TIndexList& list) : list_(list) {}

  void Prepare(size_t count) {
    const size_t need = list_.size() + count;
    if (need > list_.capacity())
      list_.reserve(std::max(need, list_.capacity() + list_.capacity() / 2));
    if (list_.data() != base_) {
      base_ = list_.data();
      present_ = list_.size();
    }
    if (need <= present_)
      return;
    const size_t end = std::min(list_.capacity(), std::max(need, present_ + kPresentChunk));
    void* first = list_.data() + present_;
    const SIZE_T bytes = (end - present_) * sizeof(int32_t);
    if (VirtualLock(first, bytes))
      VirtualUnlock(first, bytes);
    present_ = end;
  }

 private:
  static constexpr size_t kPresentChunk = (1u << 20) / sizeof(int32_t);
  TIndexList& list_;
  const int32_t* base_ = nullptr;
  size_t present_ = 0;  // elements of the room whose pages are present
};

// Calls `found` with the index of every unit of `units` that is an entry separator, in order.
template <typename Found>
void ForEachSeparator(const uint16_t* units, uint32_t count, Found&& found) {
  const __m128i separator = _mm_set1_epi16(static_cast<short>(kSeparator));
  uint32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    auto mask = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, separator)));
    while (mask != 0) {
      const auto bit = static_cast<uint32_t>(__builtin_ctz(mask));
      found(i + bit / 2);
      mask &= ~(3u << bit);
    }
  }
  for (; i < count; ++i) {
    if (units[i] == kSeparator)
      found(i);
  }
}

}  // namespace

void ScanEntries(const std::wstring& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress) {
  ScanEntries(dataFileName, doSort, list, storedTime, progress, nullptr);
}

void ScanEntries(const std::string& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress) {
  ScanEntries(ToWide(dataFileName), doSort, list, storedTime, progress, nullptr);
}

void ScanEntries(const std::string& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress,
                 const KeepAliveCallback& keepAlive) {
  ScanEntries(ToWide(dataFileName), doSort, list, storedTime, progress, keepAlive);
}

void ScanEntries(const std::wstring& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress,
                 const KeepAliveCallback& keepAlive) {
  FileStream data = FileStream::OpenRead(dataFileName, FileStream::Share::DenyWrite);
  storedTime = FILETIME{};
  // The last-write time is taken from the open file on every path, as the scan ends.
  struct TimeTaker {
    FileStream& data;
    FILETIME& time;
    ~TimeTaker() { GetFileTime(data.Handle(), nullptr, nullptr, &time); }
  } timeTaker{data, storedTime};

  const int64_t size = data.Size();
  if (size >= kMaxDictionaryFileSize)
    throw EDictionaryTooLarge(ExpandFileName(dataFileName));
  const int64_t progressUnit = std::max<int64_t>(size / 100, 1);
  int64_t lastProgress = 0;
  int64_t blockStart = 0;
  // Code units are little-endian, as is every Windows machine, so the block is read as units.
  std::vector<uint16_t> buffer(kReadBlockSize / 2);
  // A sorted scan into a list that already holds offsets places the new ones among them with
  // FindSortedPosition itself, reading keys from the file.
  const bool literalSort = doSort && !list.empty();
  std::optional<SortedInsertion> sorted;
  uint16_t next[kKeyChars];
  if (doSort && !literalSort)
    sorted.emplace(size);
  auto count = [&] { return static_cast<int32_t>(sorted ? sorted->Size() : list.size()); };
  // Room for one entry per 64 bytes: most dictionaries never grow the list, and the pages
  // reserved beyond its end are never touched.
  if (!doSort)
    list.reserve(list.size() + static_cast<size_t>(size / 64));
  ListRoom room(list);
  ULONGLONG lastCall = GetTickCount64();

  try {
    for (;;) {
      const uint32_t got = data.Read(buffer.data(), kReadBlockSize);
      // The stream stays where the read left it, except that the sorted scan reads ahead and
      // FindSortedPosition reads keys; the position is tracked here as the builder sees it.
      int64_t position = blockStart + got;
      if (got > 0) {
        const uint32_t units = got / 2;
        if (!doSort)
          room.Prepare(units);
        uint32_t nextUnits = 0;
        if (sorted) {
          sorted->AddBlock(static_cast<size_t>(blockStart / 2), buffer.data(), units);
          if (got == kReadBlockSize && blockStart + kReadBlockSize < size) {
            nextUnits = data.Read(next, sizeof next) / 2;
            data.Seek(blockStart + kReadBlockSize);
          }
        }
        ForEachSeparator(buffer.data(), units, [&](uint32_t i) {
          const auto offset = static_cast<int32_t>(blockStart + 2 * int64_t{i} + 2);
          if (!doSort) {
            list.push_back(offset);
          } else if (sorted) {
            sorted->Insert(offset, buffer.data(), i + 1, units, next, nextUnits);
          } else {
            data.Seek(offset);
            const int32_t at = FindSortedPosition(data, list);
            list.insert(list.begin() + at, offset);
          }
        });
        // The next block starts where this one was meant to end.
        position = blockStart + kReadBlockSize;
        if (literalSort)
          data.Seek(position);
      }
      const int64_t value = position / progressUnit;
      if (value != lastProgress) {
        lastProgress = value;
        if (progress)
          progress(count());
        lastCall = GetTickCount64();
      } else if (keepAlive && GetTickCount64() - lastCall >= kKeepAliveMilliseconds) {
        keepAlive();
        lastCall = GetTickCount64();
      }
      blockStart = position;
      if (got != kReadBlockSize)
        break;
    }
  } catch (...) {
    if (sorted)
      sorted->MoveTo(list);
    throw;
  }
  if (sorted)
    sorted->MoveTo(list);
}

namespace detail {

// The two time records are written as zero first and get the real time only after every
// offset is on disk, so a write that fails part-way leaves a stored time that never matches a
// dictionary file and the next opening rebuilds. An existing index is overwritten in place
// rather than replaced: the dictionary may hold it open (without sharing deletion) while it is
// rebuilt, and zeroing its stored time needs no new disk space.
void WriteIndexFile(const std::wstring& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime, const IndexWriteHook& beforeBlock) {
  RecordFile file(dict_format::kIndexRecordBytes);
  if (FileExists(indexFileName)) {
    file.OpenExisting(indexFileName, RecordFile::Access::ReadWrite);
  } else {
    file.Create(indexFileName);
  }
  constexpr int64_t kTimeRecords = dict_format::kIndexTimeRecords;
  const uint32_t unset[kTimeRecords] = {0, 0};
  file.Seek(0);
  file.Write(unset, kTimeRecords);
  if (!SetEndOfFile(file.Handle()))
    RaiseLastError();
  for (size_t written = 0; written < list.size();) {
    if (beforeBlock)
      beforeBlock(written);
    const size_t count = std::min(detail::kWriteBlockRecords, list.size() - written);
    file.Write(list.data() + written, count);
    written += count;
  }
  const uint32_t time[kTimeRecords] = {storedTime.dwLowDateTime, storedTime.dwHighDateTime};
  file.Seek(0);
  file.Write(time, kTimeRecords);
}

}  // namespace detail

void WriteIndexFile(const std::wstring& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime) {
  detail::WriteIndexFile(indexFileName, list, storedTime, nullptr);
}

void WriteIndexFile(const std::string& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime) {
  detail::WriteIndexFile(ToWide(indexFileName), list, storedTime, nullptr);
}

void IndexBuildHost::BuildIndex(const IndexBuildRequest& request) {
  TIndexList list;
  FILETIME storedTime{};
  ScanEntries(request.dataFileName, request.doSort, list, storedTime, nullptr);
  WriteIndexFile(request.indexFileName, list, storedTime);
}

IndexBuildHost* SetIndexBuildHost(IndexBuildHost* host) {
  IndexBuildHost* previous = currentHost;
  currentHost = host != nullptr ? host : &defaultHost;
  return previous == &defaultHost ? nullptr : previous;
}

IndexBuildHost& CurrentIndexBuildHost() {
  return *currentHost;
}

}  // namespace lexmora
