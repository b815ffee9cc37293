#include "store/WordIndexBuilder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "morph/Morphology.h"
#include "store/EntryParts.h"
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

// Entries between two progress reports of a build, or sooner: words whose forms were asked.
constexpr int32_t kProgressEntries = 16384;
constexpr size_t kProgressAsks = 4096;

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

// The lemma table, the lemma pool and the forms of a word index, laid out.
struct LemmaTables {
  std::vector<uint32_t> poolStarts{0};  // per dictionary form, then the end
  std::vector<uint32_t> formStarts{0};  // so
  std::vector<wchar_t> pool;
  std::vector<uint32_t> forms;

  void CopyInto(uint8_t* image, const WordIndexLayout& layout) const {
    for (size_t k = 0; k < poolStarts.size(); ++k)
      StoreLemmaRecord(image + layout.lemmaTable, k, poolStarts[k], formStarts[k]);
    std::memcpy(image + layout.lemmaPool, pool.data(), pool.size() * 2);
    for (size_t k = 0; k < forms.size(); ++k)
      StoreAt(image + layout.forms, k * 4, forms[k]);
  }
};

// The dictionary forms in ascending order, each with its forms' places in the word table
// (`order` gives the word id at each place), ascending and each once; nothing when stopped.
std::optional<LemmaTables> LayOutLemmas(const FormLinks& links, const std::vector<uint32_t>& order,
                                        Pacer& pacer) {
  std::vector<uint32_t> placeOf(order.size());
  for (uint32_t k = 0; k < order.size(); ++k)
    placeOf[order[k]] = k;
  std::vector<uint32_t> sorted(links.lemmas.size());
  for (uint32_t k = 0; k < sorted.size(); ++k)
    sorted[k] = k;
  std::sort(sorted.begin(), sorted.end(),
            [&](uint32_t a, uint32_t b) { return links.lemmas[a] < links.lemmas[b]; });
  if (!pacer.Step(sorted.size()))
    return std::nullopt;
  std::vector<uint32_t> rank(sorted.size());
  for (uint32_t k = 0; k < sorted.size(); ++k)
    rank[sorted[k]] = k;
  // (rank of the dictionary form, place of the word) in one value, sorted, each once.
  std::vector<uint64_t> pairs;
  pairs.reserve(links.links.size());
  for (const auto& [lemma, word] : links.links)
    pairs.push_back(uint64_t{rank[lemma]} << 32 | placeOf[word]);
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  if (!pacer.Step(pairs.size()))
    return std::nullopt;
  LemmaTables tables;
  size_t next = 0;
  for (uint32_t k = 0; k < sorted.size(); ++k) {
    const std::wstring& lemma = links.lemmas[sorted[k]];
    tables.pool.insert(tables.pool.end(), lemma.begin(), lemma.end());
    for (; next < pairs.size() && pairs[next] >> 32 == k; ++next)
      tables.forms.push_back(static_cast<uint32_t>(pairs[next]));
    tables.poolStarts.push_back(static_cast<uint32_t>(tables.pool.size()));
    tables.formStarts.push_back(static_cast<uint32_t>(tables.forms.size()));
  }
  return tables;
}

// The flags of the words of a part of an entry.
uint8_t FlagsOf(PartKind kind, size_t words) {
  switch (kind) {
    case PartKind::Headword:
      return kInHeadword;
    case PartKind::Sense:
      return words == 1 ? kAloneAsSense : words <= kShortSenseWords ? kInShortSense : 0;
    case PartKind::Aside:
      break;
  }
  return 0;
}

bool HasDigit(const std::wstring& word) {
  return word.find_first_of(L"0123456789") != std::wstring::npos;
}

// The dictionary forms of the words met in a build, asked of the language once for each
// distinct spelling of a word (a word folded from "всё" and from "все" is asked of both).
class FormFinder {
 public:
  FormFinder(const WordRules& rules, MorphLanguage* language)
      : rules_(rules), language_(language) {}

  // Word `id` (folded: `word`) stands at text[start, start + length).
  void Note(uint32_t id, const std::wstring& word, const wchar_t* text, size_t start,
            size_t length) {
    if (language_ == nullptr)
      return;
    if (id >= asked_.size())
      asked_.resize(size_t{id} + 1, 0);
    if (!FoldingConverts(rules_, text, start, length)) {
      if (asked_[id] == 0) {
        asked_[id] = 1;
        Ask(id, word, word);
      }
    } else if (!HasDigit(word)) {
      std::wstring spelling = SpellingOf(rules_, text, start, length);
      if (spellings_.insert(spelling).second)
        Ask(id, word, spelling);
    }
  }
  // The number of times the language was asked.
  size_t Asked() const noexcept { return asks_; }
  FormLinks Take() { return std::move(forms_); }

 private:
  void Ask(uint32_t id, const std::wstring& word, const std::wstring& spelling) {
    if (HasDigit(word))
      return;
    ++asks_;
    for (const std::wstring& stem : language_->Stems(spelling)) {
      std::wstring lemma = FoldedWord(rules_, stem);
      if (lemma.empty() || lemma == word)
        continue;
      const auto [at, added] =
          lemmaIds_.try_emplace(lemma, static_cast<uint32_t>(forms_.lemmas.size()));
      if (added)
        forms_.lemmas.push_back(std::move(lemma));
      forms_.links.emplace_back(at->second, id);
    }
  }

  const WordRules& rules_;
  MorphLanguage* const language_;
  std::vector<uint8_t> asked_;                  // per word id: its own spelling was asked
  std::unordered_set<std::wstring> spellings_;  // the other spellings asked
  std::unordered_map<std::wstring, uint32_t> lemmaIds_;
  FormLinks forms_;
  size_t asks_ = 0;
};

// Adds the words of every entry at `offsets` to `collector`, and their forms to `forms`, and
// returns the time of the text read; nothing when `progress` stopped it. The dictionary file and
// its view are let go on return, before the index is laid out.
std::optional<FILETIME> CollectWords(const std::wstring& dataFileName, const TIndexList& offsets,
                                     const WordRules& rules, const WordIndexProgress& progress,
                                     PostingCollector& collector, FormFinder& forms) {
  const auto count = static_cast<int32_t>(offsets.size());
  WholeEntries entries(dataFileName);
  std::wstring word;
  PartWords sense, aside;
  size_t askedAtReport = 0;
  for (int32_t entry = 0; entry < count; ++entry) {
    // Asking the language for the forms of many new words takes a while: a report then too.
    const bool due =
        entry % kProgressEntries == 0 || forms.Asked() - askedAtReport >= kProgressAsks;
    if (due && progress) {
      askedAtReport = forms.Asked();
      if (!progress(entry, count))
        return std::nullopt;
    }
    const std::wstring_view text = entries.Text(offsets[static_cast<size_t>(entry)]);
    ForEachPart(rules, text.data(), text.size(), word, sense, aside,
                [&](PartKind kind, const PartWords& part) {
                  const uint8_t flags = FlagsOf(kind, part.Size());
                  for (size_t k = 0; k < part.Size(); ++k) {
                    const uint32_t id = collector.Add(part.Word(k), entry, flags);
                    forms.Note(id, part.Word(k), text.data(), part.Start(k), part.Length(k));
                  }
                });
  }
  return entries.LastWriteTime();
}

}  // namespace

uint32_t PostingCollector::Add(const std::wstring& word, int32_t entry, uint8_t flags) {
  const uint32_t id = IdOf(word);
  if (last_[id] == entry) {
    lastFlags_[id] |= flags;
    return id;
  }
  StorePending(id);
  last_[id] = entry;
  lastFlags_[id] = flags;
  ++count_[id];
  return id;
}

void PostingCollector::StorePending(uint32_t id) {
  if (last_[id] == stored_[id])
    return;
  const auto delta = static_cast<uint32_t>(last_[id] - stored_[id]);
  stored_[id] = last_[id];
  EncodePosting(delta, lastFlags_[id], [&](uint8_t byte) { AppendByte(id, byte); });
}

std::optional<std::vector<uint8_t>> PostingCollector::Image(WordIndexHeader header,
                                                            const FormLinks& forms,
                                                            const std::function<bool()>& goOn) {
  const auto words = static_cast<uint32_t>(last_.size());
  Pacer pacer(goOn);
  for (uint32_t id = 0; id < words; ++id)
    StorePending(id);
  const std::optional<std::vector<uint32_t>> sorted = SortedIds(pacer);
  if (!sorted)
    return std::nullopt;
  const std::vector<uint32_t>& order = *sorted;
  std::optional<LemmaTables> lemmas = LayOutLemmas(forms, order, pacer);
  if (!lemmas)
    return std::nullopt;

  header.wordCount = words;
  header.poolUnits = pool_.size();
  header.postingBytes = 0;
  for (uint32_t id = 0; id < words; ++id)
    header.postingBytes += bytes_[id];
  header.lemmaCount = static_cast<uint32_t>(lemmas->poolStarts.size() - 1);
  header.lemmaPoolUnits = lemmas->pool.size();
  header.formCount = lemmas->forms.size();
  const WordIndexLayout layout = *LayoutOf(header, UINT64_MAX / 16);
  std::optional<std::vector<uint8_t>> made = ZeroedBytes(layout.end, pacer);
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
    std::memcpy(image.data() + layout.pool + size_t{record.poolStart} * 2, word.data(),
                word.size() * 2);
    if (!CopyPostings(id, image.data() + layout.postings + record.postingStart, pacer))
      return std::nullopt;
    record.poolStart += static_cast<uint32_t>(word.size());
    record.postingStart += bytes_[id];
  }
  record.entries = 0;
  StoreRecord(table, words, record);  // the ends
  lemmas->CopyInto(image.data(), layout);

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
      lastFlags_.push_back(0);
      stored_.push_back(-1);
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

uint64_t WordIndexFingerprint(const WordRules& rules, const MorphLanguage* language) {
  return rules.fingerprint ^ std::rotl(language != nullptr ? language->DataStamp() : 0, 29);
}

std::optional<std::vector<uint8_t>> BuildWordIndexImage(const std::wstring& dataFileName,
                                                        const TIndexList& offsets,
                                                        const WordRules& rules,
                                                        MorphLanguage* language,
                                                        const WordIndexProgress& progress) {
  PostingCollector collector;
  FormFinder forms(rules, language);
  const std::optional<FILETIME> time =
      CollectWords(dataFileName, offsets, rules, progress, collector, forms);
  const auto count = static_cast<int32_t>(offsets.size());
  const auto goOn = [&] { return !progress || progress(count, count); };
  if (!time || !goOn())
    return std::nullopt;
  WordIndexHeader header;
  header.dataTime = *time;
  header.entryCount = count;
  header.orderChecksum = EntryOrderChecksum(offsets);
  header.rulesFingerprint = WordIndexFingerprint(rules, language);
  return collector.Image(header, forms.Take(), goOn);
}

}  // namespace lexmora::detail
