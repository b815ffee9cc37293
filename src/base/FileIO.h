#pragma once
// File access with the runtime's error behaviour: typed files of fixed-size records that raise
// EInOutError, and byte streams that raise EFOpenError when they cannot be opened. Paths are
// wide; each 8-bit form takes a path in the system code page and does the same.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/Handle.h"

namespace lexmora {

// Reads exactly `size` bytes of an open file at its current position. Raises EInOutError:
// kReadBeyondEnd when the file ends first.
void ReadFully(HANDLE file, void* buffer, size_t size);
// Writes all `size` bytes at an open file's current position. Raises EInOutError: kDiskFull for a
// full disk or a short write.
void WriteFully(HANDLE file, const void* data, size_t size);

// A file of fixed-size records (4 bytes for index files, 2 for UTF-16 text files).
// Every failure raises EInOutError (see RaiseLastError): opening with the system's error code, a
// read past the end with io_error::kReadBeyondEnd, a short write with io_error::kDiskFull.
class RecordFile {
 public:
  enum class Access { Read, ReadWrite };

  explicit RecordFile(uint32_t recordSize) : recordSize_(recordSize) {}

  // Opens an existing file; reading and writing stay shared with others.
  void OpenExisting(const std::wstring& path, Access access = Access::ReadWrite);
  void OpenExisting(const std::string& path, Access access = Access::ReadWrite);
  // Creates the file, replacing any file of that name, for reading and writing, shared.
  void Create(const std::wstring& path);
  void Create(const std::string& path);
  void Close() noexcept { handle_.Reset(); }

  // Record count: the size in bytes divided by the record size, rounded down.
  int64_t RecordCount() const;
  int64_t ByteSize() const;
  int64_t Position() const;  // in records
  void Seek(int64_t record);
  // Reads `count` whole records into `buffer`; fewer bytes available raises kReadBeyondEnd.
  void Read(void* buffer, size_t count = 1);
  // Writes `count` records; a short write or a full disk raises kDiskFull.
  void Write(const void* buffer, size_t count = 1);
  HANDLE Handle() const noexcept { return handle_.Get(); }

 private:
  void RequireOpen() const;
  uint32_t recordSize_;
  FileHandle handle_;
};

// A byte stream over a file, like the framework's file stream.
class FileStream {
 public:
  enum class Share { DenyNone, DenyWrite };

  // Opens an existing file for reading; raises EFOpenError with the full path and the
  // system's text when it cannot.
  static FileStream OpenRead(const std::wstring& path, Share share = Share::DenyWrite);
  static FileStream OpenRead(const std::string& path, Share share = Share::DenyWrite);

  FileStream(FileStream&&) noexcept = default;
  FileStream& operator=(FileStream&&) noexcept = default;

  // Reads up to `count` bytes at the current position; returns the number read. A failing
  // read counts as 0 bytes.
  uint32_t Read(void* buffer, uint32_t count) noexcept;
  // Moves to an absolute byte position; positions past the end are allowed.
  void Seek(int64_t position) noexcept;
  int64_t Position() const noexcept;
  int64_t Size() const noexcept;
  HANDLE Handle() const noexcept { return handle_.Get(); }

 private:
  explicit FileStream(FileHandle h) : handle_(std::move(h)) {}
  FileHandle handle_;
};

bool FileExists(const std::wstring& path);
bool FileExists(const std::string& path);
// The absolute form of a path, as GetFullPathName gives it.
std::wstring ExpandFileName(const std::wstring& path);
std::string ExpandFileName(const std::string& path);

}  // namespace lexmora
