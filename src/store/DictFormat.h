#pragma once
// The dictionary's two files, as the program, the index builder and the importer all write and
// read them.
//
// The dictionary file (.dat): UTF-16LE text after a byte-order mark, its entries separated by
// kEntrySeparator. An entry's search key is its first kKeyChars characters.
//
// The index file (.ind): 32-bit records. The first kIndexTimeRecords hold the dictionary file's
// last-write time (low part, then high part); each after them is the byte offset in the
// dictionary file of one entry, in the index's order. The program writes no bytes after the last
// record; 1 to 3 bytes there (no whole record) are read as if they were absent.
#include <cstddef>
#include <cstdint>

namespace lexmora::dict_format {

constexpr wchar_t kEntrySeparator = 0x00B7;  // MIDDLE DOT

// Characters of an entry read when the whole entry is asked for: a longer entry reads cut there.
constexpr int32_t kWholeEntryChars = 10000;

// Characters of an entry read for its search key.
constexpr int32_t kKeyChars = 50;
// Of those, how many the index build sorts by.
constexpr size_t kSortKeyChars = kKeyChars - 1;

constexpr int64_t kIndexRecordBytes = 4;
constexpr int64_t kIndexTimeRecords = 2;
constexpr int64_t kIndexHeaderBytes = kIndexTimeRecords * kIndexRecordBytes;

// The index record that holds the offset of entry `entry`.
constexpr int64_t IndexRecordOf(int64_t entry) {
  return entry + kIndexTimeRecords;
}

// How many whole offset records an index file of `bytes` bytes holds (bytes after the last are
// no record); meaningful when the file holds the stored time (see IndexSizeSound).
constexpr int64_t IndexEntryCount(int64_t bytes) {
  return (bytes - kIndexHeaderBytes) / kIndexRecordBytes;
}

// True when an index file of `bytes` bytes holds the stored time.
constexpr bool IndexSizeSound(int64_t bytes) {
  return bytes >= kIndexHeaderBytes;
}

}  // namespace lexmora::dict_format
