#pragma once
// Internal to the store (its tests and benchmark use it too): a word index read from its file
// (WordIndexFormat.h): the entries of each word, with where the word stands in them, and the
// words that are forms of each dictionary form.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/WordIndexFormat.h"

namespace lexmora::detail {

// The posting list of one word: the entries holding it, ascending, each with its PostingFlags,
// decoded as they are read.
class PostingList {
 public:
  PostingList(const uint8_t* begin, const uint8_t* end, uint32_t count, int32_t entryCount)
      : begin_(begin), end_(end), count_(count), entryCount_(entryCount) {}
  // The number of entries, as the word table gives it.
  uint32_t Count() const noexcept { return count_; }
  // Calls take(entry, flags) for each entry in ascending order until it returns false.
  template <typename Take>
  void ForEach(Take&& take) const {
    ForEachPosting(begin_, end_, entryCount_, take);
  }

 private:
  const uint8_t* begin_;
  const uint8_t* end_;
  uint32_t count_;
  int32_t entryCount_;
};

// A word index in memory: the bytes of its file.
class WordIndex {
 public:
  // The index of a file's bytes; null when they are damaged: a bad header, a length that does
  // not match it, a body whose checksum differs, or tables out of order.
  static std::unique_ptr<WordIndex> FromImage(std::vector<uint8_t> image);

  const WordIndexHeader& Header() const noexcept { return header_; }
  // The bytes of its file.
  const std::vector<uint8_t>& Image() const noexcept { return image_; }
  // The place of `word` (folded) in the word table; nothing when no entry holds it.
  std::optional<uint32_t> PlaceOf(std::wstring_view word) const;
  // The word at `place` of the word table.
  std::wstring_view WordAt(uint32_t place) const noexcept;
  // The posting list of the word at `place`.
  PostingList PostingsAt(uint32_t place) const noexcept;
  // The posting list of `word` (folded); nothing when no entry holds it.
  std::optional<PostingList> PostingsOf(std::wstring_view word) const;
  // The places of the words that are forms of the dictionary form `lemma` (folded); `lemma`
  // itself is not among them. None when no word is a form of it.
  std::vector<uint32_t> FormsOf(std::wstring_view lemma) const;

 private:
  WordIndex(std::vector<uint8_t> image, const WordIndexHeader& header,
            const WordIndexLayout& layout);
  std::wstring_view LemmaAt(uint32_t k) const noexcept;
  uint32_t FormStart(uint32_t k) const noexcept;
  bool TablesInOrder() const;
  bool LemmasInOrder() const;

  std::vector<uint8_t> image_;
  WordIndexHeader header_;
  const uint8_t* table_ = nullptr;
  const uint8_t* lemmaTable_ = nullptr;
  const wchar_t* pool_ = nullptr;
  const wchar_t* lemmaPool_ = nullptr;
  const uint8_t* forms_ = nullptr;
  const uint8_t* postings_ = nullptr;
};

// The word index of a dictionary whose file holds it, fresh and sound: its dictionary file's
// last-write time, entry order and rules as given. Null when the file is missing, cannot be
// opened, or is stale or damaged; a file of another length than its header gives is refused
// before its body is read. Raises EInOutError when reading an opened file fails.
std::unique_ptr<WordIndex> LoadWordIndex(const std::wstring& fileName, const FILETIME& dataTime,
                                         int32_t entryCount, uint64_t orderChecksum,
                                         uint64_t rulesFingerprint);

}  // namespace lexmora::detail
