#include "StoreTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/Text.h"

namespace lexmora::test {

Bytes DictBytes(const std::vector<std::wstring>& entries, const std::wstring& preamble) {
  std::wstring text = preamble;
  for (const auto& entry : entries) {
    text += kSep;
    text += entry;
  }
  return Utf16Le(text);
}

Bytes IndexBytes(const FILETIME& time, const TIndexList& offsets) {
  Bytes out;
  auto put = [&](uint32_t v) {
    for (int k = 0; k < 4; ++k)
      out.push_back(static_cast<uint8_t>(v >> (8 * k)));
  };
  put(time.dwLowDateTime);
  put(time.dwHighDateTime);
  for (int32_t offset : offsets)
    put(static_cast<uint32_t>(offset));
  return out;
}

namespace {
HANDLE OpenForTimes(const std::string& path, DWORD access) {
  HANDLE h = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open " + path);
  return h;
}
}  // namespace

FILETIME LastWriteTime(const std::string& path) {
  HANDLE h = OpenForTimes(path, GENERIC_READ);
  FILETIME t{};
  GetFileTime(h, nullptr, nullptr, &t);
  CloseHandle(h);
  return t;
}

void SetLastWriteTime(const std::string& path, const FILETIME& time) {
  HANDLE h = OpenForTimes(path, GENERIC_READ | GENERIC_WRITE);
  BOOL ok = SetFileTime(h, nullptr, nullptr, &time);
  CloseHandle(h);
  if (!ok)
    throw std::runtime_error("cannot set the time of " + path);
}

FILETIME ShiftTime(const FILETIME& time, int64_t hundredNanoseconds) {
  ULARGE_INTEGER v;
  v.LowPart = time.dwLowDateTime;
  v.HighPart = time.dwHighDateTime;
  v.QuadPart += hundredNanoseconds;
  return FILETIME{v.LowPart, v.HighPart};
}

FILETIME StoredTime(const std::string& indexPath) {
  Bytes b = ReadBytes(indexPath);
  if (b.size() < 8)
    return FILETIME{};
  auto at = [&](size_t p) {
    return static_cast<DWORD>(b[p] | b[p + 1] << 8 | b[p + 2] << 16 | b[p + 3] << 24);
  };
  return FILETIME{at(0), at(4)};
}

bool CutFromOutside(const std::string& path, int64_t size) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unixName != nullptr ? unixName(ToWide(path).c_str()) : nullptr;
  if (name == nullptr)
    return false;
  // The host's truncate sets the new size before it drops the cut pages from the page cache,
  // where a view of this process may still read them; a mark file written once truncate has
  // returned tells that the cut is whole.
  const std::string unixPath = name;
  HeapFree(GetProcessHeap(), 0, name);
  const std::string mark = path + ".cut";
  DeleteFileA(mark.c_str());
  std::string command = "/bin/sh -c \"/usr/bin/truncate -s " + std::to_string(size) + " '" +
                        unixPath + "' && : > '" + unixPath + ".cut'\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  // For a host program Wine hands back no usable handles (closing the thread "handle" it returns
  // closed a file of this process), so they are left alone, and the mark tells when the program
  // has done its work.
  for (int k = 0; k < 500; ++k) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (GetFileAttributesExA(mark.c_str(), GetFileExInfoStandard, &info)) {
      DeleteFileA(mark.c_str());
      if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info) &&
          (static_cast<int64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow) == size) {
        return true;
      }
      break;
    }
    Sleep(10);
  }
  throw std::runtime_error("the host's truncate did not cut " + path);
}

std::string Hex(const Bytes& bytes) {
  std::string out;
  char buf[4];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    out += buf;
  }
  return out;
}

std::string Show(const std::vector<int32_t>& entries) {
  std::string out;
  for (int32_t e : entries) {
    out += out.empty() ? "{" : " ";
    out += std::to_string(e);
  }
  return out.empty() ? "{}" : out + "}";
}

TIndexList LiteralSortedOffsets(const std::string& dataPath) {
  const Bytes bytes = ReadBytes(dataPath);
  HANDLE file = CreateFileA(dataPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open " + dataPath);
  auto keyAt = [&](int32_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
    wchar_t buffer[50];
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr))
      got = 0;
    std::wstring key(buffer, std::min<size_t>(got / 2, 49));
    if (!key.empty())
      CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
  };
  auto cmp = [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
  };
  TIndexList list;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] != 0xB7 || bytes[i + 1] != 0)
      continue;
    const auto offset = static_cast<int32_t>(i + 2);
    const std::wstring newKey = keyAt(offset);
    const size_t n = list.size();
    size_t position = 0;
    if (n <= 7) {
      for (size_t j = n; j-- > 0;) {
        if (cmp(keyAt(list[j]), newKey) <= 0) {
          position = j + 1;
          break;
        }
      }
    } else {
      size_t low = 0, high = n;
      while (low < high) {
        const size_t mid = (low + high) / 2;
        const int c = cmp(keyAt(list[mid]), newKey);
        if (c == 0) {
          low = mid + 1;
          break;
        }
        if (c > 0)
          high = mid;
        else
          low = mid + 1;
      }
      position = low;
    }
    list.insert(list.begin() + static_cast<ptrdiff_t>(position), offset);
  }
  CloseHandle(file);
  return list;
}

std::string FirstDifference(const TIndexList& got, const TIndexList& want) {
  const size_t common = std::min(got.size(), want.size());
  for (size_t k = 0; k < common; ++k) {
    if (got[k] != want[k]) {
      return "at position " + std::to_string(k) + " got offset " + std::to_string(got[k]) +
             ", wanted " + std::to_string(want[k]);
    }
  }
  if (got.size() != want.size()) {
    return "got " + std::to_string(got.size()) + " offsets, wanted " + std::to_string(want.size());
  }
  return "";
}

ConversionFiles::ConversionFiles() : folder_(ProgramFolder() + "Data\\") {
  std::string dir = folder_.substr(0, folder_.size() - 1);
  madeFolder_ = CreateDirectoryA(dir.c_str(), nullptr) != 0;
  Remove();
}

ConversionFiles::~ConversionFiles() {
  Remove();
  if (madeFolder_)
    RemoveDirectoryA(folder_.substr(0, folder_.size() - 1).c_str());
}

void ConversionFiles::Remove() {
  DeleteFileA((folder_ + "conv_to.txt").c_str());
  DeleteFileA((folder_ + "conv_from.txt").c_str());
}

void ConversionFiles::Set(const std::optional<Bytes>& to, const std::optional<Bytes>& from) {
  Remove();
  if (to)
    WriteBytes(folder_ + "conv_to.txt", *to);
  if (from)
    WriteBytes(folder_ + "conv_from.txt", *from);
}

Bytes ConversionFiles::Text(const std::wstring& text) {
  Bytes out{0xFF, 0xFE};
  Bytes body = Utf16Le(text);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace lexmora::test
