#pragma once
// Internal to the store (its tests use it too): the word index file (<name>.wix beside
// <name>.dat), little-endian:
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
// The words are stored folded (WordRules.h).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "store/ADictU.h"

namespace lexmora::detail {

constexpr size_t kHeaderSize = 80;
constexpr uint32_t kWordIndexVersion = 1;
constexpr size_t kTableRecordBytes = 12;

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
  uint64_t bodyChecksum = 0;
};

// The header's bytes, with magic, version and the header's own checksum.
std::vector<uint8_t> HeaderBytes(const WordIndexHeader& header);
// The header of a word index file's first bytes; nothing when they are no sound header.
std::optional<WordIndexHeader> ParseHeader(const uint8_t* data, size_t size);

// True when `size` bytes are the length that `header` gives its file.
bool HoldsLengthOf(const WordIndexHeader& header, uint64_t size);

// Where the pool and the postings start in a file of `wordCount` words and `poolUnits` units of
// pool (the word table starts right after the header).
constexpr size_t PoolOffset(uint32_t wordCount) {
  return kHeaderSize + (size_t{wordCount} + 1) * kTableRecordBytes;
}
constexpr size_t PostingsOffset(uint32_t wordCount, size_t poolUnits) {
  return PoolOffset(wordCount) + poolUnits * 2;
}

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

// Calls put(byte) for each byte that stores the distance `delta` (at least 1) of a posting from
// the one before.
template <typename Put>
void EncodeDistance(uint32_t delta, Put&& put) {
  do {
    const auto group = static_cast<uint8_t>(delta & 0x7F);
    delta >>= 7;
    put(delta != 0 ? static_cast<uint8_t>(group | 0x80) : group);
  } while (delta != 0);
}

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

}  // namespace lexmora::detail
