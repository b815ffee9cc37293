#include "shell/FocusU.h"

namespace lexmora {

void TFocusThread::Execute() {
  SetForegroundWindow(FWnd);
}

bool ForceForeground(HWND wnd) {
  if (GetForegroundWindow() == wnd || (SetForegroundWindow(wnd) && GetForegroundWindow() == wnd))
    return true;
  const HWND foreground = GetForegroundWindow();
  const DWORD theirs = foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ours = GetCurrentThreadId();
  const bool attached = theirs != 0 && theirs != ours && AttachThreadInput(ours, theirs, TRUE);
  BringWindowToTop(wnd);
  SetForegroundWindow(wnd);
  if (attached)
    AttachThreadInput(ours, theirs, FALSE);
  return GetForegroundWindow() == wnd;
}

}  // namespace lexmora
