#include "shell/Settings.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <string_view>
#include <vector>

#include "base/DpiScale.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "shell/ConstU.h"

namespace lexmora {
namespace {

const char* DefaultString(std::string_view name) {
  for (const auto& s : kStringSettings) {
    if (name == s.name)
      return s.defaultValue;
  }
  throw Exception("No string setting " + std::string(name));
}

int32_t DefaultInteger(std::string_view name) {
  for (const auto& s : kIntegerSettings) {
    if (name == s.name)
      return s.defaultValue;
  }
  throw Exception("No integer setting " + std::string(name));
}

bool DefaultBool(std::string_view name) {
  for (const auto& s : kBoolSettings) {
    if (name == s.name)
      return s.defaultValue;
  }
  throw Exception("No boolean setting " + std::string(name));
}

std::string ReadStringOrDefault(const Registry& reg, const char* name) {
  return HoldsString(reg, name) ? reg.ReadString(name) : DefaultString(name);
}

std::wstring ReadWideStringOrDefault(const Registry& reg, const char* name) {
  return HoldsString(reg, name) ? reg.ReadWideString(name) : ToWide(DefaultString(name));
}

int32_t ReadIntegerOrDefault(const Registry& reg, const char* name) {
  return HoldsInteger(reg, name) ? reg.ReadInteger(name) : DefaultInteger(name);
}

bool ReadBoolOrDefault(const Registry& reg, const char* name) {
  return HoldsInteger(reg, name) ? reg.ReadBool(name) : DefaultBool(name);
}

int32_t ReadClamped(const Registry& reg, const char* name, int32_t low, int32_t high) {
  return std::clamp(ReadIntegerOrDefault(reg, name), low, high);
}

bool IsDeviceName(std::wstring_view name) {
  // The system takes these as devices whatever extension follows.
  std::wstring base(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ')
    base.pop_back();
  for (wchar_t& c : base)
    c = static_cast<wchar_t>(std::towupper(c));
  static constexpr std::array<std::wstring_view, 4> kDevices{L"CON", L"PRN", L"AUX", L"NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end())
    return true;
  return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
         base[3] >= L'1' && base[3] <= L'9';
}

// Copies one value's type and data as they are; the wide calls keep text that the system code page
// cannot spell. A value that `from` lacks or that cannot be read is left out: it counts as
// missing, and loading gives it its default.
void CopyValue(HKEY from, HKEY to, const char* name) {
  const std::wstring wideName = ToWide(name);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(from, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return;
    std::vector<BYTE> data(size);
    LONG rc = RegQueryValueExW(from, wideName.c_str(), nullptr, &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA)
      continue;  // it grew in between
    if (rc != ERROR_SUCCESS)
      return;
    if (RegSetValueExW(to, wideName.c_str(), 0, type, data.data(), size) != ERROR_SUCCESS)
      throw ERegistryException(Format("Failed to set data for '%s'", name));
    return;
  }
}

// The plain names of Dicts, each once, at most kMaxDictsInUse; none when it is no list.
std::vector<std::wstring> ReadDictNames(const Registry& reg) {
  const auto info = reg.Info(kDictsValue);
  if (!info || info->type != REG_MULTI_SZ)
    return {};
  std::vector<std::wstring> names;
  for (const std::wstring& name : reg.ReadStrings(kDictsValue)) {
    if (names.size() == kMaxDictsInUse)
      break;
    const bool repeated = std::any_of(names.begin(), names.end(), [&](const std::wstring& n) {
      return SameDictionaryName(n, name);
    });
    if (IsPlainDictionaryName(name) && !repeated)
      names.push_back(name);
  }
  return names;
}

}  // namespace

bool SameDictionaryName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::vector<std::wstring> DictionariesInUse(const std::wstring& dict,
                                            const std::vector<std::wstring>& dicts) {
  std::vector<std::wstring> names;
  if (!dict.empty())
    names.push_back(dict);
  for (const std::wstring& name : dicts) {
    if (names.size() == kMaxDictsInUse)
      break;
    if (dict.empty() || !SameDictionaryName(name, dict))
      names.push_back(name);
  }
  return names;
}

bool HoldsString(const Registry& reg, const std::string& name) {
  auto info = reg.Info(name);
  return info && (info->type == REG_SZ || info->type == REG_EXPAND_SZ);
}

bool HoldsInteger(const Registry& reg, const std::string& name) {
  auto info = reg.Info(name);
  return info && info->type == REG_DWORD && info->size <= sizeof(DWORD);
}

bool IsPlainDictionaryName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..")
    return false;
  for (wchar_t c : name) {
    if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
      return false;
  }
  return !IsDeviceName(name);
}

bool IsUsableFontName(const std::string& name) {
  const std::wstring wide = ToWide(name);
  if (wide.empty() || wide.size() > LF_FACESIZE - 1)
    return false;
  for (wchar_t c : wide) {
    if (c < 32 || c == 127 || std::wstring_view(L"\\{};").find(c) != std::wstring_view::npos)
      return false;
  }
  return true;
}

bool TakeOverSettings(HKEY from, HKEY to, const std::string& path) {
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyExA(to, path.c_str(), 0, KEY_READ, &opened);
  const RegKey existing(rc == ERROR_SUCCESS ? opened : nullptr);
  if (rc != ERROR_FILE_NOT_FOUND)
    return false;
  Registry source(from, KEY_READ);
  if (!source.OpenKey(path, false))
    return false;
  Registry target(to, KEY_READ | KEY_WRITE);
  if (!target.OpenKey(path, true))
    return false;
  for (const auto& s : kStringSettings)
    CopyValue(source.CurrentKey(), target.CurrentKey(), s.name);
  for (const auto& s : kIntegerSettings)
    CopyValue(source.CurrentKey(), target.CurrentKey(), s.name);
  for (const auto& s : kBoolSettings)
    CopyValue(source.CurrentKey(), target.CurrentKey(), s.name);
  return true;
}

bool OpenSettingsKey(Registry& reg) {
  TakeOverSettings(kMachineSettingsRoot, reg.RootKey(), kSettingsKey);
  return reg.OpenKey(kSettingsKey, true);
}

int32_t DefaultIntegerAtDpi(const IntegerSetting& setting, int dpi) {
  const std::string_view name = setting.name;
  if (name != kWidthValue && name != kHeightValue)
    return setting.defaultValue;
  return ScaleToDpi(setting.defaultValue, dpi);
}

void CreateMissingSettings(Registry& reg, int dpi) {
  for (const auto& s : kStringSettings) {
    if (!HoldsString(reg, s.name))
      reg.WriteString(s.name, s.defaultValue);
  }
  for (const auto& s : kIntegerSettings) {
    if (!HoldsInteger(reg, s.name))
      reg.WriteInteger(s.name, DefaultIntegerAtDpi(s, dpi));
  }
  for (const auto& s : kBoolSettings) {
    if (!HoldsInteger(reg, s.name))
      reg.WriteBool(s.name, s.defaultValue);
  }
}

StoredSettings ReadSettings(const Registry& reg) {
  StoredSettings s;
  s.dict = ReadWideStringOrDefault(reg, kDictValue);
  if (!IsPlainDictionaryName(s.dict))
    s.dict.clear();
  s.dicts = ReadDictNames(reg);
  s.font = ReadStringOrDefault(reg, kFontValue);
  if (!IsUsableFontName(s.font))
    s.font = DefaultString(kFontValue);
  s.fontSize = ReadClamped(reg, kFontSizeValue, kMinFontSize, kMaxFontSize);
  s.pixels = ReadClamped(reg, kPixelsValue, kMinPixels, kMaxPixels);
  s.history = ReadClamped(reg, kHistoryValue, kMinHistory, kMaxHistory);
  s.docking = ReadBoolOrDefault(reg, kDockingValue);
  s.readHDD = ReadBoolOrDefault(reg, kReadHDDValue);
  s.refineText = ReadBoolOrDefault(reg, kRefineTextValue);
  s.allow = ReadBoolOrDefault(reg, kAllowValue);
  s.top = ReadClamped(reg, kTopValue, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  s.left = ReadClamped(reg, kLeftValue, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  s.width = ReadClamped(reg, kWidthValue, 0, kMaxWindowCoordinate);
  s.height = ReadClamped(reg, kHeightValue, 0, kMaxWindowCoordinate);
  s.isMaximized = ReadBoolOrDefault(reg, kIsMaximizedValue);
  s.stayOnTop = ReadBoolOrDefault(reg, kStayOnTopValue);
  s.lookupCopied = ReadBoolOrDefault(reg, kLookupCopiedValue);
  return s;
}

void WriteSettings(Registry& reg, const StoredSettings& s) {
  if (s.isMaximized) {
    reg.WriteBool(kIsMaximizedValue, true);
  } else {
    reg.WriteInteger(kTopValue, s.top);
    reg.WriteInteger(kLeftValue, s.left);
    reg.WriteInteger(kWidthValue, s.width);
    reg.WriteInteger(kHeightValue, s.height);
    reg.WriteBool(kIsMaximizedValue, false);
  }
  reg.WriteString(kDictValue, s.dict);
  reg.WriteString(kFontValue, s.font);
  reg.WriteInteger(kFontSizeValue, s.fontSize);
  reg.WriteInteger(kPixelsValue, s.pixels);
  reg.WriteInteger(kHistoryValue, s.history);
  reg.WriteBool(kDockingValue, s.docking);
  reg.WriteBool(kStayOnTopValue, s.stayOnTop);
  reg.WriteBool(kReadHDDValue, s.readHDD);
  reg.WriteBool(kRefineTextValue, s.refineText);
  reg.WriteBool(kAllowValue, s.allow);
  reg.WriteBool(kLookupCopiedValue, s.lookupCopied);
  if (s.dicts.size() > 1) {
    reg.WriteStrings(kDictsValue, s.dicts);
  } else {
    reg.DeleteValue(kDictsValue);
  }
}

}  // namespace lexmora
