#include "ui/Application.h"

#include <commctrl.h>

#include "base/Errors.h"
#include "base/Reporter.h"
#include "base/Text.h"
#include "ui/Controls.h"

namespace lexmora {

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::TApplication() : instance_(GetModuleHandleW(nullptr)) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = path;
  name = name.substr(name.find_last_of(L"\\/:") + 1);
  title_ = ToAnsi(name.substr(0, name.rfind(L'.')));
}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
  if (initialized_)
    return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                            ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);
  RegisterControlClasses(instance_);
  SetMessageOwnerSource([] { return Application().WindowInFront(); });
  initialized_ = true;
}

void TApplication::DestroyForms() {
  while (!ownedForms_.empty()) {
    FormPtr<TForm> form = std::move(ownedForms_.back());
    ownedForms_.pop_back();
    if (mainForm_ == form.get())
      mainForm_ = nullptr;
  }
}

void TApplication::Run() {
  if (mainForm_ != nullptr && !mainForm_->Visible())
    mainForm_->Show();
  while (!terminated_ && HandleMessage()) {
  }
}

bool TApplication::HandleMessage() {
  MSG msg;
  BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    terminated_ = true;
    return false;
  }
  Dispatch(msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    Dispatch(msg);
  }
}

void TApplication::Dispatch(MSG& msg) {
  try {
    TForm* form = TForm::FromHandle(msg.hwnd);
    if (form != nullptr && form->PreTranslate(msg))
      return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  } catch (...) {
    HandleCurrentException();
  }
}

void TApplication::Terminate() {
  if (!terminated_)
    PostQuitMessage(0);
  terminated_ = true;
}

void TApplication::HandleCurrentException() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Exception("Unknown exception"));
  }
}

void TApplication::HandleException(const std::exception& e) noexcept {
  if (dynamic_cast<const EAbort*>(&e) != nullptr)
    return;
  try {
    if (handler_) {
      handler_(e);
    } else {
      DefaultExceptionHandler(e);
    }
  } catch (...) {
    // A failing handler has nowhere left to report to.
  }
}

// The message goes in UTF-16, so that a file name the system code page cannot spell shows as it is.
void TApplication::DefaultExceptionHandler(const std::exception& e) {
  CurrentReporter().ShowWideMessage(GetActiveWindow(), WideMessageOf(e), ToWide(title_),
                                    MB_OK | MB_ICONERROR);
}

TApplication::ExceptionHandler TApplication::SetExceptionHandler(ExceptionHandler handler) {
  ExceptionHandler previous = std::move(handler_);
  handler_ = std::move(handler);
  return previous;
}

bool TApplication::NoteActivated(TForm* form) noexcept {
  if (activeForm_ == form)
    return false;
  activeForm_ = form;
  return true;
}

void TApplication::NoteGone(TForm* form) noexcept {
  if (activeForm_ == form)
    activeForm_ = nullptr;
}

HWND TApplication::WindowInFront() const noexcept {
  for (const TForm* form : {activeForm_, mainForm_}) {
    const HWND wnd = form != nullptr ? form->Handle() : nullptr;
    if (wnd != nullptr && IsWindowVisible(wnd) && IsWindowEnabled(wnd))
      return wnd;
  }
  return nullptr;
}

}  // namespace lexmora
