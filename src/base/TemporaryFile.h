#pragma once
// Files written under a temporary name beside their target and moved onto it once complete, so
// that a write that fails or is stopped never leaves a file of the target's name. The writer holds
// its temporary open without shared deletion from its creation until it is moved, so a temporary
// that can be deleted is one that a writer killed on the way left behind.
#include <windows.h>

#include <string>

#include "base/Handle.h"

namespace lexmora {

class TemporaryFile {
 public:
  // Creates "<target>.<process>-<thread><suffix>", empty, for writing, after deleting the files of
  // the target's folder whose names match `leftovers` (one '*' for any text, letters compared
  // without regard to case) and that no writer holds open. Raises EInOutError (RaiseLastError)
  // when it cannot be created.
  TemporaryFile(const std::wstring& target, const std::wstring& suffix,
                const std::wstring& leftovers);
  // Deletes the file unless it was moved onto its target.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::wstring& Path() const noexcept { return path_; }
  // The file, open for writing until it is closed or moved.
  HANDLE Handle() const noexcept { return file_.Get(); }
  // Closes the file; a failure is what the system could not write. Raises EInOutError.
  void Close();
  // Closes the file when it is open and moves it onto the target, replacing a file of that name.
  // Raises EInOutError; the file is deleted all the same when this object goes.
  void MoveOntoTarget();

 private:
  std::wstring target_;
  std::wstring path_;
  FileHandle file_;
  bool moved_ = false;
};

}  // namespace lexmora
