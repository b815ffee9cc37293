#include "ui/Dpi.h"

#include "base/Handle.h"

namespace lexmora {

namespace {

// Resolved at run time: the program also runs on systems older than these calls.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) noexcept {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

}  // namespace

int ScreenDpi() noexcept {
  const WindowDC screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND hwnd) noexcept {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && hwnd != nullptr) {
    if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0)
      return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) noexcept {
  static const auto adjustForDpi =
      User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr && adjustForDpi(&rect, style, FALSE, exStyle, dpi))
    return;
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

HFONT CopyFontForDpi(HFONT font, int fromDpi, int toDpi) noexcept {
  LOGFONTW lf{};
  if (font == nullptr || GetObjectW(font, sizeof(lf), &lf) == 0)
    return nullptr;
  lf.lfHeight = ScaleDpi(lf.lfHeight, fromDpi, toDpi);
  lf.lfWidth = ScaleDpi(lf.lfWidth, fromDpi, toDpi);
  return CreateFontIndirectW(&lf);
}

}  // namespace lexmora
