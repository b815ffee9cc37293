#pragma once
// Looking at the running program's windows from another process: the programs that drive it
// from outside (the typing tool, the window benchmark, the end-to-end tests) share these.
#include <windows.h>

#include <optional>
#include <string>

namespace lexmora::remote {

inline constexpr wchar_t kMainClass[] = L"TfmMain.UnicodeClass";
inline constexpr wchar_t kMainTitle[] = L"Lexmora - BETA RELEASE";

// The text of a window of any process through WM_GETTEXT; nothing when the window does not
// answer within `timeoutMs`.
std::optional<std::wstring> TextOf(HWND wnd, DWORD timeoutMs = 3000);
// The first descendant of `parent` (children, grandchildren, ...) with the control id `id`.
HWND FindDescendantById(HWND parent, int id);
// The running program's main window, found by its class and title as a second copy finds it.
HWND FindMainWindow();
// The edit box inside the main window's search box, or nullptr.
HWND SearchEditOf(HWND mainWindow);

}  // namespace lexmora::remote
