#pragma once
// Where the main window stands, as the settings keep it: placing the window at its stored edges
// within the screens' work areas, and taking its normal place (the one a maximized or minimized
// window returns to) to be stored.
#include <windows.h>

#include <optional>
#include <vector>

namespace lexmora {

// Where a window with the outer rectangle `window` may stay: unchanged when at least half the
// height of its title bar (the top `captionHeight` pixels) and `grabWidth` pixels of its width (or
// all of it, when narrower) lie on one work area; otherwise moved, at its size, into the work
// area nearest to it, as far as it fits there (its top left corner first). Unchanged when there
// are no work areas.
RECT FitOnScreen(const RECT& window, const std::vector<RECT>& workAreas, int captionHeight,
                 int grabWidth);

// The top for a window `height` pixels high whose top is `top`: moved up as far as its bottom
// must to end within `workArea`, but never above the area's top (nor further than the window
// already stands above it), and never down.
LONG TopWithinWorkArea(LONG top, int height, const RECT& workArea);

// The work areas of the display monitors.
std::vector<RECT> MonitorWorkAreas();
// The work area of the monitor nearest to the window; nothing when it cannot be had.
std::optional<RECT> WorkAreaOf(HWND wnd);

// Moves the top-level window `wnd` as FitOnScreen says for the present monitors.
void KeepTitleBarOnScreen(HWND wnd);

// Gives the top-level window `wnd` the stored edges `stored`, as far as its smallest size lets
// it. Where that smallest size makes it higher than stored, nobody placed that height: it moves
// up as far as it must to stay within its work area. Then its title bar is kept on a screen.
void PlaceWindow(HWND wnd, const RECT& stored);

// The window's place to store.
struct WindowPlace {
  RECT normal{};  // the edges of the normal (not maximized, not minimized) window
  bool maximized = false;
};
// Where `wnd` stands now, or, while it is minimized, the normal place it returns to. Maximized
// when it is, when it will be at its first showing (`maximizeOnShow`), or when it was before it
// was minimized.
WindowPlace PlaceToStore(HWND wnd, bool maximizeOnShow);

}  // namespace lexmora
