#include "base/Reporter.h"

#include "base/Text.h"

namespace lexmora {

namespace {

// The reporter of the running program: message boxes and beeps of the system.
class SystemReporter : public Reporter {
 public:
  int ShowWideMessage(HWND owner, const std::wstring& text, const std::wstring& caption,
                      UINT style) override {
    return MessageBoxW(owner != nullptr ? owner : MessageOwner(), text.c_str(), caption.c_str(),
                       style);
  }
};

SystemReporter defaultReporter;
Reporter* current = &defaultReporter;
HWND (*ownerSource)() = nullptr;

}  // namespace

void SetMessageOwnerSource(HWND (*source)()) {
  ownerSource = source;
}

HWND MessageOwner() {
  return ownerSource != nullptr ? ownerSource() : nullptr;
}

int Reporter::ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          UINT style) {
  return MessageBoxA(owner != nullptr ? owner : MessageOwner(), text.c_str(), caption.c_str(),
                     style);
}

int Reporter::ShowWideMessage(HWND owner, const std::wstring& text, const std::wstring& caption,
                              UINT style) {
  return ShowMessage(owner, ToAnsi(text), ToAnsi(caption), style);
}

void Reporter::Beep(UINT type) {
  MessageBeep(type);
}

Reporter& CurrentReporter() {
  return *current;
}

Reporter* SetReporter(Reporter* reporter) {
  Reporter* previous = current == &defaultReporter ? nullptr : current;
  current = reporter != nullptr ? reporter : &defaultReporter;
  return previous;
}

}  // namespace lexmora
