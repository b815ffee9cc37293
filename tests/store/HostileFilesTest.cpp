// Damaged and hostile inputs by the hundred (by the thousand in scripts/stress.sh): every
// dictionary is opened in both modes, searched and read through, and nothing may crash, hang or
// raise anything but the I/O errors that opening a dictionary is allowed to raise.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "StoreTestSupport.h"
#include "base/Errors.h"
#include "store/ADictU.h"
#include "store/HeadwordLookup.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::kSep;
using test::TempDir;

Bytes RandomBytes(std::mt19937& rng, size_t size, bool textLike) {
  Bytes out(size);
  for (size_t k = 0; k < size; ++k) {
    const uint32_t r = rng();
    if (textLike && k % 2 == 1)
      out[k] = r % 7 == 0 ? static_cast<uint8_t>(r >> 8) : 0;
    else
      out[k] = textLike && r % 6 == 0 ? 0xB7 : static_cast<uint8_t>(r >> 8);
  }
  return out;
}

// Offsets that a damaged index may hold for a dictionary file of `size` bytes.
int32_t HostileOffset(std::mt19937& rng, int32_t size) {
  switch (rng() % 10) {
    case 0:
      return -static_cast<int32_t>(rng() % 1000);
    case 1:
      return INT_MIN + static_cast<int32_t>(rng() % 4);
    case 2:
      return INT_MAX - static_cast<int32_t>(rng() % 4);
    case 3:
      return size + static_cast<int32_t>(rng() % 4) - 2;  // around the end, odd included
    case 4:
      return 1 + 2 * static_cast<int32_t>(rng() % (size / 2 + 1));  // inside a character
    case 5:
      return 0;
    default:
      return static_cast<int32_t>(rng() % (size + 1));
  }
}

// The number of rounds: LEXMORA_HOSTILE_ROUNDS when set (scripts/stress.sh runs thousands), else
// enough for every kind of damage and every small size of the conversion files to come round
// twice.
int HostileRounds() {
  const char* rounds = std::getenv("LEXMORA_HOSTILE_ROUNDS");
  return rounds != nullptr && std::atoi(rounds) > 0 ? std::atoi(rounds) : 300;
}

std::wstring RandomWord(std::mt19937& rng) {
  std::wstring w;
  for (size_t k = rng() % 60; k > 0; --k) {
    const uint32_t r = rng();
    w += r % 4 == 0 ? static_cast<wchar_t>(r >> 16) : static_cast<wchar_t>(L'a' + r % 5);
  }
  return w;
}

// Raises when a search's answer is no entry of the dictionary (0 for an empty one).
void CheckFound(const std::string& what, int32_t found, int32_t count) {
  if (found < 0 || (count > 0 && found >= count) || (count == 0 && found != 0))
    throw std::runtime_error(what + " gave " + std::to_string(found) + " of " +
                             std::to_string(count));
}

// Opens, searches and reads the whole dictionary, checking that the index in use fits the
// dictionary file; raises when anything fails.
void Exercise(const std::string& dat, const std::string& ind, bool doSort, bool onDisk,
              bool convert, std::mt19937& rng) {
  TADict dict(dat, ind, doSort, onDisk, convert);
  const int32_t count = dict.EntryCount();
  const auto size = static_cast<int64_t>(test::ReadBytes(dat).size());
  if (count > size / 2)
    throw std::runtime_error(std::to_string(count) + " entries in " + std::to_string(size) +
                             " bytes");
  const int32_t shown = std::min(count, 300);
  for (int32_t i = -2; i < shown + 2; ++i) {
    const std::wstring whole = dict.ReadEntry(i, -1);
    if (whole.size() > 10000)
      throw std::runtime_error("entry " + std::to_string(i) + " longer than 10000 characters");
    dict.ReadEntry(i, 50);
    if (i >= 0 && i < count) {
      const int32_t offset = dict.EntryOffset(i);
      if (offset < 2 || offset % 2 != 0 || offset > size)
        throw std::runtime_error("entry " + std::to_string(i) + " at offset " +
                                 std::to_string(offset) + " of " + std::to_string(size));
      dict.CommonPrefixLength(i, whole);
      CheckFound("FindWord", dict.FindWord(whole), count);
      if (i < 20)
        CheckFound("FindHeadword", FindHeadword(dict, whole), count);
    }
  }
  for (int k = 0; k < 5; ++k) {
    const std::wstring word = RandomWord(rng);
    CheckFound("FindWord", dict.FindWord(word), count);
    CheckFound("FindHeadword", FindHeadword(dict, word), count);
  }
  dict.FindWord(L"");
  FindHeadword(dict, L"");
}

TEST(HostileFiles, NoDamagedInputCrashesHangsRaisesOrIsTrusted) {
  std::mt19937 rng(0xD1C7);
  test::RecordingReporter reporter;
  ScopedReporter scopedReporter(reporter);
  test::ConversionFiles conversion;
  int rebuilt = 0, kept = 0;  // damaged indexes, counted per opening
  TempDir dir;
  const std::string dat = dir.File("h.dat"), ind = dir.File("h.ind");
  const int rounds = HostileRounds();
  for (int round = 0; round < rounds; ++round) {
    const int kind = round % 6;
    std::string what;
    DeleteFileA(ind.c_str());
    bool convert = false;
    bool doSort = rng() % 2 == 0;
    if (kind == 0) {
      // Dictionary files of random bytes, indexed afresh.
      const size_t size = rng() % 3000;
      test::WriteBytes(dat, RandomBytes(rng, size, rng() % 2 == 0));
      what = "random dictionary of " + std::to_string(size) + " bytes";
    } else if (kind == 1 || kind == 2) {
      // A fresh index whose offsets are damaged, truncated or padded.
      const size_t size = 2 + rng() % 400;
      test::WriteBytes(dat, RandomBytes(rng, size, true));
      TIndexList offsets(rng() % 40);
      for (auto& offset : offsets)
        offset = HostileOffset(rng, static_cast<int32_t>(size));
      Bytes index = test::IndexBytes(test::LastWriteTime(dat), offsets);
      if (kind == 2)
        index.resize(rng() % (index.size() + 4), static_cast<uint8_t>(rng()));
      test::WriteBytes(ind, index);
      what = "index of " + std::to_string(index.size()) + " bytes with damaged offsets";
    } else if (kind == 3) {
      // Index files of random bytes: stale (rebuilt), or too short to hold the time.
      test::WriteBytes(dat, RandomBytes(rng, rng() % 500, true));
      test::WriteBytes(ind, RandomBytes(rng, rng() % 24, false));
      what = "random index file";
    } else if (kind == 4) {
      // Conversion files of every small size and random content.
      const size_t toSize = round / 6 % 24, fromSize = rng() % 40;
      auto file = [&](size_t size) -> std::optional<Bytes> {
        if (rng() % 10 == 0)
          return std::nullopt;
        Bytes b = RandomBytes(rng, size, true);
        for (size_t k = 0; k + 1 < b.size(); k += 2) {
          if (rng() % 5 == 0)
            b[k] = rng() % 2 ? 0x0D : 0x0A;
        }
        return b;
      };
      conversion.Set(file(toSize), file(fromSize));
      test::WriteBytes(dat, RandomBytes(rng, rng() % 800, true));
      convert = true;
      what = "conversion files of " + std::to_string(toSize) + " and " + std::to_string(fromSize) +
             " bytes";
    } else {
      // A random dictionary built sorted: the same offsets as the literal algorithm.
      test::WriteBytes(dat, RandomBytes(rng, rng() % 2500, true));
      TIndexList got;
      FILETIME time{};
      ScanEntries(dat, true, got, time, nullptr);
      ASSERT_EQ("", test::FirstDifference(got, test::LiteralSortedOffsets(dat)))
          << "round " << round << ", sorted build of random bytes";
      what = "sorted random dictionary";
    }
    const Bytes indexBefore = FileExists(ind) ? test::ReadBytes(ind) : Bytes{};
    for (bool onDisk : {false, true}) {
      // The first opening may rebuild; the second mode starts from the same files.
      if (onDisk && kind != 0 && kind != 4 && kind != 5)
        test::WriteBytes(ind, indexBefore);
      test::CountingHost host;
      test::ScopedBuildHost scoped(host);
      try {
        Exercise(dat, ind, doSort, onDisk, convert, rng);
      } catch (const std::exception& e) {
        FAIL() << "round " << round << " (" << what << ", " << (onDisk ? "on disk" : "in memory")
               << "): raised \"" << e.what() << "\"";
      }
      if (kind >= 1 && kind <= 3)
        (host.builds > 0 ? rebuilt : kept)++;
    }
  }
  conversion.Set(std::nullopt, std::nullopt);
  // Half the rounds damage an index, and each is opened twice. Most damaged indexes are rebuilt;
  // about one opening in eighty finds one that happens to be sound (a fresh index of even offsets
  // inside the file, or cut at a record's end).
  EXPECT_GT(rebuilt, rounds / 2);
  EXPECT_GT(kept, rounds / 240);
}

}  // namespace
}  // namespace lexmora
