#include "store/WordIndexFormat.h"

#include <bit>

namespace lexmora::detail {

namespace {

constexpr char kMagic[8] = {'L', 'X', 'W', 'O', 'R', 'D', 'S', 0x1A};
// The header's own checksum covers the bytes before it.
constexpr size_t kHeaderChecksumAt = 96;

}  // namespace

uint64_t Checksum(const uint8_t* data, size_t size) {
  constexpr uint64_t kP1 = 11400714785074694791ull, kP2 = 14029467366897019727ull,
                     kP3 = 1609587929392839161ull, kP4 = 9650029242287828579ull,
                     kP5 = 2870177450012600261ull;
  auto round = [](uint64_t acc, uint64_t input) { return std::rotl(acc + input * kP2, 31) * kP1; };
  uint64_t v1 = kP1 + kP2, v2 = kP2, v3 = 0, v4 = 0 - kP1;
  size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    v1 = round(v1, LoadAt<uint64_t>(data, i));
    v2 = round(v2, LoadAt<uint64_t>(data, i + 8));
    v3 = round(v3, LoadAt<uint64_t>(data, i + 16));
    v4 = round(v4, LoadAt<uint64_t>(data, i + 24));
  }
  uint64_t h = std::rotl(v1, 1) + std::rotl(v2, 7) + std::rotl(v3, 12) + std::rotl(v4, 18) + size;
  for (; i + 8 <= size; i += 8)
    h = std::rotl(h ^ round(0, LoadAt<uint64_t>(data, i)), 27) * kP1 + kP4;
  for (; i < size; ++i)
    h = std::rotl(h ^ (data[i] * kP5), 11) * kP1;
  h ^= h >> 33;
  h *= kP2;
  h ^= h >> 29;
  h *= kP3;
  return h ^ (h >> 32);
}

uint64_t EntryOrderChecksum(const TIndexList& offsets) {
  return Checksum(reinterpret_cast<const uint8_t*>(offsets.data()), offsets.size() * 4);
}

std::vector<uint8_t> HeaderBytes(const WordIndexHeader& header) {
  std::vector<uint8_t> bytes(kHeaderSize);
  uint8_t* b = bytes.data();
  std::memcpy(b, kMagic, sizeof kMagic);
  StoreAt(b, 8, kWordIndexVersion);
  StoreAt(b, 12, static_cast<uint32_t>(kHeaderSize));
  StoreAt(b, 16, static_cast<uint32_t>(header.dataTime.dwLowDateTime));
  StoreAt(b, 20, static_cast<uint32_t>(header.dataTime.dwHighDateTime));
  StoreAt(b, 24, header.entryCount);
  StoreAt(b, 28, header.wordCount);
  StoreAt(b, 32, header.orderChecksum);
  StoreAt(b, 40, header.rulesFingerprint);
  StoreAt(b, 48, header.poolUnits);
  StoreAt(b, 56, header.postingBytes);
  StoreAt(b, 64, header.lemmaCount);
  StoreAt(b, 68, uint32_t{0});
  StoreAt(b, 72, header.lemmaPoolUnits);
  StoreAt(b, 80, header.formCount);
  StoreAt(b, 88, header.bodyChecksum);
  StoreAt(b, kHeaderChecksumAt, Checksum(b, kHeaderChecksumAt));
  return bytes;
}

std::optional<WordIndexHeader> ParseHeader(const uint8_t* data, size_t size) {
  if (size < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0 ||
      LoadAt<uint32_t>(data, 8) != kWordIndexVersion || LoadAt<uint32_t>(data, 12) != kHeaderSize ||
      LoadAt<uint64_t>(data, kHeaderChecksumAt) != Checksum(data, kHeaderChecksumAt)) {
    return std::nullopt;
  }
  WordIndexHeader header;
  header.dataTime.dwLowDateTime = LoadAt<uint32_t>(data, 16);
  header.dataTime.dwHighDateTime = LoadAt<uint32_t>(data, 20);
  header.entryCount = LoadAt<int32_t>(data, 24);
  header.wordCount = LoadAt<uint32_t>(data, 28);
  header.orderChecksum = LoadAt<uint64_t>(data, 32);
  header.rulesFingerprint = LoadAt<uint64_t>(data, 40);
  header.poolUnits = LoadAt<uint64_t>(data, 48);
  header.postingBytes = LoadAt<uint64_t>(data, 56);
  header.lemmaCount = LoadAt<uint32_t>(data, 64);
  header.lemmaPoolUnits = LoadAt<uint64_t>(data, 72);
  header.formCount = LoadAt<uint64_t>(data, 80);
  header.bodyChecksum = LoadAt<uint64_t>(data, 88);
  return header;
}

// Each part is checked against the largest size before the sizes are added, so nothing
// overflows.
std::optional<WordIndexLayout> LayoutOf(const WordIndexHeader& header, uint64_t maxSize) {
  const uint64_t parts[] = {(uint64_t{header.wordCount} + 1) * kTableRecordBytes,
                            (uint64_t{header.lemmaCount} + 1) * kLemmaRecordBytes,
                            header.poolUnits,
                            header.lemmaPoolUnits,
                            header.formCount,
                            header.postingBytes};
  for (uint64_t part : parts) {
    if (part > maxSize)
      return std::nullopt;
  }
  WordIndexLayout layout;
  uint64_t at = kHeaderSize + parts[0];
  layout.lemmaTable = static_cast<size_t>(at);
  at += parts[1];
  layout.pool = static_cast<size_t>(at);
  at += header.poolUnits * 2;
  layout.lemmaPool = static_cast<size_t>(at);
  at += header.lemmaPoolUnits * 2;
  layout.forms = static_cast<size_t>(at);
  at += header.formCount * 4;
  layout.postings = static_cast<size_t>(at);
  at += header.postingBytes;
  if (at > maxSize)
    return std::nullopt;
  layout.end = static_cast<size_t>(at);
  return layout;
}

bool HoldsLengthOf(const WordIndexHeader& header, uint64_t size) {
  const std::optional<WordIndexLayout> layout = LayoutOf(header, size);
  return layout && layout->end == size;
}

}  // namespace lexmora::detail
