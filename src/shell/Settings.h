#pragma once
// The registry side of the settings that does not depend on the main window: the per-user key
// and taking over an earlier copy's machine-wide one, the missing values, reading the values
// back as values the program can use, and writing them. Where the window stands is
// WindowPlacement.h.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Registry.h"
#include "shell/ConstU.h"

namespace lexmora {

// The ranges of the options dialog (and of its font dialog); stored values outside are clamped.
inline constexpr int32_t kMinFontSize = 6;
inline constexpr int32_t kMaxFontSize = 40;
inline constexpr int32_t kMinPixels = 2;
inline constexpr int32_t kMaxPixels = 70;
inline constexpr int32_t kMinHistory = 2;
inline constexpr int32_t kMaxHistory = 100;
// Stored window edges and sizes are kept within this many pixels, so that no sum overflows.
inline constexpr int32_t kMaxWindowCoordinate = 32000;

// True when the stored value can be read as a string (REG_SZ or REG_EXPAND_SZ) or as an integer
// (REG_DWORD of at most 4 bytes). A missing value is neither.
bool HoldsString(const Registry& reg, const std::string& name);
bool HoldsInteger(const Registry& reg, const std::string& name);

// A dictionary name names a file in the dictionaries folder and nothing else: not empty, no
// path separator, drive or other character a file name cannot hold, not "." or "..", and not a
// device name such as CON or NUL. Any letters, those the system code page cannot spell included.
bool IsPlainDictionaryName(const std::wstring& name);

// A font name that a font can have (at most 31 characters, LF_FACESIZE less its NUL) and that
// holds no control character and none of the rich-text characters \ { } ;.
bool IsUsableFontName(const std::string& name);

// When the key `path` does not exist under `to` and does under `from`, creates it under `to` and
// copies each of the settings values that `from` holds, type and data as they are (text in
// UTF-16, as stored). The key under `from` is only read. True when the values were copied.
bool TakeOverSettings(HKEY from, HKEY to, const std::string& path);

// Opens the settings key (per user), creating it; at the first start after an earlier copy kept
// its settings machine-wide, their values are taken over first. False when it cannot be opened.
bool OpenSettingsKey(Registry& reg);

// Writes the default of every settings value that is missing or of a kind that cannot be read
// (see HoldsString, HoldsInteger): the strings, then the integers, then the booleans, each table
// in its order. A readable value is left as it is. The default width and height, designed at 96
// DPI, are written scaled to `dpi`: the stored geometry is in the pixels of the display the
// window is on. Raises ERegistryException "Failed to set data for '<name>'" at the first write
// that fails (with no current key, the first missing value, "Dict").
void CreateMissingSettings(Registry& reg, int dpi = 96);

// The default of an integer setting for a window at `dpi`.
int32_t DefaultIntegerAtDpi(const IntegerSetting& setting, int dpi);

// The settings as the main window applies them.
struct StoredSettings {
  std::wstring dict;  // empty when the stored name is not a plain dictionary name
  // The dictionaries in use as Dicts names them, in order: each a plain name, once (compared
  // without regard to case, as file names are), the first kMaxDictsInUse of them; empty when
  // Dicts is missing or of another type than REG_MULTI_SZ. See DictionariesInUse.
  std::vector<std::wstring> dicts;
  std::string font;
  int32_t fontSize = 0;
  int32_t pixels = 0;
  int32_t history = 0;
  bool docking = false;
  bool readHDD = false;
  bool refineText = false;
  bool allow = false;
  int32_t top = 0;
  int32_t left = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool isMaximized = false;
  bool stayOnTop = false;
  bool lookupCopied = false;
  bool operator==(const StoredSettings&) const = default;
};

// Reads every value of the current key. A value that is missing or of the wrong kind gives its
// default, an unusable font name the default font, and numbers outside their ranges are clamped
// to them. The dictionary name is read in UTF-16. Nothing is written.
StoredSettings ReadSettings(const Registry& reg);

// Writes `s` into the current key: the window's edges and IsMaximized false, or, for a maximized
// window, IsMaximized true alone (the edges stored keep the last normal place); then the
// dictionary name (in UTF-16), the font and the options; then Dicts (in UTF-16) when `s.dicts`
// names more than one dictionary, or else no Dicts at all (a value stored is removed), so that a
// single dictionary leaves the key as it always was. Raises ERegistryException "Failed to set
// data for '<name>'" at the first write that fails, and writes nothing after it.
void WriteSettings(Registry& reg, const StoredSettings& s);

// The dictionaries in use from the stored names: `dict` first, then those of `dicts` that are not
// it, in their order, at most kMaxDictsInUse. With no usable `dict` (empty), `dicts` alone: the
// program then asks for the first dictionary, with these offered.
std::vector<std::wstring> DictionariesInUse(const std::wstring& dict,
                                            const std::vector<std::wstring>& dicts);

// Whether two dictionary names name the same file: equal without regard to case.
bool SameDictionaryName(const std::wstring& a, const std::wstring& b);

}  // namespace lexmora
