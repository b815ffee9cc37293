#include "shell/InstanceU.h"

#include <windows.h>

#include "base/Registry.h"
#include "shell/ConstU.h"

namespace lexmora {

bool MultipleInstancesForbidden() {
  // The key is closed by the object's destructor on the error path too.
  Registry reg(kSettingsRoot, kSettingsAccess);
  if (!reg.OpenKey(kSettingsKey, false))
    return false;
  if (!reg.ValueExists(kAllowValue)) {
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
  // restore itself, and the message has no answer.
  SetForegroundWindow(wnd);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = 0;
  data.lpData = nullptr;
  SendMessageA(wnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace lexmora
