#pragma once
// Bringing a window to the foreground: a short-lived thread for the hand-over from a second copy
// of the program, and a way that works from a program that is not the foreground one.
#include <windows.h>

#include "ui/Thread.h"

namespace lexmora {

class TFocusThread : public TThread {
 public:
  explicit TFocusThread(HWND wnd) noexcept : FWnd(wnd) {}

 protected:
  // Asks once for FWnd to become the foreground window; a refusal is not reported.
  void Execute() override;

 private:
  const HWND FWnd;
};

// Makes `wnd`, a window of this thread, the foreground window although another program is the
// one the user works in (as when the clipboard tells of its copy). The system hands the
// foreground on only from the program that has it, so for the change this thread shares the
// input of that program's thread. True when `wnd` is the foreground window afterwards.
bool ForceForeground(HWND wnd);

}  // namespace lexmora
