#include "shell/FocusU.h"

namespace lexmora {

void TFocusThread::Execute() {
  SetForegroundWindow(FWnd);
}

}  // namespace lexmora
