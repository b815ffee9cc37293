#pragma once
// A short-lived thread that brings a window to the foreground, apart from the thread that
// handles the hand-over from a second copy of the program.
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

}  // namespace lexmora
