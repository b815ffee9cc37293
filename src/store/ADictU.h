#pragma once
// The dictionary store: the index file format, the index builder, the dictionary object and
// letter conversion.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/FileIO.h"
#include "store/DictFormat.h"
#include "store/MappedView.h"

namespace lexmora {

class MorphLanguage;

// Offsets are signed 32-bit values, so a dictionary file must be smaller than this.
constexpr int64_t kMaxDictionaryFileSize = int64_t{1} << 31;

// A dictionary file too large for 32-bit offsets. Raised before anything of it is indexed.
class EDictionaryTooLarge : public Exception {
 public:
  explicit EDictionaryTooLarge(const std::wstring& fullPath);
};

// An index that is still stale or damaged after its build: the build failed without raising.
class EIndexNotBuilt : public Exception {
 public:
  explicit EIndexNotBuilt(const std::wstring& fullPath);
};

// Byte offsets of the entries of a dictionary file, in index order.
using TIndexList = std::vector<int32_t>;

// Called by the scan with the number of offsets collected so far.
using ProgressCallback = std::function<void(int32_t entryCount)>;

// Scans a dictionary file for entry separators in 32768-byte blocks, collecting one offset per
// entry in file order or sorted, and reports progress after a block whenever the read position
// has reached a new hundredth of the file. Returns the file's last-write time in storedTime.
// Raises EFOpenError when the file cannot be opened and EDictionaryTooLarge when it is 2 GiB or
// more (before reading any of it).
// A sorted scan costs O(n log n) comparisons of keys each read once; `list` is normally passed
// in empty. Each function here that takes 8-bit paths takes them in the system code page and does
// what its wide form does.
void ScanEntries(const std::wstring& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress);
void ScanEntries(const std::string& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress);

// Called between read blocks when no progress has been reported for a while (50 ms), so that
// the caller can let its window handle pending messages during a long sorted scan. It reports
// nothing: the progress display moves only with ProgressCallback.
using KeepAliveCallback = std::function<void()>;

// As above, calling `keepAlive` (when set) between progress reports that are far apart.
void ScanEntries(const std::wstring& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress,
                 const KeepAliveCallback& keepAlive);
void ScanEntries(const std::string& dataFileName, bool doSort, TIndexList& list,
                 FILETIME& storedTime, const ProgressCallback& progress,
                 const KeepAliveCallback& keepAlive);

// Writes the index file: the stored time, then the offsets in list order. A failed write never
// leaves behind a file that would pass for a fresh index. Raises EInOutError.
void WriteIndexFile(const std::wstring& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime);
void WriteIndexFile(const std::string& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime);

// The sort key of the entry at `offset`: the first kSortKeyChars of up to kKeyChars characters read
// there, lower-cased. Moves the stream's position.
std::wstring ReadKeyAt(FileStream& data, int32_t offset);

// The place in `list` (sorted by key) at which the entry at the stream's current position is to
// be inserted. The stream is back at that position on return.
int32_t FindSortedPosition(FileStream& data, const TIndexList& list);

// What a TADict needs to build a missing or stale index: the two paths and the sort choice.
struct IndexBuildRequest {
  std::wstring dataFileName;
  std::wstring indexFileName;
  bool doSort = false;
};

// Builds indexes on behalf of TADict. The default host builds directly, with no window; the
// program installs one that shows the progress window. BuildIndex raises when the build fails
// (a host that has already reported the failure raises EAbort), so that the dictionary is not
// opened.
class IndexBuildHost {
 public:
  virtual ~IndexBuildHost() = default;
  virtual void BuildIndex(const IndexBuildRequest& request);
};
// Installs `host` (not owned; nullptr restores the default) and returns the previous one.
IndexBuildHost* SetIndexBuildHost(IndexBuildHost* host);
IndexBuildHost& CurrentIndexBuildHost();

// What another part of the store keeps with one open dictionary and frees with it (the text
// search keeps its word index so).
class TADictCompanion {
 public:
  virtual ~TADictCompanion() = default;
};

// The word forms of a dictionary's two parts: the morphology language (morph/Morphology.h) of its
// headwords and that of its meanings; null for none.
struct DictLanguages {
  MorphLanguage* headwords = nullptr;
  MorphLanguage* meanings = nullptr;
};

// An open dictionary. Opening builds the index when it is missing, stale or damaged. An index
// is damaged when it is too short for the stored time, when its n whole offset records exceed
// what the dictionary file could hold (one 2-byte separator per entry), or when an offset is
// odd, below 2 or past the end of the dictionary file (the end itself starts the empty entry
// after a final separator); 1 to 3 bytes after the last record are read as if absent
// (DictFormat.h). A damaged index is never read from; a build that fails, or leaves no fresh and
// sound index, leaves the dictionary unopened.
class TADict {
 public:
  // Paths in UTF-16, for names the system code page cannot spell.
  TADict(const std::wstring& dataFileName, const std::wstring& indexFileName, bool doSort,
         bool indexOnDisk, bool useLetterConversion);
  // Paths in the system code page.
  TADict(const std::string& dataFileName, const std::string& indexFileName, bool doSort,
         bool indexOnDisk, bool useLetterConversion);
  ~TADict();
  TADict(const TADict&) = delete;
  TADict& operator=(const TADict&) = delete;

  int32_t EntryCount();
  int32_t EntryOffset(int32_t i);
  std::wstring ReadEntry(int32_t i, int32_t maxChars);
  int32_t FindWord(const std::wstring& word);
  // FindWord, also giving the entry count that it took at its start and searched.
  int32_t FindWord(const std::wstring& word, int32_t& entryCount);
  int32_t CommonPrefixLength(int32_t i, const std::wstring& key);

  // Entry i's text as ReadEntry gives it, read as the word search reads: with an entry count
  // that the caller took once at the start of its search (entries from there on read as empty),
  // and through the view of the file while the view holds it. Into `text`, whose room is reused.
  void ReadSearchText(int32_t i, int32_t maxChars, int32_t count, std::wstring& text);

  // Each character replaced by the target of the first conversion group that holds it. A lookup
  // in a table made once from the groups, so its cost does not grow with the groups.
  std::wstring ConvertLetters(const std::wstring& text) const;
  // The same, converting a text that is no longer needed in place.
  std::wstring ConvertLetters(std::wstring&& text) const;
  // One code unit converted so.
  wchar_t ConvertLetter(wchar_t ch) const noexcept {
    // Units below the table wrap around to large values and fail the one compare.
    const uint32_t k = static_cast<uint32_t>(static_cast<uint16_t>(ch) - ConvTableLow);
    return k < ConvTable.size() ? ConvTable[k] : ch;
  }

  // The byte offsets of all entries in this dictionary's order, as EntryOffset gives them now.
  // Raises EInOutError when the index file held open (on disk) cannot be read.
  TIndexList EntryOffsets();
  // A value that changes whenever the entry order may have changed: the same for the life of a
  // dictionary whose index is in memory; on disk, the size and last-write time of the index file
  // held open, which another copy of the program may rebuild. Raises EInOutError.
  uint64_t OrderStamp() const;

  // The paths given to the constructor.
  const std::wstring& DataFilePath() const noexcept { return DataFileName; }
  const std::wstring& IndexFilePath() const noexcept { return IndexFileName; }
  // The languages of its word forms: none until the holder of the languages sets them. They are
  // not owned: whoever sets them keeps them alive as long as the dictionary, or sets none first.
  void SetLanguages(const DictLanguages& languages) noexcept { languages_ = languages; }
  const DictLanguages& Languages() const noexcept { return languages_; }
  // The companion of this dictionary: null until a part of the store sets one.
  std::unique_ptr<TADictCompanion>& Companion() noexcept { return companion_; }

 private:
  void LoadConversionTables();
  void BuildConversionTable();
  void OpenIndex();
  // Reads the stored time and, in memory, the offsets. Returns false, having read no offsets,
  // when the index file is damaged.
  bool ReadIndexFile(FILETIME& storedTime);
  bool OffsetsSound(RecordFile& file, int64_t count);
  // Whether an offset can start an entry of the dictionary file as it was at opening.
  bool OffsetSound(int64_t offset) const noexcept {
    return offset >= 2 && offset % 2 == 0 && offset <= DataSize;
  }
  void BuildIndex();
  // The operations of the word search with the entry count it took once at its start.
  int32_t OffsetOf(int32_t i);
  std::wstring ReadEntryOf(int32_t i, int32_t maxChars, int32_t count, bool throughView);
  void ReadEntryInto(int32_t i, int32_t maxChars, int32_t count, bool throughView,
                     std::wstring& text);
  int32_t PrefixLengthOf(int32_t i, const std::wstring& key, int32_t count);
  // Reads up to `count` bytes of the dictionary file at `offset`; returns how many were read.
  uint32_t ReadData(int32_t offset, void* target, uint32_t count, bool throughView);

  std::wstring DataFileName;
  std::wstring IndexFileName;
  std::vector<std::wstring> ConvFrom;
  std::wstring ConvTo;
  // What ConvertLetters makes of each code unit from ConvTableLow on, up to the highest unit
  // that a group holds; empty when nothing converts.
  std::vector<wchar_t> ConvTable;
  uint16_t ConvTableLow = 0;
  bool DoSort;
  bool IndexOnDisk;
  bool UseLetterConversion;
  TIndexList Offsets;
  RecordFile IndexFile{dict_format::kIndexRecordBytes};
  std::optional<FileStream> DataStream;
  // Size of the dictionary file at opening. DataStream denies writing to Windows programs, but
  // others may still cut the file shorter: reads never rely on this size alone.
  int64_t DataSize = 0;
  // Read-only views of the dictionary file and, on disk, of the index file: the word search
  // reads through them when the system grants them, through the files otherwise. A view whose
  // pages are gone (the file was cut shorter) is given up. The index file's view is made on
  // first use and follows the file's size.
  detail::MappedView DataView;
  detail::MappedView IndexView;
  std::unique_ptr<TADictCompanion> companion_;
  DictLanguages languages_;
};

bool IsCharInGroup(wchar_t ch, const std::wstring& group);

}  // namespace lexmora
