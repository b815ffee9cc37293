#pragma once
// The running copy's side of the hand-over from a second start (SingleInstance.h sends it): the
// main window shows itself, restored when minimized, and comes to the front.
#include <windows.h>

namespace lexmora {

// For a WM_COPYDATA whose dwData is kHandOverActivate: shows `main` and raises it, restores it
// when minimized, and starts a TFocusThread for the window the user can work in, which is the
// one activated: `main`, or, while a modal dialog disables it, that dialog (then `main` only
// rises beneath it). Any other dwData changes nothing.
void ReceiveHandOver(HWND main, const COPYDATASTRUCT& data);

}  // namespace lexmora
