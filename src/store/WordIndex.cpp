// The word index behind the text search: the words of entry text, building the index from a
// dictionary's files, writing it safely, and reading and checking it again.
#include "store/WordIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

#include "base/CombiningMarks.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "store/DictFormat.h"
#include "store/MappedView.h"
#include "store/TextCompare.h"

namespace lexmora::detail {

namespace {

constexpr size_t kUnitCount = 65536;
// As much of an entry as ReadEntry gives when the whole entry is asked for.
constexpr size_t kWholeEntryChars = 10000;
constexpr char kMagic[8] = {'L', 'X', 'W', 'O', 'R', 'D', 'S', 0x1A};
constexpr size_t kTableRecordBytes = 12;
// Entries between two progress reports of a build.
constexpr int32_t kProgressEntries = 16384;

// A full disk raises "Disk full", as the runtime's writes do.
[[noreturn]] void RaiseLastError() {
  const DWORD code = GetLastError();
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL)
    throw EInOutError(101);
  throw EInOutError(code == 0 ? 5 : static_cast<int32_t>(code));
}

template <typename T>
void Put(std::vector<uint8_t>& bytes, size_t at, T value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

template <typename T>
T Get(const uint8_t* bytes, size_t at) {
  T value;
  std::memcpy(&value, bytes + at, sizeof value);
  return value;
}

// Reads the whole of an open file; raises EInOutError when it cannot.
std::vector<uint8_t> ReadAll(HANDLE file, uint64_t size) {
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t done = 0;
  while (done < bytes.size()) {
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr))
      RaiseLastError();
    if (got == 0)
      throw EInOutError(100);
    done += got;
  }
  return bytes;
}

uint64_t SizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size))
    RaiseLastError();
  return static_cast<uint64_t>(size.QuadPart);
}

// Gives a long piece of work chances to stop: `goOn` is asked at the first step and then once
// every kStepsBetweenStops steps (a step being a word placed, a block of postings copied, ...).
class Pacer {
 public:
  static constexpr size_t kStepsBetweenStops = size_t{1} << 15;
  explicit Pacer(const std::function<bool()>& goOn) : goOn_(goOn) {}
  // Counts `steps` steps; false when `goOn` was asked and said to stop.
  bool Step(size_t steps = 1) {
    steps_ += steps;
    if (steps_ < kStepsBetweenStops)
      return true;
    steps_ = 0;
    return goOn_();
  }

 private:
  const std::function<bool()>& goOn_;
  size_t steps_ = kStepsBetweenStops;
};

// Collects the words of the entries, entry by entry in ascending order, and lays them out as a
// word index file. Each word's entries are kept as they will be stored (distances in 7-bit
// groups) in a chain of small blocks, so that a word met once costs one block.
class IndexCollector {
 public:
  // Adds `entry` to the entries of `word` (folded); entries come in ascending order.
  void Add(const std::wstring& word, int32_t entry) {
    const uint32_t id = IdOf(word);
    if (last_[id] == entry)
      return;
    uint32_t delta = static_cast<uint32_t>(entry - last_[id]);
    last_[id] = entry;
    ++count_[id];
    do {
      const auto group = static_cast<uint8_t>(delta & 0x7F);
      delta >>= 7;
      AppendByte(id, delta != 0 ? static_cast<uint8_t>(group | 0x80) : group);
    } while (delta != 0);
  }

  // The file's bytes, with the header's other fields from `header`; nothing when `goOn`, asked
  // now and then, returns false.
  std::optional<std::vector<uint8_t>> Image(WordIndexHeader header,
                                            const std::function<bool()>& goOn) const {
    const auto words = static_cast<uint32_t>(last_.size());
    Pacer pacer(goOn);
    const std::optional<std::vector<uint32_t>> sorted = SortedIds(pacer);
    if (!sorted)
      return std::nullopt;
    const std::vector<uint32_t>& order = *sorted;

    header.wordCount = words;
    header.poolUnits = pool_.size();
    header.postingBytes = 0;
    for (uint32_t id = 0; id < words; ++id)
      header.postingBytes += bytes_[id];
    const size_t tableAt = kHeaderSize;
    const size_t poolAt = tableAt + (size_t{words} + 1) * kTableRecordBytes;
    const size_t postingsAt = poolAt + pool_.size() * 2;
    std::optional<std::vector<uint8_t>> made = ZeroedBytes(postingsAt + header.postingBytes, pacer);
    if (!made)
      return std::nullopt;
    std::vector<uint8_t>& image = *made;

    uint32_t poolStart = 0, postStart = 0;
    for (uint32_t k = 0; k < words; ++k) {
      if (!pacer.Step())
        return std::nullopt;
      const uint32_t id = order[k];
      const std::wstring_view word = WordOf(id);
      const size_t record = tableAt + size_t{k} * kTableRecordBytes;
      Put(image, record, poolStart);
      Put(image, record + 4, postStart);
      Put(image, record + 8, count_[id]);
      std::memcpy(image.data() + poolAt + size_t{poolStart} * 2, word.data(), word.size() * 2);
      if (!CopyPostings(id, image.data() + postingsAt + postStart, pacer))
        return std::nullopt;
      poolStart += static_cast<uint32_t>(word.size());
      postStart += bytes_[id];
    }
    const size_t end = tableAt + size_t{words} * kTableRecordBytes;
    Put(image, end, poolStart);
    Put(image, end + 4, postStart);
    Put(image, end + 8, uint32_t{0});

    header.bodyChecksum = Checksum(image.data() + kHeaderSize, image.size() - kHeaderSize);
    const std::vector<uint8_t> head = HeaderBytes(header);
    std::memcpy(image.data(), head.data(), head.size());
    return made;
  }

 private:
  static constexpr size_t kBlockBytes = 16;
  static constexpr uint32_t kNoBlock = 0xFFFFFFFF;

  // `size` zero bytes, made a few megabytes at a time with a chance to stop between them: the
  // pages of a large image are touched first here.
  static std::optional<std::vector<uint8_t>> ZeroedBytes(size_t size, Pacer& pacer) {
    constexpr size_t kBytesBetweenStops = size_t{4} << 20;
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
      if (!pacer.Step(Pacer::kStepsBetweenStops))
        return std::nullopt;
      bytes.resize(std::min(size, bytes.size() + kBytesBetweenStops));
    }
    return bytes;
  }

  // The word ids in ascending order of their words. Each is sorted by its first four units
  // (a word that ends sooner padded with zeros, which orders as the words do), and by the whole
  // word only where those are the same; runs of a pacer's steps are sorted one by one and then
  // merged in pairs, each word merged counting as a step.
  std::optional<std::vector<uint32_t>> SortedIds(Pacer& pacer) const {
    const size_t n = last_.size();
    std::vector<uint64_t> keys(n);
    std::vector<uint32_t> ids(n);
    for (uint32_t id = 0; id < n; ++id) {
      const std::wstring_view word = WordOf(id);
      uint64_t key = 0;
      for (size_t k = 0; k < 4; ++k)
        key = key << 16 | (k < word.size() ? static_cast<uint16_t>(word[k]) : 0u);
      keys[id] = key;
      ids[id] = id;
    }
    const auto less = [&](uint32_t a, uint32_t b) {
      return keys[a] != keys[b] ? keys[a] < keys[b] : WordOf(a) < WordOf(b);
    };
    const auto at = [](std::vector<uint32_t>& v, size_t k) {
      return v.begin() + static_cast<ptrdiff_t>(k);
    };
    constexpr size_t kRun = Pacer::kStepsBetweenStops;
    for (size_t start = 0; start < n; start += kRun) {
      if (!pacer.Step(kRun))
        return std::nullopt;
      std::sort(at(ids, start), at(ids, std::min(n, start + kRun)), less);
    }
    std::vector<uint32_t> merged(n);
    for (size_t run = kRun; run < n; run *= 2) {
      for (size_t start = 0; start < n; start += 2 * run) {
        const size_t middle = std::min(n, start + run), end = std::min(n, start + 2 * run);
        for (size_t i = start, j = middle, out = start; out < end; ++out) {
          if (!pacer.Step())
            return std::nullopt;
          const bool left = j == end || (i < middle && !less(ids[j], ids[i]));
          merged[out] = left ? ids[i++] : ids[j++];
        }
      }
      ids.swap(merged);
    }
    return ids;
  }

  static uint64_t HashOf(std::wstring_view word) {
    uint64_t h = 14695981039346656037ull;
    for (wchar_t c : word)
      h = (h ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    return h ^ (h >> 29);
  }

  std::wstring_view WordOf(uint32_t id) const {
    return {pool_.data() + start_[id], start_[id + 1] - start_[id]};
  }

  uint32_t IdOf(const std::wstring& word) {
    if ((last_.size() + 1) * 2 > slots_.size())
      Grow();
    const uint64_t hash = HashOf(word);
    const auto shortHash = static_cast<uint32_t>(hash);
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const uint32_t held = slots_[slot];
      if (held == 0) {
        const auto id = static_cast<uint32_t>(last_.size());
        slots_[slot] = id + 1;
        hashes_.push_back(shortHash);
        pool_.insert(pool_.end(), word.begin(), word.end());
        start_.push_back(static_cast<uint32_t>(pool_.size()));
        last_.push_back(-1);
        count_.push_back(0);
        bytes_.push_back(0);
        const uint32_t block = NewBlock();
        head_.push_back(block);
        tail_.push_back(block);
        fill_.push_back(0);
        return id;
      }
      const uint32_t id = held - 1;
      if (hashes_[id] == shortHash && WordOf(id) == std::wstring_view(word))
        return id;
    }
  }

  void Grow() {
    std::vector<uint32_t> slots(std::max<size_t>(slots_.size() * 2, 1024), 0);
    const size_t mask = slots.size() - 1;
    for (uint32_t id = 0; id < last_.size(); ++id) {
      size_t slot = HashOf(WordOf(id)) & mask;
      while (slots[slot] != 0)
        slot = (slot + 1) & mask;
      slots[slot] = id + 1;
    }
    slots_ = std::move(slots);
  }

  uint32_t NewBlock() {
    const auto block = static_cast<uint32_t>(next_.size());
    next_.push_back(kNoBlock);
    blocks_.resize(blocks_.size() + kBlockBytes);
    return block;
  }

  void AppendByte(uint32_t id, uint8_t byte) {
    if (fill_[id] == kBlockBytes) {
      const uint32_t block = NewBlock();
      next_[tail_[id]] = block;
      tail_[id] = block;
      fill_[id] = 0;
    }
    blocks_[size_t{tail_[id]} * kBlockBytes + fill_[id]++] = byte;
    ++bytes_[id];
  }

  // Copies the postings of word `id` to `out`, each block a step; false when stopped.
  bool CopyPostings(uint32_t id, uint8_t* out, Pacer& pacer) const {
    uint32_t left = bytes_[id];
    for (uint32_t block = head_[id]; left > 0; block = next_[block]) {
      if (!pacer.Step())
        return false;
      const auto n = static_cast<uint32_t>(std::min<size_t>(left, kBlockBytes));
      std::memcpy(out, blocks_.data() + size_t{block} * kBlockBytes, n);
      out += n;
      left -= n;
    }
    return true;
  }

  // The vocabulary: open addressing over word ids (id + 1; 0 marks a free slot).
  std::vector<uint32_t> slots_;
  std::vector<uint32_t> hashes_;
  std::vector<wchar_t> pool_;
  std::vector<uint32_t> start_{0};
  // Per word: the last entry added, the entries and bytes so far, and its chain of blocks.
  std::vector<int32_t> last_;
  std::vector<uint32_t> count_;
  std::vector<uint32_t> bytes_;
  std::vector<uint32_t> head_, tail_;
  std::vector<uint8_t> fill_;
  std::vector<uint8_t> blocks_;
  std::vector<uint32_t> next_;
};

// The text of an entry as ReadEntry gives it in full: at most kWholeEntryChars units, up to its
// separator; nothing for an offset that cannot start an entry.
std::wstring_view EntryText(const wchar_t* units, int64_t fileSize, int32_t offset) {
  if (offset < 2 || offset % 2 != 0 || offset >= fileSize)
    return {};
  const wchar_t* text = units + offset / 2;
  const auto length =
      static_cast<size_t>(std::min<int64_t>(kWholeEntryChars, (fileSize - offset) / 2));
  const wchar_t* end = std::find(text, text + length, dict_format::kEntrySeparator);
  return {text, static_cast<size_t>(end - text)};
}

// Entries read out of a view of the dictionary file by guarded copies, so that a file cut
// shorter under the view (which only programs outside Windows can do) raises "Read beyond end
// of file" instead of faulting. Most entries are short: a first piece is copied, and the rest
// of the entry only when the piece holds no separator.
class ViewedEntries {
 public:
  explicit ViewedEntries(const MappedView& view) : view_(view) {}

  // The entry at `offset` as EntryText gives it.
  std::wstring_view Text(int32_t offset) {
    const int64_t size = view_.Size();
    if (offset < 2 || offset % 2 != 0 || offset >= size)
      return {};
    const auto length =
        static_cast<size_t>(std::min<int64_t>(kWholeEntryChars, (size - offset) / 2));
    buffer_.resize(length);
    size_t have = 0;
    for (size_t piece = kFirstPiece; have < length; piece = length) {
      const size_t upTo = std::min(piece, length);
      if (!view_.CopyOut(buffer_.data() + have, offset + int64_t{2} * have, (upTo - have) * 2))
        throw EInOutError(100);
      const size_t end =
          std::wstring_view(buffer_.data(), upTo).find(dict_format::kEntrySeparator, have);
      if (end != std::wstring_view::npos)
        return {buffer_.data(), end};
      have = upTo;
    }
    return {buffer_.data(), length};
  }

 private:
  static constexpr size_t kFirstPiece = 512;
  const MappedView& view_;
  std::vector<wchar_t> buffer_;
};

// Decodes a posting list, calling take(entry) until it returns false; stops at the first value
// that cannot be an entry of `entryCount` (a sound index has none).
template <typename Take>
void ForEachPosting(const uint8_t* p, const uint8_t* end, int32_t entryCount, Take&& take) {
  int64_t entry = -1;
  while (p < end) {
    uint32_t delta = *p++;
    if (delta >= 0x80) {
      delta &= 0x7F;
      for (int shift = 7;; shift += 7) {
        if (p == end || shift > 28)
          return;
        const uint8_t byte = *p++;
        delta |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80)
          break;
      }
    }
    entry += delta;
    if (delta == 0 || entry >= entryCount)
      return;
    if (!take(static_cast<int32_t>(entry)))
      return;
  }
}

}  // namespace

WordRules MakeWordRules(const TADict& dict, bool ignoreMarks) {
  std::wstring all(kUnitCount, L'\0');
  for (size_t u = 0; u < kUnitCount; ++u)
    all[u] = static_cast<wchar_t>(u);
  std::vector<WORD> type1(kUnitCount), type3(kUnitCount);
  if (!GetStringTypeW(CT_CTYPE1, all.data(), static_cast<int>(kUnitCount), type1.data()) ||
      !GetStringTypeW(CT_CTYPE3, all.data(), static_cast<int>(kUnitCount), type3.data())) {
    RaiseLastError();
  }
  WordRules rules;
  rules.kind.resize(kUnitCount);
  for (size_t u = 0; u < kUnitCount; ++u) {
    uint8_t kind = kBreakUnit;
    if (u >= 0xD800 && u <= 0xDFFF) {
      kind = kBreakUnit;  // a unit of a pair is no letter on its own
    } else if (IsCombiningMark(static_cast<char32_t>(u))) {
      kind = ignoreMarks ? kMarkUnit : kBreakUnit;
    } else if ((type1[u] & (C1_ALPHA | C1_DIGIT)) != 0) {
      kind = kLetterUnit;
    } else if ((type3[u] & C3_VOWELMARK) != 0) {
      kind = ignoreMarks ? kJoinedUnit : kBreakUnit;
    }
    rules.kind[u] = kind;
  }
  const std::wstring folded = dict.ConvertLetters(LowerCase(all));
  rules.fold.assign(folded.begin(), folded.end());
  rules.fold.resize(kUnitCount, L'\0');
  const uint64_t kindSum = Checksum(rules.kind.data(), rules.kind.size());
  const uint64_t foldSum =
      Checksum(reinterpret_cast<const uint8_t*>(rules.fold.data()), rules.fold.size() * 2);
  rules.fingerprint = kindSum ^ std::rotl(foldSum, 17);
  return rules;
}

std::vector<std::wstring> DistinctWords(const WordRules& rules, const std::wstring& text) {
  std::vector<std::wstring> words;
  std::wstring word;
  ForEachWord(rules, text.data(), text.size(), word, [&](size_t, size_t, const std::wstring& w) {
    if (std::find(words.begin(), words.end(), w) == words.end())
      words.push_back(w);
  });
  return words;
}

uint64_t Checksum(const uint8_t* data, size_t size) {
  constexpr uint64_t kP1 = 11400714785074694791ull, kP2 = 14029467366897019727ull,
                     kP3 = 1609587929392839161ull, kP4 = 9650029242287828579ull,
                     kP5 = 2870177450012600261ull;
  auto round = [](uint64_t acc, uint64_t input) { return std::rotl(acc + input * kP2, 31) * kP1; };
  uint64_t v1 = kP1 + kP2, v2 = kP2, v3 = 0, v4 = 0 - kP1;
  size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    v1 = round(v1, Get<uint64_t>(data, i));
    v2 = round(v2, Get<uint64_t>(data, i + 8));
    v3 = round(v3, Get<uint64_t>(data, i + 16));
    v4 = round(v4, Get<uint64_t>(data, i + 24));
  }
  uint64_t h = std::rotl(v1, 1) + std::rotl(v2, 7) + std::rotl(v3, 12) + std::rotl(v4, 18) + size;
  for (; i + 8 <= size; i += 8)
    h = std::rotl(h ^ round(0, Get<uint64_t>(data, i)), 27) * kP1 + kP4;
  for (; i < size; ++i)
    h = std::rotl(h ^ (data[i] * kP5), 11) * kP1;
  h ^= h >> 33;
  h *= kP2;
  h ^= h >> 29;
  h *= kP3;
  return h ^ (h >> 32);
}

std::vector<uint8_t> HeaderBytes(const WordIndexHeader& header) {
  std::vector<uint8_t> bytes(kHeaderSize);
  std::memcpy(bytes.data(), kMagic, sizeof kMagic);
  Put(bytes, 8, kWordIndexVersion);
  Put(bytes, 12, static_cast<uint32_t>(kHeaderSize));
  Put(bytes, 16, static_cast<uint32_t>(header.dataTime.dwLowDateTime));
  Put(bytes, 20, static_cast<uint32_t>(header.dataTime.dwHighDateTime));
  Put(bytes, 24, header.entryCount);
  Put(bytes, 28, header.wordCount);
  Put(bytes, 32, header.orderChecksum);
  Put(bytes, 40, header.rulesFingerprint);
  Put(bytes, 48, header.poolUnits);
  Put(bytes, 56, header.postingBytes);
  Put(bytes, 64, header.bodyChecksum);
  Put(bytes, 72, Checksum(bytes.data(), 72));
  return bytes;
}

std::optional<WordIndexHeader> ParseHeader(const uint8_t* data, size_t size) {
  if (size < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0 ||
      Get<uint32_t>(data, 8) != kWordIndexVersion || Get<uint32_t>(data, 12) != kHeaderSize ||
      Get<uint64_t>(data, 72) != Checksum(data, 72)) {
    return std::nullopt;
  }
  WordIndexHeader header;
  header.dataTime.dwLowDateTime = Get<uint32_t>(data, 16);
  header.dataTime.dwHighDateTime = Get<uint32_t>(data, 20);
  header.entryCount = Get<int32_t>(data, 24);
  header.wordCount = Get<uint32_t>(data, 28);
  header.orderChecksum = Get<uint64_t>(data, 32);
  header.rulesFingerprint = Get<uint64_t>(data, 40);
  header.poolUnits = Get<uint64_t>(data, 48);
  header.postingBytes = Get<uint64_t>(data, 56);
  header.bodyChecksum = Get<uint64_t>(data, 64);
  return header;
}

// True when a file of `size` bytes is as long as `header` says: header, word table, pool and
// postings. Each part is checked against the size before the sizes are added, so nothing
// overflows.
bool HoldsLengthOf(const WordIndexHeader& header, uint64_t size) {
  const uint64_t table = (uint64_t{header.wordCount} + 1) * kTableRecordBytes;
  return header.poolUnits <= size && header.postingBytes <= size &&
         kHeaderSize + table + header.poolUnits * 2 + header.postingBytes == size;
}

WordIndex::WordIndex(std::vector<uint8_t> image, const WordIndexHeader& header)
    : image_(std::move(image)), header_(header) {
  table_ = image_.data() + kHeaderSize;
  pool_ = reinterpret_cast<const wchar_t*>(table_ +
                                           (size_t{header_.wordCount} + 1) * kTableRecordBytes);
  postings_ = reinterpret_cast<const uint8_t*>(pool_ + header_.poolUnits);
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

uint32_t WordIndex::TableValue(size_t record, size_t field) const noexcept {
  return Get<uint32_t>(table_, record * kTableRecordBytes + field * 4);
}

// The words ascend, none is empty, each has at least one entry and a byte per entry, and the
// last record ends the pool and the postings.
bool WordIndex::TablesInOrder() const {
  const size_t words = header_.wordCount;
  if (TableValue(0, 0) != 0 || TableValue(0, 1) != 0 || TableValue(words, 0) != header_.poolUnits ||
      TableValue(words, 1) != header_.postingBytes) {
    return false;
  }
  std::wstring_view previous;
  for (size_t k = 0; k < words; ++k) {
    const uint32_t poolStart = TableValue(k, 0), poolEnd = TableValue(k + 1, 0);
    const uint32_t postStart = TableValue(k, 1), postEnd = TableValue(k + 1, 1);
    const uint32_t count = TableValue(k, 2);
    if (poolEnd <= poolStart || postEnd < postStart || count == 0 || count > postEnd - postStart ||
        count > static_cast<uint32_t>(header_.entryCount)) {
      return false;
    }
    const std::wstring_view word(pool_ + poolStart, poolEnd - poolStart);
    if (k > 0 && !(previous < word))
      return false;
    previous = word;
  }
  return true;
}

std::optional<WordIndex::Postings> WordIndex::Lookup(const std::wstring& word) const {
  size_t low = 0, high = header_.wordCount;
  const std::wstring_view wanted(word);
  while (low < high) {
    const size_t mid = (low + high) / 2;
    const uint32_t start = TableValue(mid, 0);
    const std::wstring_view held(pool_ + start, TableValue(mid + 1, 0) - start);
    const int c = held.compare(wanted);
    if (c == 0) {
      return Postings{postings_ + TableValue(mid, 1), postings_ + TableValue(mid + 1, 1),
                      TableValue(mid, 2)};
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
  std::vector<int32_t> found;
  if (words.empty() || limit <= 0)
    return found;
  std::vector<Postings> lists;
  for (const std::wstring& word : words) {
    const std::optional<Postings> postings = Lookup(word);
    if (!postings)
      return found;
    lists.push_back(*postings);
  }
  // The rarest word first: the candidates only shrink from there.
  std::sort(lists.begin(), lists.end(),
            [](const Postings& a, const Postings& b) { return a.count < b.count; });
  const auto wanted = static_cast<size_t>(limit);
  const size_t first = lists.size() == 1 ? wanted : SIZE_MAX;
  found.reserve(std::min<size_t>(lists[0].count, wanted));
  ForEachPosting(lists[0].begin, lists[0].end, header_.entryCount, [&](int32_t entry) {
    found.push_back(entry);
    return found.size() < first;
  });
  for (size_t k = 1; k < lists.size() && !found.empty(); ++k) {
    const size_t keep = k + 1 == lists.size() ? wanted : SIZE_MAX;
    size_t read = 0, kept = 0;
    ForEachPosting(lists[k].begin, lists[k].end, header_.entryCount, [&](int32_t entry) {
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
  if (found.size() > wanted)
    found.resize(wanted);
  return found;
}

uint64_t EntryOrderChecksum(const TIndexList& offsets) {
  return Checksum(reinterpret_cast<const uint8_t*>(offsets.data()), offsets.size() * 4);
}

namespace {

// Adds the words of every entry at `offsets` to `collector` and returns the time of the text
// read; nothing when `progress` stopped it. The dictionary file and its view are let go on
// return, before the index is laid out.
std::optional<FILETIME> CollectWords(const std::wstring& dataFileName, const TIndexList& offsets,
                                     const WordRules& rules, const WordIndexProgress& progress,
                                     IndexCollector& collector) {
  const auto count = static_cast<int32_t>(offsets.size());
  FileStream data = FileStream::OpenRead(dataFileName, FileStream::Share::DenyWrite);
  const int64_t size = data.Size();
  if (size >= kMaxDictionaryFileSize)
    throw EDictionaryTooLarge(ExpandFileName(dataFileName));
  // The file's units through a view of it, or read into memory where no view is granted.
  MappedView view;
  std::vector<uint8_t> copy;
  if (!view.Map(data.Handle(), size) && size > 0)
    copy = ReadAll(data.Handle(), static_cast<uint64_t>(size));
  ViewedEntries viewed(view);

  std::wstring word;
  for (int32_t entry = 0; entry < count; ++entry) {
    if (entry % kProgressEntries == 0 && progress && !progress(entry, count))
      return std::nullopt;
    const int32_t offset = offsets[static_cast<size_t>(entry)];
    const std::wstring_view text =
        view.Size() > 0 ? viewed.Text(offset)
                        : EntryText(reinterpret_cast<const wchar_t*>(copy.data()), size, offset);
    ForEachWord(rules, text.data(), text.size(), word,
                [&](size_t, size_t, const std::wstring& w) { collector.Add(w, entry); });
  }
  // Writing is denied to others while the file is open here, so this is the time of the text
  // read.
  FILETIME time{};
  if (!GetFileTime(data.Handle(), nullptr, nullptr, &time))
    RaiseLastError();
  return time;
}

}  // namespace

std::optional<std::vector<uint8_t>> BuildWordIndexImage(const std::wstring& dataFileName,
                                                        const TIndexList& offsets,
                                                        const WordRules& rules,
                                                        const WordIndexProgress& progress) {
  IndexCollector collector;
  const std::optional<FILETIME> time =
      CollectWords(dataFileName, offsets, rules, progress, collector);
  const auto count = static_cast<int32_t>(offsets.size());
  const auto goOn = [&] { return !progress || progress(count, count); };
  if (!time || !goOn())
    return std::nullopt;
  WordIndexHeader header;
  header.dataTime = *time;
  header.entryCount = count;
  header.orderChecksum = EntryOrderChecksum(offsets);
  header.rulesFingerprint = rules.fingerprint;
  return collector.Image(header, goOn);
}

bool WriteWordIndexFile(const std::wstring& fileName, const std::vector<uint8_t>& image,
                        const WordIndexWriteHook& beforePiece, size_t pieceBytes) {
  const size_t slash = fileName.find_last_of(L"\\/");
  const std::wstring name = fileName.substr(slash == std::wstring::npos ? 0 : slash + 1);
  RemoveLeftoverTemporaries(fileName.substr(0, fileName.size() - name.size()), name + L".*.tmp");
  const std::wstring temporary = TemporaryNameFor(fileName, L".tmp");
  FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    RaiseLastError();
  size_t done = 0;
  try {
    while (done < image.size() && (!beforePiece || beforePiece(done))) {
      const auto piece =
          static_cast<DWORD>(std::min(std::max<size_t>(pieceBytes, 1), image.size() - done));
      DWORD put = 0;
      if (!WriteFile(file.Get(), image.data() + done, piece, &put, nullptr))
        RaiseLastError();
      if (put != piece)
        throw EInOutError(101);
      done += piece;
    }
    file.Reset();
    if (done == image.size() &&
        !MoveFileExW(temporary.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      RaiseLastError();
    }
  } catch (...) {
    file.Reset();
    DeleteFileW(temporary.c_str());
    throw;
  }
  if (done < image.size())
    DeleteFileW(temporary.c_str());  // abandoned
  return done == image.size();
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
  return WordIndex::FromImage(ReadAll(file.Get(), size));
}

}  // namespace lexmora::detail
