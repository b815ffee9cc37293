#include "base/FileIO.h"

#include <algorithm>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"

namespace lexmora {

namespace {

constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Windows refuses write access to a file marked read-only. Some hosts (Wine running as root)
// grant it anyway, so the attribute is checked here too and refused the same way.
void RefuseWriteToReadOnly(const std::wstring& path) {
  DWORD attr = GetFileAttributesW(path.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attr & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw EInOutError(io_error::kAccessDenied);
  }
}

// The most one call reads or writes.
constexpr size_t kMostBytesPerCall = size_t{1} << 30;

}  // namespace

void ReadFully(HANDLE file, void* buffer, size_t size) {
  auto* out = static_cast<uint8_t*>(buffer);
  for (size_t done = 0; done < size;) {
    const auto chunk = static_cast<DWORD>(std::min(size - done, kMostBytesPerCall));
    DWORD got = 0;
    if (!ReadFile(file, out + done, chunk, &got, nullptr))
      RaiseLastError();
    if (got == 0)
      throw EInOutError(io_error::kReadBeyondEnd);
    done += got;
  }
}

void WriteFully(HANDLE file, const void* data, size_t size) {
  const auto* in = static_cast<const uint8_t*>(data);
  for (size_t done = 0; done < size;) {
    const auto chunk = static_cast<DWORD>(std::min(size - done, kMostBytesPerCall));
    DWORD put = 0;
    if (!WriteFile(file, in + done, chunk, &put, nullptr))
      RaiseLastError();
    if (put < chunk)
      throw EInOutError(io_error::kDiskFull);
    done += put;
  }
}

void RecordFile::OpenExisting(const std::wstring& path, Access access) {
  Close();
  DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  if (access == Access::ReadWrite)
    RefuseWriteToReadOnly(path);
  HANDLE h = CreateFileW(path.c_str(), rights, kShareReadWrite, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    RaiseLastError();
  handle_.Reset(h);
}

void RecordFile::OpenExisting(const std::string& path, Access access) {
  OpenExisting(ToWide(path), access);
}

void RecordFile::Create(const std::wstring& path) {
  Close();
  RefuseWriteToReadOnly(path);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareReadWrite, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    RaiseLastError();
  handle_.Reset(h);
}

void RecordFile::Create(const std::string& path) {
  Create(ToWide(path));
}

void RecordFile::RequireOpen() const {
  if (!handle_.Valid())
    throw EInOutError(io_error::kFileNotOpen);
}

int64_t RecordFile::RecordCount() const {
  return ByteSize() / recordSize_;
}

int64_t RecordFile::ByteSize() const {
  RequireOpen();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_.Get(), &size))
    RaiseLastError();
  return size.QuadPart;
}

int64_t RecordFile::Position() const {
  RequireOpen();
  LARGE_INTEGER zero{}, pos{};
  if (!SetFilePointerEx(handle_.Get(), zero, &pos, FILE_CURRENT))
    RaiseLastError();
  return pos.QuadPart / recordSize_;
}

void RecordFile::Seek(int64_t record) {
  RequireOpen();
  if (record < 0)
    throw EInOutError(io_error::kNegativeSeek);
  LARGE_INTEGER pos;
  pos.QuadPart = record * recordSize_;
  if (!SetFilePointerEx(handle_.Get(), pos, nullptr, FILE_BEGIN))
    RaiseLastError();
}

void RecordFile::Read(void* buffer, size_t count) {
  RequireOpen();
  ReadFully(handle_.Get(), buffer, count * recordSize_);
}

void RecordFile::Write(const void* buffer, size_t count) {
  RequireOpen();
  WriteFully(handle_.Get(), buffer, count * recordSize_);
}

FileStream FileStream::OpenRead(const std::wstring& path, Share share) {
  DWORD shareMode = share == Share::DenyWrite ? FILE_SHARE_READ : kShareReadWrite;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    throw EFOpenError(ExpandFileName(path), SysErrorMessage(code));
  }
  return FileStream(FileHandle(h));
}

FileStream FileStream::OpenRead(const std::string& path, Share share) {
  return OpenRead(ToWide(path), share);
}

uint32_t FileStream::Read(void* buffer, uint32_t count) noexcept {
  DWORD got = 0;
  if (!ReadFile(handle_.Get(), buffer, count, &got, nullptr))
    return 0;
  return got;
}

void FileStream::Seek(int64_t position) noexcept {
  LARGE_INTEGER pos;
  pos.QuadPart = position;
  SetFilePointerEx(handle_.Get(), pos, nullptr, FILE_BEGIN);
}

int64_t FileStream::Position() const noexcept {
  LARGE_INTEGER zero{}, pos{};
  if (!SetFilePointerEx(handle_.Get(), zero, &pos, FILE_CURRENT))
    return 0;
  return pos.QuadPart;
}

int64_t FileStream::Size() const noexcept {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_.Get(), &size))
    return 0;
  return size.QuadPart;
}

bool FileExists(const std::wstring& path) {
  DWORD attr = GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FileExists(const std::string& path) {
  return FileExists(ToWide(path));
}

std::wstring ExpandFileName(const std::wstring& path) {
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0)
    return path;
  std::vector<wchar_t> buf(n + 1);
  DWORD m = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
  if (m == 0 || m >= buf.size())
    return path;
  return std::wstring(buf.data(), m);
}

std::string ExpandFileName(const std::string& path) {
  return ToAnsi(ExpandFileName(ToWide(path)));
}

}  // namespace lexmora
