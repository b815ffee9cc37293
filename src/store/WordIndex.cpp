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

// The place of `key` among `count` strings in ascending order, at(k) giving the k-th.
template <typename At>
std::optional<uint32_t> PlaceAmong(uint32_t count, std::wstring_view key, At&& at) {
  uint32_t low = 0, high = count;
  while (low < high) {
    const uint32_t mid = low + (high - low) / 2;
    const int c = at(mid).compare(key);
    if (c == 0)
      return mid;
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return std::nullopt;
}

}  // namespace

WordIndex::WordIndex(std::vector<uint8_t> image, const WordIndexHeader& header,
                     const WordIndexLayout& layout)
    : image_(std::move(image)), header_(header) {
  table_ = image_.data() + kHeaderSize;
  lemmaTable_ = image_.data() + layout.lemmaTable;
  pool_ = reinterpret_cast<const wchar_t*>(image_.data() + layout.pool);
  lemmaPool_ = reinterpret_cast<const wchar_t*>(image_.data() + layout.lemmaPool);
  forms_ = image_.data() + layout.forms;
  postings_ = image_.data() + layout.postings;
}

std::unique_ptr<WordIndex> WordIndex::FromImage(std::vector<uint8_t> image) {
  const std::optional<WordIndexHeader> header = ParseHeader(image.data(), image.size());
  if (!header || header->entryCount < 0)
    return nullptr;
  const std::optional<WordIndexLayout> layout = LayoutOf(*header, image.size());
  if (!layout || layout->end != image.size() ||
      Checksum(image.data() + kHeaderSize, image.size() - kHeaderSize) != header->bodyChecksum) {
    return nullptr;
  }
  std::unique_ptr<WordIndex> index(new WordIndex(std::move(image), *header, *layout));
  if (!index->TablesInOrder() || !index->LemmasInOrder())
    return nullptr;
  return index;
}

std::wstring_view WordIndex::WordAt(uint32_t place) const noexcept {
  const uint32_t start = LoadRecord(table_, place).poolStart;
  return {pool_ + start, LoadRecord(table_, size_t{place} + 1).poolStart - start};
}

std::wstring_view WordIndex::LemmaAt(uint32_t k) const noexcept {
  const auto start = LoadAt<uint32_t>(lemmaTable_, size_t{k} * kLemmaRecordBytes);
  return {lemmaPool_ + start,
          LoadAt<uint32_t>(lemmaTable_, (size_t{k} + 1) * kLemmaRecordBytes) - start};
}

uint32_t WordIndex::FormStart(uint32_t k) const noexcept {
  return LoadAt<uint32_t>(lemmaTable_, size_t{k} * kLemmaRecordBytes + 4);
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
  for (uint32_t k = 0; k < words; ++k) {
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

// The dictionary forms ascend, none is empty, each has at least one form, the last record ends
// the lemma pool and the forms, and every form is a place of the word table.
bool WordIndex::LemmasInOrder() const {
  const uint32_t lemmas = header_.lemmaCount;
  if (LoadAt<uint32_t>(lemmaTable_, 0) != 0 || FormStart(0) != 0 ||
      LoadAt<uint32_t>(lemmaTable_, size_t{lemmas} * kLemmaRecordBytes) != header_.lemmaPoolUnits ||
      FormStart(lemmas) != header_.formCount) {
    return false;
  }
  std::wstring_view previous;
  for (uint32_t k = 0; k < lemmas; ++k) {
    const auto start = LoadAt<uint32_t>(lemmaTable_, size_t{k} * kLemmaRecordBytes);
    const auto end = LoadAt<uint32_t>(lemmaTable_, (size_t{k} + 1) * kLemmaRecordBytes);
    if (end <= start || FormStart(k + 1) <= FormStart(k))
      return false;
    const std::wstring_view lemma = LemmaAt(k);
    if (k > 0 && !(previous < lemma))
      return false;
    previous = lemma;
  }
  for (uint64_t k = 0; k < header_.formCount; ++k) {
    if (LoadAt<uint32_t>(forms_, k * 4) >= header_.wordCount)
      return false;
  }
  return true;
}

std::optional<uint32_t> WordIndex::PlaceOf(std::wstring_view word) const {
  return PlaceAmong(header_.wordCount, word, [this](uint32_t k) { return WordAt(k); });
}

PostingList WordIndex::PostingsAt(uint32_t place) const noexcept {
  const WordRecord record = LoadRecord(table_, place);
  return PostingList(postings_ + record.postingStart,
                     postings_ + LoadRecord(table_, size_t{place} + 1).postingStart, record.entries,
                     header_.entryCount);
}

std::optional<PostingList> WordIndex::PostingsOf(std::wstring_view word) const {
  const std::optional<uint32_t> place = PlaceOf(word);
  if (!place)
    return std::nullopt;
  return PostingsAt(*place);
}

std::vector<uint32_t> WordIndex::FormsOf(std::wstring_view lemma) const {
  std::vector<uint32_t> forms;
  const std::optional<uint32_t> k =
      PlaceAmong(header_.lemmaCount, lemma, [this](uint32_t m) { return LemmaAt(m); });
  if (k) {
    for (uint32_t f = FormStart(*k); f < FormStart(*k + 1); ++f)
      forms.push_back(LoadAt<uint32_t>(forms_, size_t{f} * 4));
  }
  return forms;
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
