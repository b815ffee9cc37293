#include "shell/SingleInstance.h"

#include <windows.h>

#include <algorithm>

#include "base/Registry.h"
#include "shell/ConstU.h"
#include "shell/Settings.h"

namespace lexmora {

namespace {

// How long a second copy waits for the running one to take the hand-over.
constexpr UINT kHandOverTimeoutMs = 5000;
// While a copy closes, the lock is tried this often.
constexpr DWORD kWaitSliceMs = 100;
// Exists while a copy that holds the lock is closing.
constexpr char kClosingEventName[] = "Lexmora.Closing";

bool OtherCopyClosing() {
  const KernelHandle closing(OpenEventA(SYNCHRONIZE, FALSE, kClosingEventName));
  return closing.Valid();
}

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

bool ActivateRunningInstance() {
  HWND wnd = FindWindowA(kMainWindowClass, kAppTitle);
  if (wnd == nullptr)
    return false;
  // Neither result matters: a refused foreground change still leaves the receiver to show and
  // restore itself, and the message has no answer. A copy that does not answer in time is
  // left alone, and this one ends all the same.
  SetForegroundWindow(UsableWindow(wnd));
  COPYDATASTRUCT data{};
  data.dwData = kHandOverActivate;
  data.cbData = 0;
  data.lpData = nullptr;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(wnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             kHandOverTimeoutMs, &ignored) != 0;
}

SingleCopyLock::SingleCopyLock(DWORD closingWaitMs)
    : mutex_(CreateMutexA(nullptr, TRUE, kInstanceMutexName)) {
  const DWORD error = GetLastError();
  if (!mutex_) {
    start_ = Start::Run;  // unguarded
  } else if (error != ERROR_ALREADY_EXISTS) {
    owned_ = true;
    start_ = Start::Run;
  } else {
    start_ = WaitForTheOtherCopy(closingWaitMs);
  }
}

SingleCopyLock::~SingleCopyLock() {
  if (owned_)
    ReleaseMutex(mutex_.Get());
}

void SingleCopyLock::Closing() {
  if (owned_ && !closing_)
    closing_.Reset(CreateEventA(nullptr, TRUE, TRUE, kClosingEventName));
}

bool SingleCopyLock::OwnWithin(DWORD ms) {
  const DWORD result = WaitForSingleObject(mutex_.Get(), ms);
  owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  return owned_;
}

// A copy that runs takes the hand-over. One that is closing takes no more: this one waits for it
// to end. One that is starting (no window yet) or hangs is left alone, as one that runs.
SingleCopyLock::Start SingleCopyLock::WaitForTheOtherCopy(DWORD closingWaitMs) {
  const ULONGLONG deadline = GetTickCount64() + closingWaitMs;
  for (;;) {
    if (!OtherCopyClosing()) {
      if (ActivateRunningInstance())
        return Start::HandedOver;
      // The other copy may have ended, or begun to close, while the hand-over was tried.
      if (OwnWithin(0))
        return Start::Run;
      if (!OtherCopyClosing())
        return Start::GaveUp;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline)
      return Start::GaveUp;
    if (OwnWithin(static_cast<DWORD>(std::min<ULONGLONG>(kWaitSliceMs, deadline - now))))
      return Start::Run;
  }
}

}  // namespace lexmora
