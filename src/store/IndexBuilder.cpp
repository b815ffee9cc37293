// The index builder: scanning a dictionary file for its entries, sorting them by key, and
// writing the index file.
#include <algorithm>

#include "base/Errors.h"
#include "store/ADictU.h"
#include "store/IndexWriter.h"
#include "store/TextCompare.h"

namespace lexmora {

namespace {

constexpr uint32_t kReadBlockSize = 32768;
constexpr uint16_t kSeparator = 0x00B7;
// Characters read for a sort key, and how many of them are kept.
constexpr uint32_t kKeyReadChars = 50;
constexpr size_t kKeyChars = 49;
// Up to this many entries a new key is placed by scanning the list from its end; from one more
// on, by halving.
constexpr size_t kLinearSearchLimit = 7;
// Offsets written per write call.
constexpr size_t kWriteBlockRecords = 16384;

IndexBuildHost defaultHost;
IndexBuildHost* currentHost = &defaultHost;

}  // namespace

EDictionaryTooLarge::EDictionaryTooLarge(const std::string& fullPath)
    : Exception(Format("The dictionary file \"%s\" is too large: dictionary files must be smaller "
                       "than %lld bytes (2 GiB).",
                       fullPath.c_str(), static_cast<long long>(kMaxDictionaryFileSize))) {}

std::wstring ReadKeyAt(FileStream& data, int32_t offset) {
  data.Seek(offset);
  wchar_t buffer[kKeyReadChars];
  uint32_t got = data.Read(buffer, sizeof buffer);
  std::wstring key(buffer, std::min<size_t>(got / 2, kKeyChars));
  return LowerCase(std::move(key));
}

int32_t FindSortedPosition(FileStream& data, const TIndexList& list) {
  const int64_t start = data.Position();
  const std::wstring newKey = ReadKeyAt(data, static_cast<int32_t>(start));
  auto keyAt = [&](size_t j) { return ReadKeyAt(data, list[j]); };
  const size_t n = list.size();
  size_t position = 0;
  if (n <= kLinearSearchLimit) {
    for (size_t j = n; j-- > 0;) {
      if (CompareText(keyAt(j), newKey) <= 0) {
        position = j + 1;
        break;
      }
    }
  } else {
    size_t low = 0, high = n;
    while (low < high) {
      size_t mid = (low + high) / 2;
      int c = CompareText(keyAt(mid), newKey);
      if (c == 0) {
        low = mid + 1;  // directly after the first equal key met
        break;
      }
      if (c > 0) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    position = low;
  }
  data.Seek(start);
  return static_cast<int32_t>(position);
}

void ScanEntries(const std::string& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress) {
  FileStream data = FileStream::OpenRead(dataFileName, FileStream::Share::DenyWrite);
  storedTime = FILETIME{};
  // The last-write time is taken from the open file on every path, as the scan ends.
  struct TimeTaker {
    FileStream& data;
    FILETIME& time;
    ~TimeTaker() { GetFileTime(data.Handle(), nullptr, nullptr, &time); }
  } timeTaker{data, storedTime};

  const int64_t size = data.Size();
  if (size >= kMaxDictionaryFileSize)
    throw EDictionaryTooLarge(ExpandFileName(dataFileName));
  const int64_t progressUnit = std::max<int64_t>(size / 100, 1);
  int64_t lastProgress = 0;
  int64_t blockStart = 0;
  // Code units are little-endian, as is every Windows machine, so the block is read as units.
  std::vector<uint16_t> buffer(kReadBlockSize / 2);

  for (;;) {
    const uint32_t got = data.Read(buffer.data(), kReadBlockSize);
    if (got > 0) {
      const uint32_t units = got / 2;
      for (uint32_t i = 0; i < units; ++i) {
        if (buffer[i] != kSeparator)
          continue;
        const auto offset = static_cast<int32_t>(blockStart + 2 * i + 2);
        if (!doSort) {
          list.push_back(offset);
        } else {
          data.Seek(offset);
          const int32_t position = FindSortedPosition(data, list);
          list.insert(list.begin() + position, offset);
        }
      }
      // Key reads move the position; the next block starts where this one was meant to end.
      data.Seek(blockStart + kReadBlockSize);
    }
    const int64_t value = data.Position() / progressUnit;
    if (value != lastProgress) {
      lastProgress = value;
      if (progress)
        progress(static_cast<int32_t>(list.size()));
    }
    blockStart = data.Position();
    if (got != kReadBlockSize)
      break;
  }
}

namespace detail {

// The two time records are written as zero first and get the real time only after every
// offset is on disk, so a write that fails part-way leaves a stored time that never matches a
// dictionary file and the next opening rebuilds. An existing index is overwritten in place
// rather than replaced: the dictionary may hold it open (without sharing deletion) while it is
// rebuilt, and zeroing its first 8 bytes needs no new disk space.
void WriteIndexFile(const std::string& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime, const IndexWriteHook& beforeBlock) {
  RecordFile file(4);
  if (FileExists(indexFileName)) {
    file.OpenExisting(indexFileName, RecordFile::Access::ReadWrite);
  } else {
    file.Create(indexFileName);
  }
  const uint32_t unset[2] = {0, 0};
  file.Seek(0);
  file.Write(unset, 2);
  if (!SetEndOfFile(file.Handle()))
    throw EInOutError(static_cast<int32_t>(GetLastError()));
  for (size_t written = 0; written < list.size();) {
    if (beforeBlock)
      beforeBlock(written);
    const size_t count = std::min(kWriteBlockRecords, list.size() - written);
    file.Write(list.data() + written, count);
    written += count;
  }
  const uint32_t time[2] = {storedTime.dwLowDateTime, storedTime.dwHighDateTime};
  file.Seek(0);
  file.Write(time, 2);
}

}  // namespace detail

void WriteIndexFile(const std::string& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime) {
  detail::WriteIndexFile(indexFileName, list, storedTime, nullptr);
}

void IndexBuildHost::BuildIndex(const IndexBuildRequest& request) {
  TIndexList list;
  FILETIME storedTime{};
  ScanEntries(request.dataFileName, request.doSort, list, storedTime, nullptr);
  WriteIndexFile(request.indexFileName, list, storedTime);
}

IndexBuildHost* SetIndexBuildHost(IndexBuildHost* host) {
  IndexBuildHost* previous = currentHost;
  currentHost = host != nullptr ? host : &defaultHost;
  return previous == &defaultHost ? nullptr : previous;
}

IndexBuildHost& CurrentIndexBuildHost() {
  return *currentHost;
}

}  // namespace lexmora
