#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

#include "base/Handle.h"

namespace lexmora {
namespace {

// The width of the title bar that must stay on a work area for the user to grab it, at 96 DPI.
constexpr int kGrabWidth = 100;

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

void SetEdges(HWND wnd, int left, int top, int width, int height) {
  SetWindowPos(wnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

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

void PlaceWindow(HWND wnd, const RECT& stored) {
  const int storedHeight = static_cast<int>(stored.bottom - stored.top);
  SetEdges(wnd, stored.left, stored.top, stored.right - stored.left, storedHeight);
  RECT placed{};
  GetWindowRect(wnd, &placed);
  const int height = static_cast<int>(placed.bottom - placed.top);
  if (const std::optional<RECT> work = WorkAreaOf(wnd); work && height > storedHeight) {
    SetEdges(wnd, placed.left, TopWithinWorkArea(placed.top, height, *work),
             placed.right - placed.left, height);
  }
  KeepTitleBarOnScreen(wnd);
}

WindowPlace PlaceToStore(HWND wnd, bool maximizeOnShow) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(wnd, &placement);
  const bool iconic = IsIconic(wnd) != 0;
  WindowPlace place;
  place.maximized =
      IsZoomed(wnd) || maximizeOnShow || (iconic && (placement.flags & WPF_RESTORETOMAXIMIZED));
  if (!iconic) {
    GetWindowRect(wnd, &place.normal);
    return place;
  }
  // A minimized window's own rectangle is off the screen; keep the one it restores to, which the
  // placement gives relative to the work area.
  place.normal = placement.rcNormalPosition;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(wnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    OffsetRect(&place.normal, monitor.rcWork.left - monitor.rcMonitor.left,
               monitor.rcWork.top - monitor.rcMonitor.top);
  }
  return place;
}

}  // namespace lexmora
