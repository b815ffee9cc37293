#pragma once
// Helpers shared by the store's tests: building dictionary and index bytes, file times, and
// recording what the store would have shown or sounded.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/Reporter.h"
#include "store/ADictU.h"

namespace lexmora::test {

constexpr wchar_t kSep = 0x00B7;

// Dictionary bytes: `preamble`, then each entry introduced by a separator.
Bytes DictBytes(const std::vector<std::wstring>& entries, const std::wstring& preamble = L"");
// Index bytes as the index file holds them: the time, then the offsets, little-endian.
Bytes IndexBytes(const FILETIME& time, const TIndexList& offsets);

FILETIME LastWriteTime(const std::string& path);
void SetLastWriteTime(const std::string& path, const FILETIME& time);
FILETIME ShiftTime(const FILETIME& time, int64_t hundredNanoseconds);
// The stored time records of an index file (0, 0 when shorter than 8 bytes).
FILETIME StoredTime(const std::string& indexPath);

// Records message boxes and beeps instead of showing or sounding them.
class RecordingReporter : public Reporter {
 public:
  struct Message {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
  };
  int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                  UINT style) override {
    messages.push_back({owner, text, caption, style});
    return IDOK;
  }
  void Beep(UINT type) override { beeps.push_back(type); }

  std::vector<Message> messages;
  std::vector<UINT> beeps;
};

// Installs an index build host for the lifetime of this object.
class ScopedBuildHost {
 public:
  explicit ScopedBuildHost(IndexBuildHost& host) : previous_(SetIndexBuildHost(&host)) {}
  ~ScopedBuildHost() { SetIndexBuildHost(previous_); }
  ScopedBuildHost(const ScopedBuildHost&) = delete;
  ScopedBuildHost& operator=(const ScopedBuildHost&) = delete;

 private:
  IndexBuildHost* previous_;
};

// The default build, counting how often it is asked for.
class CountingHost : public IndexBuildHost {
 public:
  void BuildIndex(const IndexBuildRequest& request) override {
    ++builds;
    IndexBuildHost::BuildIndex(request);
  }
  int builds = 0;
};

// Cuts the file to `size` bytes from outside Windows, with the host's truncate, which no share
// mode or mapping of a Windows program stops. Returns false where that cannot be done (not
// under Wine); raises when the file does not shrink within a few seconds.
bool CutFromOutside(const std::string& path, int64_t size);

std::string Hex(const Bytes& bytes);
// Entry numbers as "{1 2 3}", for messages.
std::string Show(const std::vector<int32_t>& entries);

// The offsets of a sorted build as the builder's rules state them, step by step: one seek and
// read of 100 bytes for every key, the list scanned from its end up to 7 entries and halved from
// 8 on, the tail of the list moved for every insertion. Slow; the oracle for the real build.
TIndexList LiteralSortedOffsets(const std::string& dataPath);

// Where two offset lists first differ, with what each holds there; empty when they are equal.
std::string FirstDifference(const TIndexList& got, const TIndexList& want);

// The letter-conversion files Data\conv_to.txt and Data\conv_from.txt beside the test program,
// where the store looks for them. Removes what it wrote (and the folder, when it made it) at the
// end.
class ConversionFiles {
 public:
  ConversionFiles();
  ~ConversionFiles();
  ConversionFiles(const ConversionFiles&) = delete;
  ConversionFiles& operator=(const ConversionFiles&) = delete;
  // Writes both files; std::nullopt leaves that file missing.
  void Set(const std::optional<Bytes>& to, const std::optional<Bytes>& from);
  // UTF-16LE with a byte-order mark.
  static Bytes Text(const std::wstring& text);

 private:
  void Remove();
  std::string folder_;
  bool madeFolder_ = false;
};

}  // namespace lexmora::test
