#pragma once
// Windows in and out of the topmost band, with the windows they own.
#include <windows.h>

#include <vector>

namespace lexmora {

// Whether the window is in the topmost band (WS_EX_TOPMOST).
bool IsTopmost(HWND hwnd);

// The windows of this thread that `owner` owns (its tool tips and dialogs).
std::vector<HWND> OwnedWindows(HWND owner);

// Puts the window into or out of the topmost band with SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
// the windows it owns go into the band with it and stay above it.
void SetStayOnTop(HWND hwnd, bool onTop);

}  // namespace lexmora
