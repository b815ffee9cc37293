#include "store/WordIndexBuilder.h"

#include <algorithm>
#include <cstring>

#include "store/WholeEntries.h"

namespace lexmora::detail {

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

namespace {

// Entries between two progress reports of a build.
constexpr int32_t kProgressEntries = 16384;

// `size` zero bytes, made a few megabytes at a time with a chance to stop between them: the
// pages of a large image are touched first here.
std::optional<std::vector<uint8_t>> ZeroedBytes(size_t size, Pacer& pacer) {
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

uint64_t HashOf(std::wstring_view word) {
  uint64_t h = 14695981039346656037ull;
  for (wchar_t c : word)
    h = (h ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  return h ^ (h >> 29);
}

// Adds the words of every entry at `offsets` to `collector` and returns the time of the text
// read; nothing when `progress` stopped it. The dictionary file and its view are let go on
// return, before the index is laid out.
std::optional<FILETIME> CollectWords(const std::wstring& dataFileName, const TIndexList& offsets,
                                     const WordRules& rules, const WordIndexProgress& progress,
                                     PostingCollector& collector) {
  const auto count = static_cast<int32_t>(offsets.size());
  WholeEntries entries(dataFileName);
  std::wstring word;
  for (int32_t entry = 0; entry < count; ++entry) {
    if (entry % kProgressEntries == 0 && progress && !progress(entry, count))
      return std::nullopt;
    const std::wstring_view text = entries.Text(offsets[static_cast<size_t>(entry)]);
    ForEachWord(rules, text.data(), text.size(), word,
                [&](size_t, size_t, const std::wstring& w) { collector.Add(w, entry); });
  }
  return entries.LastWriteTime();
}

}  // namespace

void PostingCollector::Add(const std::wstring& word, int32_t entry) {
  const uint32_t id = IdOf(word);
  if (last_[id] == entry)
    return;
  const auto delta = static_cast<uint32_t>(entry - last_[id]);
  last_[id] = entry;
  ++count_[id];
  EncodeDistance(delta, [&](uint8_t byte) { AppendByte(id, byte); });
}

std::optional<std::vector<uint8_t>> PostingCollector::Image(
    WordIndexHeader header, const std::function<bool()>& goOn) const {
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
  const size_t poolAt = PoolOffset(words);
  const size_t postingsAt = PostingsOffset(words, pool_.size());
  std::optional<std::vector<uint8_t>> made = ZeroedBytes(postingsAt + header.postingBytes, pacer);
  if (!made)
    return std::nullopt;
  std::vector<uint8_t>& image = *made;
  uint8_t* table = image.data() + kHeaderSize;

  WordRecord record;
  for (uint32_t k = 0; k < words; ++k) {
    if (!pacer.Step())
      return std::nullopt;
    const uint32_t id = order[k];
    const std::wstring_view word = WordOf(id);
    record.entries = count_[id];
    StoreRecord(table, k, record);
    std::memcpy(image.data() + poolAt + size_t{record.poolStart} * 2, word.data(), word.size() * 2);
    if (!CopyPostings(id, image.data() + postingsAt + record.postingStart, pacer))
      return std::nullopt;
    record.poolStart += static_cast<uint32_t>(word.size());
    record.postingStart += bytes_[id];
  }
  record.entries = 0;
  StoreRecord(table, words, record);  // the ends

  header.bodyChecksum = Checksum(image.data() + kHeaderSize, image.size() - kHeaderSize);
  const std::vector<uint8_t> head = HeaderBytes(header);
  std::memcpy(image.data(), head.data(), head.size());
  return made;
}

// The word ids in ascending order of their words. Each is sorted by its first four units
// (a word that ends sooner padded with zeros, which orders as the words do), and by the whole
// word only where those are the same; runs of a pacer's steps are sorted one by one and then
// merged in pairs, each word merged counting as a step.
std::optional<std::vector<uint32_t>> PostingCollector::SortedIds(Pacer& pacer) const {
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

uint32_t PostingCollector::IdOf(const std::wstring& word) {
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

void PostingCollector::Grow() {
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

uint32_t PostingCollector::NewBlock() {
  const auto block = static_cast<uint32_t>(next_.size());
  next_.push_back(kNoBlock);
  blocks_.resize(blocks_.size() + kBlockBytes);
  return block;
}

void PostingCollector::AppendByte(uint32_t id, uint8_t byte) {
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
bool PostingCollector::CopyPostings(uint32_t id, uint8_t* out, Pacer& pacer) const {
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

std::optional<std::vector<uint8_t>> BuildWordIndexImage(const std::wstring& dataFileName,
                                                        const TIndexList& offsets,
                                                        const WordRules& rules,
                                                        const WordIndexProgress& progress) {
  PostingCollector collector;
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

}  // namespace lexmora::detail
