#pragma once
// Internal to the store (its tests and benchmark use it too): building a word index from a
// dictionary's entries, as the bytes of its file (WordIndexFormat.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ADictU.h"
#include "store/WordIndexFormat.h"
#include "store/WordRules.h"

namespace lexmora {
class MorphLanguage;
}

namespace lexmora::detail {

class Pacer;

// The dictionary forms of the words of a build: for each, the words (by their ids in the
// PostingCollector) that are forms of it.
struct FormLinks {
  std::vector<std::wstring> lemmas;
  // (lemma, word id) pairs, in any order, repeats allowed.
  std::vector<std::pair<uint32_t, uint32_t>> links;
};

// The words of the entries and, for each, its posting list: the entries holding it. Each list is
// kept as it will be stored (distances in 7-bit groups) in a chain of small blocks, so that a word
// met once costs one block.
class PostingCollector {
 public:
  // Adds `entry` with `flags` (PostingFlags) to the posting list of `word` (folded) and returns
  // the word's id, the number of words added before it; entries come in ascending order, and an
  // entry added again to the same word counts once, with the flags of each time.
  uint32_t Add(const std::wstring& word, int32_t entry, uint8_t flags = 0);
  uint32_t WordCount() const noexcept { return static_cast<uint32_t>(last_.size()); }

  // The word index file's bytes, with `forms` and the header's other fields from `header`;
  // nothing when `goOn`, asked now and then, returns false.
  std::optional<std::vector<uint8_t>> Image(WordIndexHeader header, const FormLinks& forms,
                                            const std::function<bool()>& goOn);

 private:
  static constexpr size_t kBlockBytes = 16;
  static constexpr uint32_t kNoBlock = 0xFFFFFFFF;

  std::optional<std::vector<uint32_t>> SortedIds(Pacer& pacer) const;
  bool CopyPostings(uint32_t id, uint8_t* out, Pacer& pacer) const;
  // Stores the posting of word `id` that waits for more of its entry's flags.
  void StorePending(uint32_t id);
  std::wstring_view WordOf(uint32_t id) const {
    return {pool_.data() + start_[id], start_[id + 1] - start_[id]};
  }
  uint32_t IdOf(const std::wstring& word);
  void Grow();
  uint32_t NewBlock();
  void AppendByte(uint32_t id, uint8_t byte);

  // The vocabulary: open addressing over word ids (id + 1; 0 marks a free slot).
  std::vector<uint32_t> slots_;
  std::vector<uint32_t> hashes_;
  std::vector<wchar_t> pool_;
  std::vector<uint32_t> start_{0};
  // Per word: the last entry added, with its flags (stored once the next entry comes), the entry
  // stored before it, the entries and bytes so far, and its chain of blocks.
  std::vector<int32_t> last_;
  std::vector<uint8_t> lastFlags_;
  std::vector<int32_t> stored_;
  std::vector<uint32_t> count_;
  std::vector<uint32_t> bytes_;
  std::vector<uint32_t> head_, tail_;
  std::vector<uint8_t> fill_;
  std::vector<uint8_t> blocks_;
  std::vector<uint32_t> next_;
};

// The fingerprint a word index records of what made it besides the text: the word rules and the
// data of the language of its forms (none when null).
uint64_t WordIndexFingerprint(const WordRules& rules, const MorphLanguage* language);

// Called now and then during a build with the entries done and the entry count; returning
// false stops the build.
using WordIndexProgress = std::function<bool(int32_t done, int32_t total)>;

// Reads every entry of the dictionary (its data file at `offsets`, in their order, each entry as
// ReadEntry gives it in full) and returns the bytes of its word index file, with the dictionary
// forms that `language` (none when null) gives of each distinct word, asked once a word;
// nothing when `progress` stopped it. Raises EFOpenError or EInOutError when the file cannot be
// read.
std::optional<std::vector<uint8_t>> BuildWordIndexImage(const std::wstring& dataFileName,
                                                        const TIndexList& offsets,
                                                        const WordRules& rules,
                                                        MorphLanguage* language,
                                                        const WordIndexProgress& progress);

}  // namespace lexmora::detail
