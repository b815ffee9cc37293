#include "TestFiles.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace lexmora::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    std::string candidate = std::string(base) + "lexmora-test-" +
                            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate + "\\";
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot create temp dir");
  }
}

TempDir::~TempDir() {
  RemoveTree(path_);
}

namespace {

// Wide calls, so that names outside the system code page are removed too.
void RemoveTreeW(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..")
        continue;
      const std::wstring full = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeW(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) {
  std::string dir = path;
  if (!dir.empty() && dir.back() == '\\')
    dir.pop_back();
  std::wstring wide(dir.size(), L'\0');
  wide.resize(
      static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, dir.data(), static_cast<int>(dir.size()),
                                              wide.data(), static_cast<int>(dir.size()))));
  RemoveTreeW(wide);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out)
    throw std::runtime_error("cannot write " + path);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const Bytes& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  if (!out)
    throw std::runtime_error("cannot write a file of a wide name");
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read a file of a wide name");
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Utf16Le(const std::wstring& text) {
  Bytes out;
  out.reserve(text.size() * 2);
  for (wchar_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>((static_cast<uint16_t>(c) >> 8) & 0xFF));
  }
  return out;
}

Bytes DictionaryBytes(const std::vector<std::wstring>& entries) {
  std::wstring text = L"\xFEFFTest dictionary";
  for (const std::wstring& entry : entries) {
    text += L'\x00B7';
    text += entry;
  }
  return Utf16Le(text);
}

}  // namespace lexmora::test
