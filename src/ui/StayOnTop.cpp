#include "ui/StayOnTop.h"

namespace lexmora {

namespace {

constexpr UINT kStayOnTopFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;  // 0x13

HWND StayOnTopOrder(bool down) {
  return down ? HWND_TOPMOST : HWND_NOTOPMOST;
}

}  // namespace

bool IsTopmost(HWND hwnd) {
  return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::vector<HWND> OwnedWindows(HWND owner) {
  struct Search {
    HWND owner;
    std::vector<HWND> found;
  } search{owner, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetWindow(hwnd, GW_OWNER) == s->owner)
          s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SetStayOnTop(HWND hwnd, bool onTop) {
  SetWindowPos(hwnd, StayOnTopOrder(onTop), 0, 0, 0, 0, kStayOnTopFlags);
  if (!onTop || IsTopmost(hwnd))
    return;
  // Wine links a window that owns other windows in after the last of them, short of the topmost
  // band. Let go of the owned windows for the call, then put them back above their owner, as
  // the system does with the windows of a topmost owner.
  const std::vector<HWND> owned = OwnedWindows(hwnd);
  for (HWND w : owned)
    SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kStayOnTopFlags);
  for (HWND w : owned) {
    SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd));
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, kStayOnTopFlags);
  }
}

}  // namespace lexmora
