#include "base/Reporter.h"

namespace lexmora {

namespace {
Reporter defaultReporter;
Reporter* current = &defaultReporter;
}  // namespace

int Reporter::ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          UINT style) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
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
