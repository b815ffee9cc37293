#pragma once
// Names and defaults the program shares between its units and with other copies of itself.
#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lexmora {

inline constexpr char kAppTitle[] = "Lexmora - BETA RELEASE";
// The main window is found by this class name and kAppTitle.
inline constexpr char kMainWindowClass[] = "TfmMain.UnicodeClass";
// Its existence marks a copy that runs with the single-instance guard.
inline constexpr char kInstanceMutexName[] = "Lexmora";

// Folders beside the executable, each with its trailing backslash. Wide, as the paths they go into.
inline constexpr wchar_t kDictionariesFolder[] = L"Dictionaries\\";
inline constexpr wchar_t kDataFolder[] = L"Data\\";
inline constexpr wchar_t kHelpFolder[] = L"Help\\";
inline constexpr wchar_t kHelpDocument[] = L"Readme.html";

// The settings key, per user: a standard user may write nothing machine-wide.
inline const HKEY kSettingsRoot = HKEY_CURRENT_USER;
inline constexpr char kSettingsKey[] = "SOFTWARE\\Lexmora";
inline constexpr REGSAM kSettingsAccess = KEY_READ | KEY_WRITE;
// Where earlier copies kept the settings: only read, to take them over once.
inline const HKEY kMachineSettingsRoot = HKEY_LOCAL_MACHINE;

// Value names.
inline constexpr char kDictValue[] = "Dict";
inline constexpr char kFontValue[] = "Font";
inline constexpr char kTopValue[] = "Top";
inline constexpr char kLeftValue[] = "Left";
inline constexpr char kWidthValue[] = "Width";
inline constexpr char kHeightValue[] = "Height";
inline constexpr char kFontSizeValue[] = "FontSize";
inline constexpr char kPixelsValue[] = "Pixels";
inline constexpr char kHistoryValue[] = "History";
inline constexpr char kStayOnTopValue[] = "StayOnTop";
inline constexpr char kIsMaximizedValue[] = "IsMaximized";
inline constexpr char kDockingValue[] = "Docking";
inline constexpr char kReadHDDValue[] = "ReadHDD";
inline constexpr char kRefineTextValue[] = "RefineText";
inline constexpr char kAllowValue[] = "Allow";
inline constexpr char kLookupCopiedValue[] = "LookupCopied";
// The dictionaries in use, in order, when there are several (REG_MULTI_SZ); Dict is the first.
// Not among the tables below: a key for one dictionary holds no such value.
inline constexpr char kDictsValue[] = "Dicts";
// The most dictionaries in use at once.
inline constexpr size_t kMaxDictsInUse = 32;

struct StringSetting {
  const char* name;
  const char* defaultValue;
};
struct IntegerSetting {
  const char* name;
  int32_t defaultValue;
};
struct BoolSetting {
  const char* name;
  bool defaultValue;
};

// The sixteen values with their defaults. The order of each table is also the order in which
// missing values are created: strings, then integers, then booleans.
inline constexpr std::array<StringSetting, 2> kStringSettings{{
    {kDictValue, "diruridu"},
    {kFontValue, "Lucida Sans Unicode"},
}};
inline constexpr std::array<IntegerSetting, 7> kIntegerSettings{{
    {kTopValue, 10},
    {kLeftValue, 10},
    {kWidthValue, 400},
    {kHeightValue, 300},
    {kFontSizeValue, 8},
    {kPixelsValue, 10},
    {kHistoryValue, 10},
}};
inline constexpr std::array<BoolSetting, 7> kBoolSettings{{
    {kStayOnTopValue, false},
    {kIsMaximizedValue, false},
    {kDockingValue, true},
    {kReadHDDValue, false},
    {kRefineTextValue, true},
    {kAllowValue, false},
    {kLookupCopiedValue, true},
}};

// The default of the value `name`, from the tables above, for what holds it before the settings
// are read. A name that none of them holds does not compile.
consteval const char* StringDefault(std::string_view name) {
  for (const StringSetting& setting : kStringSettings) {
    if (name == setting.name)
      return setting.defaultValue;
  }
  throw "no such string setting";
}
consteval int32_t IntegerDefault(std::string_view name) {
  for (const IntegerSetting& setting : kIntegerSettings) {
    if (name == setting.name)
      return setting.defaultValue;
  }
  throw "no such integer setting";
}
consteval bool BoolDefault(std::string_view name) {
  for (const BoolSetting& setting : kBoolSettings) {
    if (name == setting.name)
      return setting.defaultValue;
  }
  throw "no such boolean setting";
}

}  // namespace lexmora
