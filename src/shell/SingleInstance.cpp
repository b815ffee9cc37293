#include "shell/SingleInstance.h"

#include <windows.h>

#include "base/Registry.h"
#include "shell/ConstU.h"
#include "shell/Settings.h"

namespace lexmora {

namespace {

// How long a second copy waits for the running one to take the hand-over.
constexpr UINT kHandOverTimeoutMs = 5000;

}  // namespace

HWND UsableWindow(HWND main) {
  // Dialogs nest only a few deep; the bound guards against an ownership loop.
  constexpr int kMaxDepth = 8;
  HWND wnd = main;
  for (int depth = 0; depth < kMaxDepth && !IsWindowEnabled(wnd); ++depth) {
    HWND popup = GetLastActivePopup(wnd);
    if (popup == nullptr || popup == wnd || !IsWindowVisible(popup))
      break;
    wnd = popup;
  }
  return wnd;
}

bool MultipleInstancesForbidden() {
  // The key is closed by the object's destructor on the error path too.
  Registry reg(kSettingsRoot, KEY_READ);
  if (!reg.OpenKey(kSettingsKey, false))
    return false;
  // A value that cannot be read as an integer counts as missing, as it does for the settings.
  if (!HoldsInteger(reg, kAllowValue)) {
    reg.CloseKey();
    return false;
  }
  bool forbidden = !reg.ReadBool(kAllowValue);
  reg.CloseKey();
  return forbidden;
}

void ActivateRunningInstance() {
  HWND wnd = FindWindowA(kMainWindowClass, kAppTitle);
  if (wnd == nullptr)
    return;
  // Neither result matters: a refused foreground change still leaves the receiver to show and
  // restore itself, and the message has no answer. A copy that does not answer in time is
  // left alone, and this one ends all the same.
  SetForegroundWindow(UsableWindow(wnd));
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = 0;
  data.lpData = nullptr;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(wnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                      kHandOverTimeoutMs, &ignored);
}

}  // namespace lexmora
