#pragma once
// Internal to the store (its tests and benchmark use it too): the words of entry text as the
// text search matches them, and the word index file behind the search.
//
// The word index file (<name>.wix beside <name>.dat), little-endian:
//   header, kHeaderSize bytes: magic, version, the dictionary file's last-write time, the entry
//     count, the word count W, a checksum of the index file's offsets (the entry order), the
//     fingerprint of the word rules, the pool's length in units, the postings' length in bytes,
//     a checksum of everything after the header, and a checksum of the header itself;
//   word table, W + 1 records of three 32-bit values: the word's first unit in the pool, its
//     first byte in the postings, and the number of entries holding it (the last record marks
//     the ends);
//   pool: the words one after the other, UTF-16, in ascending order of their code units;
//   postings: for each word the entries holding it, ascending, each as the distance from the one
//     before (from -1 for the first) in 7-bit groups, low group first, high bit set on all but
//     the last group.
// The words are stored folded: lower-cased, letter-converted, without combining marks.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/ADictU.h"

namespace lexmora::detail {

// What a unit of text is to the words.
enum UnitKind : uint8_t {
  kBreakUnit = 0,   // ends a word: spaces, punctuation, hyphens, apostrophes, ...
  kLetterUnit = 1,  // letters and digits: starts or continues a word
  kJoinedUnit = 2,  // spacing combining marks: continue a word, and count in it
  kMarkUnit = 3,    // combining marks (IsCombiningMark): continue a word, and are left out of it
};

// The units' kinds and their folded forms (lower case, then the dictionary's letter conversion),
// with a fingerprint of both, which a word index records to be rebuilt when they change.
struct WordRules {
  std::vector<uint8_t> kind;  // 65536 UnitKinds
  std::vector<wchar_t> fold;  // 65536 units
  uint64_t fingerprint = 0;
};

// The rules for `dict`. With ignoreMarks false, combining marks end words as punctuation does
// (only for measuring what ignoring them costs).
WordRules MakeWordRules(const TADict& dict, bool ignoreMarks = true);

// Calls found(start, length, word) for each word of text[0, count): where it stands in the text
// (its marks included) and the word as it is matched (folded, without marks), kept in `word`.
template <typename Found>
void ForEachWord(const WordRules& rules, const wchar_t* text, size_t count, std::wstring& word,
                 Found&& found) {
  const uint8_t* kind = rules.kind.data();
  const wchar_t* fold = rules.fold.data();
  size_t i = 0;
  for (;;) {
    while (i < count && kind[static_cast<uint16_t>(text[i])] != kLetterUnit)
      ++i;
    if (i == count)
      return;
    const size_t start = i;
    word.clear();
    for (; i < count; ++i) {
      const auto unit = static_cast<uint16_t>(text[i]);
      const uint8_t k = kind[unit];
      if (k == kLetterUnit || k == kJoinedUnit) {
        word.push_back(fold[unit]);
      } else if (k != kMarkUnit) {
        break;
      }
    }
    found(start, i - start, word);
  }
}

// The distinct words of `text`, folded, in the order they first appear.
std::vector<std::wstring> DistinctWords(const WordRules& rules, const std::wstring& text);

// A checksum of `size` bytes, for telling a damaged word index from a sound one.
uint64_t Checksum(const uint8_t* data, size_t size);

constexpr size_t kHeaderSize = 80;
constexpr uint32_t kWordIndexVersion = 1;

struct WordIndexHeader {
  FILETIME dataTime{};
  int32_t entryCount = 0;
  uint32_t wordCount = 0;
  uint64_t orderChecksum = 0;
  uint64_t rulesFingerprint = 0;
  uint64_t poolUnits = 0;
  uint64_t postingBytes = 0;
  uint64_t bodyChecksum = 0;
};

// The header's bytes, with magic, version and the header's own checksum.
std::vector<uint8_t> HeaderBytes(const WordIndexHeader& header);
// The header of a word index file's first bytes; nothing when they are no sound header.
std::optional<WordIndexHeader> ParseHeader(const uint8_t* data, size_t size);

// True when `size` bytes are the length that `header` gives its file.
bool HoldsLengthOf(const WordIndexHeader& header, uint64_t size);

// A word index in memory: the bytes of its file.
class WordIndex {
 public:
  // The index of a file's bytes; null when they are damaged: a bad header, a length that does
  // not match it, a body whose checksum differs, or tables out of order.
  static std::unique_ptr<WordIndex> FromImage(std::vector<uint8_t> image);

  const WordIndexHeader& Header() const noexcept { return header_; }
  // The bytes of its file.
  const std::vector<uint8_t>& Image() const noexcept { return image_; }
  // The entries holding every one of `words` (folded), ascending, at most `limit` of them.
  std::vector<int32_t> Find(const std::vector<std::wstring>& words, int32_t limit) const;

 private:
  WordIndex(std::vector<uint8_t> image, const WordIndexHeader& header);
  struct Postings {
    const uint8_t* begin;
    const uint8_t* end;
    uint32_t count;
  };
  std::optional<Postings> Lookup(const std::wstring& word) const;
  uint32_t TableValue(size_t record, size_t field) const noexcept;
  bool TablesInOrder() const;

  std::vector<uint8_t> image_;
  WordIndexHeader header_;
  const uint8_t* table_ = nullptr;
  const wchar_t* pool_ = nullptr;
  const uint8_t* postings_ = nullptr;
};

// The checksum of an entry order: of the entries' offsets in that order.
uint64_t EntryOrderChecksum(const TIndexList& offsets);

// Called now and then during a build with the entries done and the entry count; returning
// false stops the build.
using WordIndexProgress = std::function<bool(int32_t done, int32_t total)>;

// Reads every entry of the dictionary (its data file at `offsets`, in their order, each entry as
// ReadEntry gives it in full) and returns the bytes of its word index file; nothing when
// `progress` stopped it. Raises EFOpenError or EInOutError when the file cannot be read.
std::optional<std::vector<uint8_t>> BuildWordIndexImage(const std::wstring& dataFileName,
                                                        const TIndexList& offsets,
                                                        const WordRules& rules,
                                                        const WordIndexProgress& progress);

// Called before each piece of a word index file is written, with the bytes written so far;
// returning false abandons the write.
using WordIndexWriteHook = std::function<bool(size_t bytesWritten)>;
constexpr size_t kWritePieceBytes = size_t{1} << 20;

// Writes the file under a name of its own beside `fileName` and only then renames it to
// `fileName`, so that a failed or abandoned write never leaves a file of that name behind; the
// file of the other name is removed then. Returns false when `beforePiece` abandoned the write.
// Raises EInOutError.
bool WriteWordIndexFile(const std::wstring& fileName, const std::vector<uint8_t>& image,
                        const WordIndexWriteHook& beforePiece = nullptr,
                        size_t pieceBytes = kWritePieceBytes);

// The word index of a dictionary whose file holds it, fresh and sound: its dictionary file's
// last-write time, entry order and rules as given. Null when the file is missing, cannot be
// opened, or is stale or damaged; a file of another length than its header gives is refused
// before its body is read. Raises EInOutError when reading an opened file fails.
std::unique_ptr<WordIndex> LoadWordIndex(const std::wstring& fileName, const FILETIME& dataTime,
                                         int32_t entryCount, uint64_t orderChecksum,
                                         uint64_t rulesFingerprint);

}  // namespace lexmora::detail
