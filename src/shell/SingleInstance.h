#pragma once
// The single-instance guard's registry check, the single-copy lock and the hand-over to a running
// copy.
#include <windows.h>

#include "base/Handle.h"

namespace lexmora {

// True when the guard applies: the settings key exists, holds "Allow" as an integer, and "Allow"
// is false. Opens the key without creating it and closes it on every path. A missing key, or an
// "Allow" that is missing or cannot be read as an integer, gives false.
bool MultipleInstancesForbidden();

// The window of the program that owns `main` which the user can work in: `main` itself, or,
// while a modal dialog disables it, that dialog (the last active popup, followed down while
// each one is disabled by another). Works across processes.
HWND UsableWindow(HWND main);

// The hand-over's WM_COPYDATA carries this dwData and no payload; the running copy's side is
// HandOver.h.
inline constexpr ULONG_PTR kHandOverActivate = 0;

// Finds the running copy's main window by class and title; when found, asks for it (or the
// modal dialog that disables it) to come to the foreground and sends it WM_COPYDATA with
// dwData kHandOverActivate and no payload, waiting a few seconds at most for it to be handled. True
// when the window was found and took the message.
bool ActivateRunningInstance();

// The single-copy lock: the named mutex kInstanceMutexName, which the running copy owns from its
// start until it is about to end. A copy that closes saves its settings and may finish writing a
// word index after its window has gone; holding the lock until then keeps a copy started
// meanwhile from running beside it on the settings it is about to replace.
class SingleCopyLock {
 public:
  // How long a start waits for a closing copy to end.
  static constexpr DWORD kClosingWaitMs = 15000;
  enum class Start {
    Run,         // this copy runs: it holds the lock, or runs unguarded when none could be made
    HandedOver,  // the running copy's window took the hand-over
    GaveUp,      // the running copy has no window yet, does not answer, or did not end in time
  };

  // Takes the lock for a copy that starts. When another copy holds it, hands over to that
  // copy's window; when that copy is closing (see Closing), waits up to `closingWaitMs` for it to
  // end instead and then takes the lock.
  explicit SingleCopyLock(DWORD closingWaitMs = kClosingWaitMs);
  // Lets the lock go; on the thread that took it.
  ~SingleCopyLock();
  SingleCopyLock(const SingleCopyLock&) = delete;
  SingleCopyLock& operator=(const SingleCopyLock&) = delete;

  Start Result() const noexcept { return start_; }
  // This copy's window has closed for good: later starts wait for the copy to end instead of
  // handing over to it.
  void Closing();

 private:
  Start WaitForTheOtherCopy(DWORD closingWaitMs);
  // True when the lock became this copy's within `ms`: the copy that held it let it go or ended.
  bool OwnWithin(DWORD ms);

  KernelHandle mutex_;
  KernelHandle closing_;
  bool owned_ = false;
  Start start_ = Start::Run;
};

}  // namespace lexmora
