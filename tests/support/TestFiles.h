#pragma once
// Test helpers: a scratch folder removed at the end of the test, and whole-file byte access.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lexmora::test {

using Bytes = std::vector<uint8_t>;

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder with a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
// The same for names the system code page cannot spell.
void WriteBytes(const std::wstring& path, const Bytes& bytes);
Bytes ReadBytes(const std::wstring& path);
// UTF-16LE bytes of a wide string, no byte-order mark.
Bytes Utf16Le(const std::wstring& text);
// A dictionary file: the byte-order mark, a title line, then each entry after the separator
// U+00B7.
Bytes DictionaryBytes(const std::vector<std::wstring>& entries);
void RemoveTree(const std::string& path);

}  // namespace lexmora::test
