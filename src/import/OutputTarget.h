#pragma once
// Internal to the importer: the dictionary file an import writes, checked before any source is
// read, and the temporary file it is written to first.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/TemporaryFile.h"
#include "import/Import.h"

namespace lexmora::import {

// What tells two names of one file apart from names of two files: the volume and the file's
// number on it, as the file system reports them. Names cannot tell: "\\?\" paths, short names,
// case that differs outside ASCII, links.
struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of an existing file or folder, or nothing when it cannot be opened.
std::optional<FileIdentity> IdentityOf(const std::wstring& path);

// The .dat that an import is to write and the .ind beside it. The constructor refuses, with an
// EImportError, what must not be written or replaced: a missing folder, a folder of the output's
// name, a read-only file, a file that is one of the sources, a dictionary held open; then it
// makes the temporary file in the output's folder that the dictionary is written to:
// "<output>.<process>-<thread>.lexmora-import.tmp", deleted unless it is moved into place. It
// first removes the files of that pattern in the folder that no import holds open: the leftovers
// of imports that were killed, and only those.
class OutputTarget {
 public:
  OutputTarget(const std::wstring& output, const std::vector<SourceSet>& sources);

  const std::wstring& Path() const { return path_; }
  const std::wstring& IndexPath() const { return indexPath_; }
  const std::wstring& TemporaryPath() const { return temporary_->Path(); }
  // The temporary file, open for writing.
  HANDLE TemporaryHandle() const { return temporary_->Handle(); }
  // Moves the complete temporary file into place. Raises EImportError.
  void Commit();

 private:
  std::wstring path_;
  std::wstring indexPath_;
  std::optional<TemporaryFile> temporary_;
};

}  // namespace lexmora::import
