#include "shell/KeptLanguages.h"

#include "base/Registry.h"
#include "base/Text.h"

namespace lexmora {

namespace {

constexpr char kHeadwordsValue[] = "Headwords";
constexpr char kMeaningsValue[] = "Meanings";
constexpr char kChosenValue[] = "Chosen";
constexpr char kStampValue[] = "Stamp";

std::wstring LanguagesKey(const std::string& settingsKey, const std::wstring& dictName) {
  return ToWide(settingsKey) + L"\\Languages\\" + dictName;
}

bool HoldsText(const Registry& reg, const char* name) {
  const std::optional<Registry::ValueInfo> info = reg.Info(name);
  return info && (info->type == REG_SZ || info->type == REG_EXPAND_SZ);
}

}  // namespace

std::wstring LanguageStamp(const std::wstring& dataPath,
                           const std::vector<std::wstring>& languageNames) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(dataPath.c_str(), GetFileExInfoStandard, &data))
    return std::wstring();
  std::wstring stamp = std::to_wstring((uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) +
                       L" " +
                       std::to_wstring((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                       data.ftLastWriteTime.dwLowDateTime);
  for (const std::wstring& name : languageNames)
    stamp += L" " + name;
  return stamp;
}

std::optional<KeptLanguages> ReadKeptLanguages(HKEY root, const std::string& settingsKey,
                                               const std::wstring& dictName,
                                               const std::wstring& stamp) {
  Registry reg(root, KEY_READ);
  if (!reg.OpenKey(LanguagesKey(settingsKey, dictName), false))
    return std::nullopt;
  const std::optional<Registry::ValueInfo> chosen = reg.Info(kChosenValue);
  if (!HoldsText(reg, kHeadwordsValue) || !HoldsText(reg, kMeaningsValue) ||
      !HoldsText(reg, kStampValue) || !chosen || chosen->type != REG_DWORD ||
      chosen->size > sizeof(DWORD)) {  // more than a DWORD holds fails the read
    return std::nullopt;
  }
  KeptLanguages kept{reg.ReadWideString(kHeadwordsValue), reg.ReadWideString(kMeaningsValue),
                     reg.ReadBool(kChosenValue)};
  if (!kept.chosen && (stamp.empty() || reg.ReadWideString(kStampValue) != stamp))
    return std::nullopt;
  return kept;
}

void KeepLanguages(HKEY root, const std::string& settingsKey, const std::wstring& dictName,
                   const KeptLanguages& languages, const std::wstring& stamp) {
  Registry reg(root, KEY_READ | KEY_WRITE);
  // Without the key, the first write raises.
  reg.OpenKey(LanguagesKey(settingsKey, dictName), true);
  reg.WriteString(kHeadwordsValue, languages.headwords);
  reg.WriteString(kMeaningsValue, languages.meanings);
  reg.WriteBool(kChosenValue, languages.chosen);
  reg.WriteString(kStampValue, stamp);
}

}  // namespace lexmora
