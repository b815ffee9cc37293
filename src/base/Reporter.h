#pragma once
// Message boxes and beeps that code below the window layer raises go through one reporter,
// so that tests can record them instead of blocking on a real message box.
#include <windows.h>

#include <string>

namespace lexmora {

// A box must be owned by the program's window in front, so that the window behind it takes no
// input while it is up; code below the window layer knows no window and passes no owner. The
// window layer installs a function that gives the window (or nullptr), and the system's boxes
// raised without an owner take it. Without a function they have no owner.
void SetMessageOwnerSource(HWND (*source)());
// The owner for a box raised without one: what the installed function gives, or nullptr.
HWND MessageOwner();

class Reporter {
 public:
  virtual ~Reporter() = default;
  // Default: MessageBoxA(owner, text, caption, style), with MessageOwner() for a null owner.
  virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          UINT style);
  // A text that may quote names the system code page cannot spell. The default hands it to
  // ShowMessage in the code page; the program's own reporter shows it with MessageBoxW.
  virtual int ShowWideMessage(HWND owner, const std::wstring& text, const std::wstring& caption,
                              UINT style);
  // Default: MessageBeep(type).
  virtual void Beep(UINT type);
};

// The reporter in use; the default one unless replaced.
Reporter& CurrentReporter();
// Installs `reporter` (not owned; nullptr restores the default) and returns the previous one.
Reporter* SetReporter(Reporter* reporter);

// Installs a reporter for the lifetime of this object, then puts the previous one back.
class ScopedReporter {
 public:
  explicit ScopedReporter(Reporter& reporter) : previous_(SetReporter(&reporter)) {}
  ~ScopedReporter() { SetReporter(previous_); }
  ScopedReporter(const ScopedReporter&) = delete;
  ScopedReporter& operator=(const ScopedReporter&) = delete;

 private:
  Reporter* previous_;
};

}  // namespace lexmora
