#pragma once
// Pixels per inch of windows and displays; the arithmetic of measures scaled between them is
// base/DpiScale.h.
//
// The layouts are designed in pixels at 96 DPI (100 %). A form scales each of its measures to the
// DPI of the display its window is on (TForm::Scale) and again when the window moves to a
// display of another DPI (WM_DPICHANGED).
#include <windows.h>

#include "base/DpiScale.h"

namespace lexmora {

// The DPI of the display the window is on: GetDpiForWindow where the system has it (Windows 10
// 1607 on), else the screen's pixels per inch.
int WindowDpi(HWND hwnd) noexcept;
// The screen's pixels per inch (the system DPI).
int ScreenDpi() noexcept;

// AdjustWindowRectEx with the frame metrics of `dpi` where the system has them per DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) noexcept;

// A copy of `font` whose height is converted from `fromDpi` to `toDpi`; null when `font` is.
HFONT CopyFontForDpi(HFONT font, int fromDpi, int toDpi) noexcept;

}  // namespace lexmora
