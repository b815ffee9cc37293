// The dictionary object: opening a dictionary with a fresh index, reading entries, finding a
// word, and letter conversion.
#include "store/ADictU.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "base/Reporter.h"
#include "base/Text.h"
#include "store/DictFormat.h"
#include "store/TextCompare.h"

namespace lexmora {

namespace {

// Offsets checked per read when an index on disk is checked at opening.
constexpr int64_t kCheckBlockRecords = 16384;

constexpr char kMissingTableText[] =
    "A transformation file was not found.\r\nRecreate it/them or disable the option";
constexpr char kTableMismatchText[] =
    "Transformation files are different in items.\r\nPlease correct the files and restart the "
    "program";

void RefuseTooLarge(const std::wstring& path, int64_t size) {
  if (size >= kMaxDictionaryFileSize)
    throw EDictionaryTooLarge(ExpandFileName(path));
}

// The size of a file by its name, or -1 when it cannot be queried (a missing file, say).
int64_t FileSizeByName(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info))
    return -1;
  return static_cast<int64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
}

// The 16-bit units of a text file after its first one (where a byte-order mark would stand).
// Raises EInOutError when the file cannot be opened or read.
std::wstring ReadUnitsAfterFirst(const std::wstring& path) {
  RecordFile file(2);
  file.OpenExisting(path, RecordFile::Access::Read);
  const int64_t count = file.RecordCount();
  std::wstring units;
  if (count > 1) {
    units.resize(static_cast<size_t>(count - 1));
    file.Seek(1);
    file.Read(units.data(), units.size());
  }
  return units;
}

// The units of a conversion table after its first one. Nothing, once the user has been told,
// when the file exists but cannot be read (another program holds it without sharing, ...): the
// dictionary then opens without letter conversion, as it does when a table is missing.
std::optional<std::wstring> ReadConversionTable(const std::wstring& path) {
  try {
    return ReadUnitsAfterFirst(path);
  } catch (const EInOutError& e) {
    CurrentReporter().ShowWideMessage(
        nullptr,
        L"The transformation file \"" + ExpandFileName(path) + L"\" cannot be read: " +
            ToWide(e.Reason()) +
            L".\r\nLetter conversion is off until the file can be read and the dictionary is "
            L"opened again.",
        L"Error", MB_ICONERROR);
    return std::nullopt;
  }
}

// `units` without the line break (CR LF, CR or LF) that ends them, if they end in one.
std::wstring_view WithoutFinalLineBreak(std::wstring_view units) {
  if (units.ends_with(L"\r\n")) {
    units.remove_suffix(2);
  } else if (units.ends_with(L'\r') || units.ends_with(L'\n')) {
    units.remove_suffix(1);
  }
  return units;
}

// The groups of a conv_from.txt's units: CR closes a group and opens the next, LF is ignored.
std::vector<std::wstring> ConversionGroups(std::wstring_view units) {
  std::vector<std::wstring> groups(1);
  for (wchar_t unit : units) {
    if (unit == L'\r') {
      groups.emplace_back();
    } else if (unit != L'\n') {
      groups.back().push_back(unit);
    }
  }
  return groups;
}

}  // namespace

EIndexNotBuilt::EIndexNotBuilt(const std::wstring& fullPath)
    : Exception(L"The index file \"" + fullPath + L"\" could not be built.") {}

TADict::TADict(const std::wstring& dataFileName, const std::wstring& indexFileName, bool doSort,
               bool indexOnDisk, bool useLetterConversion)
    : DataFileName(dataFileName),
      IndexFileName(indexFileName),
      DoSort(doSort),
      IndexOnDisk(indexOnDisk),
      UseLetterConversion(useLetterConversion) {
  LoadConversionTables();
  OpenIndex();
}

TADict::TADict(const std::string& dataFileName, const std::string& indexFileName, bool doSort,
               bool indexOnDisk, bool useLetterConversion)
    : TADict(ToWide(dataFileName), ToWide(indexFileName), doSort, indexOnDisk,
             useLetterConversion) {}

TADict::~TADict() = default;

void TADict::OpenIndex() {
  // Refuse an oversized dictionary before any index work, so that no build is started for it.
  RefuseTooLarge(DataFileName, FileSizeByName(DataFileName));
  if (!FileExists(IndexFileName))
    BuildIndex();
  // The dictionary file is opened before the index is read: the index is checked against its
  // size.
  DataStream = FileStream::OpenRead(DataFileName, FileStream::Share::DenyWrite);
  DataSize = DataStream->Size();
  RefuseTooLarge(DataFileName, DataSize);
  FILETIME currentTime{};
  if (!GetFileTime(DataStream->Handle(), nullptr, nullptr, &currentTime))
    RaiseLastError();
  FILETIME storedTime{};
  if (!ReadIndexFile(storedTime) || CompareFileTime(&currentTime, &storedTime) != 0) {
    BuildIndex();
    // A build that returned without raising must still have left a fresh and sound index.
    if (!ReadIndexFile(storedTime) || CompareFileTime(&currentTime, &storedTime) != 0)
      throw EIndexNotBuilt(ExpandFileName(IndexFileName));
  }
  DataView.Map(DataStream->Handle(), DataSize);
}

bool TADict::ReadIndexFile(FILETIME& storedTime) {
  RecordFile local(dict_format::kIndexRecordBytes);
  RecordFile& file = IndexOnDisk ? IndexFile : local;
  IndexView.Reset();
  Offsets.clear();
  Offsets.shrink_to_fit();
  file.Close();
  file.OpenExisting(IndexFileName, RecordFile::Access::ReadWrite);
  // The size is checked before anything is read or allocated for the offsets.
  const int64_t bytes = file.ByteSize();
  const int64_t count = dict_format::IndexEntryCount(bytes);
  if (!dict_format::IndexSizeSound(bytes) || count > DataSize / 2)
    return false;
  uint32_t time[dict_format::kIndexTimeRecords] = {0, 0};
  file.Read(time, dict_format::kIndexTimeRecords);
  storedTime.dwLowDateTime = time[0];
  storedTime.dwHighDateTime = time[1];
  if (IndexOnDisk)
    return OffsetsSound(file, count);
  Offsets.resize(static_cast<size_t>(count));
  file.Read(Offsets.data(), Offsets.size());
  if (std::all_of(Offsets.begin(), Offsets.end(), [this](int32_t o) { return OffsetSound(o); }))
    return true;
  Offsets.clear();
  Offsets.shrink_to_fit();
  return false;
}

// Reads the `count` offsets that follow the stored time a block at a time, keeping none.
bool TADict::OffsetsSound(RecordFile& file, int64_t count) {
  std::vector<int32_t> block(static_cast<size_t>(std::min<int64_t>(count, kCheckBlockRecords)));
  for (int64_t done = 0; done < count;) {
    const auto n = static_cast<size_t>(std::min<int64_t>(count - done, kCheckBlockRecords));
    file.Read(block.data(), n);
    if (!std::all_of(block.begin(), block.begin() + static_cast<ptrdiff_t>(n),
                     [this](int32_t o) { return OffsetSound(o); })) {
      return false;
    }
    done += static_cast<int64_t>(n);
  }
  return true;
}

void TADict::BuildIndex() {
  CurrentIndexBuildHost().BuildIndex(IndexBuildRequest{DataFileName, IndexFileName, DoSort});
}

int32_t TADict::EntryCount() {
  if (!IndexOnDisk)
    return static_cast<int32_t>(Offsets.size());
  const int64_t records = IndexFile.RecordCount();
  // The view of the index file follows its size, so that it never reaches past its end.
  if (records * dict_format::kIndexRecordBytes != IndexView.Size())
    IndexView.Map(IndexFile.Handle(), records * dict_format::kIndexRecordBytes);
  return static_cast<int32_t>(std::clamp<int64_t>(records - dict_format::kIndexTimeRecords, 0,
                                                  std::numeric_limits<int32_t>::max()));
}

// Raises EListError for a negative entry number, and in memory for one past the end; on disk a
// record past the end of the index file raises "Read beyond end of file".
int32_t TADict::EntryOffset(int32_t i) {
  if (i < 0)
    throw EListError(i);
  if (IndexOnDisk)
    EntryCount();  // brings the view of the index file up to the file's size
  return OffsetOf(i);
}

// EntryOffset without asking for the index file's size first: the view is read when it holds
// the record, the file otherwise.
int32_t TADict::OffsetOf(int32_t i) {
  if (i < 0)
    throw EListError(i);
  if (!IndexOnDisk) {
    if (static_cast<size_t>(i) >= Offsets.size())
      throw EListError(i);
    return Offsets[static_cast<size_t>(i)];
  }
  int32_t offset = 0;
  const int64_t record = dict_format::IndexRecordOf(i);
  constexpr int64_t kBytes = dict_format::kIndexRecordBytes;
  if ((record + 1) * kBytes <= IndexView.Size()) {
    if (IndexView.CopyOut(&offset, record * kBytes, sizeof offset))
      return offset;
    IndexView.Reset();  // the index file was cut shorter; EntryCount maps it again
  }
  IndexFile.Seek(record);
  IndexFile.Read(&offset);
  return offset;
}

TIndexList TADict::EntryOffsets() {
  if (!IndexOnDisk)
    return Offsets;
  const int32_t count = EntryCount();  // brings the view of the index file up to its size
  TIndexList offsets(static_cast<size_t>(count));
  constexpr int64_t kFirst = dict_format::IndexRecordOf(0) * dict_format::kIndexRecordBytes;
  const size_t bytes = offsets.size() * sizeof(int32_t);
  if (kFirst + static_cast<int64_t>(bytes) <= IndexView.Size() &&
      IndexView.CopyOut(offsets.data(), kFirst, bytes)) {
    return offsets;
  }
  IndexView.Reset();  // missing, or the index file was cut shorter; EntryCount maps it again
  IndexFile.Seek(dict_format::IndexRecordOf(0));
  IndexFile.Read(offsets.data(), offsets.size());
  return offsets;
}

uint64_t TADict::OrderStamp() const {
  if (!IndexOnDisk)
    return 0;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(IndexFile.Handle(), &info))
    RaiseLastError();
  const uint64_t written =
      uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32 | info.ftLastWriteTime.dwLowDateTime;
  const uint64_t size = uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
  return written ^ std::rotl(size, 29);
}

// Entry numbers outside the index, maxChars below -1 and offsets that cannot start an entry
// (below 2, odd, or at or past the end of the file, as only an index changed since opening
// holds) all read as empty text. The text is read through the file, never the view: it shows
// what the file holds now, and ends where the file now ends.
std::wstring TADict::ReadEntry(int32_t i, int32_t maxChars) {
  return ReadEntryOf(i, maxChars, EntryCount(), false);
}

std::wstring TADict::ReadEntryOf(int32_t i, int32_t maxChars, int32_t count, bool throughView) {
  std::wstring text;
  ReadEntryInto(i, maxChars, count, throughView, text);
  return text;
}

void TADict::ReadSearchText(int32_t i, int32_t maxChars, int32_t count, std::wstring& text) {
  ReadEntryInto(i, maxChars, count, true, text);
}

void TADict::ReadEntryInto(int32_t i, int32_t maxChars, int32_t count, bool throughView,
                           std::wstring& text) {
  text.clear();
  if (i < 0 || i > count - 1 || maxChars < -1)
    return;
  const int32_t offset = OffsetOf(i);
  const int64_t wantedChars = maxChars == -1 ? dict_format::kWholeEntryChars : maxChars;
  if (!OffsetSound(offset) || offset == DataSize || wantedChars == 0)
    return;

  const int64_t wantedBytes = 2 * wantedChars;
  // Never more than the file holds, so that a large maxChars allocates no more than the rest of
  // the file; the count of bytes read is the same as for the full request.
  const auto toRead = static_cast<uint32_t>(std::min(wantedBytes, DataSize - offset));
  text.resize((toRead + 1) / 2);
  const uint32_t got = ReadData(offset, text.data(), toRead, throughView);
  // The file ended one byte into the last wanted character (possible only at an odd length).
  if (got == wantedBytes - 1)
    CurrentReporter().Beep(0);
  text.resize(got / 2);
  // Searched inline: the library's search is a call into the system's runtime.
  text.erase(std::find(text.begin(), text.end(), dict_format::kEntrySeparator), text.end());
}

uint32_t TADict::ReadData(int32_t offset, void* target, uint32_t count, bool throughView) {
  if (throughView && DataView.Size() == DataSize) {
    if (DataView.CopyOut(target, offset, count))
      return count;
    // The file was cut shorter by another program: from now on it is read through the
    // stream, which stops at the file's current end.
    DataView.Reset();
  }
  DataStream->Seek(offset);
  return DataStream->Read(target, count);
}

int32_t TADict::FindWord(const std::wstring& word) {
  int32_t count = 0;
  return FindWord(word, count);
}

// The entry count is taken once, at the start of the search, and the probes read with it.
int32_t TADict::FindWord(const std::wstring& word, int32_t& entryCount) {
  const std::wstring key = ConvertLetters(LowerCase(word));
  const int32_t count = EntryCount();
  entryCount = count;
  int64_t low = 0, high = int64_t{count} - 1, previous = 0;
  for (;;) {
    const auto mid = static_cast<int32_t>((low + high) / 2);
    if (mid == previous) {
      int32_t result = mid;
      if (mid < count - 1) {
        const int32_t a = PrefixLengthOf(mid + 1, key, count);
        const int32_t b = PrefixLengthOf(mid, key, count);
        if (a > b)
          result = mid + 1;
      }
      return result;
    }
    previous = mid;
    const std::wstring text =
        ConvertLetters(LowerCase(ReadEntryOf(mid, dict_format::kKeyChars, count, true)));
    const int c = CompareText(text, key);
    if (c == 0)
      return mid;
    if (c > 0) {
      high = mid;
    } else {
      low = mid;
    }
  }
}

int32_t TADict::CommonPrefixLength(int32_t i, const std::wstring& key) {
  return PrefixLengthOf(i, key, EntryCount());
}

int32_t TADict::PrefixLengthOf(int32_t i, const std::wstring& key, int32_t count) {
  const auto keyLength = static_cast<int32_t>(
      std::min<size_t>(key.size(), static_cast<size_t>(std::numeric_limits<int32_t>::max())));
  const std::wstring text = ConvertLetters(LowerCase(ReadEntryOf(i, keyLength, count, true)));
  int32_t k = 0;
  while (static_cast<size_t>(k) < text.size() && text[k] == key[k])
    ++k;
  return k;
}

void TADict::LoadConversionTables() {
  if (!UseLetterConversion)
    return;
  const std::wstring folder = ProgramFolderW() + L"Data\\";
  const std::wstring toPath = folder + L"conv_to.txt";
  const std::wstring fromPath = folder + L"conv_from.txt";
  if (!FileExists(toPath) || !FileExists(fromPath)) {
    CurrentReporter().ShowMessage(nullptr, kMissingTableText, "Error", MB_ICONERROR);
    return;
  }
  const std::optional<std::wstring> to = ReadConversionTable(toPath);
  const std::optional<std::wstring> from = to ? ReadConversionTable(fromPath) : std::nullopt;
  if (!from)
    return;
  // Editors end the last line with a line break, which then opens no group and is no target.
  // Tables made to count it (one more target for the empty group it opens) are read as written.
  ConvTo = WithoutFinalLineBreak(*to);
  ConvFrom = ConversionGroups(WithoutFinalLineBreak(*from));
  if (ConvTo.size() != ConvFrom.size()) {
    ConvTo = *to;
    ConvFrom = ConversionGroups(*from);
  }
  if (ConvTo.size() != ConvFrom.size()) {
    ConvTo.clear();
    ConvFrom.clear();
    CurrentReporter().ShowMessage(nullptr, kTableMismatchText, "Error", MB_ICONERROR);
    return;
  }
  BuildConversionTable();
}

// Groups are applied from the last to the first, so that where a character stands in several
// groups the earliest one is the one that stays. The table spans only the units from the lowest
// to the highest one in any group, so that it stays small and text outside it costs one compare
// per unit.
void TADict::BuildConversionTable() {
  ConvTable.clear();
  ConvTableLow = 0;
  uint16_t low = 0xFFFF, high = 0;
  for (size_t k = 0; k < ConvTo.size(); ++k) {
    for (wchar_t ch : ConvFrom[k]) {
      low = std::min<uint16_t>(low, static_cast<uint16_t>(ch));
      high = std::max<uint16_t>(high, static_cast<uint16_t>(ch));
    }
  }
  if (low > high)
    return;  // no group holds a character
  ConvTableLow = low;
  ConvTable.resize(size_t{high} - low + 1u);
  for (size_t k = 0; k < ConvTable.size(); ++k)
    ConvTable[k] = static_cast<wchar_t>(low + k);
  for (size_t k = ConvTo.size(); k-- > 0;) {
    for (wchar_t ch : ConvFrom[k])
      ConvTable[static_cast<uint16_t>(ch) - low] = ConvTo[k];
  }
}

std::wstring TADict::ConvertLetters(const std::wstring& text) const {
  return ConvertLetters(std::wstring(text));
}

std::wstring TADict::ConvertLetters(std::wstring&& text) const {
  std::wstring result = std::move(text);
  if (!UseLetterConversion || ConvTable.empty())
    return result;
  for (wchar_t& ch : result)
    ch = ConvertLetter(ch);
  return result;
}

bool IsCharInGroup(wchar_t ch, const std::wstring& group) {
  return group.find(ch) != std::wstring::npos;
}

}  // namespace lexmora
