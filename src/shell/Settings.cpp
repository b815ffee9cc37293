#include "shell/Settings.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <string_view>
#include <vector>

#include "base/DpiScale.h"
#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "shell/ConstU.h"

namespace lexmora {
namespace {

// The width of the title bar that must stay on a work area for the user to grab it, at 96 DPI.
constexpr int kGrabWidth = 100;

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

int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
  return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

bool CaptionReachable(const RECT& window, const RECT& area, int captionHeight, int grabWidth) {
  const int64_t width = Overlap(window.left, window.right, area.left, area.right);
  const int64_t height =
      Overlap(window.top, int64_t{window.top} + captionHeight, area.top, area.bottom);
  const int64_t windowWidth = int64_t{window.right} - window.left;
  return width >= std::min<int64_t>(grabWidth, windowWidth) && 2 * height >= captionHeight;
}

// Gaps between the rectangles along each axis, added; 0 when they overlap.
int64_t Distance(const RECT& a, const RECT& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t{b.left} - a.right, int64_t{a.left} - b.right});
  const int64_t dy = std::max<int64_t>({0, int64_t{b.top} - a.bottom, int64_t{a.top} - b.bottom});
  return dx + dy;
}

int64_t OverlapArea(const RECT& a, const RECT& b) {
  return Overlap(a.left, a.right, b.left, b.right) * Overlap(a.top, a.bottom, b.top, b.bottom);
}

// The start of a span of `size` moved into [low, high) as little as it takes; at `low` when it is
// longer than the span.
LONG FitSpan(LONG start, int64_t size, LONG low, LONG high) {
  return static_cast<LONG>(std::max<int64_t>(low, std::min<int64_t>(start, high - size)));
}

}  // namespace

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

RECT FitOnScreen(const RECT& window, const std::vector<RECT>& workAreas, int captionHeight,
                 int grabWidth) {
  if (workAreas.empty())
    return window;
  for (const RECT& area : workAreas) {
    if (CaptionReachable(window, area, captionHeight, grabWidth))
      return window;
  }
  const RECT* nearest = &workAreas.front();
  for (const RECT& area : workAreas) {
    const int64_t d = Distance(window, area), best = Distance(window, *nearest);
    if (d < best || (d == best && OverlapArea(window, area) > OverlapArea(window, *nearest)))
      nearest = &area;
  }
  const int64_t width = int64_t{window.right} - window.left;
  const int64_t height = int64_t{window.bottom} - window.top;
  RECT moved{};
  moved.left = FitSpan(window.left, width, nearest->left, nearest->right);
  moved.top = FitSpan(window.top, height, nearest->top, nearest->bottom);
  moved.right = static_cast<LONG>(moved.left + width);
  moved.bottom = static_cast<LONG>(moved.top + height);
  return moved;
}

LONG TopWithinWorkArea(LONG top, int height, const RECT& workArea) {
  const LONG up = std::min<LONG>(top, workArea.bottom - height);
  return std::max<LONG>(up, std::min<LONG>(top, workArea.top));
}

std::optional<RECT> WorkAreaOf(HWND wnd) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &monitor))
    return std::nullopt;
  return monitor.rcWork;
}

std::vector<RECT> MonitorWorkAreas() {
  std::vector<RECT> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM found) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info))
          reinterpret_cast<std::vector<RECT>*>(found)->push_back(info.rcWork);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

void KeepTitleBarOnScreen(HWND wnd) {
  RECT window{};
  if (!GetWindowRect(wnd, &window))
    return;
  const int captionHeight = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME) +
                            GetSystemMetrics(SM_CXPADDEDBORDER);
  // The caption's metrics follow the system's DPI; the grab width does the same.
  const WindowDC screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  const int grabWidth = dpi > 0 ? MulDiv(kGrabWidth, dpi, 96) : kGrabWidth;
  const RECT fitted = FitOnScreen(window, MonitorWorkAreas(), captionHeight, grabWidth);
  if (fitted.left == window.left && fitted.top == window.top)
    return;
  SetWindowPos(wnd, nullptr, fitted.left, fitted.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lexmora
