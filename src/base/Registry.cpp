#include "base/Registry.h"

#include <algorithm>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"

namespace lexmora {
namespace {

[[noreturn]] void FailSet(const std::string& name) {
  throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}
[[noreturn]] void FailGet(const std::string& name) {
  throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
}
[[noreturn]] void FailType(const std::string& name) {
  throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

bool IsList(DWORD type) {
  return type == REG_MULTI_SZ;
}

// The data of the value `name` through `query` (RegQueryValueExA or W for that name) as whole
// characters, when `accepted` takes its type. The value may change between the size query and
// the read; a few retries cover that.
template <typename Char, typename Query>
std::basic_string<Char> ReadData(const std::string& name, bool (*accepted)(DWORD), Query query) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (query(&type, nullptr, &size) != ERROR_SUCCESS)
    FailGet(name);
  if (!accepted(type))
    FailType(name);
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (size == 0)
      return {};
    // Room for an odd byte count.
    std::basic_string<Char> data(static_cast<size_t>(size) / sizeof(Char) + 1, Char{});
    DWORD got = size;
    const LONG rc = query(&type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (rc == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (rc != ERROR_SUCCESS)
      FailGet(name);
    if (!accepted(type))
      FailType(name);
    data.resize(got / sizeof(Char));
    return data;
  }
  FailGet(name);
}

// The text value `name` up to its first NUL; data stored without its NUL ends all the same.
template <typename Char, typename Query>
std::basic_string<Char> ReadText(const std::string& name, Query query) {
  std::basic_string<Char> text = ReadData<Char>(name, IsText, query);
  text.resize(std::find(text.begin(), text.end(), Char{}) - text.begin());
  return text;
}

}  // namespace

bool Registry::OpenKey(const std::string& name, bool canCreate) {
  return OpenKey(ToWide(name), canCreate);
}

bool Registry::OpenKey(const std::wstring& name, bool canCreate) {
  HKEY opened = nullptr;
  LONG rc;
  if (canCreate) {
    rc = RegCreateKeyExW(root_, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                         &opened, nullptr);
  } else {
    rc = RegOpenKeyExW(root_, name.c_str(), 0, access_, &opened);
  }
  if (rc != ERROR_SUCCESS || opened == nullptr)
    return false;
  key_.Reset(opened);
  return true;
}

bool Registry::ValueExists(const std::string& name) const {
  if (!key_)
    return false;
  return RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

std::optional<Registry::ValueInfo> Registry::Info(const std::string& name) const {
  if (!key_)
    return std::nullopt;
  ValueInfo info;
  if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &info.type, nullptr, &info.size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return info;
}

void Registry::WriteString(const std::string& name, const std::string& value) {
  if (!key_ || value.size() >= MAXDWORD)
    FailSet(name);
  if (RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
    FailSet(name);
  }
}

void Registry::WriteString(const std::string& name, const std::wstring& value) {
  if (!key_ || value.size() >= MAXDWORD / sizeof(wchar_t))
    FailSet(name);
  if (RegSetValueExW(key_.Get(), ToWide(name).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    FailSet(name);
  }
}

void Registry::WriteInteger(const std::string& name, int32_t value) {
  if (!key_)
    FailSet(name);
  DWORD data = static_cast<DWORD>(value);
  if (RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                     sizeof data) != ERROR_SUCCESS) {
    FailSet(name);
  }
}

void Registry::WriteBool(const std::string& name, bool value) {
  WriteInteger(name, value ? 1 : 0);
}

void Registry::WriteStrings(const std::string& name, const std::vector<std::wstring>& values) {
  std::wstring data;
  for (const std::wstring& value : values) {
    if (value.empty() || value.find(L'\0') != std::wstring::npos)
      FailSet(name);
    data += value;
    data += L'\0';
  }
  data += L'\0';
  if (!key_ || data.size() >= MAXDWORD / sizeof(wchar_t))
    FailSet(name);
  if (RegSetValueExW(key_.Get(), ToWide(name).c_str(), 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() * sizeof(wchar_t))) != ERROR_SUCCESS) {
    FailSet(name);
  }
}

void Registry::DeleteValue(const std::string& name) {
  if (!key_)
    FailSet(name);
  const LONG rc = RegDeleteValueW(key_.Get(), ToWide(name).c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
    FailSet(name);
}

std::string Registry::ReadString(const std::string& name) const {
  if (!key_)
    FailGet(name);
  return ReadText<char>(name, [&](DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key_.Get(), name.c_str(), nullptr, type, data, size);
  });
}

std::wstring Registry::ReadWideString(const std::string& name) const {
  if (!key_)
    FailGet(name);
  const std::wstring wideName = ToWide(name);
  return ReadText<wchar_t>(name, [&](DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, type, data, size);
  });
}

std::vector<std::wstring> Registry::ReadStrings(const std::string& name) const {
  if (!key_)
    FailGet(name);
  const std::wstring wideName = ToWide(name);
  const std::wstring data =
      ReadData<wchar_t>(name, IsList, [&](DWORD* type, BYTE* bytes, DWORD* size) {
        return RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, type, bytes, size);
      });
  std::vector<std::wstring> strings;
  for (size_t start = 0; start < data.size();) {
    const size_t end = std::min(data.find(L'\0', start), data.size());
    if (end > start)
      strings.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return strings;
}

int32_t Registry::ReadInteger(const std::string& name) const {
  if (!key_)
    FailGet(name);
  DWORD type = REG_NONE;
  DWORD data = 0;
  DWORD size = sizeof data;
  // More than 4 bytes of data fails the query itself (ERROR_MORE_DATA).
  if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                       &size) != ERROR_SUCCESS) {
    FailGet(name);
  }
  if (type != REG_DWORD)
    FailType(name);
  return static_cast<int32_t>(data);
}

}  // namespace lexmora
