#pragma once
// Pixels per inch of windows and displays, and measures scaled between them.
//
// The layouts are designed in pixels at 96 DPI (100 %). A form scales each of its measures to the
// DPI of the display its window is on (TForm::Scale) and again when the window moves to a
// display of another DPI (WM_DPICHANGED).
#include <windows.h>

#include <cstdint>
#include <limits>

namespace lexmora {

inline constexpr int kDesignDpi = 96;

// The DPI of the display the window is on: GetDpiForWindow where the system has it (Windows 10
// 1607 on), else the screen's pixels per inch.
int WindowDpi(HWND hwnd) noexcept;
// The screen's pixels per inch (the system DPI).
int ScreenDpi() noexcept;

// `value` at `fromDpi` converted to `toDpi`, rounded to the nearest pixel (halves away from
// zero) and held within the range of int. A `fromDpi` of 0 or less leaves the value as it is.
constexpr int ScaleDpi(int value, int fromDpi, int toDpi) noexcept {
  if (fromDpi <= 0)
    return value;
  const int64_t product = static_cast<int64_t>(value) * toDpi;
  const int64_t half = product >= 0 ? fromDpi / 2 : -(fromDpi / 2);
  const int64_t scaled = (product + half) / fromDpi;
  constexpr int64_t kLow = std::numeric_limits<int>::min(), kHigh = std::numeric_limits<int>::max();
  return static_cast<int>(scaled < kLow ? kLow : scaled > kHigh ? kHigh : scaled);
}
// A measure designed at 96 DPI, at `dpi`.
constexpr int ScaleToDpi(int designed, int dpi) noexcept {
  return ScaleDpi(designed, kDesignDpi, dpi);
}

// AdjustWindowRectEx with the frame metrics of `dpi` where the system has them per DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) noexcept;

// A copy of `font` whose height is converted from `fromDpi` to `toDpi`; null when `font` is.
HFONT CopyFontForDpi(HFONT font, int fromDpi, int toDpi) noexcept;

}  // namespace lexmora
