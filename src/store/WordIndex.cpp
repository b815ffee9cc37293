#include "store/WordIndex.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"

namespace lexmora::detail {

namespace {

uint64_t SizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size))
    RaiseLastError();
  return static_cast<uint64_t>(size.QuadPart);
}

}  // namespace

std::vector<int32_t> EntriesInAll(std::vector<PostingList> lists, size_t limit) {
  std::vector<int32_t> found;
  if (lists.empty() || limit == 0)
    return found;
  // The rarest word first: the candidates only shrink from there.
  std::sort(lists.begin(), lists.end(),
            [](const PostingList& a, const PostingList& b) { return a.Count() < b.Count(); });
  const size_t first = lists.size() == 1 ? limit : SIZE_MAX;
  found.reserve(std::min<size_t>(lists[0].Count(), limit));
  lists[0].ForEach([&](int32_t entry) {
    found.push_back(entry);
    return found.size() < first;
  });
  for (size_t k = 1; k < lists.size() && !found.empty(); ++k) {
    const size_t keep = k + 1 == lists.size() ? limit : SIZE_MAX;
    size_t read = 0, kept = 0;
    lists[k].ForEach([&](int32_t entry) {
      while (read < found.size() && found[read] < entry)
        ++read;
      if (read == found.size())
        return false;
      if (found[read] == entry) {
        found[kept++] = entry;
        ++read;
      }
      return kept < keep;
    });
    found.resize(kept);
  }
  if (found.size() > limit)
    found.resize(limit);
  return found;
}

WordIndex::WordIndex(std::vector<uint8_t> image, const WordIndexHeader& header)
    : image_(std::move(image)), header_(header) {
  table_ = image_.data() + kHeaderSize;
  pool_ = reinterpret_cast<const wchar_t*>(image_.data() + PoolOffset(header_.wordCount));
  postings_ = image_.data() + PostingsOffset(header_.wordCount, header_.poolUnits);
}

std::unique_ptr<WordIndex> WordIndex::FromImage(std::vector<uint8_t> image) {
  const std::optional<WordIndexHeader> header = ParseHeader(image.data(), image.size());
  if (!header || header->entryCount < 0)
    return nullptr;
  if (!HoldsLengthOf(*header, image.size()) ||
      Checksum(image.data() + kHeaderSize, image.size() - kHeaderSize) != header->bodyChecksum) {
    return nullptr;
  }
  std::unique_ptr<WordIndex> index(new WordIndex(std::move(image), *header));
  if (!index->TablesInOrder())
    return nullptr;
  return index;
}

std::wstring_view WordIndex::WordAt(size_t k) const noexcept {
  const uint32_t start = LoadRecord(table_, k).poolStart;
  return {pool_ + start, LoadRecord(table_, k + 1).poolStart - start};
}

// The words ascend, none is empty, each has at least one entry and a byte per entry, and the
// last record ends the pool and the postings.
bool WordIndex::TablesInOrder() const {
  const size_t words = header_.wordCount;
  const WordRecord first = LoadRecord(table_, 0), ends = LoadRecord(table_, words);
  if (first.poolStart != 0 || first.postingStart != 0 || ends.poolStart != header_.poolUnits ||
      ends.postingStart != header_.postingBytes) {
    return false;
  }
  std::wstring_view previous;
  for (size_t k = 0; k < words; ++k) {
    const WordRecord record = LoadRecord(table_, k), next = LoadRecord(table_, k + 1);
    if (next.poolStart <= record.poolStart || next.postingStart < record.postingStart ||
        record.entries == 0 || record.entries > next.postingStart - record.postingStart ||
        record.entries > static_cast<uint32_t>(header_.entryCount)) {
      return false;
    }
    const std::wstring_view word = WordAt(k);
    if (k > 0 && !(previous < word))
      return false;
    previous = word;
  }
  return true;
}

std::optional<PostingList> WordIndex::PostingsOf(std::wstring_view word) const {
  size_t low = 0, high = header_.wordCount;
  while (low < high) {
    const size_t mid = (low + high) / 2;
    const int c = WordAt(mid).compare(word);
    if (c == 0) {
      const WordRecord record = LoadRecord(table_, mid);
      return PostingList(postings_ + record.postingStart,
                         postings_ + LoadRecord(table_, mid + 1).postingStart, record.entries,
                         header_.entryCount);
    }
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return std::nullopt;
}

std::vector<int32_t> WordIndex::Find(const std::vector<std::wstring>& words, int32_t limit) const {
  if (words.empty() || limit <= 0)
    return {};
  std::vector<PostingList> lists;
  for (const std::wstring& word : words) {
    const std::optional<PostingList> postings = PostingsOf(word);
    if (!postings)
      return {};
    lists.push_back(*postings);
  }
  return EntriesInAll(std::move(lists), static_cast<size_t>(limit));
}

std::unique_ptr<WordIndex> LoadWordIndex(const std::wstring& fileName, const FILETIME& dataTime,
                                         int32_t entryCount, uint64_t orderChecksum,
                                         uint64_t rulesFingerprint) {
  FileHandle file(CreateFileW(fileName.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return nullptr;
  const uint64_t size = SizeOf(file.Get());
  if (size < kHeaderSize)
    return nullptr;
  uint8_t head[kHeaderSize];
  DWORD got = 0;
  if (!ReadFile(file.Get(), head, kHeaderSize, &got, nullptr))
    RaiseLastError();
  const std::optional<WordIndexHeader> header = ParseHeader(head, got);
  if (!header || CompareFileTime(&header->dataTime, &dataTime) != 0 ||
      header->entryCount != entryCount || header->orderChecksum != orderChecksum ||
      header->rulesFingerprint != rulesFingerprint || !HoldsLengthOf(*header, size)) {
    return nullptr;
  }
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN))
    RaiseLastError();
  std::vector<uint8_t> image(static_cast<size_t>(size));
  ReadFully(file.Get(), image.data(), image.size());
  return WordIndex::FromImage(std::move(image));
}

}  // namespace lexmora::detail
