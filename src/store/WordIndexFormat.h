#pragma once
// Internal to the store (its tests use it too): the word index file (<name>.wix beside
// <name>.dat), little-endian:
//   header, kHeaderSize bytes: magic, version, the dictionary file's last-write time, the entry
//     count, the word count W, a checksum of the index file's offsets (the entry order), the
//     fingerprint of the word rules and the word forms, the pool's length in units, the postings'
//     length in bytes, the dictionary form count L, the lemma pool's length in units, the form
//     count F, a checksum of everything after the header, and a checksum of the header itself;
//   word table, W + 1 records of three 32-bit values: the word's first unit in the pool, its
//     first byte in the postings, and the number of entries holding it (the last record marks
//     the ends);
//   lemma table, L + 1 records of two 32-bit values: the dictionary form's first unit in the
//     lemma pool and its first form in the forms (the last record marks the ends);
//   pool: the words one after the other, UTF-16, in ascending order of their code units;
//   lemma pool: the dictionary forms so, in ascending order;
//   forms: for each dictionary form, ascending, the 32-bit numbers (places in the word table) of
//     the words of the entries that are forms of it, itself left out;
//   postings: for each word the entries holding it, ascending, each as its distance from the one
//     before (from -1 for the first) shifted left by kPostingFlagBits, with the PostingFlags of
//     the word in that entry in the low bits, in 7-bit groups, low group first, high bit set on
//     all but the last group.
// The words and dictionary forms are stored folded (WordRules.h).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "store/ADictU.h"

namespace lexmora::detail {

constexpr size_t kHeaderSize = 104;
constexpr uint32_t kWordIndexVersion = 2;
constexpr size_t kTableRecordBytes = 12;
constexpr size_t kLemmaRecordBytes = 8;

// Where a word stands in an entry (EntryParts.h), as its postings record it.
enum PostingFlags : uint8_t {
  kInHeadword = 1,    // in the headword
  kAloneAsSense = 2,  // a sense of its own
  kInShortSense = 4,  // in a sense of 2 to kShortSenseWords words
};
constexpr unsigned kPostingFlagBits = 3;
constexpr size_t kShortSenseWords = 5;

// A value's bytes at `at`, as the file holds them.
template <typename T>
void StoreAt(uint8_t* bytes, size_t at, T value) {
  std::memcpy(bytes + at, &value, sizeof value);
}
template <typename T>
T LoadAt(const uint8_t* bytes, size_t at) {
  T value;
  std::memcpy(&value, bytes + at, sizeof value);
  return value;
}

// A checksum of `size` bytes, for telling a damaged word index from a sound one.
uint64_t Checksum(const uint8_t* data, size_t size);

// The checksum of an entry order: of the entries' offsets in that order.
uint64_t EntryOrderChecksum(const TIndexList& offsets);

struct WordIndexHeader {
  FILETIME dataTime{};
  int32_t entryCount = 0;
  uint32_t wordCount = 0;
  uint64_t orderChecksum = 0;
  uint64_t rulesFingerprint = 0;
  uint64_t poolUnits = 0;
  uint64_t postingBytes = 0;
  uint32_t lemmaCount = 0;
  uint64_t lemmaPoolUnits = 0;
  uint64_t formCount = 0;
  uint64_t bodyChecksum = 0;
};

// The header's bytes, with magic, version and the header's own checksum.
std::vector<uint8_t> HeaderBytes(const WordIndexHeader& header);
// The header of a word index file's first bytes; nothing when they are no sound header.
std::optional<WordIndexHeader> ParseHeader(const uint8_t* data, size_t size);

// True when `size` bytes are the length that `header` gives its file.
bool HoldsLengthOf(const WordIndexHeader& header, uint64_t size);

// Where each part of the file starts (the word table right after the header), as its header
// gives them.
struct WordIndexLayout {
  size_t lemmaTable = 0, pool = 0, lemmaPool = 0, forms = 0, postings = 0, end = 0;
};
// Nothing when the sizes the header gives overflow or exceed `maxSize`.
std::optional<WordIndexLayout> LayoutOf(const WordIndexHeader& header, uint64_t maxSize);

// One record of the word table: where a word starts in the pool and in the postings, and the
// number of entries holding it.
struct WordRecord {
  uint32_t poolStart = 0;
  uint32_t postingStart = 0;
  uint32_t entries = 0;
};
inline void StoreRecord(uint8_t* table, size_t k, const WordRecord& record) {
  const size_t at = k * kTableRecordBytes;
  StoreAt(table, at, record.poolStart);
  StoreAt(table, at + 4, record.postingStart);
  StoreAt(table, at + 8, record.entries);
}
inline WordRecord LoadRecord(const uint8_t* table, size_t k) {
  const size_t at = k * kTableRecordBytes;
  return {LoadAt<uint32_t>(table, at), LoadAt<uint32_t>(table, at + 4),
          LoadAt<uint32_t>(table, at + 8)};
}

inline void StoreLemmaRecord(uint8_t* table, size_t k, uint32_t poolStart, uint32_t formStart) {
  StoreAt(table, k * kLemmaRecordBytes, poolStart);
  StoreAt(table, k * kLemmaRecordBytes + 4, formStart);
}

// Calls put(byte) for each byte that stores a posting: its distance `delta` (at least 1) from
// the one before, and its flags.
template <typename Put>
void EncodePosting(uint32_t delta, uint8_t flags, Put&& put) {
  uint64_t value = uint64_t{delta} << kPostingFlagBits | flags;
  do {
    const auto group = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
    put(value != 0 ? static_cast<uint8_t>(group | 0x80) : group);
  } while (value != 0);
}

// Decodes a posting list, calling take(entry, flags) until it returns false; stops at the first
// value that cannot be an entry of `entryCount` (a sound index has none).
template <typename Take>
void ForEachPosting(const uint8_t* p, const uint8_t* end, int32_t entryCount, Take&& take) {
  int64_t entry = -1;
  while (p < end) {
    uint64_t value = *p++;
    if (value >= 0x80) {
      value &= 0x7F;
      for (int shift = 7;; shift += 7) {
        if (p == end || shift > 35)
          return;
        const uint8_t byte = *p++;
        value |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80)
          break;
      }
    }
    const uint64_t delta = value >> kPostingFlagBits;
    entry += static_cast<int64_t>(delta);
    if (delta == 0 || entry >= entryCount)
      return;
    if (!take(static_cast<int32_t>(entry), static_cast<uint8_t>(value & 7)))
      return;
  }
}

}  // namespace lexmora::detail
