#include "shell/HandOver.h"

#include "shell/FocusU.h"
#include "shell/SingleInstance.h"

namespace lexmora {

void ReceiveHandOver(HWND main, const COPYDATASTRUCT& data) {
  if (data.dwData != kHandOverActivate)
    return;
  ShowWindow(main, SW_SHOW);
  const HWND usable = UsableWindow(main);
  SetWindowPos(main, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | (usable != main ? SWP_NOACTIVATE : 0));
  if (IsIconic(main))
    ShowWindow(main, SW_RESTORE);
  if (usable != main)
    BringWindowToTop(usable);
  TThread::Create<TFocusThread>(usable);
}

}  // namespace lexmora
