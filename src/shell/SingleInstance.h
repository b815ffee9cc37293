#pragma once
// The single-instance guard's registry check and the hand-over to a running copy.
#include <windows.h>

namespace lexmora {

// True when the guard applies: the settings key exists, holds "Allow" as an integer, and "Allow"
// is false. Opens the key without creating it and closes it on every path. A missing key, or an
// "Allow" that is missing or cannot be read as an integer, gives false.
bool MultipleInstancesForbidden();

// The window of the program that owns `main` which the user can work in: `main` itself, or,
// while a modal dialog disables it, that dialog (the last active popup, followed down while
// each one is disabled by another). Works across processes.
HWND UsableWindow(HWND main);

// Finds the running copy's main window by class and title; when found, asks for it (or the
// modal dialog that disables it) to come to the foreground and sends it WM_COPYDATA with
// dwData 0 and no payload, waiting a few seconds at most for it to be handled. Does nothing
// when no such window exists.
void ActivateRunningInstance();

}  // namespace lexmora
