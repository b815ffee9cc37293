#pragma once
// Raw access to registry values for the tests, bypassing the code under test.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lexmora::test {

using RegBytes = std::vector<uint8_t>;

struct RawValue {
  RawValue() = default;
  RawValue(DWORD t, RegBytes d) : type(t), data(std::move(d)) {}
  DWORD type = REG_NONE;
  RegBytes data;
  bool operator==(const RawValue&) const = default;
};

// Bytes of an 8-bit string, with or without its NUL.
inline RegBytes StrBytes(const std::string& s, bool withNul = true) {
  RegBytes b(s.begin(), s.end());
  if (withNul)
    b.push_back(0);
  return b;
}
inline RegBytes DwordBytes(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// Strings in the raw calls go through the A functions, as the code under test does.
inline void SetRaw(HKEY key, const std::string& name, const RawValue& v) {
  LONG rc = RegSetValueExA(key, name.c_str(), 0, v.type, v.data.empty() ? nullptr : v.data.data(),
                           static_cast<DWORD>(v.data.size()));
  if (rc != ERROR_SUCCESS)
    throw std::runtime_error("RegSetValueExA failed for " + name);
}

inline std::optional<RawValue> GetRaw(HKEY key, const std::string& name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RawValue v{type, RegBytes(size)};
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, v.data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  v.data.resize(size);
  return v;
}

inline std::optional<RawValue> GetRaw(HKEY root, const std::string& path, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  auto v = GetRaw(key, name);
  RegCloseKey(key);
  return v;
}

// UTF-16 bytes of a wide string, with its NUL.
inline RegBytes WideBytes(const std::wstring& s) {
  RegBytes b;
  for (wchar_t c : s) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  b.insert(b.end(), {0, 0});
  return b;
}

// The W functions store and give back text data as it is, in UTF-16.
inline void SetRawWide(HKEY key, const std::wstring& name, const RawValue& v) {
  if (RegSetValueExW(key, name.c_str(), 0, v.type, v.data.empty() ? nullptr : v.data.data(),
                     static_cast<DWORD>(v.data.size())) != ERROR_SUCCESS) {
    throw std::runtime_error("RegSetValueExW failed");
  }
}

inline std::optional<RawValue> GetRawWide(HKEY key, const std::wstring& name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  RawValue v{type, RegBytes(size)};
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, v.data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  v.data.resize(size);
  return v;
}

inline DWORD ValueCount(HKEY key) {
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                   nullptr, nullptr, nullptr);
  return count;
}

inline bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// A key that exists for the lifetime of the object, removed with its subtree before and after.
class ScratchKey {
 public:
  ScratchKey(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
    RegDeleteTreeA(root_, path_.c_str());
    if (RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot create " + path_);
    }
  }
  ~ScratchKey() {
    RegCloseKey(key_);
    RegDeleteTreeA(root_, path_.c_str());
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  HKEY Get() const { return key_; }
  const std::string& Path() const { return path_; }

 private:
  HKEY root_;
  std::string path_;
  HKEY key_ = nullptr;
};

}  // namespace lexmora::test
