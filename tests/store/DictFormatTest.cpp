#include <gtest/gtest.h>

#include "store/DictFormat.h"

namespace lexmora {
namespace {

// Bytes after the last whole record (1 to 3) are read as if absent.
TEST(DictFormat, IndexSizesAreSoundWithTheStoredTimeAndCountWholeRecords) {
  struct Case {
    int64_t bytes;
    bool sound;
    int64_t entries;  // checked when sound
  };
  const Case cases[] = {
      {0, false, 0},
      {4, false, 0},
      {7, false, 0},
      {8, true, 0},
      {9, true, 0},
      {11, true, 0},
      {12, true, 1},
      {13, true, 1},
      {20, true, 3},
      {22, true, 3},
      {23, true, 3},
      {8 + 4 * 1000, true, 1000},
      {int64_t{1} << 33, true, ((int64_t{1} << 33) - 8) / 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dict_format::IndexSizeSound(c.bytes), c.sound) << "bytes " << c.bytes;
    if (c.sound) {
      EXPECT_EQ(dict_format::IndexEntryCount(c.bytes), c.entries) << "bytes " << c.bytes;
    }
  }
}

TEST(DictFormat, EntryOffsetsFollowTheStoredTime) {
  const struct { int64_t entry, record; } cases[] = {{0, 2}, {1, 3}, {1000, 1002}};
  for (const auto& c : cases)
    EXPECT_EQ(dict_format::IndexRecordOf(c.entry), c.record) << "entry " << c.entry;
  EXPECT_EQ(dict_format::kIndexHeaderBytes, 8);
  EXPECT_EQ(dict_format::kSortKeyChars + 1, static_cast<size_t>(dict_format::kKeyChars));
}

}  // namespace
}  // namespace lexmora
